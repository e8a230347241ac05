// The keyboard to use (`use`) and what there is to choose from (`devices`):
// the USB MIDI devices, whether this user may open them, and the MIDI ports.
#pragma once

#include "cli/Commands.h"

namespace padkbd::cli {

Ending runUse(Context& context, const Args& args);
Ending runDevices(Context& context, const Args& args);

}  // namespace padkbd::cli
