// The editor view's controller: binds the window's elements (found by their
// outlet names) to the edit session, which holds the preset and every
// editing rule, and runs the keyboard actions (send, read, gains) and the
// file dialogs. It keeps no editing state of its own beyond what is shown.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "editor/Dialogs.h"
#include "editor/GainController.h"
#include "editor/MessageController.h"
#include "model/PopUpValue.h"
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
  void changeModeOptionWithModeIndex();

  // The selector element carrying `tag`, if any; every one tagged 1 to 72.
  QAbstractButton* viewWithTag(int tag) const;
  std::vector<QAbstractButton*> taggedElements() const;

  QWidget* view() const { return view_; }
  KeyboardActions& keyboard() const { return *keyboard_; }
  // The preset being edited; there from viewDidLoad on.
  EditSession& session() const { return *session_; }
  bool hasSession() const { return session_ != nullptr; }
  // While the keyboard is read, nothing may be edited (the read replaces
  // it); while it is sent to, nothing else may go to it.
  void setDeviceBusy(DeviceBusy busy);
  DeviceBusy deviceBusy() const { return busy_; }
  // The message window of the last send, while it is open.
  MessageController* messageWindow() const;
  // The window title's text for what is shown ("from the keyboard (firmware 01.02)").
  QString originText() const;
  // Whether edits may be dropped: asks first when there are unsaved ones
  // (Save / Discard / Cancel); `what` says what would drop them.
  bool mayDropEdits(const QString& what);
  // The status field's text, and why in its tooltip.
  void setStatus(const QString& text, const QString& why = QString());
  // Everything shown, after the preset changed under the window.
  void showAll();

 signals:
  // The preset, its origin or what can be undone changed.
  void editStateChanged();

 public slots:
  // Selection (the element is the clicked selector, read for its tag).
  void blackButtonAction(QObject* element);
  void whiteButtonAction(QObject* element);
  void otherButtonAction(QObject* element);
  void changePadAction(QObject* element);

  // Edits of the global record and of the current control.
  void changeGlobalCAction(int position);
  void changeGlobalOAction(int position);
  void changeGlobalPVCAction(int position);
  void changeGlobalKAAction(int position);
  void changeGlobalVCAction(int position);
  void changeMemoryAction(int position);
  void changeChannelAction(int position);
  void changeModeAction(int position);
  void changeModeOptionAction(int position);
  void changeValueAction(int position);
  void changeCCnumAction(int position);
  void changeMinAction(int position);
  void changeMaxAction(int position);
  void changeCRAction(int position);
  void changeCGAction(int position);
  void changeCBAction(int position);

  // Bulk change, the keyboard, files, the gain dialog, the Edit menu.
  void bulkChange();
  void cancelBulkAction();
  void chooseAllPadsAction();
  void chooseRowAction(int row);
  void pickColourAction();
  void sendToKeyboardAction();
  void readFromKeyboardAction();
  void upgradeFirmwareAction();
  void changeToDefaultAction();
  void loadAction();
  void saveAction();
  void showGainsAction();
  void undoAction();
  void redoAction();
  void copyAction();
  void pasteAction();

 public:
  // Outlets (the window owns the widgets).
  QComboBox* globalC = nullptr;
  QComboBox* globalO = nullptr;
  QComboBox* globalPVC = nullptr;
  QComboBox* globalKA = nullptr;
  QComboBox* globalVC = nullptr;
  QComboBox* mem = nullptr;
  QLineEdit* firmware = nullptr;
  QLineEdit* controlName = nullptr;
  QComboBox* mode = nullptr;
  QComboBox* modeOption = nullptr;
  QComboBox* val = nullptr;
  QComboBox* channel = nullptr;
  QComboBox* CCnum = nullptr;
  QComboBox* min = nullptr;
  QComboBox* max = nullptr;
  QComboBox* cr = nullptr;
  QComboBox* cg = nullptr;
  QComboBox* cb = nullptr;
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
  QWidget* messageView = nullptr;
  QAbstractButton* colourSwatch = nullptr;  // the current control's colour; opens the picker
  QLabel* bulkCount = nullptr;              // bulk mode: how many pads are chosen
  QPushButton* bulkAllButton = nullptr;
  QPushButton* bulkCancelButton = nullptr;

  PopUpValue pu;  // the choice lists
  DialogSeams dialogs;
  // A damaged settings file, as a sentence; told in the status field's tooltip.
  QString settingsWarning;

 private:
  template <typename T>
  T* outlet(const char* name) const;
  void connectElements();
  void fillMode();
  void press(Selector selector, QObject* element);
  void setField(ControlField field, int position);
  void setGlobal(GlobalField field, int position);
  void setColour(ControlField field, int position);
  void clearControlPanel();
  void showColourSwatch();
  void showBulkSelection();
  void leftBulk();
  // The headers beside the rows of pads (bulk mode).
  std::vector<QAbstractButton*> rowHeaders() const;
  void labelSelectors();
  void showPadLights();
  std::int32_t controlIndexOf(const QObject* element) const;
  void showPresetProblem(const QString& title, const std::string& reason);
  bool save();

  void enableElements();

  QWidget* view_;
  FileAction& files_;
  KeyboardActions* keyboard_;  // a child of this object
  DeviceBusy busy_ = DeviceBusy::No;
  std::unique_ptr<EditSession> session_;
  QPointer<GainController> gainDialog_;
};

}  // namespace padkbd::editor
