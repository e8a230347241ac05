// A look at property-list bytes before the property-list library parses
// them. A preset is small and shallow (a dictionary of two arrays of at most
// 64 dictionaries of numbers); the library recurses once per nesting level
// and copies every shared object, so a hostile file nested a hundred
// thousand levels deep, or one whose objects point at each other many times
// over, would exhaust its stack or its time. These checks refuse such files
// in one pass each, without recursion the input controls.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "model/Text.h"

namespace padkbd::plistshape {

// Far more than any preset needs (one has 5 levels, about 1,500 nodes).
inline constexpr std::size_t kMaxDepth = 8;
inline constexpr std::size_t kMaxNodes = 16384;
// Binary property lists share equal objects; a preset has at most a few thousand.
inline constexpr std::size_t kMaxObjects = 4096;

// Why a binary property list ("bplist..." bytes) is refused: a broken
// trailer or offset table, an object outside the file, a reference to no
// object or back to itself, nesting deeper than kMaxDepth, or more than
// kMaxNodes nodes once shared objects are counted every time they are used.
// None when its shape is fit to hand to the library.
std::optional<Text> binaryProblem(std::string_view bytes);

// The same for XML text: elements nested deeper than kMaxDepth (the plist
// element counted), more than kMaxNodes elements, or a document type with an
// internal subset (which could declare entities).
std::optional<Text> xmlProblem(std::string_view text);

}  // namespace padkbd::plistshape
