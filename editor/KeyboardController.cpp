#include "editor/KeyboardController.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "editor/Words.h"
#include "link/Discovery.h"
#include "model/Log.h"

namespace padkbd::editor {

namespace {

enum Column { kIds, kName, kPlace, kState };

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

QString stateOf(const MidiDeviceInfo& device, bool inUse) {
  QString state;
  if (device.access == LinkAccess::Granted) {
    state = KeyboardController::tr("can be opened");
  } else if (device.access == LinkAccess::Denied) {
    state = KeyboardController::tr("this user may not open it");
  } else {
    state = KeyboardController::tr("cannot be opened (%1)").arg(q(device.accessProblem));
  }
  return inUse ? KeyboardController::tr("in use, %1").arg(state) : state;
}

QLabel* wrapping(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

// A list of rows with column headers; a few rows are usual, more scroll.
QTreeWidget* rowList(QWidget* parent, const char* name, const QStringList& headers, int least,
                     int most) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setHeaderLabels(headers);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setMinimumSize(620, least);
  list->setMaximumHeight(most);
  list->header()->setStretchLastSection(true);
  return list;
}

}  // namespace

KeyboardController::KeyboardController(DeviceWorker& worker, ResolvedKeyboard keyboard,
                                       SettingsFile settings, QWidget* parent)
    : QDialog(parent),
      worker_(worker),
      keyboard_(std::move(keyboard)),
      settings_(std::move(settings)) {
  setObjectName(QStringLiteral("keyboardDialog"));
  setWindowTitle(tr("Keyboard"));
  listDevices = [this](std::function<void(MidiDeviceListing)> done) {
    worker_.listDevices(this, std::move(done));
  };
  listPorts = [this](std::function<void(MidiPortListing)> done) {
    worker_.listPorts(this, std::move(done));
  };

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(18, 16, 18, 14);
  layout->setSpacing(12);

  auto* devices = new QGroupBox(tr("USB MIDI devices"), this);
  auto* devicesLayout = new QVBoxLayout(devices);
  deviceList = rowList(devices, "deviceList",
                       {tr("Device"), tr("Name"), tr("Bus, port"), tr("State")}, 70, 100);
  devicesLayout->addWidget(deviceList);
  deviceNote = wrapping(devices, "deviceNote");
  devicesLayout->addWidget(deviceNote);
  udevCommands = new QPlainTextEdit(devices);
  udevCommands->setObjectName(QStringLiteral("udevCommands"));
  udevCommands->setReadOnly(true);
  // Wrapped for reading only: a copy still gives each command on one line.
  udevCommands->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  udevCommands->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  udevCommands->setFixedHeight(udevCommands->fontMetrics().lineSpacing() * 4 + 14);
  udevCommands->hide();
  devicesLayout->addWidget(udevCommands);
  auto* refreshButton = new QPushButton(tr("Refresh"), devices);
  refreshButton->setObjectName(QStringLiteral("deviceRefreshButton"));
  refreshButton->setAutoDefault(false);
  devicesLayout->addWidget(refreshButton, 0, Qt::AlignLeft);
  layout->addWidget(devices);

  // Through the system's MIDI service nothing is detached from the keyboard:
  // a music program keeps its port meanwhile.
  auto* ports = new QGroupBox(tr("MIDI ports"), this);
  auto* portsLayout = new QVBoxLayout(ports);
  portList = rowList(ports, "portList", {tr("Port"), tr("Direction")}, 60, 90);
  portsLayout->addWidget(portList);
  portNote = wrapping(ports, "portNote");
  portsLayout->addWidget(portNote);
  layout->addWidget(ports);

  auto* inUse = new QGroupBox(tr("In use"), this);
  auto* inUseLayout = new QFormLayout(inUse);
  usbInForce_ = wrapping(inUse, "usbInForce");
  manufacturerInForce_ = wrapping(inUse, "manufacturerInForce");
  portInForce_ = wrapping(inUse, "portInForce");
  settingsPath_ = wrapping(inUse, "settingsPath");
  inUseLayout->addRow(tr("USB device:"), usbInForce_);
  inUseLayout->addRow(tr("Manufacturer bytes:"), manufacturerInForce_);
  inUseLayout->addRow(tr("MIDI port:"), portInForce_);
  inUseLayout->addRow(tr("Settings file:"), settingsPath_);
  warning_ = wrapping(inUse, "settingsWarning");
  warning_->setStyleSheet(QStringLiteral("color: #b3261e;"));
  inUseLayout->addRow(warning_);
  layout->addWidget(inUse);

  auto* choice = new QGroupBox(tr("Choose a keyboard"), this);
  auto* choiceLayout = new QFormLayout(choice);
  usbIdsEdit = new QLineEdit(choice);
  usbIdsEdit->setObjectName(QStringLiteral("usbIdsEdit"));
  usbIdsEdit->setPlaceholderText(tr("VID:PID, hexadecimal"));
  manufacturerEdit = new QLineEdit(choice);
  manufacturerEdit->setObjectName(QStringLiteral("manufacturerEdit"));
  manufacturerEdit->setPlaceholderText(tr("three bytes 00-7f, hexadecimal"));
  choiceLayout->addRow(tr("USB device (VID:PID):"), usbIdsEdit);
  choiceLayout->addRow(tr("Manufacturer bytes:"), manufacturerEdit);
  portEdit = new QLineEdit(choice);
  portEdit->setObjectName(QStringLiteral("portEdit"));
  portEdit->setPlaceholderText(tr("empty: raw USB"));
  portEdit->setClearButtonEnabled(true);
  choiceLayout->addRow(tr("MIDI port:"), portEdit);
  auto* hint = wrapping(choice, "keyboardHint");
  hint->setText(
      tr("Pick a device or a port above, or type them. With a MIDI port named (any part "
         "of its name), the keyboard is reached through it and music programs keep it; "
         "with none, by raw USB. The manufacturer bytes are the three bytes after F0 in "
         "the keyboard's settings messages."));
  hint->setForegroundRole(QPalette::PlaceholderText);
  choiceLayout->addRow(hint);
  status_ = wrapping(choice, "keyboardStatus");
  status_->hide();
  choiceLayout->addRow(status_);
  layout->addWidget(choice);

  auto* buttons = new QHBoxLayout();
  auto* closeButton = new QPushButton(tr("Close"), this);
  closeButton->setObjectName(QStringLiteral("keyboardCloseButton"));
  auto* useButton = new QPushButton(tr("Use this keyboard"), this);
  useButton->setObjectName(QStringLiteral("keyboardUseButton"));
  closeButton->setAutoDefault(false);
  useButton->setAutoDefault(false);
  useButton->setDefault(true);
  buttons->addWidget(closeButton);
  buttons->addStretch(1);
  buttons->addWidget(useButton);
  layout->addLayout(buttons);

  connect(refreshButton, &QPushButton::clicked, this, &KeyboardController::refresh);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(useButton, &QPushButton::clicked, this, &KeyboardController::useKeyboardAction);
  // Only a pick by the user fills the field; refresh selects with signals blocked.
  const auto pick = [this](QTreeWidgetItem* item) {
    if (item == nullptr) return;
    const auto& device = listing_.devices.at(item->data(kIds, Qt::UserRole).toUInt());
    usbIdsEdit->setText(q(formatUsbIds(device.ids)));
    showDeviceNote();
  };
  connect(deviceList, &QTreeWidget::currentItemChanged, this, pick);
  connect(deviceList, &QTreeWidget::itemClicked, this, pick);
  const auto pickPort = [this](QTreeWidgetItem* item) {
    if (item != nullptr) portEdit->setText(item->text(0));
  };
  connect(portList, &QTreeWidget::currentItemChanged, this, pickPort);
  connect(portList, &QTreeWidget::itemClicked, this, pickPort);

  const KeyboardId& inForce = worker_.keyboard();
  usbIdsEdit->setText(q(formatUsbIds(inForce.usb)));
  manufacturerEdit->setText(q(formatManufacturerId(inForce.manufacturer)));
  portEdit->setText(q(inForce.port));
  refresh();
}

QString KeyboardController::status() const {
  return status_->text();
}

void KeyboardController::refresh() {
  showKeyboardInForce();
  if (listDevices)
    listDevices([this](MidiDeviceListing listing) { showListing(std::move(listing)); });
  if (listPorts) listPorts([this](MidiPortListing listing) { showPorts(std::move(listing)); });
}

void KeyboardController::showPorts(MidiPortListing listing) {
  const QSignalBlocker quiet(portList);
  portList->clear();
  const std::string& inForce = worker_.keyboard().port;
  for (const MidiPort& port : listing.ports) {
    const QString direction = port.input && port.output ? tr("in and out")
                              : port.input              ? tr("in only")
                                                        : tr("out only");
    auto* item = new QTreeWidgetItem(portList, {q(port.name), direction});
    if (portNameMatches(port.name, inForce)) {
      QFont font = item->font(0);
      font.setBold(true);
      item->setFont(0, font);
      item->setFont(1, font);
      portList->setCurrentItem(item);
    }
  }
  portList->resizeColumnToContents(0);
  if (!listing.listed) {
    portNote->setText(tr("The MIDI ports cannot be listed: %1.").arg(words(listing.listed)));
  } else if (listing.ports.empty()) {
    portNote->setText(tr("No MIDI ports (%1).").arg(q(listing.api)));
  } else {
    portNote->setText(tr("Through %1.").arg(q(listing.api)));
  }
  fitHeight();
}

void KeyboardController::showListing(MidiDeviceListing listing) {
  listing_ = std::move(listing);
  const UsbIds inForce = worker_.keyboard().usb;
  const QSignalBlocker quiet(deviceList);
  deviceList->clear();
  QTreeWidgetItem* chosen = nullptr;
  for (std::size_t n = 0; n < listing_.devices.size(); ++n) {
    const MidiDeviceInfo& device = listing_.devices[n];
    const bool used = device.ids == inForce;
    QString name = device.product.empty() ? tr("(no name)") : q(device.product);
    if (!device.manufacturer.empty()) name = tr("%1, by %2").arg(name, q(device.manufacturer));
    auto* item =
        new QTreeWidgetItem(deviceList, {q(formatUsbIds(device.ids)), name,
                                         tr("bus %1, port %2").arg(device.bus).arg(q(device.port)),
                                         stateOf(device, used)});
    item->setData(kIds, Qt::UserRole, static_cast<uint>(n));
    item->setToolTip(kState, item->text(kState));
    QFont font = item->font(kIds);
    font.setBold(used);
    for (int column = kIds; column <= kState; ++column) item->setFont(column, font);
    // The keyboard in use first, else the first one that needs a udev rule.
    if (used || (chosen == nullptr && device.access == LinkAccess::Denied)) chosen = item;
  }
  for (int column = kIds; column < kState; ++column) deviceList->resizeColumnToContents(column);
  deviceList->setCurrentItem(chosen);
  showDeviceNote();
  showKeyboardInForce();
}

// Wrapped notes and the commands may need more height than the open dialog
// has; a top-level layout does not grow it for them.
void KeyboardController::fitHeight() {
  if (!isVisible()) return;
  layout()->activate();
  const int needed = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width())
                                                   : layout()->totalMinimumSize().height();
  if (height() < needed) resize(width(), needed);
}

