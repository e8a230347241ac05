// The history's headers for code that sees Qt: the member History::slots
// would be taken for Qt's `slots` keyword, which is set aside while they are
// read. Include this, never history/ directly, in the editor.
#pragma once

#pragma push_macro("slots")
#undef slots
#include "history/History.h"
#include "history/SendPreview.h"
#pragma pop_macro("slots")
