#include "cli/Commands.h"

#include <fmt/format.h>

#include <cstdio>
#include <string_view>

#include "protocol/ButtonAction.h"
#include "session/EditSession.h"
#include "session/PresetReport.h"

namespace padkbd::cli {
namespace {

constexpr const char* kStdio = "-";
// The full write and the full read: 592 control messages and 6 global ones.
constexpr std::size_t kFullExchange = 598;
constexpr std::size_t kReadRequestSize = 15;
constexpr std::size_t kWriteMessageSize = 16;

// Reads a preset document, "-" meaning standard input, and checks it.
PresetRead readDocument(const std::string& file) {
  if (file != kStdio) return readPresetFile(file);
  std::string bytes;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) {
    bytes.append(buffer, n);
    if (bytes.size() > kMaxPresetFileBytes) {
      PresetRead refused;
      refused.outcome = Outcome::failure(
          fmt::format("more than {} bytes: not a preset document", kMaxPresetFileBytes));
      return refused;
    }
  }
  if (std::ferror(stdin)) {
    PresetRead refused;
    refused.outcome = Outcome::failure("standard input could not be read");
    return refused;
  }
  return parsePreset(bytes);
}

std::string nameOf(const std::string& file) {
  return file == kStdio ? std::string("standard input") : file;
}

bool writeStdout(std::string_view text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  return std::fflush(stdout) == 0 && written && !std::ferror(stdout);
}

// Writes a preset as a document: to standard output for "" or "-", else
// atomically to the file.
Outcome writeDocument(const std::string& output, const ButtonValueList& buttons,
                      const PadValue& global) {
  if (output.empty() || output == kStdio) {
    if (!writeStdout(presetToXml(buttons, global))) {
      return Outcome::failure("standard output could not be written");
    }
    return Outcome::success();
  }
  // The message names the file.
  return writePresetFile(output, buttons, global);
}

ChoiceLists choiceLists(Context& context) {
  FileAction files(context.resourceDir, {});
  ChoiceLists lists = files.readChoiceLists();
  if (lists.empty()) {
    context.console.diagnostic(
        fmt::format("choice labels not found (basic.plist in {}): showing numbers",
                    context.resourceDir.string()));
  }
  return lists;
}

// Why the last exchange failed, in one line for the user.
std::string failureReason(DeviceSession& session, const std::string& what,
                          const std::string& detail) {
  if (session.cancelled())
    return detail.empty() ? std::string("cancelled") : "cancelled: " + detail;
  if (!session.transport().hasDevice()) return session.notFoundReason();
  return session.explain(detail.empty() ? what : fmt::format("{}: {}", what, detail));
}

// Ends a device command: saves the simulated controller's state, and turns a
// failure to do so into a failed command. A command that a signal stopped
// ends with the signal's status.
int finish(Context& context, DeviceSession& session, int status) {
  if (Outcome saved = session.finish(); !saved) {
    context.console.error(saved.message());
    return kExitFailed;
  }
  if (status != kExitOk && session.cancelled()) return session.cancelledStatus();
  return status;
}

// The session of a device command, with the keyboard in force.
DeviceSession openSession(Context& context, const DeviceOptions& device) {
  return DeviceSession(device, keyboardInForce(context).id, context.resourceDir, context.console);
}

// Finds the controller, opens its interface and completes a handshake.
bool connect(Context& context, DeviceSession& session) {
  std::string reason;
  if (!session.find(reason)) {
    context.console.error(reason);
    return false;
  }
  if (Outcome opened = session.pad().OpenInterface(); !opened) {
    context.console.error(
        failureReason(session, "opening the controller failed", opened.message()));
    return false;
  }
  return true;
}

}  // namespace

ResolvedKeyboard keyboardInForce(Context& context) {
  ResolvedKeyboard resolved = resolveKeyboard(context.settings.read(), context.commandLine);
  if (!resolved.warning.empty()) context.console.warning(resolved.warning);
  return resolved;
}

int runCheck(Context& context, const std::vector<std::string>& files) {
  (void)context;
  int status = kExitOk;
  std::string report;
  for (const std::string& file : files) {
    const PresetRead read = readDocument(file);
    if (read.outcome) {
      report += fmt::format("{}: ok\n", file);
    } else {
      report += fmt::format("{}: {}\n", file, read.outcome.message());
      status = kExitFailed;
    }
  }
  if (!writeStdout(report)) return kExitFailed;
  return status;
}

int runShow(Context& context, const std::string& file, bool json) {
  const PresetRead read = readDocument(file);
  if (!read.outcome) {
    context.console.error(fmt::format("{}: {}", nameOf(file), read.outcome.message()));
    return kExitFailed;
  }
  const ChoiceLists lists = choiceLists(context);
  std::string text;
  if (json) {
    text = presetJson(read.preset, lists);
  } else {
    for (const std::string& line : presetLines(read.preset, lists)) text += line + "\n";
  }
  return writeStdout(text) ? kExitOk : kExitFailed;
}

