// What the window does with the keyboard: the start-up read, "Read from
// keyboard", "Send to keyboard" with its confirmation and its message window,
// a preset of the history sent again, the gain dialog, and what happens when
// the keyboard comes or goes. The work itself runs on the device worker;
// meanwhile the window shows how far it has come, offers Cancel, and keeps
// the controls that would conflict disabled. The confirmation compares with
// what the history says the memory slot holds, which the worker looks up.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include "editor/DeviceWorker.h"
#include "editor/GainController.h"
#include "editor/MessageController.h"
#include "history/History.h"
#include "history/SendPreview.h"
#include "session/EditSession.h"
#include "storage/Settings.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace padkbd::editor {

class ViewController;

class KeyboardActions : public QObject {
  Q_OBJECT

 public:
  KeyboardActions(ViewController& view, DeviceWorker& worker, SettingsFile settings);

  // The read the window starts with; the default preset is shown until it ends.
  void readAtStart(EditSession& session);
  // Replaces the session's preset with the keyboard's, when the read works.
  void read(EditSession& session);
  // Asks first (unless told not to), then writes the preset into the slot.
  void send(EditSession& session);
  // The same for the preset of a history entry (with its document), into
  // the slot it was sent to; the window's preset stays as it is.
  void sendAgain(const HistoryEntry& entry);
  // Something the history said (a damaged database set aside): told in the
  // status field's tooltip with the next outcome shown.
  void tellHistory(const QString& note);
  // The gains; `done` gets the status text and why.
  void sendGains(const std::vector<std::int32_t>& gains,
                 std::function<void(bool sent, const QString& text, const QString& why)> done);

  bool busy() const { return worker_.busy(); }
  DeviceWorker& worker() const { return worker_; }
  MessageController* messageWindow() const { return messageWindow_; }

 public slots:
  // The window's actions: each does nothing in bulk mode or while the worker is busy.
  void readAction();
  void sendAction();
  // Opens the gain dialog, starting from the default gains.
  void showGainsAction();
  void cancel();

 signals:
  // A read or a send ended: the history may hold another entry.
  void historyChanged();

 private:
  enum class Work { Reading, Sending };
  void begin(Work work);
  void end();
  void showProgress(const PadAction::Progress& progress);
  void showProgressInFront();
  void presenceChanged(bool present);
  void showPresence(bool present);
  // Looks up what the slot of the preset `take` gives holds, asks, and
  // hands the preset to `go` when the user says send.
  void askThenSend(std::function<Preset()> take, std::function<void(Preset)> go);
  bool confirmSend(const Preset& preset, const SlotState& slot);
  // `session` takes the preset as sent when it is its own (none: a preset of the history).
  void startSend(Preset preset, std::string source, EditSession* session);
  // The notes of an outcome, with what the history said since the last one.
  QString notesWith(QStringList notes);
  void startRead(EditSession& session, bool atStart);
  void showRead(EditSession& session, const DeviceWorker::Report& result, bool atStart);

  ViewController& view_;
  DeviceWorker& worker_;
  SettingsFile settings_;
  QPointer<MessageController> messageWindow_;
  QPointer<GainController> gainDialog_;
  QWidget* panel_;
  QLabel* text_;
  QProgressBar* bar_;
  QPushButton* cancel_;
  QLabel* state_;
  int slot_ = 1;                         // of the send under way, for its progress
  std::function<void()> writingStarts_;  // says "发送中……" when the send's writing starts
  bool asking_ = false;                  // the slot's state is being looked up for a confirmation
  QStringList historyNotes_;             // not yet told
};

}  // namespace padkbd::editor
