// The controller as the device commands reach it: raw USB, a MIDI port, the
// simulated controller (with its slots kept in a state file between runs) or
// the link a caller of cli::run makes, behind the tracing link, with
// the transport, storage and PadAction objects built over them. The tool's FileAction has no
// working copy: what it sends is kept in memory, and the editor's working copy is never touched.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "cli/Cli.h"
#include "cli/Console.h"
#include "cli/TraceLink.h"
#include "link/InterfaceAction.h"
#include "link/midiport/PortModule.h"
#include "model/KeyboardId.h"
#include "model/Outcome.h"
#include "protocol/PadAction.h"
#include "storage/FileAction.h"
#include "storage/FileLock.h"

namespace padkbd {
class SimulatedController;
class LibusbBackend;
}  // namespace padkbd

namespace padkbd::cli {

struct DeviceOptions {
  bool simulate = false;
  std::string stateFile;  // empty: the simulated controller starts fresh and is forgotten
  bool trace = false;
  LinkFactory link;                    // when set, makes the link instead of USB or --simulate
  MidiApi midiApi = MidiApi::Default;  // for a keyboard reached through a MIDI port
};

class DeviceSession {
 public:
  // `keyboard` is the keyboard in force (command line, settings, build); the
  // simulated controller is that keyboard unless its state file says otherwise.
  DeviceSession(const DeviceOptions& options, const KeyboardId& keyboard,
                const std::filesystem::path& resourceDir, Console& console);
  ~DeviceSession();
  DeviceSession(const DeviceSession&) = delete;
  DeviceSession& operator=(const DeviceSession&) = delete;

  // Loads the simulated controller's state file (when given and present),
  // waiting for another run that uses it; a failure is a reason for the user.
  Outcome start();
  // Saves the simulated controller's state file back (when given).
  Outcome finish();

  InterfaceAction& transport() { return *transport_; }
  FileAction& files() { return *files_; }
  PadAction& pad() { return *pad_; }
  TraceLink& trace() { return *trace_; }
  // What lists the USB MIDI devices: the simulated controller, or libusb.
  Discovery& discovery();
  UsbIds ids() const { return keyboard_.usb; }
  // The keyboard as the history knows it: its ids or port, and the serial
  // number of the one found.
  std::string historyKey() const;

  // Finds the controller; a failure says why, with the fix.
  Outcome find();
  // What find() says when there is no controller.
  std::string notFoundReason() const;
  // One line for the user on why opening or talking to the controller failed,
  // from what the link reported; `fallback` when nothing better is known.
  std::string explain(const std::string& fallback) const;

  // Whether Ctrl+C (or SIGTERM, SIGHUP) stopped the exchange.
  bool cancelled() const { return cancel_.load(); }
  const std::atomic<bool>& cancelFlag() const { return cancel_; }
  // Whether the keyboard is reached by raw USB (listening takes it from
  // the system then).
  bool rawUsb() const { return libusb_ != nullptr; }

 private:
  DeviceOptions options_;
  Console& console_;
  // Set by a signal from the session's start until the program ends; the
  // transport stops at it. A signal after the exchange changes nothing.
  std::atomic<bool>& cancel_;
  KeyboardId keyboard_;
  FileLock stateLock_;                     // two runs on one state file take turns
  std::unique_ptr<LibusbBackend> libusb_;  // raw USB, when the keyboard is reached so
  std::unique_ptr<Link> link_;
  SimulatedController* simulated_ = nullptr;  // the link, when it keeps a state file
  std::unique_ptr<TraceLink> trace_;
  std::unique_ptr<InterfaceAction> transport_;
  std::unique_ptr<FileAction> files_;
  std::unique_ptr<PadAction> pad_;
};

}  // namespace padkbd::cli
