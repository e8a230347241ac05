// The selector surface to assistive technology: each element is a button
// named after its control and described by what it sends; the surface
// passes its focus to the element under its cursor.
#pragma once

#include <QString>
#include <cstdint>

#include "model/Records.h"

namespace padkbd {
class EditSession;
}

namespace padkbd::editor {

// Has the surface and its elements told as above, from now on (once for the program).
void installSurfaceAccessibility();

// What a control sends, on which channel, and a pad's colour:
// "note E1, channel 10, orange", "controller 20, channel Global".
QString describeControl(const EditSession& session, std::int32_t index, const ButtonValue& record);

}  // namespace padkbd::editor
