// The short list of platform operations the raw-USB link needs. UsbLink is
// written against this interface only; LibusbBackend provides it over
// libusb-1.0, and the tests script it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/Text.h"
#include <vector>

namespace padkbd {

// Result of a backend call. 0 is success; every other value names a failure.
// Printed by the transport with "%08x" as the platform status.
enum class UsbStatus : std::int32_t {
  Success = 0,
  IoError = 1,
  InvalidParameter = 2,
  AccessDenied = 3,
  NoDevice = 4,
  NotFound = 5,
  Busy = 6,
  Timeout = 7,
  Overflow = 8,
  Pipe = 9,
  Interrupted = 10,
  NoMemory = 11,
  NotSupported = 12,
  Other = 13,
};

// Short English name of a status, for messages meant for people.
// What a status means, for people; as a failure its code says what kind
// (an access denied is LinkDenied, a busy interface LinkBusy…).
Text usbStatusText(UsbStatus status);
std::string usbStatusName(UsbStatus status);

// A device the search found. `id` is the backend's own token; `name` is the
// device's product string, or its bus and address when it has none.
struct UsbDevice {
  std::uint64_t id = 0;
  std::string name;
  std::string serial{};  // empty where the device has none
};

struct UsbInterfaceInfo {
  int number = 0;
  int interfaceClass = 0;
  int interfaceSubClass = 0;
};

// Properties of pipe n, the n-th endpoint (from 1) of the interface's current
// alternate setting. Direction: 0 out, 1 in. Transfer type: 0 control,
// 1 isochronous, 2 bulk, 3 interrupt.
struct UsbPipeProperties {
  int direction = 0;
  int number = 0;
  int transferType = 0;
  int maxPacketSize = 0;
  int interval = 0;
};

// An interface made by createInterface; 0 is none.
using UsbInterfaceHandle = std::uint64_t;

class UsbBackend {
 public:
  virtual ~UsbBackend() = default;

  // Every device with these ids, in bus order.
  virtual std::vector<UsbDevice> findDevices(std::uint16_t vendorId, std::uint16_t productId) = 0;
  // The device's interfaces in the platform's order.
  virtual std::vector<UsbInterfaceInfo> listInterfaces(const UsbDevice& device) = 0;
  // Gains access to one interface of the device (libusb: opens the device).
  virtual UsbStatus createInterface(const UsbDevice& device, int interfaceNumber,
                                    UsbInterfaceHandle& handle) = 0;
  // Claims the interface for exclusive use, detaching a kernel driver that
  // holds it; the driver is given back on release.
  virtual UsbStatus openInterface(UsbInterfaceHandle handle) = 0;
  // Gives the claim up; the handle stays valid and can be opened again.
  virtual UsbStatus closeInterface(UsbInterfaceHandle handle) = 0;
  // Gives the handle up (closing it first if it is still open).
  virtual void releaseInterface(UsbInterfaceHandle handle) = 0;
  virtual UsbStatus numEndpoints(UsbInterfaceHandle handle, int& count) = 0;
  virtual UsbStatus pipeProperties(UsbInterfaceHandle handle, int pipe,
                                   UsbPipeProperties& properties) = 0;
  // One bulk transfer of exactly `size` bytes.
  virtual UsbStatus writePipe(UsbInterfaceHandle handle, int pipe, const std::uint8_t* data,
                              std::size_t size) = 0;
  // One bulk read of at most `capacity` bytes, waiting up to `timeout` for
  // the device's transfer; `received` is what arrived. Overflow (the device
  // sent more than `capacity`) and Timeout may come with bytes received.
  virtual UsbStatus readPipe(UsbInterfaceHandle handle, int pipe, std::uint8_t* data,
                             std::size_t capacity, std::size_t& received,
                             std::chrono::milliseconds timeout) = 0;

  // Whether readPipe waits out the time it is given when nothing comes (a
  // real device does); one that does not says by a time-out that nothing
  // will come at all.
  virtual bool waitsForTimeouts() const { return true; }
};

}  // namespace padkbd
