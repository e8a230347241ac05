// The USB transport: finds the controller, opens its second interface, and
// moves raw bytes with bulk writes (pipe 2) and bulk reads (pipe 1).
// State: the device found at start-up, the current interface and one shared
// 64-byte receive buffer that reads fill from the start and never clear.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "padkbd/BuildConfig.h"
#include "usb/UsbBackend.h"

namespace padkbd {

// What the last read delivered: the codec uses it to tell a value from a
// failed read (the buffer itself keeps earlier bytes either way).
struct ReadResult {
  UsbStatus status = UsbStatus::Success;
  std::size_t count = 0;
  bool ok() const { return status == UsbStatus::Success; }
};

class InterfaceAction {
 public:
  static constexpr std::size_t kReceiveBufferSize = 64;
  static constexpr std::size_t kReadSize = 63;  // byte 63 stays zero
  static constexpr int kReadPipe = 1;
  static constexpr int kWritePipe = 2;

  explicit InterfaceAction(UsbBackend& backend, std::uint16_t vendorId = config::kUsbVendorId,
                           std::uint16_t productId = config::kUsbProductId);

  bool FindDevice();
  bool CreateInterface();
  UsbStatus WriteToDeviceWithChar(const std::uint8_t* bytes, std::int32_t size);
  void ReadFromDevice();
  std::int8_t ReadValueFromDevice();
  std::array<std::string, 11> ReadVersionFromDevice();
  void openInterface();
  void closeInterface();
  void KillInterface();

  const ReadResult& lastRead() const;
  bool hasDevice() const;
  bool hasInterface() const;
  const std::array<std::uint8_t, kReceiveBufferSize>& receiveBuffer() const;
};

}  // namespace padkbd