void KeyboardController::showDeviceNote() {
  writeDeviceNote();
  fitHeight();
}

void KeyboardController::writeDeviceNote() {
  udevCommands->hide();
  if (!listing_.listed) {
    deviceNote->setText(tr("The USB devices cannot be listed: %1.").arg(words(listing_.listed)));
    return;
  }
  if (listing_.devices.empty()) {
    deviceNote->setText(
        tr("No USB MIDI device found. Is the keyboard plugged in and switched on? "
           "Its ids can still be typed below."));
    return;
  }
  deviceNote->clear();
  const QTreeWidgetItem* item = deviceList->currentItem();
  if (item == nullptr) return;
  const MidiDeviceInfo& device = listing_.devices.at(item->data(kIds, Qt::UserRole).toUInt());
  const QString ids = q(formatUsbIds(device.ids));
  if (device.access == LinkAccess::Denied) {
    deviceNote->setText(tr("This user may not open %1. To allow it, run these two "
                           "commands, then unplug the device and plug it in again:")
                            .arg(ids));
    udevCommands->setPlainText(q(udevInstallCommands(device.ids)));
    udevCommands->show();
  } else if (device.access == LinkAccess::Busy) {
    deviceNote->setText(tr("Another program holds %1 (a MIDI application, for "
                           "example); close it to use the device here.")
                            .arg(ids));
  }
}

