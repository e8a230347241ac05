#include "usb/InterfaceAction.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include "model/Log.h"

namespace padkbd {
namespace {

// Statuses print as the platform's eight hex digits.
unsigned statusCode(UsbStatus status) {
  return static_cast<unsigned>(static_cast<std::int32_t>(status));
}

const char* directionName(int direction) {
  switch (direction) {
    case 0:
      return "out";
    case 1:
      return "in";
    case 2:
      return "none";
    case 3:
      return "any";
    default:
      return "???";
  }
}

const char* transferTypeName(int type) {
  switch (type) {
    case 0:
      return "control";
    case 1:
      return "isoc";
    case 2:
      return "bulk";
    case 3:
      return "interrupt";
    case 255:
      return "any";
    default:
      return "???";
  }
}

// The platform's device names are at most 127 bytes; a device cannot flood
// the log with a longer product string.
constexpr std::size_t kMaxNameLength = 127;

}  // namespace

InterfaceAction::InterfaceAction(UsbBackend& backend, std::uint16_t vendorId,
                                 std::uint16_t productId)
    : backend(backend), vendorId(vendorId), productId(productId) {}

InterfaceAction::~InterfaceAction() {
  if (currentInterface != 0) backend.releaseInterface(currentInterface);
}

void InterfaceAction::setIds(std::uint16_t newVendorId, std::uint16_t newProductId) {
  vendorId = newVendorId;
  productId = newProductId;
}

bool InterfaceAction::FindDevice() {
  try {
    std::optional<UsbDevice> found;
    for (const UsbDevice& device : backend.findDevices(vendorId, productId)) {
      log::diag("Found device with name:%s", device.name.substr(0, kMaxNameLength));
      found = device;  // the last match wins
    }
    currentDevice = std::move(found);
    if (!currentDevice) {
      log::diag("无法找到匹配的设备");
      return false;
    }
    return true;
  } catch (...) {
    return false;
  }
}

void InterfaceAction::dropInterface() {
  if (currentInterface == 0) return;
  backend.closeInterface(currentInterface);
  backend.releaseInterface(currentInterface);
  currentInterface = 0;
}

bool InterfaceAction::CreateInterface() {
  if (!currentDevice) return false;
  // A handle still held would keep its claim and block the new one.
  dropInterface();

  auto fail = [] {
    log::diag("无法找到设备接口");
    return false;
  };

  const std::vector<UsbInterfaceInfo> interfaces = backend.listInterfaces(*currentDevice);
  if (interfaces.size() < 2) {
    // There is no second interface to make the plug-in for.
    log::out("Unable to create a plug-in (%08x)\n", statusCode(UsbStatus::NotFound));
    return fail();
  }
  const UsbInterfaceInfo& info = interfaces[1];

  UsbInterfaceHandle handle = 0;
  const UsbStatus created = backend.createInterface(*currentDevice, info.number, handle);
  if (created != UsbStatus::Success) {
    log::out("Unable to create a plug-in (%08x)\n", statusCode(created));
    if (created == UsbStatus::AccessDenied) {
      log::diag(
          "No permission to use the controller: install the udev rule "
          "resources/70-padkbd.rules (see \"USB access on Linux\" in the README), then replug it");
    }
    if (handle != 0) backend.releaseInterface(handle);
    return fail();
  }
  if (handle == 0) {
    // The backend claimed success but gave no interface.
    log::out("Couldn’t create a device interface for the interface(%08x)\n", statusCode(created));
    return fail();
  }

  log::out("Interface class %d, subclass %d\n", info.interfaceClass, info.interfaceSubClass);

  const UsbStatus opened = backend.openInterface(handle);
  if (opened != UsbStatus::Success) {
    log::out("Unable to open interface (%08x)\n", statusCode(opened));
    if (opened == UsbStatus::Busy) {
      log::diag(
          "Another program holds the controller's interface; close it (for example a MIDI "
          "application) and try again");
    }
    backend.releaseInterface(handle);
    return fail();
  }

  int endpoints = 0;
  const UsbStatus counted = backend.numEndpoints(handle, endpoints);
  if (counted != UsbStatus::Success) {
    log::out("Unable to get number of endpoints (%08x)\n", statusCode(counted));
    backend.closeInterface(handle);
    backend.releaseInterface(handle);
    return fail();
  }
  log::out("Interface has %d endpoints\n", endpoints);

  for (int pipe = 1; pipe <= endpoints; ++pipe) {
    UsbPipeProperties properties;
    const UsbStatus status = backend.pipeProperties(handle, pipe, properties);
    if (status != UsbStatus::Success) {
      log::out("Unable to get properties of pipe %d (%08x)\n", pipe, statusCode(status));
      backend.closeInterface(handle);
      backend.releaseInterface(handle);
      return fail();
    }
    log::out("PipeRef %d: ", pipe);
    log::out("direction %s, ", directionName(properties.direction));
    log::out("transfer type %s, maxPacketSize %d\n", transferTypeName(properties.transferType),
             properties.maxPacketSize);
  }

  currentInterface = handle;
  return true;
}

UsbStatus InterfaceAction::WriteToDeviceWithChar(const std::uint8_t* bytes, std::int32_t size) {
  if (currentInterface == 0) return UsbStatus::NoDevice;
  if (size < 0 || (bytes == nullptr && size > 0)) return UsbStatus::InvalidParameter;

  const auto count = static_cast<std::size_t>(size);
  const UsbStatus status = backend.writePipe(currentInterface, kWritePipe, bytes, count);
  if (status != UsbStatus::Success) {
    log::out("Unable to perform bulk write (%08x)\n", statusCode(status));
    dropInterface();
  }

  std::string line;
  line.reserve(count * 3);
  for (std::size_t i = 0; i < count; ++i) line += fmt::sprintf("%02x ", bytes[i]);
  log::diag(line);
  log::out("Wrote %d bytes to bulk endpoint\n", size);
  return status;
}

std::size_t InterfaceAction::readIntoBuffer() {
  if (currentInterface == 0) {
    lastRead_ = {UsbStatus::NoDevice, 0};
    return 0;
  }
  // Read into a scratch buffer so that a failed or timed-out read leaves the
  // receive buffer exactly as it was.
  std::array<std::uint8_t, kReadSize> scratch{};
  std::size_t received = 0;
  const UsbStatus status =
      backend.readPipe(currentInterface, kReadPipe, scratch.data(), scratch.size(), received);
  if (status != UsbStatus::Success) {
    lastRead_ = {status, 0};
    return 0;
  }
  received = std::min(received, kReadSize);  // byte 63 is never written
  std::copy_n(scratch.begin(), received, receiveBuffer_.begin());
  lastRead_ = {status, received};
  return received;
}

std::string InterfaceAction::bufferHexLine() const {
  std::string line;
  line.reserve(kReceiveBufferSize * 3);
  for (std::uint8_t byte : receiveBuffer_) line += fmt::sprintf("%02x ", byte);
  return line;
}

std::string InterfaceAction::bufferText() const {
  // Byte 63 is always zero, so the text always ends inside the buffer.
  const auto end = std::find(receiveBuffer_.begin(), receiveBuffer_.end(), std::uint8_t{0});
  return std::string(receiveBuffer_.begin(), end);
}

void InterfaceAction::ReadFromDevice() {
  if (currentInterface == 0) {
    lastRead_ = {UsbStatus::NoDevice, 0};
    return;
  }
  const std::size_t count = readIntoBuffer();
  log::out("Read \"%s\" (%u bytes) from bulk endpoint\n", bufferText(),
           static_cast<unsigned>(count));
  log::diag(bufferHexLine());
}

std::int8_t InterfaceAction::ReadValueFromDevice() {
  if (currentInterface != 0) {
    const std::size_t count = readIntoBuffer();
    log::out("Read %u bytes from bulk endpoint\n", static_cast<unsigned>(count));
    log::diag("ReadValueFromDevice %s", bufferHexLine());
  } else {
    lastRead_ = {UsbStatus::NoDevice, 0};
  }
  return static_cast<std::int8_t>(receiveBuffer_[14]);
}

std::array<std::string, 11> InterfaceAction::ReadVersionFromDevice() {
  if (currentInterface != 0) {
    const std::size_t count = readIntoBuffer();
    log::out("Read \"%s\" (%u bytes) from bulk endpoint\n", bufferText(),
             static_cast<unsigned>(count));
    log::diag("readversion  %s", bufferHexLine());
  } else {
    lastRead_ = {UsbStatus::NoDevice, 0};
  }
  std::array<std::string, 11> strings;
  for (std::size_t i = 0; i < strings.size(); ++i) {
    strings[i] = fmt::sprintf("%02x", receiveBuffer_[i]);
  }
  return strings;
}

void InterfaceAction::openInterface() {
  if (currentInterface != 0) backend.openInterface(currentInterface);
}

void InterfaceAction::closeInterface() {
  if (currentInterface != 0) backend.closeInterface(currentInterface);
}

void InterfaceAction::KillInterface() {
  dropInterface();
}

const ReadResult& InterfaceAction::lastRead() const {
  return lastRead_;
}
bool InterfaceAction::hasDevice() const {
  return currentDevice.has_value();
}
bool InterfaceAction::hasInterface() const {
  return currentInterface != 0;
}
const std::array<std::uint8_t, InterfaceAction::kReceiveBufferSize>&
InterfaceAction::receiveBuffer() const {
  return receiveBuffer_;
}

}  // namespace padkbd
