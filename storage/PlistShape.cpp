#include "storage/PlistShape.h"

#include <fmt/format.h>

#include <cstdint>
#include <vector>

namespace padkbd::plistshape {
namespace {

constexpr std::size_t kHeaderSize = 8;  // "bplist00"
constexpr std::size_t kTrailerSize = 32;

std::uint64_t bigEndian(std::string_view bytes, std::size_t at, std::size_t size) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  }
  return value;
}

struct Binary {
  std::string_view bytes;
  std::size_t refSize = 0;
  std::size_t objectEnd = 0;  // objects lie in [kHeaderSize, objectEnd)
  std::vector<std::uint64_t> offsets;
};

// The references of object `index` (empty for a leaf), or why it is broken.
std::optional<Text> references(const Binary& b, std::uint64_t index,
                               std::vector<std::uint64_t>& refs) {
  refs.clear();
  std::size_t at = b.offsets[index];
  const auto fail = [&](TextId why) {
    return std::optional<Text>(Text(why, {static_cast<unsigned long>(index)}));
  };
  const auto marker = static_cast<unsigned char>(b.bytes[at]);
  const unsigned type = marker >> 4;
  std::uint64_t count = marker & 0x0F;
  ++at;
  // Scalars: null/bool/fill, int, real, date, UID; their size is in the marker.
  std::size_t fixed = 0;
  switch (type) {
    case 0x0:
      return std::nullopt;
    case 0x1:  // integers of 1 to 16 bytes
    case 0x2:  // reals of 4 or 8 bytes
      if (count > (type == 0x1 ? 4u : 3u)) return fail(TextId::PlistUnknownSize);
      fixed = std::size_t{1} << count;
      break;
    case 0x3:
      fixed = 8;
      break;
    case 0x8:
      fixed = count + 1;
      break;
    case 0x4:
    case 0x5:
    case 0x6:
    case 0xA:
    case 0xC:
    case 0xD:
      break;
    default:
      return fail(TextId::PlistUnknownKind);
  }
  if (fixed != 0) {
    if (at + fixed > b.objectEnd) return fail(TextId::PlistPastObjects);
    return std::nullopt;
  }
  if (count == 0x0F) {
    // The count follows as an integer object.
    if (at >= b.objectEnd) return fail(TextId::PlistPastObjects);
    const auto countMarker = static_cast<unsigned char>(b.bytes[at]);
    if ((countMarker >> 4) != 0x1 || (countMarker & 0x0F) > 3)
      return fail(TextId::PlistBrokenLength);
    const std::size_t size = std::size_t{1} << (countMarker & 0x0F);
    if (at + 1 + size > b.objectEnd) return fail(TextId::PlistPastObjects);
    count = bigEndian(b.bytes, at + 1, size);
    at += 1 + size;
  }
  const std::uint64_t room = b.objectEnd - at;
  switch (type) {
    case 0x4:
    case 0x5:
      if (count > room) return fail(TextId::PlistPastObjects);
      return std::nullopt;
    case 0x6:
      if (count > room / 2) return fail(TextId::PlistPastObjects);
      return std::nullopt;
    default:
      break;
  }
  // Containers: a dictionary has its keys' references, then its values'.
  const std::uint64_t refCount = type == 0xD ? count * 2 : count;
  if (count > kMaxNodes || refCount > room / b.refSize) return fail(TextId::PlistPastObjects);
  refs.reserve(refCount);
  for (std::uint64_t r = 0; r < refCount; ++r) {
    const std::uint64_t ref = bigEndian(b.bytes, at + r * b.refSize, b.refSize);
    if (ref >= b.offsets.size()) return fail(TextId::PlistMissingObject);
    refs.push_back(ref);
  }
  return std::nullopt;
}

}  // namespace

