// The options that choose the keyboard and the way to it, taken by the
// window and the tool alike, with the same names, values and meaning:
// --simulate[=FILE], --device VID:PID, --manufacturer M1M2M3, --port NAME,
// --midi-api alsa|jack. Each program's parser takes them as described here;
// what they say is checked and turned into a choice here.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "keyboard/Reach.h"
#include "model/Outcome.h"
#include "storage/Settings.h"

namespace padkbd {

struct KeyboardOption {
  const char* name;   // "--device"
  const char* value;  // "VID:PID"; "" for a flag
  TextId help;
};
std::span<const KeyboardOption> keyboardOptions();
// What an option's value must be ("a USB id VID:PID in hexadecimal (like
// 1209:0001)"), for a refused value; none for an option not listed here.
std::optional<TextId> wantedValue(std::string_view name);

// The options as given: each empty when not given.
struct KeyboardArgs {
  bool simulate = false;
  std::string stateFile;  // --simulate=FILE
  std::string device, manufacturer, port, midiApi;
};

// "--simulate=FILE" takes its value only with "=": a word after --simulate
// stays what it is (a document, a gain). Parsers that cannot say that of one
// option get the words with its value taken off (into `stateFile`) and
// --simulate left as a flag; words after "--" are left alone.
Result<std::vector<std::string>> takeSimulateState(const std::vector<std::string>& words,
                                                   std::string& stateFile);

struct KeyboardChoice {
  ReachOptions reach;
  KeyboardSettings commandLine;  // over the settings file's
};
// The choice the options make; a refused value is a usage failure naming
// the option and what it wants.
Result<KeyboardChoice> keyboardChoice(const KeyboardArgs& args);

}  // namespace padkbd
