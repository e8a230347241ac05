// The keyboard dialog: the USB MIDI devices on the bus and the system's MIDI
// ports, the keyboard in use and where its ids came from, and the choice of
// another one (by USB ids, or by a port). A choice is stored in the settings
// file and used at once for the next send.
#pragma once

#include <QDialog>
#include <functional>

#include "editor/DeviceWorker.h"
#include "link/Discovery.h"
#include "storage/Settings.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;

namespace padkbd::editor {

// A message of the core ("the settings file is damaged (...); ...") as a
// sentence for the window.

class KeyboardController : public QDialog {
  Q_OBJECT

 public:
  // `keyboard` is what the program resolved at start, its warning included;
  // a choice is stored in `settings`.
  KeyboardController(DeviceWorker& worker, ResolvedKeyboard keyboard, SettingsFile settings,
                     QWidget* parent = nullptr);

  // Lists the bus again (the answer comes later) and shows the keyboard in use.
  void refresh();
  // What the last choice, or the reason it was refused, said.
  QString status() const;
  const ResolvedKeyboard& keyboard() const { return keyboard_; }

  // Where the list comes from (the device worker); tests give other buses.
  std::function<void(std::function<void(MidiDeviceListing)>)> listDevices;
  std::function<void(std::function<void(MidiPortListing)>)> listPorts;

  QTreeWidget* deviceList = nullptr;
  QLabel* deviceNote = nullptr;            // why the list is empty, or what a device needs
  QPlainTextEdit* udevCommands = nullptr;  // shown for a device this user may not open
  QLineEdit* usbIdsEdit = nullptr;
  QLineEdit* manufacturerEdit = nullptr;
  QTreeWidget* portList = nullptr;
  QLabel* portNote = nullptr;     // why there are no ports to show
  QLineEdit* portEdit = nullptr;  // empty: raw USB

 public slots:
  // Checks both fields, stores them and makes the transport look for that
  // keyboard. False, with the reason shown, when nothing changed.
  bool useKeyboardAction();

 private:
  void showKeyboardInForce();
  void showDeviceNote();
  void writeDeviceNote();
  void fitHeight();
  void refuse(QLineEdit* field, const QString& why);

  void showListing(MidiDeviceListing listing);
  void showPorts(MidiPortListing listing);

  DeviceWorker& worker_;
  ResolvedKeyboard keyboard_;
  SettingsFile settings_;
  MidiDeviceListing listing_;
  QLabel* usbInForce_ = nullptr;
  QLabel* manufacturerInForce_ = nullptr;
  QLabel* portInForce_ = nullptr;
  QLabel* settingsPath_ = nullptr;
  QLabel* warning_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace padkbd::editor
