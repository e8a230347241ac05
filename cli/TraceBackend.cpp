#include "cli/TraceBackend.h"

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

TraceBackend::TraceBackend(UsbBackend& inner, Console& console, bool trace)
    : inner_(inner), console_(console), trace_(trace) {}

void TraceBackend::expectMessages(std::string what, std::size_t messageSize, std::size_t total) {
  progressWhat_ = std::move(what);
  progressSize_ = messageSize;
  progressTotal_ = total;
  progressDone_ = 0;
}

void TraceBackend::endMessages() {
  progressSize_ = 0;
  console_.endProgress();
}

UsbStatus TraceBackend::noteAccess(UsbStatus status) {
  if (status != UsbStatus::Success) accessFailure_ = status;
  return status;
}

void TraceBackend::traceLine(char direction, const std::uint8_t* data, std::size_t size,
                             UsbStatus status) {
  if (!trace_) return;
  std::string text = fmt::format("{} {}", direction, hexBytes(data, size));
  if (size == 0) text += "(nothing)";
  if (status != UsbStatus::Success) text += fmt::format("  [{}]", usbStatusName(status));
  console_.line(text);
}

UsbStatus TraceBackend::createInterface(const UsbDevice& device, int interfaceNumber,
                                        UsbInterfaceHandle& handle) {
  return noteAccess(inner_.createInterface(device, interfaceNumber, handle));
}

UsbStatus TraceBackend::openInterface(UsbInterfaceHandle handle) {
  return noteAccess(inner_.openInterface(handle));
}

UsbStatus TraceBackend::writePipe(UsbInterfaceHandle handle, int pipe, const std::uint8_t* data,
                                  std::size_t size) {
  const UsbStatus status = inner_.writePipe(handle, pipe, data, size);
  if (status != UsbStatus::Success) ++failedWrites_;
  traceLine('>', data, size, status);
  if (progressSize_ != 0 && size == progressSize_ && progressDone_ < progressTotal_) {
    ++progressDone_;
    console_.progress(progressWhat_, progressDone_, progressTotal_);
  }
  return status;
}

UsbStatus TraceBackend::readPipe(UsbInterfaceHandle handle, int pipe, std::uint8_t* data,
                                 std::size_t capacity, std::size_t& received,
                                 std::chrono::milliseconds timeout) {
  received = 0;
  const UsbStatus status = inner_.readPipe(handle, pipe, data, capacity, received, timeout);
  // Never trust a count larger than the buffer it describes.
  const std::size_t shown = received <= capacity ? received : capacity;
  traceLine('<', data, shown, status);
  return status;
}

}  // namespace padkbd::cli
