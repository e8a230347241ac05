// Temporary files that must not outlive the program: the file an atomic
// write fills before renaming it into place. While one exists its path is
// registered here, so that a signal that ends the program (Ctrl+C, a logout,
// a kill) removes it first; one left by a run killed outright (SIGKILL, a
// crash) is removed by the next write of the same file.
#pragma once

#include <atomic>
#include <filesystem>

namespace padkbd::tempfiles {

// Registers a path; the number given back unregisters it. -1 when every slot
// is taken (the file is then still removed by the next write, as if killed).
int add(const std::filesystem::path& path);
void remove(int slot);

// On SIGINT, SIGTERM and SIGHUP: removes the registered files and ends the
// program with status 128 + the signal's number (130, 143, 129).
void removeOnSignals();

// While an exchange with the keyboard runs, the first such signal only sets
// `flag` (the exchange stops cleanly and gives the interface back); a second
// one ends the program as above. Null: back to ending at once.
void cancelOnSignal(std::atomic<bool>* flag);
// The signal that set the flag, or 0.
int cancellingSignal();

// The name of the temporary file for `target` in this process: a hidden
// sibling, ".NAME.PID-N.tmp".
std::filesystem::path siblingFor(const std::filesystem::path& target, unsigned serial);
// Removes the temporary siblings of `target` that processes which no longer
// run left behind.
void removeStale(const std::filesystem::path& target);

}  // namespace padkbd::tempfiles
