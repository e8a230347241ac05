// Property lists made to hurt a parser, for the tests, the benchmarks and
// the fuzz seeds: nested far deeper than a preset, sharing objects so that a
// small file stands for billions of values, containing themselves, or
// filling the size limit with values.
#pragma once

#include <cstddef>
#include <string>

namespace padkbd::test::hostile {

// Binary: arrays nested `levels` deep around one integer.
std::string deepBinary(std::size_t levels);
// Binary: `levels` arrays, each holding `fanout` references to the next.
std::string sharedBinary(std::size_t levels, std::size_t fanout);
// Binary: an array that holds itself.
std::string cyclicBinary();
// XML: arrays nested `levels` deep.
std::string deepXml(std::size_t levels, const std::string& open = "<array>");
// XML: one array of integers, about `bytes` long.
std::string wideXml(std::size_t bytes);

}  // namespace padkbd::test::hostile
