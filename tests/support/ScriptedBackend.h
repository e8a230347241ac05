// A UsbBackend whose answers the test sets: the devices found, the interfaces
// listed, the steps that fail, a queue of read deliveries: the odd replies
// and failures the simulated keyboard does not give. It records the calls,
// so tests can check what the transport did. ScriptedLink puts the transport
// over it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/InterfaceAction.h"
#include "link/usb/UsbBackend.h"
#include "link/usb/UsbLink.h"

namespace padkbd::test {

class ScriptedBackend : public UsbBackend {
 public:
  struct Read {
    UsbStatus status = UsbStatus::Success;
    std::vector<std::uint8_t> bytes;      // copied up to the reader's capacity
    std::optional<std::size_t> reported;  // count to report instead of the bytes copied
  };

  std::vector<UsbDevice> devices = {{7, "scripted controller"}};
  std::vector<UsbInterfaceInfo> interfaces = {{0, 1, 1}, {1, 1, 3}};
  int packetSize = 64;  // of the read pipe; the write pipe's is 64
  // Steps that fail, with their status: "create", "handle" (created without
  // a handle), "open", "endpoints", "pipe N"; "find" finds nothing.
  std::map<std::string, UsbStatus> failing;
  std::deque<Read> reads;  // one per read; then Timeout with 0 bytes

  std::vector<std::string> calls;      // "create N", "open", "close", "release"
  std::vector<std::size_t> readSizes;  // what every read asked for

  std::vector<UsbDevice> findDevices(std::uint16_t, std::uint16_t) override {
    if (failing.count("find")) return {};
    return devices;
  }
  std::vector<UsbInterfaceInfo> listInterfaces(const UsbDevice&) override { return interfaces; }
  UsbStatus createInterface(const UsbDevice&, int number, UsbInterfaceHandle& h) override {
    calls.push_back("create " + std::to_string(number));
    h = status("create") == UsbStatus::Success && !failing.count("handle") ? 1 : 0;
    return status("create");
  }
  UsbStatus openInterface(UsbInterfaceHandle) override { return step("open"); }
  UsbStatus closeInterface(UsbInterfaceHandle) override { return step("close"); }
  void releaseInterface(UsbInterfaceHandle) override { step("release"); }
  UsbStatus numEndpoints(UsbInterfaceHandle, int& count) override {
    count = 2;
    return status("endpoints");
  }
  UsbStatus pipeProperties(UsbInterfaceHandle, int pipe, UsbPipeProperties& p) override {
    p = {pipe == 1 ? 1 : 0, pipe, 2, pipe == 1 ? packetSize : 64, 0};
    return status("pipe " + std::to_string(pipe));
  }
  UsbStatus writePipe(UsbInterfaceHandle, int, const std::uint8_t*, std::size_t) override {
    return UsbStatus::Success;
  }
  // It answers at once: a time-out means nothing more will come.
  bool waitsForTimeouts() const override { return false; }
  UsbStatus readPipe(UsbInterfaceHandle, int, std::uint8_t* data, std::size_t capacity,
                     std::size_t& received, std::chrono::milliseconds) override {
    readSizes.push_back(capacity);
    received = 0;
    if (reads.empty()) return UsbStatus::Timeout;
    const Read read = std::move(reads.front());
    reads.pop_front();
    std::copy_n(read.bytes.begin(), std::min(capacity, read.bytes.size()), data);
    received = read.reported.value_or(std::min(capacity, read.bytes.size()));
    return read.status;
  }

 private:
  UsbStatus status(const std::string& name) const {
    const auto it = failing.find(name);
    return it == failing.end() ? UsbStatus::Success : it->second;
  }
  UsbStatus step(const std::string& name) {
    calls.push_back(name);
    return status(name);
  }
};

// The transport over raw USB with a scripted backend; open() finds and opens it.
struct ScriptedLink {
  ScriptedBackend backend;
  UsbLink link{backend};
  InterfaceAction usb{link};
  bool open() { return usb.FindDevice() && usb.CreateInterface(); }
};

}  // namespace padkbd::test
