// Whatever a keyboard sends back: the input is a stream of transfers (a
// length byte, 0-64, then that many bytes; 255 is a read that times out),
// handed in turn to a full read, a send and a gains apply. A read that
// completes gives 64 records with their ids and every value within its list;
// one that fails leaves the default preset.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "model/Log.h"
#include "protocol/ButtonAction.h"
#include "protocol/PadAction.h"
#include "storage/FileAction.h"
#include "tests/support/ScriptedBackend.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace padkbd;
  [[maybe_unused]] static const bool quiet = (log::setEnabled(log::Channel::Diagnostic, false),
                                              log::setEnabled(log::Channel::Output, false), true);
  // The default preset never changes: it is read once.
  static const Preset defaults = FileAction({}, {}).defaultPreset();

  test::ScriptedLink scripted;
  for (std::size_t at = 0; at < size;) {
    test::ScriptedBackend::Read& read = scripted.backend.reads.emplace_back();
    const bool timeout = data[at] == 0xFF;
    const std::size_t n = timeout ? 0 : std::min<std::size_t>(data[at] % 65, size - at - 1);
    if (timeout) read.status = UsbStatus::Timeout;
    read.bytes.assign(data + at + 1, data + at + 1 + n);
    at += 1 + n;
  }

  InterfaceAction& io = scripted.usb;
  FileAction files({}, {});
  PadAction pad(io, files);
  const bool read = pad.ReadPadValueFromDevice().ok();
  const Preset now{pad.currentPreset().buttonValueArray, pad.currentPreset().currentPadValue};
  // A failed read leaves the default preset, marked as not connected.
  PadValue unconnected = *defaults.global;
  unconnected.version = "未连接";
  const auto same = [](const auto& got, const auto& want) { return got && *got == *want; };
  if (read ? !checkPreset(now)
           : !std::ranges::equal(now.buttons, defaults.buttons, same) ||
                 !same(now.global, &unconnected))
    std::abort();
  // Any outcome will do: what is looked for is a crash or a read out of bounds.
  if (pad.OpenInterface()) (void)pad.WritePadValueToDevice();
  if (pad.OpenInterface()) {
    (void)ButtonAction::setGainWithArray(io,
                                         std::vector<std::int32_t>(ButtonAction::kGainCount, 64));
    io.KillInterface();
  }
  return 0;
}