void KeyboardController::showKeyboardInForce() {
  const KeyboardId& inForce = worker_.keyboard();
  usbInForce_->setText(
      QStringLiteral("%1  (%2)")
          .arg(q(formatUsbIds(inForce.usb)), words(sourceText(keyboard_.usbSource))));
  manufacturerInForce_->setText(QStringLiteral("%1  (%2)")
                                    .arg(q(formatManufacturerId(inForce.manufacturer)),
                                         words(sourceText(keyboard_.manufacturerSource))));
  portInForce_->setText(inForce.port.empty()
                            ? tr("none: raw USB")
                            : QStringLiteral("“%1”  (%2)")
                                  .arg(q(inForce.port), words(sourceText(keyboard_.portSource))));
  std::error_code ec;
  const bool present = std::filesystem::exists(settings_.path(), ec);
  settingsPath_->setText(q(settings_.path().string()) + (present ? QString() : tr(" (none yet)")));
  warning_->setText(keyboard_.damage ? sentence(*keyboard_.damage) +
                                           tr(" Mend or delete the file to store a choice here.")
                                     : QString());
  warning_->setVisible(keyboard_.damage.has_value());
}

void KeyboardController::refuse(QLineEdit* field, const QString& why) {
  status_->setStyleSheet(QStringLiteral("color: #b3261e;"));
  status_->setText(why);
  status_->show();
  fitHeight();
  if (field != nullptr) {
    field->setFocus();
    field->selectAll();
  }
}

