#include "cli/SetupCommands.h"

#include <fmt/format.h>

#include <algorithm>
#include <filesystem>

#include "cli/Documents.h"
#include "cli/Keyboard.h"
#include "link/Discovery.h"

namespace padkbd::cli {
namespace {

std::string keyboardLines(const ResolvedKeyboard& keyboard, const SettingsFile& settings) {
  std::error_code ec;
  const bool present = std::filesystem::exists(settings.path(), ec);
  const std::string port = keyboard.id.port.empty()
                               ? std::string()
                               : fmt::format("MIDI port      \"{}\"  ({})\n", keyboard.id.port,
                                             sourceName(keyboard.portSource));
  return fmt::format("keyboard       {}  ({})\n{}manufacturer   {}   ({})\nsettings file  {}{}\n",
                     formatUsbIds(keyboard.id.usb), sourceName(keyboard.usbSource), port,
                     formatManufacturerId(keyboard.id.manufacturer),
                     sourceName(keyboard.manufacturerSource), settings.path().string(),
                     present ? "" : " (none yet)");
}

// The system's MIDI ports, for a keyboard reached through one (padkbd use --port).
std::string midiPortLines(const MidiPortListing& listing, const std::string& inUse) {
  if (!listing.listed) {
    return fmt::format("\nMIDI ports: cannot be listed ({})\n", listing.listed.message());
  }
  std::string text = fmt::format("\nMIDI ports ({}):\n", listing.api);
  if (listing.ports.empty()) text += "  none\n";
  for (const MidiPort& port : listing.ports) {
    const bool used = portNameMatches(port.name, inUse);
    text += fmt::format("  {}  ({}{})\n", port.name,
                        port.input && port.output ? "in and out"
                        : port.input              ? "in only"
                                                  : "out only",
                        used ? "; in use" : "");
  }
  return text;
}

// One USB MIDI device: its ids and name, where it is, and whether it can be
// opened (with the commands that allow it, when this user may not).
std::string deviceLines(const MidiDeviceInfo& info, bool used) {
  std::string name = info.product.empty() ? std::string("(no name)") : info.product;
  if (!info.manufacturer.empty()) name += ", by " + info.manufacturer;
  std::string text = fmt::format("{}  {}\n           bus {}, port {}{}", formatUsbIds(info.ids),
                                 name, info.bus, info.port, used ? "; in use" : "");
  if (info.access == LinkAccess::Granted) return text + "; can be opened\n";
  if (info.access != LinkAccess::Denied) {
    return text + fmt::format("; cannot be opened ({})\n", info.accessProblem);
  }
  text +=
      "; this user may not open it\n"
      "           to allow it, run these two commands, then unplug the device and "
      "plug it in again:\n";
  const std::string commands = udevInstallCommands(info.ids);
  for (std::size_t at = 0, nl; at < commands.size(); at = nl + 1) {
    nl = std::min(commands.find('\n', at), commands.size());
    text += "             " + commands.substr(at, nl - at) + "\n";
  }
  return text;
}

}  // namespace

// Stores the ids given, forgets them (--reset), or with neither prints the
// keyboard in force and where it came from.
Ending runUse(Context& context, const Args& args) {
  KeyboardSettings& given = context.commandLine;
  if (!args.useIds.empty()) given.usb = parseUsbIds(args.useIds);
  if (args.reset) {
    if (Outcome forgot = context.settings.forgetKeyboard(); !forgot) return forgot;
  } else if (given.usb || given.manufacturer || given.port) {
    if (Outcome stored = context.settings.storeKeyboard(given); !stored) return stored;
  }
  // What is in force now, for the commands that follow (which take no ids).
  given = {};
  return printResult(keyboardLines(keyboardInForce(context), context.settings));
}

Ending runDevices(Context& context, const Args& args) {
  if (!args.udevIds.empty()) return printResult(udevRule(*parseUsbIds(args.udevIds)) + "\n");
  return withKeyboard(context, args, [&](Keyboard& keyboard) {
    const ResolvedKeyboard& inForce = keyboard.inForce;
    const MidiDeviceListing listing = keyboard.reach.listMidiDevices();
    if (!listing.listed) {
      return Outcome::failure(
          fmt::format("cannot list the USB devices: {}", listing.listed.message()));
    }
    std::string text;
    if (listing.devices.empty()) {
      text = "No USB MIDI device found. Is the keyboard plugged in and switched on?\n";
    }
    bool inUse = false;
    for (const MidiDeviceInfo& info : listing.devices) {
      const bool used = info.ids == inForce.id.usb;
      inUse = inUse || used;
      text += deviceLines(info, used);
    }
    if (!listing.devices.empty() && !inUse && inForce.id.port.empty()) {
      text += fmt::format(
          "None of them is the keyboard in use ({}, {}); choose one with \"padkbd use VID:PID "
          "[--manufacturer M1M2M3]\".\n",
          formatUsbIds(inForce.id.usb), sourceName(inForce.usbSource));
    }
    text += midiPortLines(keyboard.reach.listPorts(), inForce.id.port);
    return printResult(text);
  });
}

}  // namespace padkbd::cli
