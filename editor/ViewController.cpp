#include "editor/ViewController.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <algorithm>

#include "editor/GainController.h"
#include "editor/MessageController.h"
#include "editor/SelectorSurface.h"
#include "model/Log.h"
#include "protocol/PadAction.h"

namespace padkbd::editor {

namespace {

// Status texts, exactly as the user reads them.
const QString kLoading = QStringLiteral("加载ing……");
const QString kReadSucceeded = QStringLiteral("从设备读取参数成功!");
const QString kConnectFailed = QStringLiteral("连接到设备失败.");
const QString kSending = QStringLiteral("发送中……");
const QString kSendSucceeded = QStringLiteral("成功发送到设备!");
const QString kBulkName = QStringLiteral("批量参数");
const QString kLeaveBulkTitle = QStringLiteral("退出批量模式");
const QString kEnterBulkTitle = QStringLiteral("批量改变红色/绿色/蓝色");
const char* const kNotConnected = "未连接";

void fill(QComboBox* menu, const StringList& items) {
  QStringList labels;
  labels.reserve(static_cast<qsizetype>(items.size()));
  for (const auto& item : items) labels << QString::fromStdString(item);
  menu->addItems(labels);
  menu->setCurrentIndex(-1);
}

// Selects the item at `position`; a position without an item leaves the menu
// with no item chosen (the -1 colour of an other control, an empty option list).
void choose(QComboBox* menu, std::int32_t position) {
  menu->setCurrentIndex(position >= 0 && position < menu->count() ? position : -1);
}

QString replacedCount(std::size_t count) {
  if (count == 1) {
    return QStringLiteral(
        " (1 setting from the keyboard was outside its list and set to the first entry)");
  }
  return QStringLiteral(
             " (%1 settings from the keyboard were outside their lists and set to the first entry)")
      .arg(count);
}

// A keyboard sending rubbish could fill every setting; the tooltip shows the
// first few, each under the name the window gives the control.
QString replacementList(const ButtonAction::Replacements& replaced,
                        const std::function<QString(std::int32_t)>& nameOf) {
  constexpr std::size_t kShown = 12;
  QStringList lines{QStringLiteral("Set to the first entry of their lists:")};
  for (std::size_t n = 0; n < replaced.size() && n < kShown; ++n) {
    const ButtonAction::Replacement& r = replaced[n];
    const QString where = r.control == ButtonAction::ExchangeError::kGlobalBlock
                              ? QStringLiteral("Global settings")
                              : nameOf(r.control);
    lines << QStringLiteral("%1: %2 byte %3")
                 .arg(where, QString::fromStdString(r.setting))
                 .arg(r.byte, 2, 16, QLatin1Char('0'));
  }
  if (replaced.size() > kShown) {
    lines << QStringLiteral("and %1 more").arg(replaced.size() - kShown);
  }
  return lines.join(QLatin1Char('\n'));
}

int tagOf(const QObject* element) {
  if (element == nullptr) return -1;
  bool ok = false;
  const int tag = element->property("tag").toInt(&ok);
  return ok ? tag : -1;
}

}  // namespace

DialogSeams platformDialogs() {
  DialogSeams seams;
  seams.openDocumentPath = [](QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Load a preset"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {QStringLiteral("padkbd presets (*.padkbd)"), QStringLiteral("All files (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
  };
  seams.saveDocumentPath = [](QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Choose the path to save the document"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        {QStringLiteral("padkbd presets (*.padkbd)"), QStringLiteral("All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("padkbd"));
    dialog.selectFile(QStringLiteral("Untitle.padkbd"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
  };
  seams.showProblem = [](QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::warning(parent, title, text);
  };
  return seams;
}

ViewController::ViewController(QWidget* view, PadAction& padAction, QObject* parent)
    : QObject(parent), dialogs(platformDialogs()), view_(view), padAction_(padAction) {
  globalC = outlet<QComboBox>("globalC");
  globalO = outlet<QComboBox>("globalO");
  globalPVC = outlet<QComboBox>("globalPVC");
  globalKA = outlet<QComboBox>("globalKA");
  globalVC = outlet<QComboBox>("globalVC");
  mem = outlet<QComboBox>("mem");
  firmware = outlet<QLineEdit>("firmware");
  controlName = outlet<QLineEdit>("controlName");
  mode = outlet<QComboBox>("mode");
  modeOption = outlet<QComboBox>("modeOption");
  val = outlet<QComboBox>("val");
  channel = outlet<QComboBox>("channel");
  CCnum = outlet<QComboBox>("CCnum");
  min = outlet<QComboBox>("min");
  max = outlet<QComboBox>("max");
  cr = outlet<QComboBox>("cr");
  cg = outlet<QComboBox>("cg");
  cb = outlet<QComboBox>("cb");
  message = outlet<QLineEdit>("message");
  sendToKeyboardButton = outlet<QPushButton>("sendToKeyboardButton");
  DefaultButton = outlet<QPushButton>("DefaultButton");
  LoadButton = outlet<QPushButton>("LoadButton");
  SaveButton = outlet<QPushButton>("SaveButton");
  BulkButton = outlet<QPushButton>("BulkButton");
  gainsButton = outlet<QPushButton>("gainsButton");
  globalView = outlet<QWidget>("globalView");
  selectedView = outlet<QWidget>("selectedView");
  bankSwitch = outlet<QAbstractButton>("bankSwitch");
  messageView = outlet<QWidget>("messageView");
  colourSwatch = outlet<QLabel>("colourSwatch");
  connectElements();
}

ViewController::~ViewController() {
  // The message window borrows messageView; give it back before the window goes.
  if (messageWindow_) messageWindow_->returnView();
}

template <typename T>
T* ViewController::outlet(const char* name) const {
  T* element = view_->findChild<T*>(QString::fromLatin1(name));
  if (element == nullptr) qFatal("The editor window has no element \"%s\".", name);
  return element;
}

void ViewController::connectElements() {
  for (QAbstractButton* element : view_->findChildren<QAbstractButton*>()) {
    const QString selector = element->property("selector").toString();
    if (selector == QLatin1String("black")) {
      connect(element, &QAbstractButton::clicked, this,
              [this, element] { blackButtonAction(element); });
    } else if (selector == QLatin1String("white")) {
      connect(element, &QAbstractButton::clicked, this,
              [this, element] { whiteButtonAction(element); });
    } else if (selector == QLatin1String("other")) {
      connect(element, &QAbstractButton::clicked, this,
              [this, element] { otherButtonAction(element); });
    } else if (selector == QLatin1String("bank")) {
      connect(element, &QAbstractButton::clicked, this,
              [this, element] { changePadAction(element); });
    }
  }
  // `activated` comes from the user only, so showing a record never writes it back.
  connect(globalC, &QComboBox::activated, this, &ViewController::changeGlobalCAction);
  connect(globalO, &QComboBox::activated, this, &ViewController::changeGlobalOAction);
  connect(globalPVC, &QComboBox::activated, this, &ViewController::changeGlobalPVCAction);
  connect(globalKA, &QComboBox::activated, this, &ViewController::changeGlobalKAAction);
  connect(globalVC, &QComboBox::activated, this, &ViewController::changeGlobalVCAction);
  connect(mem, &QComboBox::activated, this, &ViewController::changeMemoryAction);
  connect(channel, &QComboBox::activated, this, &ViewController::changeChannelAction);
  connect(mode, &QComboBox::activated, this, &ViewController::changeModeAction);
  connect(modeOption, &QComboBox::activated, this, &ViewController::changeModeOptionAction);
  connect(val, &QComboBox::activated, this, &ViewController::changeValueAction);
  connect(CCnum, &QComboBox::activated, this, &ViewController::changeCCnumAction);
  connect(min, &QComboBox::activated, this, &ViewController::changeMinAction);
  connect(max, &QComboBox::activated, this, &ViewController::changeMaxAction);
  connect(cr, &QComboBox::activated, this, &ViewController::changeCRAction);
  connect(cg, &QComboBox::activated, this, &ViewController::changeCGAction);
  connect(cb, &QComboBox::activated, this, &ViewController::changeCBAction);

  connect(BulkButton, &QPushButton::clicked, this, &ViewController::bulkChange);
  connect(sendToKeyboardButton, &QPushButton::clicked, this, &ViewController::sendToKeyboardAction);
  connect(DefaultButton, &QPushButton::clicked, this, &ViewController::changeToDefaultAction);
  connect(LoadButton, &QPushButton::clicked, this, &ViewController::loadAction);
  connect(SaveButton, &QPushButton::clicked, this, &ViewController::saveAction);
  connect(gainsButton, &QPushButton::clicked, this, &ViewController::showGainsAction);
}

// ---------------------------------------------------------------------------
// Loading and showing the view

void ViewController::viewDidLoad() {
  // Bulk change state exists before the read, so nothing later finds it missing.
  bulkArray.clear();
  bulkBtn = std::make_shared<ButtonValue>();
  bulkBtn->buttonID = 100;
  bulkBtn->channel = 16;
  bulkBtn->max = 127;
  bulkBtn->CR = 100;
  bulkBtn->CG = 100;
  bulkBtn->CB = 100;
  isBulk = false;

  setStatus(kLoading);
  const bool read = padAction_.ReadPadValueFromDevice();
  setStatus(read ? kReadSucceeded : kConnectFailed);
  setUI();
  getItem();
  // The fixed texts stay as they are; what else there is to know follows
  // them (replacements) or goes into the tooltip (the details).
  QStringList notes;
  if (!read && !padAction_.lastError().empty()) {
    notes << QString::fromStdString(padAction_.lastError());
  }
  const ButtonAction::Replacements& replaced = padAction_.lastReplacements();
  if (read && !replaced.empty()) {
    setStatus(kReadSucceeded + replacedCount(replaced.size()));
    notes << replacementList(replaced, [this](std::int32_t index) { return controlNameFor(index); });
  }
  if (!settingsWarning.isEmpty()) notes << settingsWarning;
  message->setToolTip(notes.join(QStringLiteral("\n\n")));
  showPadValue();
  showColourSwatch();
}

void ViewController::viewDidAppear() {
  // Frame the two panels: 2 px of opaque grey 200/200/200.
  const QString frame =
      QStringLiteral("#%1 { border: 2px solid rgb(200, 200, 200); border-radius: 8px; }");
  globalView->setStyleSheet(frame.arg(globalView->objectName()));
  selectedView->setStyleSheet(frame.arg(selectedView->objectName()));
}

void ViewController::setUI() {
  controlName->setReadOnly(true);
  firmware->setReadOnly(true);
  initButtonImage();
}

void ViewController::initButtonImage() {
  for (int tag = kFirstTag; tag <= kLastTag; ++tag) {
    if (QAbstractButton* element = viewWithTag(tag))
      setImage(element, QStringLiteral("unselected"));
  }
}

void ViewController::showPadValue() {
  pad = padAction_.getPadValue();
  if (!pad) return;
  choose(globalC, pad->globalMIDIChannel);
  choose(globalO, pad->globalOctaveTransposition);
  choose(globalPVC, pad->globalPadVelocityCurve);
  choose(globalKA, pad->globalKnobAccelerationCurve);
  choose(globalVC, pad->globalVelocityCurve);
  choose(mem, pad->mem);
  firmware->setText(QString::fromStdString(pad->version));
  // Every path that replaces the preset (start-up read, Default, Load) ends here.
  showPadLights();
}

QAbstractButton* ViewController::viewWithTag(int tag) const {
  for (QAbstractButton* element : view_->findChildren<QAbstractButton*>()) {
    if (tagOf(element) == tag) return element;
  }
  return nullptr;
}

std::vector<QAbstractButton*> ViewController::taggedElements() const {
  std::vector<QAbstractButton*> elements;
  for (int tag = kFirstTag; tag <= kLastTag; ++tag) {
    if (QAbstractButton* element = viewWithTag(tag)) elements.push_back(element);
  }
  return elements;
}

void ViewController::setStatus(const QString& text) {
  message->setText(text);
}

// ---------------------------------------------------------------------------
// Choice lists

void ViewController::getItem() {
  for (QComboBox* menu : {globalC, globalO, globalPVC, globalKA, globalVC, mode, modeOption, val,
                          channel, CCnum, min, max, mem, cr, cg, cb}) {
    menu->clear();
  }
  pu = padAction_.InitializePopUp();
  pu.modeOptionArray.clear();
  fill(globalC, pu.globalCArray);
  fill(globalO, pu.globalOArray);
  fill(globalPVC, pu.globalPVCArray);
  fill(globalKA, pu.globalKAArray);
  fill(globalVC, pu.globalVCArray);
  fill(mode, pu.padModeArray);
  fill(modeOption, pu.modeOptionArray);
  fill(val, pu.valArray);
  fill(channel, pu.channelArray);
  fill(CCnum, pu.CCnumArray);
  fill(min, pu.minArray);
  fill(max, pu.maxArray);
  fill(mem, pu.memArray);
  fill(cr, pu.crArray);
  fill(cg, pu.cgArray);
  fill(cb, pu.cbArray);
  labelSelectors();
}

QString ViewController::controlNameFor(std::int32_t index) const {
  if (index >= 0 && static_cast<std::size_t>(index) < pu.nameArray.size()) {
    return QString::fromStdString(pu.nameArray[static_cast<std::size_t>(index)]);
  }
  return QStringLiteral("Control %1").arg(index + 1);
}

// The control a selector element selects now (the white ones follow the bank).
std::int32_t ViewController::controlIndexOf(const QObject* element) const {
  const int tag = tagOf(element);
  const QString selector = element->property("selector").toString();
  if (selector == QLatin1String("white") && isSub) return tag + 7;
  if (selector == QLatin1String("other")) return tag + 7;
  return tag - 1;
}

// Each selector element is labelled with the name of the control it selects now.
void ViewController::labelSelectors() {
  for (QAbstractButton* element : taggedElements()) {
    element->setText(controlNameFor(controlIndexOf(element)));
  }
}

// Each element that stands for a pad shows that pad's colour in the current
// preset, so the colour scheme reads at a glance; the others show no light.
void ViewController::showPadLights() {
  for (QAbstractButton* element : taggedElements()) {
    const std::int32_t index = controlIndexOf(element);
    const ButtonValuePtr record =
        isPadControl(index) ? padAction_.GetButtonValueWithID(index) : nullptr;
    if (record) {
      setLight(element, padColour(record->CR, record->CG, record->CB));
    } else {
      hideLight(element);
    }
  }
}

// ---------------------------------------------------------------------------
// Selection

void ViewController::fillMode() {
  mode->clear();
  fill(mode, isPad ? pu.padModeArray : pu.otherModeArray);
}

void ViewController::selectControl(QObject* element, std::int32_t index, bool refillMode) {
  ButtonValuePtr record = padAction_.GetButtonValueWithID(index);
  if (!record) {
    log::diag("no control at index %d", index);
    return;
  }
  // The mode list follows the control's kind, whatever kind of element was clicked.
  isPad = isPadControl(index);
  if (refillMode) fillMode();
  btn = record;
  log::diag("btn.id------>%d", btn->buttonID);
  log::diag("btn.modeOption------>%d", btn->modeOption);
  initButtonImage();
  setImage(qobject_cast<QAbstractButton*>(element), QStringLiteral("selected"));
  showButtonValue();
}

void ViewController::blackButtonAction(QObject* element) {
  const std::int32_t index = tagOf(element) - 1;
  if (!isBulk) {
    selectControl(element, index, true);
    return;
  }
  // Bulk selection: pad controls only, since the bulk record's pad mode and
  // colour cannot be sent to an other control.
  if (!isPadControl(index)) {
    log::diag("bulk selection takes pad controls only, not %d", index);
    return;
  }
  ButtonValuePtr record = padAction_.GetButtonValueWithID(index);
  if (!record) return;
  isPad = true;
  auto member = std::find(bulkArray.begin(), bulkArray.end(), record);
  auto* button = qobject_cast<QAbstractButton*>(element);
  if (member != bulkArray.end()) {
    bulkArray.erase(member);
    setImage(button, QStringLiteral("unselected"));
  } else {
    bulkArray.push_back(record);
    setImage(button, QStringLiteral("selected"));
  }
}

void ViewController::whiteButtonAction(QObject* element) {
  if (isBulk) return;
  const int tag = tagOf(element);
  selectControl(element, isSub ? tag + 7 : tag - 1, true);
}

void ViewController::otherButtonAction(QObject* element) {
  // Ignored in bulk mode like the white buttons: the bulk record stays current.
  if (isBulk) return;
  selectControl(element, tagOf(element) + 7, false);
}

void ViewController::changePadAction(QObject* element) {
  setImage(qobject_cast<QAbstractButton*>(element),
           isSub ? QStringLiteral("unselected") : QStringLiteral("selected"));
  isSub = !isSub;
  const std::int32_t index = btn ? btn->buttonID : 0;
  log::diag("btn.buttonID----->%d", index);
  ButtonValuePtr partner;
  if (index >= 0 && index <= 7) {
    partner = padAction_.GetButtonValueWithID(index + 8);
  } else if (index >= 8 && index <= 15) {
    partner = padAction_.GetButtonValueWithID(index - 8);
  }
  if (partner) btn = partner;
  if (btn && !isBulk) isPad = isPadControl(btn->buttonID);
  labelSelectors();
  showPadLights();
  showButtonValue();
}

// ---------------------------------------------------------------------------
// Showing the current control

void ViewController::showButtonValue() {
  if (!btn) return;
  log::diag("showButtonValue---------->%d", btn->buttonID);
  if (isBulk) {
    isPad = true;
    controlName->setText(kBulkName);
  } else {
    controlName->setText(controlNameFor(btn->buttonID));
  }
  choose(channel, btn->channel);
  choose(CCnum, btn->MIDInumb);
  choose(val, btn->value);
  changeModeOptionWithModeIndex();
  fillMode();
  choose(mode, btn->mode);
  choose(modeOption, btn->modeOption);
  choose(min, btn->min);
  choose(max, btn->max);
  choose(cr, btn->CR);
  choose(cg, btn->CG);
  choose(cb, btn->CB);
  const bool colour = isBulk || isPadControl(btn->buttonID);
  cr->setEnabled(colour);
  cg->setEnabled(colour);
  cb->setEnabled(colour);
  showColourSwatch();
}

void ViewController::showColourSwatch() {
  const bool colour = btn && (isBulk || isPadControl(btn->buttonID));
  const QColor shown = colour ? padColour(btn->CR, btn->CG, btn->CB) : QColor();
  if (shown.isValid()) {
    colourSwatch->setStyleSheet(
        QStringLiteral("background-color: rgb(%1, %2, %3); border: 1px solid rgb(120, 120, 120); "
                       "border-radius: 5px;")
            .arg(shown.red())
            .arg(shown.green())
            .arg(shown.blue()));
  } else {
    colourSwatch->setStyleSheet(
        QStringLiteral("border: 1px dashed rgb(170, 170, 170); border-radius: 5px;"));
  }
}

void ViewController::changeModeOptionWithModeIndex() {
  if (!btn) return;
  pu.modeOptionArray = isPad ? PadAction::GetPadModeOptionWithModeIndex(btn->mode)
                             : PadAction::GetOtherModeOptionWithModeIndex(btn->mode);
  modeOption->clear();
  fill(modeOption, pu.modeOptionArray);
}

// ---------------------------------------------------------------------------
// Edits

void ViewController::changeGlobalCAction(int position) {
  if (pad) pad->globalMIDIChannel = position;
}
void ViewController::changeGlobalOAction(int position) {
  if (pad) pad->globalOctaveTransposition = position;
}
void ViewController::changeGlobalPVCAction(int position) {
  if (pad) pad->globalPadVelocityCurve = position;
}
void ViewController::changeGlobalKAAction(int position) {
  if (pad) pad->globalKnobAccelerationCurve = position;
}
void ViewController::changeGlobalVCAction(int position) {
  if (pad) pad->globalVelocityCurve = position;
}
void ViewController::changeMemoryAction(int position) {
  if (pad) pad->mem = position;
}
void ViewController::changeChannelAction(int position) {
  if (btn) btn->channel = position;
}

void ViewController::changeModeAction(int position) {
  if (!btn) return;
  btn->mode = position;
  log::diag("btn.mode------>%d", btn->mode);
  btn->modeOption = 0;
  changeModeOptionWithModeIndex();
  choose(modeOption, 0);
}

void ViewController::changeModeOptionAction(int position) {
  if (btn) btn->modeOption = position;
}
void ViewController::changeValueAction(int position) {
  if (btn) btn->value = position;
}
void ViewController::changeCCnumAction(int position) {
  if (btn) btn->MIDInumb = position;
}
void ViewController::changeMinAction(int position) {
  if (btn) btn->min = position;
}
void ViewController::changeMaxAction(int position) {
  if (btn) btn->max = position;
}
void ViewController::changeCRAction(int position) {
  if (!btn) return;
  btn->CR = position;
  showColourSwatch();
  showPadLights();
}
void ViewController::changeCGAction(int position) {
  if (!btn) return;
  btn->CG = position;
  showColourSwatch();
  showPadLights();
}
void ViewController::changeCBAction(int position) {
  if (!btn) return;
  btn->CB = position;
  showColourSwatch();
  showPadLights();
}

// ---------------------------------------------------------------------------
// Bulk change

void ViewController::setBulkElementsEnabled(bool enabled) {
  for (QWidget* element : std::initializer_list<QWidget*>{
           globalC, globalO, globalPVC, globalKA, globalVC, val, channel, CCnum, min, max, mem,
           sendToKeyboardButton, DefaultButton, LoadButton, SaveButton}) {
    element->setEnabled(enabled);
  }
}

void ViewController::bulkChange() {
  const bool wasBulk = isBulk;
  isBulk = !isBulk;
  if (!wasBulk) {
    bulkArray.clear();
    initButtonImage();
    setBulkElementsEnabled(false);
    BulkButton->setText(kLeaveBulkTitle);
    btn = bulkBtn;
    showButtonValue();
    return;
  }
  for (const ButtonValuePtr& record : bulkArray) {
    record->mode = bulkBtn->mode;
    record->modeOption = bulkBtn->modeOption;
    record->CR = bulkBtn->CR;
    record->CG = bulkBtn->CG;
    record->CB = bulkBtn->CB;
  }
  showPadLights();
  setBulkElementsEnabled(true);
  BulkButton->setText(kEnterBulkTitle);
  // With bulk mode off, the bulk record's other fields would take edits that
  // nothing ever copies or sends; no control is current until the next pick.
  btn.reset();
  clearControlPanel();
}

void ViewController::clearControlPanel() {
  controlName->clear();
  modeOption->clear();
  pu.modeOptionArray.clear();
  for (QComboBox* menu : {mode, val, channel, CCnum, min, max, cr, cg, cb}) choose(menu, -1);
  showColourSwatch();
}

// ---------------------------------------------------------------------------
// Send

void ViewController::sendToKeyboardAction() {
  // A new message window for each send; one still open gives its view back first.
  if (messageWindow_) {
    messageWindow_->returnView();
    messageWindow_->close();
  }
  auto* window = new MessageController(messageView, view_->window());
  messageWindow_ = window;
  window->open();

  // The fixed texts say what happened; the detail line and the status field's
  // tooltip say why.
  auto report = [this, window](const QString& text, const std::string& why = {}) {
    setStatus(text);
    message->setToolTip(QString::fromStdString(why));
    if (messageWindow_ != window) return;
    window->setMessage(text);
    window->setDetail(QString::fromStdString(why));
  };
  if (!padAction_.OpenInterface()) {
    log::diag("send: %s", padAction_.lastError());
    report(kConnectFailed, padAction_.lastError());
    return;
  }
  report(kSending);
  // Let the window draw "发送中……" before the write holds the thread.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  const bool written = padAction_.WritePadValueToDevice();
  if (!written) {
    log::diag("send: %s", padAction_.lastError());
    report(kConnectFailed, padAction_.lastError());
    return;
  }
  report(kSendSucceeded);
}

void ViewController::upgradeFirmwareAction() {
  // The editor offers no firmware upgrade.
}

// ---------------------------------------------------------------------------
// Gains

void ViewController::showGainsAction() {
  if (!gainDialog_) gainDialog_ = new GainController(padAction_, view_->window());
  gainDialog_->show();
  gainDialog_->raise();
  gainDialog_->activateWindow();
}

// ---------------------------------------------------------------------------
// Default, load and save

void ViewController::showPresetProblem(const QString& title, const std::string& reason) {
  log::diag("%s: %s", title.toStdString(), reason);
  if (dialogs.showProblem)
    dialogs.showProblem(view_->window(), title, QString::fromStdString(reason));
}

// After the current preset was replaced: the firmware field keeps telling what
// the keyboard said, and the current control becomes the record at the same
// index of the new list, so later edits reach what is sent and saved.
void ViewController::showControlAfterReplace() {
  if (PadValuePtr global = padAction_.getPadValue()) {
    const auto& version = padAction_.deviceVersion();
    global->version = version ? *version : std::string(kNotConnected);
  }
  showPadValue();
  if (isBulk || !btn || btn == bulkBtn) return;
  if (ButtonValuePtr record = padAction_.GetButtonValueWithID(btn->buttonID)) {
    btn = record;
    isPad = isPadControl(btn->buttonID);
    showButtonValue();
  }
}

void ViewController::changeToDefaultAction() {
  const Outcome outcome = padAction_.GetDefaultValue();
  if (!outcome) {
    showPresetProblem(QStringLiteral("The default preset was not loaded"), outcome.message());
    return;
  }
  showControlAfterReplace();
}

void ViewController::loadAction() {
  const QString path =
      dialogs.openDocumentPath ? dialogs.openDocumentPath(view_->window()) : QString();
  if (path.isEmpty()) return;
  const Outcome imported = padAction_.fileAction().importDocument(path.toStdString());
  if (!imported) {
    showPresetProblem(QStringLiteral("The preset was not loaded"), imported.message());
    return;
  }
  const Outcome read = padAction_.GetTempValue();
  if (!read) {
    showPresetProblem(QStringLiteral("The preset was not loaded"), read.message());
    return;
  }
  showControlAfterReplace();
}

void ViewController::saveAction() {
  const Outcome written = padAction_.WriteButtonValuesToTemp();
  if (!written) {
    showPresetProblem(QStringLiteral("The preset was not saved"), written.message());
    return;
  }
  const QString path =
      dialogs.saveDocumentPath ? dialogs.saveDocumentPath(view_->window()) : QString();
  if (path.isEmpty()) return;
  const Outcome exported = padAction_.fileAction().exportWorkingCopy(path.toStdString());
  if (!exported) {
    showPresetProblem(QStringLiteral("The preset was not saved"), exported.message());
  }
}

}  // namespace padkbd::editor
