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

  // The backend must outlive this object.
  explicit InterfaceAction(UsbBackend& backend, std::uint16_t vendorId = config::kUsbVendorId,
                           std::uint16_t productId = config::kUsbProductId);
  // Gives a still-held interface back to the backend.
  ~InterfaceAction();
  InterfaceAction(const InterfaceAction&) = delete;
  InterfaceAction& operator=(const InterfaceAction&) = delete;

  // The USB ids FindDevice looks for (the command line can override the
  // build-time ones).
  void setIds(std::uint16_t vendorId, std::uint16_t productId);
  // The ids FindDevice looks for.
  std::uint16_t searchVendorId() const { return vendorId; }
  std::uint16_t searchProductId() const { return productId; }

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
  const std::optional<UsbDevice>& device() const { return currentDevice; }

 private:
  // One read into the receive buffer; returns the count delivered (0 when
  // nothing arrived or there is no interface). Records lastRead.
  std::size_t readIntoBuffer();
  std::string bufferHexLine() const;
  std::string bufferText() const;
  void dropInterface();  // close and release the held handle, if any

  UsbBackend& backend;
  std::uint16_t vendorId;
  std::uint16_t productId;
  std::optional<UsbDevice> currentDevice;
  UsbInterfaceHandle currentInterface = 0;  // 0: none
  std::array<std::uint8_t, kReceiveBufferSize> receiveBuffer_{};
  ReadResult lastRead_;
};

}  // namespace padkbd
