// Which keyboard padkbd talks to: the USB vendor and product ids it looks
// for (or the MIDI port it is reached by), and the three SysEx manufacturer
// bytes its settings messages carry.
// Built-in defaults come from the build; the settings file and the command
// line choose another keyboard at run time.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace padkbd {

struct UsbIds {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  bool operator==(const UsbIds&) const = default;
};

using ManufacturerId = std::array<std::uint8_t, 3>;

struct KeyboardId {
  UsbIds usb;
  ManufacturerId manufacturer{};
  // Reached through the system's MIDI port whose name contains this (any
  // case); empty: through raw USB by its ids.
  std::string port{};
  bool operator==(const KeyboardId&) const = default;
};

// The ids the program was built with.
KeyboardId builtInKeyboard();

// "VID:PID" in hexadecimal ("1209:0001", "0x1209:0x0001"); none when malformed.
std::optional<UsbIds> parseUsbIds(std::string_view text);
// "1209:0001"
std::string formatUsbIds(UsbIds ids);

// Six hexadecimal digits, optionally with blanks or colons between the bytes
// ("00206B", "00 20 6b", "00:20:6B"); each byte 00-7F, as in a SysEx message.
std::optional<ManufacturerId> parseManufacturerId(std::string_view text);
// "00 20 6b"
std::string formatManufacturerId(const ManufacturerId& id);

// The udev rule line that lets the logged-in user open a device with these
// ids (uaccess: only the user at the seat, never world-writable).
std::string udevRule(UsbIds ids);
// The two shell commands that install that rule, one a line: a file of its
// own per device, so that a rule installed before stays.
std::string udevInstallCommands(UsbIds ids);

}  // namespace padkbd
