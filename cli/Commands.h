// The commands of the padkbd tool. Each returns the process exit status:
// 0 done, 1 refused or failed (with one line on standard error saying why),
// and for `diff` 1 "different" and 2 "unreadable".
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/Console.h"
#include "cli/Device.h"
#include "storage/Settings.h"

namespace padkbd::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct Context {
  Console& console;
  std::filesystem::path resourceDir;
  SettingsFile settings;
  KeyboardSettings commandLine;  // --device, --manufacturer (or use's ids)
};

// The keyboard in force: command line, then the settings file, then the
// build. A damaged settings file is a warning, and the built-in ids are used.
ResolvedKeyboard keyboardInForce(Context& context);

int runCheck(Context& context, const std::vector<std::string>& files);
int runShow(Context& context, const std::string& file, bool json);
int runDiff(Context& context, const std::string& first, const std::string& second);
int runDefault(Context& context, const std::string& output);

int runInfo(Context& context, const DeviceOptions& device);
int runRead(Context& context, const DeviceOptions& device, const std::string& output);
int runSend(Context& context, const DeviceOptions& device, const std::string& file,
            std::optional<int> slot);
int runGains(Context& context, const DeviceOptions& device, const std::vector<int>& gains);

// Stores the ids of context.commandLine, forgets them (`reset`), or with
// neither prints the keyboard in force and where it came from.
int runUse(Context& context, bool reset);
int runDevices(Context& context, const DeviceOptions& device);
int runUdevRule(Context& context, UsbIds ids);

}  // namespace padkbd::cli