int runDiff(Context& context, const std::string& first, const std::string& second) {
  if (first == kStdio && second == kStdio) {
    context.console.error("only one of the two presets can come from standard input");
    return kExitUsage;
  }
  const PresetRead a = readDocument(first);
  const PresetRead b = readDocument(second);
  bool readable = true;
  for (const auto* read : {&a, &b}) {
    if (!read->outcome) {
      context.console.error(
          fmt::format("{}: {}", nameOf(read == &a ? first : second), read->outcome.message()));
      readable = false;
    }
  }
  if (!readable) return kExitUsage;
  const std::vector<std::string> differences =
      presetDifferences(a.preset, b.preset, choiceLists(context));
  std::string text;
  for (const std::string& line : differences) text += line + "\n";
  if (!writeStdout(text)) return kExitUsage;
  return differences.empty() ? kExitOk : kExitFailed;
}

int runDefault(Context& context, const std::string& output) {
  FileAction files(context.resourceDir, {});
  const Preset preset = files.defaultPreset();
  if (Outcome written = writeDocument(output, preset.buttons, *preset.global); !written) {
    context.console.error(written.message());
    return kExitFailed;
  }
  return kExitOk;
}

int runInfo(Context& context, const DeviceOptions& device) {
  DeviceSession session = openSession(context, device);
  if (Outcome started = session.start(); !started) {
    context.console.error(started.message());
    return kExitFailed;
  }
  if (!connect(context, session)) return finish(context, session, kExitFailed);
  const auto& version = session.pad().deviceVersion();
  session.transport().KillInterface();
  if (!writeStdout(fmt::format("firmware {}\n", version.value_or("unknown")))) {
    return finish(context, session, kExitFailed);
  }
  return finish(context, session, kExitOk);
}

int runRead(Context& context, const DeviceOptions& device, const std::string& output) {
  DeviceSession session = openSession(context, device);
  if (Outcome started = session.start(); !started) {
    context.console.error(started.message());
    return kExitFailed;
  }
  session.trace().expectMessages("reading", kReadRequestSize, kFullExchange);
  const Outcome read = session.pad().ReadPadValueFromDevice();
  session.trace().endMessages();
  // Without the controller the editor falls back to the default preset; a
  // backup must not: nothing is written then.
  if (!read) {
    context.console.error(failureReason(session, "reading the controller failed", read.message()));
    return finish(context, session, kExitFailed);
  }
  if (session.cancelled()) {
    // Read whole, but the user asked to stop: no document either.
    context.console.error("cancelled; nothing written");
    return finish(context, session, kExitFailed);
  }
  const CurrentPreset& current = session.pad().currentPreset();
  const Preset preset{current.buttonValueArray, current.currentPadValue};
  if (const auto& replaced = session.pad().lastReplacements(); !replaced.empty()) {
    std::string list;
    for (const auto& replacement : replaced) {
      list += (list.empty() ? "" : "; ") + replacement.describe();
    }
    context.console.warning(
        fmt::format("{} {} from the keyboard {} outside {} list and {} set to the first entry: {}",
                    replaced.size(), replaced.size() == 1 ? "setting" : "settings",
                    replaced.size() == 1 ? "was" : "were", replaced.size() == 1 ? "its" : "their",
                    replaced.size() == 1 ? "was" : "were", list));
  }
  if (Outcome usable = checkPreset(preset); !usable) {
    context.console.error(
        fmt::format("the controller sent settings outside their lists ({}); nothing written",
                    usable.message()));
    return finish(context, session, kExitFailed);
  }
  if (Outcome written = writeDocument(output, preset.buttons, *preset.global); !written) {
    context.console.error(written.message());
    return finish(context, session, kExitFailed);
  }
  return finish(context, session, kExitOk);
}

int runSend(Context& context, const DeviceOptions& device, const std::string& file,
            std::optional<int> slot) {
  const PresetRead document = readDocument(file);
  if (!document.outcome) {
    context.console.error(
        fmt::format("{}: {}; nothing sent", nameOf(file), document.outcome.message()));
    return kExitFailed;
  }
  DeviceSession session = openSession(context, device);
  if (Outcome started = session.start(); !started) {
    context.console.error(started.message());
    return kExitFailed;
  }
  // The document is edited as the editor edits one, in memory only: the
  // file itself is left as it is. Slots are numbered 1-9 on the command
  // line, as the keyboard and the editor show them.
  EditSession edit(session.files(), document.preset, Origin{Origin::Kind::Document, nameOf(file)});
  if (slot) edit.setGlobal(GlobalField::MemorySlot, *slot - 1);
  if (Outcome loaded = session.pad().usePreset(edit.copyOfPreset()); !loaded) {
    context.console.error(fmt::format("{}: {}; nothing sent", nameOf(file), loaded.message()));
    return finish(context, session, kExitFailed);
  }
  const int target = edit.global()->mem;
  if (!connect(context, session)) return finish(context, session, kExitFailed);
  session.trace().expectMessages("writing", kWriteMessageSize, kFullExchange);
  const Outcome written = session.pad().WritePadValueToDevice();
  session.trace().endMessages();
  if (!written || session.trace().failedWrites() != 0) {
    context.console.error(
        failureReason(session, "sending to the controller failed", written.message()));
    return finish(context, session, kExitFailed);
  }
  context.console.note(fmt::format("sent {} to memory slot {}", nameOf(file), target + 1));
  return finish(context, session, kExitOk);
}

