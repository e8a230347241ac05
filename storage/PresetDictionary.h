// The preset dictionary: conversions between the settings records and
// property-list dictionaries. Writing stores every field as a "%d" string
// under its key, all keys in table order. Reading is lenient on purpose: it
// takes whatever integer a value gives and checks nothing else (the preset
// check in FileAction.h is a separate step).
#pragma once

#include <plist/plist.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/Fields.h"
#include "model/Records.h"

namespace padkbd {

// Owns one libplist node (and everything below it).
class PlistNode {
 public:
  PlistNode() = default;
  explicit PlistNode(plist_t node) : node_(node) {}
  ~PlistNode() { reset(); }
  PlistNode(PlistNode&& other) noexcept : node_(other.release()) {}
  PlistNode& operator=(PlistNode&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  PlistNode(const PlistNode&) = delete;
  PlistNode& operator=(const PlistNode&) = delete;

  plist_t get() const { return node_; }
  explicit operator bool() const { return node_ != nullptr; }
  // Gives up ownership, e.g. when the node is put into a container node.
  plist_t release() {
    plist_t node = node_;
    node_ = nullptr;
    return node;
  }
  void reset(plist_t node = nullptr) {
    if (node_ != nullptr) plist_free(node_);
    node_ = node;
  }

  // The node as XML property-list text (empty for no node).
  std::string toXml() const;

 private:
  plist_t node_ = nullptr;
};

// Keys of the control dictionary and the global dictionary, in table order.
struct ButtonKey {
  const char* key;
  std::int32_t ButtonValue::*field;
};
struct PadKey {
  const char* key;
  std::int32_t PadValue::*field;
};

// "BtnID", then the settings as the field table names them.
constexpr std::array<ButtonKey, 1 + kControlFields.size()> buttonKeys() {
  std::array<ButtonKey, 1 + kControlFields.size()> keys{};
  keys[0] = {"BtnID", &ButtonValue::buttonID};
  for (std::size_t i = 0; i < kControlFields.size(); ++i) {
    keys[i + 1] = {kControlFields[i].plistKey, kControlFields[i].member};
  }
  return keys;
}
constexpr std::array<PadKey, kGlobalFields.size()> padKeys() {
  std::array<PadKey, kGlobalFields.size()> keys{};
  for (std::size_t i = 0; i < kGlobalFields.size(); ++i) {
    keys[i] = {kGlobalFields[i].plistKey, kGlobalFields[i].member};
  }
  return keys;
}
inline constexpr auto kButtonKeys = buttonKeys();
inline constexpr auto kPadKeys = padKeys();

inline constexpr const char* kButtonArrayKey = "ButtonArray";
inline constexpr const char* kGlobalValueKey = "GlobalValue";

// Leading-integer parse: leading white space skipped, an optional sign and the
// digits after it taken, stop at the first other character; no digits give 0,
// a number beyond the 32-bit range gives the nearest limit.
std::int32_t leadingInteger(std::string_view text);

// The integer a property-list value stands for: strings by leadingInteger,
// integers clamped to 32 bits, reals truncated toward zero (NaN gives 0),
// booleans 1 or 0; no value, and arrays, dictionaries, dates and data give 0.
std::int32_t integerOf(plist_t node);

// True for the kinds that carry an integer (string, integer, real, boolean).
bool hasIntegerKind(plist_t node);

namespace ButtonAction {

PlistNode GetDicFromButtonValue(const ButtonValue& button);
// A node that is not a dictionary reads like an empty one.
ButtonValuePtr GetButtonValueFromDic(plist_t dic);
PlistNode GetDicFromPadValue(const PadValue& pad);
// None (nullptr) or a node that is not a dictionary gives all zeros. The
// version is always empty: it is no part of a preset.
PadValuePtr GetPadValueFromDic(plist_t dic);

// The whole preset dictionary: "ButtonArray" in list order, "GlobalValue".
PlistNode GetDicFromPreset(const ButtonValueList& buttons, const PadValue& global);

}  // namespace ButtonAction

}  // namespace padkbd
