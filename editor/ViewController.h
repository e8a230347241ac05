// The editor view's controller: binds the window's elements (found by their
// outlet names) to the edit session, which holds the preset and every
// editing rule. Each setting reaches its pop-up through the field table
// (FieldPopUps); Default, Load and Save are DocumentActions, and read, send
// and the gains are KeyboardActions. It keeps no editing state of its own
// beyond what is shown. What is chosen (a click, the surface's keys, the
// bank, bulk mode's pads) is in ViewSelection.cpp.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "editor/Dialogs.h"
#include "editor/FieldPopUps.h"
#include "editor/MessageController.h"
#include "editor/SelectorSurface.h"
#include "model/Records.h"
#include "session/EditSession.h"
#include "storage/Settings.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace padkbd {
class FileAction;
}

namespace padkbd::editor {

class DeviceWorker;
class DocumentActions;
class KeyboardActions;

class ViewController : public QObject {
  Q_OBJECT

 public:
  // What the device worker is doing, for the controls that would conflict.
  enum class DeviceBusy { No, Reading, Sending };

  // `view` holds the window elements (found by object name); `worker` reads
  // from and writes to the keyboard; `files` gives the default preset, the
  // working copy and documents; `settings` keeps the choice of not
  // confirming sends.
  ViewController(QWidget* view, DeviceWorker& worker, FileAction& files,
                 SettingsFile settings = SettingsFile(), QObject* parent = nullptr);
  ~ViewController() override;

  // Loading and showing the view.
  void viewDidLoad();
  void viewDidAppear();
  void setUI();
  void initButtonImage();
  void showPadValue();
  void getItem();
  void showButtonValue();

  // The selector element carrying `tag`, if any; every one tagged 1 to 72.
  QAbstractButton* viewWithTag(int tag) const { return selectorWithTag(view_, tag); }
  std::vector<QAbstractButton*> taggedElements() const { return selectorElements(view_); }

  QWidget* view() const { return view_; }
  KeyboardActions& keyboard() const { return *keyboard_; }
  DocumentActions& documents() const { return *documents_; }
  // The preset being edited; there from viewDidLoad on.
  EditSession& session() const { return *session_; }
  bool hasSession() const { return session_ != nullptr; }
  // While the keyboard is read, nothing may be edited (the read replaces
  // it); while it is sent to, nothing else may go to it.
  void setDeviceBusy(DeviceBusy busy);
  DeviceBusy deviceBusy() const { return busy_; }
  // The message window of the last send, while it is open.
  MessageController* messageWindow() const;
  // The status field's text, and why in its tooltip.
  void setStatus(const QString& text, const QString& why = QString());
  // Everything shown, after the preset changed under the window.
  void showAll();

  // An edit of a setting of the current control, or of the global block,
  // from its pop-up (`position` is the item chosen).
  void changeFieldAction(ControlField field, int position);
  void changeGlobalAction(GlobalField field, int position);
  // Makes the control at `index` current as a click on its selector does
  // (the bank switched for a knob); in bulk mode chooses or unchooses a pad.
  void chooseControl(std::int32_t index);

 signals:
  // The preset, its origin or what can be undone changed.
  void editStateChanged();

 public slots:
  // Selection (the element is the clicked selector, read for its tag).
  void blackButtonAction(QObject* element);
  void whiteButtonAction(QObject* element);
  void otherButtonAction(QObject* element);
  void changePadAction(QObject* element);

  // Bulk change, the colour dialog, the Edit menu.
  void bulkChange();
  void cancelBulkAction();
  void chooseAllPadsAction();
  void chooseRowAction(int row);
  void pickColourAction();
  void undoAction();
  void redoAction();
  void copyAction();
  void pasteAction();

 protected:
  // The surface's keys: the arrows move over it, Space and Enter click.
  bool eventFilter(QObject* watched, QEvent* event) override;

 public:
  // Outlets (the window owns the widgets); the settings' pop-ups are in FieldPopUps.
  QLineEdit* firmware = nullptr;
  QLineEdit* controlName = nullptr;
  QLineEdit* message = nullptr;
  QPushButton* sendToKeyboardButton = nullptr;
  QPushButton* DefaultButton = nullptr;
  QPushButton* LoadButton = nullptr;
  QPushButton* SaveButton = nullptr;
  QPushButton* BulkButton = nullptr;
  QPushButton* gainsButton = nullptr;
  QWidget* globalView = nullptr;
  QWidget* selectedView = nullptr;
  QAbstractButton* bankSwitch = nullptr;
  SelectorGrid* surface = nullptr;  // the selectors' grid; takes the keyboard focus
  QWidget* messageView = nullptr;
  QAbstractButton* colourSwatch = nullptr;  // the current control's colour; opens the picker
  QLabel* bulkCount = nullptr;              // bulk mode: how many pads are chosen
  QPushButton* bulkAllButton = nullptr;
  QPushButton* bulkCancelButton = nullptr;

  DialogSeams dialogs;
  // Esc ends this first when it says so (true), before it leaves bulk mode.
  std::function<bool()> escape;
  // A damaged settings file, as a sentence; told in the status field's tooltip.
  QString settingsWarning;

 private:
  void connectElements();
  bool surfaceKey(int key);
  void press(Selector selector, QObject* element);
  void clearControlPanel();
  void showColourSwatch();
  void showBulkSelection();
  void leftBulk();

  void enableElements();

  QWidget* view_;
  FileAction& files_;
  FieldPopUps popUps_;
  KeyboardActions* keyboard_;   // a child of this object
  DocumentActions* documents_;  // a child of this object
  DeviceBusy busy_ = DeviceBusy::No;
  std::unique_ptr<EditSession> session_;
};

}  // namespace padkbd::editor
