#include "link/Discovery.h"

#include <algorithm>
#include <cctype>

namespace padkbd {

namespace {

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

}  // namespace

bool portNameMatches(std::string_view name, std::string_view wanted) {
  return !wanted.empty() && lower(name).find(lower(wanted)) != std::string::npos;
}

std::optional<MidiApi> parseMidiApi(std::string_view name) {
  if (name == "alsa") return MidiApi::Alsa;
  if (name == "jack") return MidiApi::Jack;
  return std::nullopt;
}

}  // namespace padkbd
