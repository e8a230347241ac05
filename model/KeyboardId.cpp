#include "model/KeyboardId.h"

#include <fmt/format.h>

#include <cctype>
#include <charconv>

#include "padkbd/BuildConfig.h"

namespace padkbd {
namespace {

std::optional<unsigned> parseHex(std::string_view text, std::size_t maxDigits) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

KeyboardId builtInKeyboard() {
  return {{config::kUsbVendorId, config::kUsbProductId}, config::kManufacturerId};
}

std::optional<UsbIds> parseUsbIds(std::string_view text) {
  const auto colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto vendor = parseHex(text.substr(0, colon), 4);
  const auto product = parseHex(text.substr(colon + 1), 4);
  if (!vendor || !product) return std::nullopt;
  return UsbIds{static_cast<std::uint16_t>(*vendor), static_cast<std::uint16_t>(*product)};
}

std::string formatUsbIds(UsbIds ids) {
  return fmt::format("{:04x}:{:04x}", ids.vendorId, ids.productId);
}

std::optional<ManufacturerId> parseManufacturerId(std::string_view text) {
  std::string digits;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ' || c == ':') {
      // Separators only between whole bytes.
      if (digits.size() % 2 != 0) return std::nullopt;
      continue;
    }
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    digits.push_back(c);
  }
  if (digits.size() != 6) return std::nullopt;
  ManufacturerId id{};
  for (std::size_t b = 0; b < id.size(); ++b) {
    const auto value = parseHex(std::string_view(digits).substr(2 * b, 2), 2);
    if (!value || *value > 0x7F) return std::nullopt;
    id[b] = static_cast<std::uint8_t>(*value);
  }
  return id;
}

std::string formatManufacturerId(const ManufacturerId& id) {
  return fmt::format("{:02x} {:02x} {:02x}", id[0], id[1], id[2]);
}

std::string udevRule(UsbIds ids) {
  return fmt::format(
      "SUBSYSTEM==\"usb\", ATTRS{{idVendor}}==\"{:04x}\", ATTRS{{idProduct}}==\"{:04x}\", "
      "TAG+=\"uaccess\"",
      ids.vendorId, ids.productId);
}

std::string udevInstallCommands(UsbIds ids) {
  return fmt::format(
      "echo '{}' | sudo tee /etc/udev/rules.d/70-padkbd-{:04x}-{:04x}.rules\n"
      "sudo udevadm control --reload",
      udevRule(ids), ids.vendorId, ids.productId);
}

}  // namespace padkbd
