// Any bytes as the simulated keyboard's state file: loading never crashes; a
// file that loads is saved and loads back to the same keyboard.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sim/SimulatedController.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using padkbd::SimulatedController;
  SimulatedController sim;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!sim.loadStateText(text, "input")) return 0;
  SimulatedController again;
  if (!again.loadStateText(sim.stateText(), "saved")) std::abort();
  if (again.stateText() != sim.stateText()) std::abort();
  return 0;
}
