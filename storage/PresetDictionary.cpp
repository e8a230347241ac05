#include "storage/PresetDictionary.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include <fmt/printf.h>

namespace padkbd {

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

std::int32_t clampToInt32(std::int64_t value) {
  if (value < kInt32Min) return static_cast<std::int32_t>(kInt32Min);
  if (value > kInt32Max) return static_cast<std::int32_t>(kInt32Max);
  return static_cast<std::int32_t>(value);
}

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

PlistNode stringNode(std::int32_t value) {
  return PlistNode(plist_new_string(fmt::sprintf("%d", value).c_str()));
}

}  // namespace

std::string PlistNode::toXml() const {
  if (node_ == nullptr) return {};
  char* xml = nullptr;
  std::uint32_t length = 0;
  plist_to_xml(node_, &xml, &length);
  if (xml == nullptr) return {};
  std::string text(xml, length);
  plist_to_xml_free(xml);
  return text;
}

std::int32_t leadingInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Accumulate toward the sign, stopping the growth once past the 32-bit
  // range: the remaining digits can only push further out.
  std::int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (magnitude <= kInt32Max + 1) magnitude = magnitude * 10 + (text[i] - '0');
  }
  return clampToInt32(negative ? -magnitude : magnitude);
}

bool hasIntegerKind(plist_t node) {
  switch (plist_get_node_type(node)) {
    case PLIST_STRING:
    case PLIST_UINT:
    case PLIST_REAL:
    case PLIST_BOOLEAN:
      return true;
    default:
      return false;
  }
}

std::int32_t integerOf(plist_t node) {
  if (node == nullptr) return 0;
  switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
      std::uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      return text == nullptr ? 0 : leadingInteger(std::string_view(text, length));
    }
    case PLIST_UINT: {
      // This libplist keeps every integer in 64 bits, negative ones in two's
      // complement.
      std::uint64_t raw = 0;
      plist_get_uint_val(node, &raw);
      return clampToInt32(static_cast<std::int64_t>(raw));
    }
    case PLIST_REAL: {
      double real = 0;
      plist_get_real_val(node, &real);
      if (std::isnan(real)) return 0;
      if (real <= static_cast<double>(kInt32Min)) return static_cast<std::int32_t>(kInt32Min);
      if (real >= static_cast<double>(kInt32Max)) return static_cast<std::int32_t>(kInt32Max);
      return static_cast<std::int32_t>(std::trunc(real));
    }
    case PLIST_BOOLEAN: {
      std::uint8_t flag = 0;
      plist_get_bool_val(node, &flag);
      return flag != 0 ? 1 : 0;
    }
    default:
      return 0;
  }
}

namespace ButtonAction {

PlistNode GetDicFromButtonValue(const ButtonValue& button) {
  PlistNode dic(plist_new_dict());
  for (const ButtonKey& key : kButtonKeys) {
    plist_dict_set_item(dic.get(), key.key, stringNode(button.*key.field).release());
  }
  return dic;
}

ButtonValuePtr GetButtonValueFromDic(plist_t dic) {
  auto button = std::make_shared<ButtonValue>();
  if (dic == nullptr || plist_get_node_type(dic) != PLIST_DICT) return button;
  for (const ButtonKey& key : kButtonKeys) {
    (*button).*key.field = integerOf(plist_dict_get_item(dic, key.key));
  }
  return button;
}

PlistNode GetDicFromPadValue(const PadValue& pad) {
  PlistNode dic(plist_new_dict());
  for (const PadKey& key : kPadKeys) {
    plist_dict_set_item(dic.get(), key.key, stringNode(pad.*key.field).release());
  }
  return dic;
}

PadValuePtr GetPadValueFromDic(plist_t dic) {
  auto pad = std::make_shared<PadValue>();
  if (dic == nullptr || plist_get_node_type(dic) != PLIST_DICT) return pad;
  for (const PadKey& key : kPadKeys) {
    (*pad).*key.field = integerOf(plist_dict_get_item(dic, key.key));
  }
  return pad;
}

PlistNode GetDicFromPreset(const ButtonValueList& buttons, const PadValue& global) {
  PlistNode array(plist_new_array());
  for (const ButtonValuePtr& button : buttons) {
    plist_array_append_item(array.get(),
                            GetDicFromButtonValue(button ? *button : ButtonValue{}).release());
  }
  PlistNode root(plist_new_dict());
  plist_dict_set_item(root.get(), kButtonArrayKey, array.release());
  plist_dict_set_item(root.get(), kGlobalValueKey, GetDicFromPadValue(global).release());
  return root;
}

}  // namespace ButtonAction

}  // namespace padkbd
