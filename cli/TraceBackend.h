// A UsbBackend in front of the real one (libusb or the simulated controller)
// that watches every call: it writes each transfer as hexadecimal to standard
// error when tracing ("> " out, "< " in), drives the progress line, and keeps
// the statuses that explain a failure (permission, busy, gone) to the user.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "cli/Console.h"
#include "usb/ForwardingBackend.h"

namespace padkbd::cli {

class TraceBackend final : public ForwardingBackend {
 public:
  TraceBackend(UsbBackend& inner, Console& console, bool trace);

  // Progress of a long exchange: every write of `messageSize` bytes counts
  // as one of `total` steps of `what` ("reading", "writing").
  void expectMessages(std::string what, std::size_t messageSize, std::size_t total);
  void endMessages();

  std::size_t failedWrites() const { return failedWrites_; }
  // The last failure of a call that gains access to the device (creating,
  // opening or releasing an interface): tells "permission" from "busy".
  std::optional<UsbStatus> accessFailure() const { return accessFailure_; }

  UsbStatus createInterface(const UsbDevice& device, int interfaceNumber,
                            UsbInterfaceHandle& handle) override;
  UsbStatus openInterface(UsbInterfaceHandle handle) override;
  UsbStatus writePipe(UsbInterfaceHandle handle, int pipe, const std::uint8_t* data,
                      std::size_t size) override;
  UsbStatus readPipe(UsbInterfaceHandle handle, int pipe, std::uint8_t* data, std::size_t capacity,
                     std::size_t& received, std::chrono::milliseconds timeout) override;
  bool waitsForTimeouts() const override { return inner_.waitsForTimeouts(); }

 protected:
  UsbBackend& target() override { return inner_; }

 private:
  UsbStatus noteAccess(UsbStatus status);
  void traceLine(char direction, const std::uint8_t* data, std::size_t size, UsbStatus status);

  UsbBackend& inner_;
  Console& console_;
  bool trace_;
  std::size_t failedWrites_ = 0;
  std::optional<UsbStatus> accessFailure_;
  std::string progressWhat_;
  std::size_t progressSize_ = 0;
  std::size_t progressTotal_ = 0;
  std::size_t progressDone_ = 0;
};

// Hexadecimal dump as the trace writes it: "04 f0 7e 7f".
std::string hexBytes(const std::uint8_t* data, std::size_t size);

}  // namespace padkbd::cli