std::optional<Text> binaryProblem(std::string_view bytes) {
  const auto fail = [](Text why) {
    return std::optional<Text>(Text(TextId::BinaryPlistBroken, {std::move(why)}));
  };
  if (bytes.size() < kHeaderSize + kTrailerSize) return fail(Text(TextId::PlistTooShort));
  const std::size_t trailer = bytes.size() - kTrailerSize;
  Binary b;
  b.bytes = bytes;
  const std::size_t offsetSize = static_cast<unsigned char>(bytes[trailer + 6]);
  b.refSize = static_cast<unsigned char>(bytes[trailer + 7]);
  const std::uint64_t objects = bigEndian(bytes, trailer + 8, 8);
  const std::uint64_t top = bigEndian(bytes, trailer + 16, 8);
  const std::uint64_t table = bigEndian(bytes, trailer + 24, 8);
  if (offsetSize < 1 || offsetSize > 8 || b.refSize < 1 || b.refSize > 8) {
    return fail(Text(TextId::PlistTrailerSizes));
  }
  if (objects == 0 || top >= objects) return fail(Text(TextId::PlistNoTop));
  if (objects > kMaxObjects) {
    return Text(TextId::PlistTooManyObjects,
                {static_cast<unsigned long>(objects), static_cast<unsigned long>(kMaxObjects)});
  }
  if (table < kHeaderSize || table > trailer || (trailer - table) / offsetSize < objects) {
    return fail(Text(TextId::PlistOffsetsOutside));
  }
  b.objectEnd = table;
  b.offsets.resize(objects);
  for (std::uint64_t i = 0; i < objects; ++i) {
    b.offsets[i] = bigEndian(bytes, table + i * offsetSize, offsetSize);
    if (b.offsets[i] < kHeaderSize || b.offsets[i] >= b.objectEnd) {
      return fail(Text(TextId::PlistObjectOutside, {static_cast<unsigned long>(i)}));
    }
  }

  // Depth-first from the top object with an explicit stack: the nodes each
  // object stands for once expanded (memoised), and how deep it goes. An
  // object met again while it is still open is a cycle.
  enum class State : std::uint8_t { New, Open, Done };
  std::vector<State> state(objects, State::New);
  std::vector<std::uint64_t> nodes(objects, 0);
  std::vector<std::uint32_t> height(objects, 0);
  struct Frame {
    std::uint64_t index;
    std::vector<std::uint64_t> refs;
    std::size_t next = 0;
  };
  std::vector<Frame> stack;
  const auto open = [&](std::uint64_t index) -> std::optional<Text> {
    Frame frame{index, {}, 0};
    if (auto problem = references(b, index, frame.refs)) return fail(*problem);
    state[index] = State::Open;
    stack.push_back(std::move(frame));
    if (stack.size() > kMaxDepth) {
      return Text(TextId::PlistTooDeep, {static_cast<unsigned long>(kMaxDepth)});
    }
    return std::nullopt;
  };
  if (auto problem = open(top)) return problem;
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next < frame.refs.size()) {
      const std::uint64_t child = frame.refs[frame.next++];
      if (state[child] == State::Open) return fail(Text(TextId::PlistSelfContaining));
      if (state[child] == State::New) {
        if (auto problem = open(child)) return problem;
      }
      continue;
    }
    std::uint64_t total = 1;
    std::uint32_t deepest = 0;
    for (std::uint64_t child : frame.refs) {
      total += nodes[child];
      deepest = std::max(deepest, height[child]);
      if (total > kMaxNodes) break;
    }
    if (total > kMaxNodes) {
      return Text(TextId::PlistTooManyValues, {static_cast<unsigned long>(kMaxNodes)});
    }
    nodes[frame.index] = total;
    height[frame.index] = deepest + 1;
    if (height[frame.index] > kMaxDepth) {
      return Text(TextId::PlistTooDeep, {static_cast<unsigned long>(kMaxDepth)});
    }
    state[frame.index] = State::Done;
    stack.pop_back();
  }
  return std::nullopt;
}

std::optional<Text> xmlProblem(std::string_view text) {
  const auto tooDeep = [] {
    return std::optional<Text>(Text(TextId::PlistTooDeep, {static_cast<unsigned long>(kMaxDepth)}));
  };
  std::size_t depth = 0;
  std::size_t elements = 0;
  std::size_t at = 0;
  // Skips past `end` from `from`; false when it never comes.
  const auto skipPast = [&](std::size_t from, std::string_view end) {
    const std::size_t found = text.find(end, from);
    if (found == std::string_view::npos) return false;
    at = found + end.size();
    return true;
  };
  // Markup left open at the end nests nothing more: the library judges the rest.
  const auto unclosed = [] { return std::optional<Text>(); };
  while ((at = text.find('<', at)) != std::string_view::npos) {
    const std::string_view rest = text.substr(at);
    if (rest.substr(0, 4) == "<!--") {
      if (!skipPast(at + 4, "-->")) return unclosed();
    } else if (rest.substr(0, 9) == "<![CDATA[") {
      if (!skipPast(at + 9, "]]>")) return unclosed();
    } else if (rest.substr(0, 2) == "<?") {
      if (!skipPast(at + 2, "?>")) return unclosed();
    } else if (rest.substr(0, 2) == "<!") {
      // A document type; an internal subset could declare entities.
      const std::size_t end = text.find('>', at);
      if (end == std::string_view::npos) return unclosed();
      if (text.substr(at, end - at).find('[') != std::string_view::npos) {
        return Text(TextId::PlistDocumentType);
      }
      at = end + 1;
    } else {
      // An element's tag; quoted attribute values may hold '>'.
      std::size_t end = at + 1;
      char quote = 0;
      for (; end < text.size(); ++end) {
        const char c = text[end];
        if (quote != 0) {
          if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
          quote = c;
        } else if (c == '>') {
          break;
        }
      }
      if (end >= text.size()) return unclosed();
      const bool closing = text[at + 1] == '/';
      const bool empty = text[end - 1] == '/';
      at = end + 1;
      if (closing) {
        if (depth > 0) --depth;
        continue;
      }
      if (++elements > kMaxNodes) {
        return Text(TextId::PlistTooManyElements, {static_cast<unsigned long>(kMaxNodes)});
      }
      if (!empty && ++depth > kMaxDepth) return tooDeep();
    }
  }
  return std::nullopt;
}

}  // namespace padkbd::plistshape
