// A UsbBackend whose answers are set by the test: the devices found, the
// interfaces listed, the status of each step, and a queue of write statuses
// and read deliveries. It records every call, so tests can check what the
// transport did (and that it did nothing).
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "usb/UsbBackend.h"

namespace padkbd::test {

class ScriptedBackend : public UsbBackend {
 public:
  struct Read {
    UsbStatus status = UsbStatus::Success;
    std::vector<std::uint8_t> bytes;      // copied up to the reader's capacity
    std::optional<std::size_t> reported;  // count to report instead of the bytes copied
  };

  std::vector<UsbDevice> devices = {{7, "scripted controller"}};
  bool throwOnFind = false;
  std::vector<UsbInterfaceInfo> interfaces = {{0, 1, 1}, {1, 1, 3}};
  UsbStatus createStatus = UsbStatus::Success;
  bool createGivesNoHandle = false;
  UsbStatus openStatus = UsbStatus::Success;
  UsbStatus endpointsStatus = UsbStatus::Success;
  std::vector<UsbPipeProperties> pipes = {{1, 1, 2, 64, 0}, {0, 2, 2, 64, 0}};
  int failingPipe = 0;  // pipeProperties of this pipe fails with pipeStatus
  UsbStatus pipeStatus = UsbStatus::Pipe;
  std::deque<UsbStatus> writeStatuses;  // one per write; Success when empty
  std::deque<Read> reads;               // one per read; Timeout with 0 bytes when empty

  // What happened.
  std::vector<std::string> calls;  // "create 1", "open 1", "close 1", "release 1", "write", "read"
  std::vector<std::vector<std::uint8_t>> written;  // bytes of every write, failed ones included
  std::vector<std::size_t> readSizes;              // what every read asked for
  int createdInterfaceNumber = -1;

  std::vector<UsbDevice> findDevices(std::uint16_t, std::uint16_t) override {
    calls.push_back("find");
    if (throwOnFind) throw std::runtime_error("scripted failure");
    return devices;
  }
  std::vector<UsbInterfaceInfo> listInterfaces(const UsbDevice&) override { return interfaces; }
  UsbStatus createInterface(const UsbDevice&, int number, UsbInterfaceHandle& handle) override {
    calls.push_back("create " + std::to_string(number));
    createdInterfaceNumber = number;
    handle = (createStatus == UsbStatus::Success && !createGivesNoHandle) ? nextHandle++ : 0;
    return createStatus;
  }
  UsbStatus openInterface(UsbInterfaceHandle h) override {
    calls.push_back("open " + std::to_string(h));
    return openStatus;
  }
  UsbStatus closeInterface(UsbInterfaceHandle h) override {
    calls.push_back("close " + std::to_string(h));
    return UsbStatus::Success;
  }
  void releaseInterface(UsbInterfaceHandle h) override {
    calls.push_back("release " + std::to_string(h));
  }
  UsbStatus numEndpoints(UsbInterfaceHandle, int& count) override {
    count = endpointsStatus == UsbStatus::Success ? static_cast<int>(pipes.size()) : 0;
    return endpointsStatus;
  }
  UsbStatus pipeProperties(UsbInterfaceHandle, int pipe, UsbPipeProperties& p) override {
    if (pipe == failingPipe) return pipeStatus;
    if (pipe < 1 || pipe > static_cast<int>(pipes.size())) return UsbStatus::NotFound;
    p = pipes[static_cast<std::size_t>(pipe - 1)];
    return UsbStatus::Success;
  }
  UsbStatus writePipe(UsbInterfaceHandle, int, const std::uint8_t* data,
                      std::size_t size) override {
    calls.push_back("write");
    written.emplace_back(data, data + size);
    if (writeStatuses.empty()) return UsbStatus::Success;
    const UsbStatus status = writeStatuses.front();
    writeStatuses.pop_front();
    return status;
  }
  // Its reads answer at once; a time-out means nothing more will come.
  bool waitsForTimeouts() const override { return false; }
  UsbStatus readPipe(UsbInterfaceHandle, int, std::uint8_t* data, std::size_t capacity,
                     std::size_t& received, std::chrono::milliseconds) override {
    calls.push_back("read");
    readSizes.push_back(capacity);
    received = 0;
    if (reads.empty()) return UsbStatus::Timeout;
    Read read = reads.front();
    reads.pop_front();
    const std::size_t n = std::min(capacity, read.bytes.size());
    std::copy_n(read.bytes.begin(), n, data);
    received = read.reported.value_or(n);
    return read.status;
  }

 private:
  UsbInterfaceHandle nextHandle = 1;
};

}  // namespace padkbd::test
