// Any bytes as the simulated keyboard's state file: loading never crashes; a
// file that loads is saved and loads back to the same keyboard.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sim/SimulatedController.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Made once: a load starts from the initial settings, and the ids (the
  // only thing a file may leave as it finds them) are put back below.
  static padkbd::SimulatedController sim, again;
  sim.setKeyboard(padkbd::builtInKeyboard());
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!sim.loadStateText(text, "input")) return 0;
  const std::string saved = sim.stateText();
  if (!again.loadStateText(saved, "saved") || again.stateText() != saved) std::abort();
  return 0;
}
