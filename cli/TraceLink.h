// A link in front of the real one (raw USB, a MIDI port or the simulated
// controller) that watches every transfer: it writes each one as
// hexadecimal to standard error when tracing ("> " out, "< " in), drives the
// progress line, and counts the failed writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/Console.h"
#include "link/ForwardingLink.h"

namespace padkbd::cli {

class TraceLink final : public ForwardingLink {
 public:
  TraceLink(Link& inner, Console& console, bool trace);

  // Progress of a long exchange: every write of `messageSize` bytes counts
  // as one of `total` steps of `what` ("reading", "writing").
  void expectMessages(std::string what, std::size_t messageSize, std::size_t total);
  void endMessages();

  std::size_t failedWrites() const { return failedWrites_; }

  Outcome send(std::span<const std::uint8_t> packets) override;
  Result<std::size_t> receive(std::span<std::uint8_t> into, Deadline deadline,
                              const std::atomic<bool>* cancel) override;

 protected:
  Link& target() override { return inner_; }

 private:
  void traceLine(char direction, std::span<const std::uint8_t> bytes, const std::string& failure);

  Link& inner_;
  Console& console_;
  bool trace_;
  std::size_t failedWrites_ = 0;
  std::string progressWhat_;
  std::size_t progressSize_ = 0;
  std::size_t progressTotal_ = 0;
  std::size_t progressDone_ = 0;
};

// Hexadecimal dump as the trace writes it: "04 f0 7e 7f".
std::string hexBytes(const std::uint8_t* data, std::size_t size);

}  // namespace padkbd::cli