int runGains(Context& context, const DeviceOptions& device, const std::vector<int>& gains) {
  DeviceSession session = openSession(context, device);
  if (Outcome started = session.start(); !started) {
    context.console.error(started.message());
    return kExitFailed;
  }
  if (!connect(context, session)) return finish(context, session, kExitFailed);
  const std::vector<std::int32_t> values(gains.begin(), gains.end());
  const Outcome sent = ButtonAction::setGainWithArray(session.transport(), values);
  session.transport().KillInterface();
  if (!sent) {
    context.console.error(
        session.explain(fmt::format("sending the gains failed at {}", sent.message())));
    return finish(context, session, kExitFailed);
  }
  return finish(context, session, kExitOk);
}

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

}  // namespace

int runUse(Context& context, bool reset) {
  if (reset) {
    if (Outcome forgot = context.settings.forgetKeyboard(); !forgot) {
      context.console.error(forgot.message());
      return kExitFailed;
    }
  } else if (context.commandLine.usb || context.commandLine.manufacturer ||
             context.commandLine.port) {
    if (Outcome stored = context.settings.storeKeyboard(context.commandLine); !stored) {
      context.console.error(stored.message());
      return kExitFailed;
    }
  }
  // What is in force now, for the commands that follow (which take no ids).
  context.commandLine = {};
  const ResolvedKeyboard keyboard = keyboardInForce(context);
  return writeStdout(keyboardLines(keyboard, context.settings)) ? kExitOk : kExitFailed;
}

int runUdevRule(Context&, UsbIds ids) {
  return writeStdout(udevRule(ids) + "\n") ? kExitOk : kExitFailed;
}

int runDevices(Context& context, const DeviceOptions& device) {
  const ResolvedKeyboard keyboard = keyboardInForce(context);
  DeviceSession session(device, keyboard.id, context.resourceDir, context.console);
  if (Outcome started = session.start(); !started) {
    context.console.error(started.message());
    return kExitFailed;
  }
  const MidiDeviceListing listing = session.discovery().listMidiDevices();
  if (!listing.listed) {
    context.console.error(fmt::format("cannot list the USB devices: {}", listing.listed.message()));
    return finish(context, session, kExitFailed);
  }
  std::string text;
  if (listing.devices.empty()) {
    text = "No USB MIDI device found. Is the keyboard plugged in and switched on?\n";
  }
  bool inUse = false;
  for (const MidiDeviceInfo& info : listing.devices) {
    const bool used = info.ids == keyboard.id.usb;
    inUse = inUse || used;
    std::string name = info.product.empty() ? std::string("(no name)") : info.product;
    if (!info.manufacturer.empty()) name += ", by " + info.manufacturer;
    text += fmt::format("{}  {}\n", formatUsbIds(info.ids), name);
    text +=
        fmt::format("           bus {}, port {}{}", info.bus, info.port, used ? "; in use" : "");
    if (info.access == LinkAccess::Granted) {
      text += "; can be opened\n";
    } else if (info.access == LinkAccess::Denied) {
      text +=
          "; this user may not open it\n"
          "           to allow it, run these two commands, then unplug the device and "
          "plug it in again:\n";
      std::string commands = udevInstallCommands(info.ids);
      for (std::size_t at = 0, nl; at < commands.size(); at = nl + 1) {
        nl = std::min(commands.find('\n', at), commands.size());
        text += "             " + commands.substr(at, nl - at) + "\n";
      }
    } else {
      text += fmt::format("; cannot be opened ({})\n", info.accessProblem);
    }
  }
  if (!listing.devices.empty() && !inUse && keyboard.id.port.empty()) {
    text += fmt::format(
        "None of them is the keyboard in use ({}, {}); choose one with \"padkbd use VID:PID "
        "[--manufacturer M1M2M3]\".\n",
        formatUsbIds(keyboard.id.usb), sourceName(keyboard.usbSource));
  }
  text += midiPortLines(MidiPortLink::listPorts(device.midiApi), keyboard.id.port);
  if (!writeStdout(text)) return finish(context, session, kExitFailed);
  return finish(context, session, kExitOk);
}

}  // namespace padkbd::cli
