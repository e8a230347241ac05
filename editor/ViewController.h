// The editor view's controller: holds the window elements under their outlet
// names, the editor state (current control, global record, choice lists,
// bank and bulk state), and every action of the window.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

#include "editor/GainController.h"
#include "editor/MessageController.h"
#include "model/PopUpValue.h"
#include "model/Records.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace padkbd {
class PadAction;
}

namespace padkbd::editor {

// The file and message dialogs the actions open, replaceable so that tests
// can answer them. An empty path means the user cancelled.
struct DialogSeams {
  std::function<QString(QWidget* parent)> openDocumentPath;
  std::function<QString(QWidget* parent)> saveDocumentPath;
  std::function<void(QWidget* parent, const QString& title, const QString& text)> showProblem;
};
DialogSeams platformDialogs();

class ViewController : public QObject {
  Q_OBJECT

 public:
  // `view` holds the window elements (found by object name); `padAction`
  // owns the current preset the editor shows and edits in place.
  ViewController(QWidget* view, PadAction& padAction, QObject* parent = nullptr);
  ~ViewController() override;

  // Loading and showing the view.
  void viewDidLoad();
  void viewDidAppear();
  void setUI();
  void initButtonImage();
  void showPadValue();

  // Choice lists.
  void getItem();

  // Showing the current control.
  void showButtonValue();
  void changeModeOptionWithModeIndex();

  // The selector element carrying `tag`, if any.
  QAbstractButton* viewWithTag(int tag) const;
  // Every selector element tagged 1 to 72.
  std::vector<QAbstractButton*> taggedElements() const;

  QWidget* view() const { return view_; }
  PadAction& padAction() const { return padAction_; }
  // The message window of the last send, while it is open.
  MessageController* messageWindow() const { return messageWindow_; }

 public slots:
  // Selection (the element is the clicked selector, read for its tag).
  void blackButtonAction(QObject* element);
  void whiteButtonAction(QObject* element);
  void otherButtonAction(QObject* element);
  void changePadAction(QObject* element);

  // Edits of the global record.
  void changeGlobalCAction(int position);
  void changeGlobalOAction(int position);
  void changeGlobalPVCAction(int position);
  void changeGlobalKAAction(int position);
  void changeGlobalVCAction(int position);
  void changeMemoryAction(int position);
  // Edits of the current control.
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

  // Bulk change, send, files and the gain dialog.
  void bulkChange();
  void sendToKeyboardAction();
  void upgradeFirmwareAction();
  void changeToDefaultAction();
  void loadAction();
  void saveAction();
  void showGainsAction();

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
  QLabel* colourSwatch = nullptr;  // shows the current control's colour

  // Editor state.
  ButtonValuePtr btn;  // the current control: a record of the current preset, or bulkBtn
  PadValuePtr pad;     // the global record shown
  PopUpValue pu;       // the choice lists
  bool isPad = false;  // the pad lists (true) or the other lists (false) are in force
  bool isSub = false;  // the second bank is on
  bool isBulk = false;
  ButtonValueList bulkArray;  // the bulk selection, in the order chosen
  ButtonValuePtr bulkBtn;     // the bulk record

  // The dialogs the file actions open.
  DialogSeams dialogs;
  // What is wrong with the settings file, if anything; set before viewDidLoad,
  // which adds it to the status field's tooltip.
  QString settingsWarning;

 private:
  template <typename T>
  T* outlet(const char* name) const;
  void connectElements();
  void fillMode();
  void selectControl(QObject* element, std::int32_t index, bool refillMode);
  void setStatus(const QString& text);
  void setBulkElementsEnabled(bool enabled);
  void clearControlPanel();
  void showColourSwatch();
  void showControlAfterReplace();
  void labelSelectors();
  void showPadLights();
  std::int32_t controlIndexOf(const QObject* element) const;
  QString controlNameFor(std::int32_t index) const;
  void showPresetProblem(const QString& title, const std::string& reason);

  QWidget* view_;
  PadAction& padAction_;
  QPointer<MessageController> messageWindow_;
  QPointer<GainController> gainDialog_;
};

}  // namespace padkbd::editor
