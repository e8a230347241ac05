#include "keyboard/Options.h"

namespace padkbd {
namespace {

constexpr KeyboardOption kOptions[] = {
    {"--simulate", "", TextId::OptionSimulate},
    {"--device", "VID:PID", TextId::OptionDevice},
    {"--manufacturer", "M1M2M3", TextId::OptionManufacturer},
    {"--port", "NAME", TextId::OptionPort},
    {"--midi-api", "API", TextId::OptionMidiApi},
};

}  // namespace

std::span<const KeyboardOption> keyboardOptions() {
  return kOptions;
}

std::optional<TextId> wantedValue(std::string_view name) {
  if (name == "--device" || name == "--udev-rule" || name == "VID:PID") return TextId::WantsUsbIds;
  if (name == "--manufacturer") return TextId::WantsManufacturer;
  if (name == "--port") return TextId::WantsPortName;
  if (name == "--midi-api") return TextId::WantsMidiApi;
  return std::nullopt;
}

Result<std::vector<std::string>> takeSimulateState(const std::vector<std::string>& words,
                                                   std::string& stateFile) {
  std::vector<std::string> taken;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--") optionsEnded = true;
    if (!optionsEnded && i > 0 && word.rfind("--simulate=", 0) == 0) {
      stateFile = word.substr(11);
      if (stateFile.empty()) return Outcome::failure(Text(TextId::SimulateNeedsFile));
      taken.emplace_back("--simulate");
    } else {
      taken.push_back(word);
    }
  }
  return taken;
}

Result<KeyboardChoice> keyboardChoice(const KeyboardArgs& args) {
  KeyboardChoice choice;
  const auto refused = [](const char* option, const std::string& value) {
    return Outcome::failure(
        Text(TextId::OptionTakes, {option, Text(*wantedValue(option)), '"' + value + '"'}));
  };
  if (!args.device.empty()) {
    choice.commandLine.usb = parseUsbIds(args.device);
    if (!choice.commandLine.usb) return refused("--device", args.device);
  }
  if (!args.manufacturer.empty()) {
    choice.commandLine.manufacturer = parseManufacturerId(args.manufacturer);
    if (!choice.commandLine.manufacturer) return refused("--manufacturer", args.manufacturer);
  }
  if (!args.port.empty()) choice.commandLine.port = args.port;
  if (!args.midiApi.empty()) {
    const auto api = parseMidiApi(args.midiApi);
    if (!api) return refused("--midi-api", args.midiApi);
    choice.reach.midiApi = *api;
  }
  choice.reach.simulate = args.simulate || !args.stateFile.empty();
  choice.reach.stateFile = args.stateFile;
  return choice;
}

}  // namespace padkbd
