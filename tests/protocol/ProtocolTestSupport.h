// Helpers of the protocol tests: a backend that passes every call on to the
// simulated controller while counting calls, handing out stray transfers
// before the controller's own replies, or throwing; and a decoder from
// USB-MIDI event packets back to the SysEx bytes they carry.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "padkbd/BuildConfig.h"
#include "sim/SimulatedController.h"
#include "usb/UsbBackend.h"

namespace padkbd::test {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t M1 = config::kManufacturerId[0];
inline constexpr std::uint8_t M2 = config::kManufacturerId[1];
inline constexpr std::uint8_t M3 = config::kManufacturerId[2];

// The SysEx bytes carried by a transfer of USB-MIDI event packets. Code index
// 4 carries three bytes, 6 two and 7 three; a transfer may end inside its
// last packet only after the bytes that packet carries. Empty when the
// packets do not form one whole SysEx message.
inline Bytes sysexOf(const Bytes& transfer) {
  Bytes out;
  std::size_t i = 0;
  while (i < transfer.size()) {
    const std::uint8_t cin = transfer[i] & 0x0F;
    const std::size_t carried = cin == 0x04 ? 3 : cin == 0x06 ? 2 : cin == 0x07 ? 3 : 0;
    if (carried == 0 || i + 1 + carried > transfer.size()) return {};
    out.insert(out.end(), transfer.begin() + static_cast<std::ptrdiff_t>(i + 1),
               transfer.begin() + static_cast<std::ptrdiff_t>(i + 1 + carried));
    i += 4;
    if (cin != 0x04) return i >= transfer.size() ? out : Bytes{};
  }
  return {};
}

class CountingBackend final : public UsbBackend {
 public:
  explicit CountingBackend(SimulatedController& sim) : sim_(sim) {}

  int findCalls = 0;
  int openCalls = 0;
  int closeCalls = 0;
  int releaseCalls = 0;
  // Transfers handed to the next reads before the controller's own replies.
  std::deque<Bytes> strayReads;
  // writePipe throws once this many writes went through.
  std::optional<int> throwAfterWrites;
  int writes = 0;
  // "open", "close", "release", "write <size>", "read" in call order.
  std::vector<std::string> calls;

  std::vector<UsbDevice> findDevices(std::uint16_t v, std::uint16_t p) override {
    ++findCalls;
    return sim_.findDevices(v, p);
  }
  std::vector<UsbInterfaceInfo> listInterfaces(const UsbDevice& d) override {
    return sim_.listInterfaces(d);
  }
  UsbStatus createInterface(const UsbDevice& d, int n, UsbInterfaceHandle& h) override {
    return sim_.createInterface(d, n, h);
  }
  UsbStatus openInterface(UsbInterfaceHandle h) override {
    ++openCalls;
    calls.push_back("open");
    return sim_.openInterface(h);
  }
  UsbStatus closeInterface(UsbInterfaceHandle h) override {
    ++closeCalls;
    calls.push_back("close");
    return sim_.closeInterface(h);
  }
  void releaseInterface(UsbInterfaceHandle h) override {
    ++releaseCalls;
    calls.push_back("release");
    sim_.releaseInterface(h);
  }
  UsbStatus numEndpoints(UsbInterfaceHandle h, int& c) override { return sim_.numEndpoints(h, c); }
  UsbStatus pipeProperties(UsbInterfaceHandle h, int pipe, UsbPipeProperties& p) override {
    return sim_.pipeProperties(h, pipe, p);
  }
  UsbStatus writePipe(UsbInterfaceHandle h, int pipe, const std::uint8_t* data,
                      std::size_t size) override {
    if (throwAfterWrites && writes >= *throwAfterWrites) throw std::runtime_error("backend broke");
    ++writes;
    calls.push_back("write " + std::to_string(size));
    return sim_.writePipe(h, pipe, data, size);
  }
  bool waitsForTimeouts() const override { return sim_.waitsForTimeouts(); }
  UsbStatus readPipe(UsbInterfaceHandle h, int pipe, std::uint8_t* data, std::size_t capacity,
                     std::size_t& received, std::chrono::milliseconds timeout) override {
    calls.push_back("read");
    if (!strayReads.empty()) {
      const Bytes stray = strayReads.front();
      strayReads.pop_front();
      received = std::min(capacity, stray.size());
      std::copy_n(stray.begin(), received, data);
      return UsbStatus::Success;
    }
    return sim_.readPipe(h, pipe, data, capacity, received, timeout);
  }

 private:
  SimulatedController& sim_;
};

}  // namespace padkbd::test
