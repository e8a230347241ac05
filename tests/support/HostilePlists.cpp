#include "tests/support/HostilePlists.h"

#include <cstdint>
#include <vector>

namespace padkbd::test::hostile {
namespace {

std::size_t bytesFor(std::uint64_t value) {
  std::size_t size = 1;
  while (size < 8 && (value >> (8 * size)) != 0) ++size;
  return size;
}

std::string bigEndian(std::uint64_t value, std::size_t size) {
  std::string out;
  for (std::size_t i = size; i-- > 0;) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return out;
}

// A binary property list of arrays: object i holds the references refs[i]
// (an empty list makes it the integer 1). Object 0 is the top.
std::string binary(const std::vector<std::vector<std::uint64_t>>& refs) {
  const std::size_t refSize = bytesFor(refs.size());
  std::string out = "bplist00";
  std::vector<std::uint64_t> offsets;
  for (const auto& held : refs) {
    offsets.push_back(out.size());
    if (held.empty())
      out += "\x10\x01";
    else if (held.size() < 15)
      out.push_back(static_cast<char>(0xA0 | held.size()));
    else
      out += "\xAF\x13" + bigEndian(held.size(), 8);
    for (std::uint64_t ref : held) out += bigEndian(ref, refSize);
  }
  const std::uint64_t table = out.size();
  const std::size_t offsetSize = bytesFor(table);
  for (std::uint64_t offset : offsets) out += bigEndian(offset, offsetSize);
  out.append(6, '\0');
  out.push_back(static_cast<char>(offsetSize));
  out.push_back(static_cast<char>(refSize));
  return out + bigEndian(refs.size(), 8) + bigEndian(0, 8) + bigEndian(table, 8);
}

const std::string kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";

}  // namespace

std::string deepBinary(std::size_t levels) {
  std::vector<std::vector<std::uint64_t>> refs(levels + 1);
  for (std::size_t i = 0; i < levels; ++i) refs[i] = {i + 1};
  return binary(refs);
}

std::string sharedBinary(std::size_t levels, std::size_t fanout) {
  std::vector<std::vector<std::uint64_t>> refs(levels + 1);
  for (std::size_t i = 0; i < levels; ++i) refs[i].assign(fanout, i + 1);
  return binary(refs);
}

std::string cyclicBinary() {
  return binary({{1}, {0}});
}

std::string deepXml(std::size_t levels, const std::string& open) {
  std::string out = kXmlHead;
  for (std::size_t i = 0; i < levels; ++i) out += open;
  out += "<integer>1</integer>";
  for (std::size_t i = 0; i < levels; ++i) out += "</array>";
  return out + "</plist>\n";
}

std::string wideXml(std::size_t bytes) {
  std::string out = kXmlHead + "<array>";
  while (out.size() + 40 < bytes) out += "<integer>1</integer>";
  return out + "</array></plist>\n";
}

}  // namespace padkbd::test::hostile
