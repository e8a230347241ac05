// What the window does with the keyboard: the start-up read, "Read from
// keyboard", and "Send to keyboard" with its confirmation and its message
// window. Each works on a copy of the records, so that the preset shown only
// changes when an exchange has ended well.
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "editor/MessageController.h"
#include "session/EditSession.h"
#include "storage/Settings.h"

namespace padkbd {
class PadAction;
}

namespace padkbd::editor {

class ViewController;

class KeyboardActions : public QObject {
  Q_OBJECT

 public:
  KeyboardActions(ViewController& view, PadAction& padAction, SettingsFile settings);

  // Reads the keyboard (or falls back to the default preset) and gives the
  // session to edit it in; the status field says how it went.
  std::unique_ptr<EditSession> readAtStart();
  // Replaces the session's preset with the keyboard's, when the read works.
  void read(EditSession& session);
  // Asks first (unless told not to), then writes the preset into the slot.
  void send(EditSession& session);

  MessageController* messageWindow() const { return messageWindow_; }

 private:
  bool confirmSend(const EditSession& session);

  ViewController& view_;
  PadAction& padAction_;
  SettingsFile settings_;
  QPointer<MessageController> messageWindow_;
};

}  // namespace padkbd::editor
