// Whatever a keyboard sends back: the input is a stream of transfers (a
// length byte, 0-64, then that many bytes; 255 is a read that times out),
// handed in turn to a full read, a send and a gains apply. A read that
// completes gives 64 records with their ids and every value within its list;
// one that fails leaves the default preset.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/Log.h"
#include "protocol/ButtonAction.h"
#include "protocol/PadAction.h"
#include "storage/FileAction.h"
#include "tests/support/ScriptedBackend.h"
#include "usb/InterfaceAction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace padkbd;
  static const bool quiet = [] {
    log::setEnabled(log::Channel::Diagnostic, false);
    log::setEnabled(log::Channel::Output, false);
    return true;
  }();
  (void)quiet;

  test::ScriptedBackend backend;
  for (std::size_t at = 0; at < size;) {
    const std::uint8_t length = data[at++];
    test::ScriptedBackend::Read read;
    if (length == 0xFF) {
      read.status = UsbStatus::Timeout;
    } else {
      const std::size_t n = std::min<std::size_t>(length % 65, size - at);
      read.bytes.assign(data + at, data + at + n);
      at += n;
    }
    backend.reads.push_back(std::move(read));
  }

  InterfaceAction io(backend);
  FileAction files({}, {});
  PadAction pad(io, files);
  const bool read = pad.ReadPadValueFromDevice().ok();
  const CurrentPreset& current = pad.currentPreset();
  if (current.buttonValueArray.size() != static_cast<std::size_t>(kControlCount)) std::abort();
  if (read) {
    for (int i = 0; i < kControlCount; ++i) {
      if (pad.GetButtonValueWithID(i)->buttonID != i) std::abort();
    }
    if (!checkPreset({current.buttonValueArray, current.currentPadValue})) std::abort();
  } else {
    const Preset defaults = files.defaultPreset();
    for (int i = 0; i < kControlCount; ++i) {
      if (!(*pad.GetButtonValueWithID(i) == *defaults.buttons[static_cast<std::size_t>(i)])) {
        std::abort();
      }
    }
    if (pad.getPadValue()->version != "未连接") std::abort();
  }
  if (pad.OpenInterface()) pad.WritePadValueToDevice();
  if (pad.OpenInterface()) {
    ButtonAction::setGainWithArray(io, std::vector<std::int32_t>(ButtonAction::kGainCount, 64));
    io.KillInterface();
  }
  return 0;
}
