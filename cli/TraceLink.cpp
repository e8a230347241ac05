#include "cli/TraceLink.h"

#include <fmt/format.h>

namespace padkbd::cli {

std::string hexBytes(const std::uint8_t* data, std::size_t size) {
  std::string text;
  text.reserve(size * 3);
  for (std::size_t i = 0; i < size; ++i) {
    if (i != 0) text.push_back(' ');
    text += fmt::format("{:02x}", data[i]);
  }
  return text;
}

TraceLink::TraceLink(Link& inner, Console& console, bool trace)
    : inner_(inner), console_(console), trace_(trace) {}

void TraceLink::expectMessages(std::string what, std::size_t messageSize, std::size_t total) {
  progressWhat_ = std::move(what);
  progressSize_ = messageSize;
  progressTotal_ = total;
  progressDone_ = 0;
}

void TraceLink::endMessages() {
  progressSize_ = 0;
  console_.endProgress();
}

void TraceLink::traceLine(char direction, std::span<const std::uint8_t> bytes,
                          const std::string& failure) {
  if (!trace_) return;
  std::string text = fmt::format("{} {}", direction, hexBytes(bytes.data(), bytes.size()));
  if (bytes.empty()) text += "(nothing)";
  if (!failure.empty()) text += fmt::format("  [{}]", failure);
  console_.line(text);
}

Outcome TraceLink::send(std::span<const std::uint8_t> packets) {
  const Outcome sent = inner_.send(packets);
  if (!sent) ++failedWrites_;
  traceLine('>', packets, sent.message());
  if (progressSize_ != 0 && packets.size() == progressSize_ && progressDone_ < progressTotal_) {
    ++progressDone_;
    console_.progress(progressWhat_, progressDone_, progressTotal_);
  }
  return sent;
}

Result<std::size_t> TraceLink::receive(std::span<std::uint8_t> into, Deadline deadline,
                                       const std::atomic<bool>* cancel) {
  const Result<std::size_t> received = inner_.receive(into, deadline, cancel);
  // Never trust a count larger than the buffer it describes.
  const std::size_t shown = received ? std::min(*received, into.size()) : 0;
  // A receive that brought nothing was a wait that ran out.
  traceLine('<', into.first(shown),
            !received    ? received.message()
            : shown == 0 ? "timed out"
                         : std::string());
  return received;
}

}  // namespace padkbd::cli