bool KeyboardController::useKeyboardAction() {
  const QString idsText = usbIdsEdit->text().trimmed();
  const QString bytesText = manufacturerEdit->text().trimmed();
  const std::optional<UsbIds> ids = parseUsbIds(idsText.toStdString());
  if (!ids) {
    refuse(usbIdsEdit, tr("“%1” is not a USB device id: write the vendor and product "
                          "id in hexadecimal, up to four digits each, as VID:PID.")
                           .arg(idsText));
    return false;
  }
  const std::optional<ManufacturerId> bytes = parseManufacturerId(bytesText.toStdString());
  if (!bytes) {
    refuse(manufacturerEdit,
           tr("“%1” are not three manufacturer bytes: write six hexadecimal digits, "
              "each byte 00 to 7f.")
               .arg(bytesText));
    return false;
  }
  const QString portText = portEdit->text().trimmed();
  std::optional<std::string> port;
  if (!portText.isEmpty()) port = portText.toStdString();
  const Outcome stored = settings_.storeKeyboard({ids, bytes, port});
  if (!stored) {
    log::diag("keyboard: %s", stored.message());
    refuse(nullptr, tr("The choice was not stored, and the editor still uses %1: %2")
                        .arg(q(formatUsbIds(worker_.keyboard().usb)), words(stored)));
    return false;
  }
  keyboard_.id = {*ids, *bytes, port.value_or(std::string())};
  keyboard_.usbSource = SettingSource::SettingsFile;
  keyboard_.manufacturerSource = SettingSource::SettingsFile;
  keyboard_.portSource = port ? SettingSource::SettingsFile : SettingSource::BuiltIn;
  // A damaged file is never stored into, so it reads well now.
  keyboard_.damage.reset();
  keyboard_.warning.clear();
  status_->setStyleSheet(QString());
  status_->show();
  const std::string chosen = port ? "“" + *port + "”" : formatUsbIds(*ids);
  status_->setText(tr("Stored. Looking for %1…").arg(q(chosen)));
  worker_.setKeyboard(keyboard_.id, this, [this, chosen](bool found) {
    status_->setText(tr("Stored. The next send goes to %1%2. The window still shows the settings "
                        "it had; sending writes them to this keyboard.")
                         .arg(q(chosen), found ? QString() : tr(", which is not connected now")));
    refresh();
  });
  return true;
}

}  // namespace padkbd::editor
