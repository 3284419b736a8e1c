#include "tools/ContainerDataSize.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

namespace brisendel {

namespace {

// How far into a file the data chunk is looked for: metadata chunks before it (text,
// pictures) rarely take more.
constexpr std::size_t HEADER_BYTES = 1 << 20;

// Data sizes that writers streaming to a pipe put in a 32-bit field: all ones (the
// most common), and just below 2 GiB (for readers that take the field as signed).
bool isPlaceholder32(std::uint64_t size) {
  return size == 0xFFFFFFFFull || size == 0x7FFFFFFFull || size == 0x7FFFF000ull;
}

class Header {
 public:
  explicit Header(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return;
    _fileSize = static_cast<std::uint64_t>(file.tellg());
    _bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(_fileSize, HEADER_BYTES)));
    file.seekg(0);
    file.read(reinterpret_cast<char*>(_bytes.data()), static_cast<std::streamsize>(_bytes.size()));
    if (!file) _bytes.clear();
  }

  std::uint64_t fileSize() const { return _fileSize; }
  bool has(std::size_t at, std::size_t count) const {
    return at <= _bytes.size() && count <= _bytes.size() - at;
  }
  bool is(std::size_t at, const char* tag) const {
    const std::size_t n = std::strlen(tag);
    return has(at, n) && std::memcmp(_bytes.data() + at, tag, n) == 0;
  }
  // Unsigned integers of `count` bytes, little- or big-endian; 0 past the end.
  std::uint64_t little(std::size_t at, int count) const {
    std::uint64_t value = 0;
    if (!has(at, std::size_t(count))) return 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | _bytes[at + std::size_t(i)];
    return value;
  }
  std::uint64_t big(std::size_t at, int count) const {
    std::uint64_t value = 0;
    if (!has(at, std::size_t(count))) return 0;
    for (int i = 0; i < count; ++i) value = value << 8 | _bytes[at + std::size_t(i)];
    return value;
  }

 private:
  std::uint64_t _fileSize = 0;
  std::vector<std::uint8_t> _bytes;
};

// Where a data chunk was found: the offset of its first sample byte, the size its
// header declares, and whether that size is a placeholder.
struct Found {
  bool found = false;
  std::uint64_t start = 0;
  std::uint64_t declared = 0;
  bool streamed = false;
};

// RIFF, RIFX, RF64 and BW64: 4-character ids, 32-bit sizes (RF64's real ones in ds64),
// chunks padded to even sizes.
Found riff(const Header& h) {
  const bool bigEndian = h.is(0, "RIFX");
  const bool wide = h.is(0, "RF64") || h.is(0, "BW64");
  if (!(h.is(0, "RIFF") || bigEndian || wide) || !h.is(8, "WAVE")) return {};
  const auto size = [&](std::size_t at) { return bigEndian ? h.big(at, 4) : h.little(at, 4); };
  std::uint64_t wideDataSize = 0;
  for (std::size_t at = 12; h.has(at, 8);) {
    const std::uint64_t chunk = size(at + 4);
    if (h.is(at, "ds64")) wideDataSize = h.little(at + 16, 8);
    if (h.is(at, "data")) {
      Found found{true, at + 8, chunk, false};
      if (wide && chunk == 0xFFFFFFFFull) {
        found.declared = wideDataSize;
        found.streamed = wideDataSize == 0 || wideDataSize == ~0ull;
      } else {
        found.streamed = isPlaceholder32(chunk);
      }
      return found;
    }
    at += 8 + chunk + (chunk & 1);
  }
  return {};
}

// Sony Wave64: 16-byte ids whose first four bytes name them, 64-bit sizes that count
// the 24-byte chunk header, chunks aligned to 8 bytes.
Found wave64(const Header& h) {
  if (!h.is(0, "riff") || !h.is(24, "wave")) return {};
  for (std::size_t at = 40; h.has(at, 24);) {
    const std::uint64_t chunk = h.little(at + 16, 8);
    if (chunk < 24) return {};
    if (h.is(at, "data")) return {true, at + 24, chunk - 24, false};
    if (chunk > h.fileSize()) return {};
    at += static_cast<std::size_t>((chunk + 7) & ~std::uint64_t(7));
  }
  return {};
}

// AIFF and AIFC: big-endian 32-bit sizes, chunks padded to even sizes; the SSND
// chunk's samples follow its offset and block size fields.
Found aiff(const Header& h) {
  if (!h.is(0, "FORM") || !(h.is(8, "AIFF") || h.is(8, "AIFC"))) return {};
  for (std::size_t at = 12; h.has(at, 8);) {
    const std::uint64_t chunk = h.big(at + 4, 4);
    if (h.is(at, "SSND")) {
      if (chunk < 8) return {};
      return {true, at + 16, chunk - 8, isPlaceholder32(chunk)};
    }
    at += 8 + chunk + (chunk & 1);
  }
  return {};
}

// CAF: big-endian 64-bit sizes after an 8-byte file header; the data chunk starts with
// a 4-byte edit count, and a size of -1 means "to the end of the file".
Found caf(const Header& h) {
  if (!h.is(0, "caff")) return {};
  for (std::size_t at = 8; h.has(at, 12);) {
    const std::uint64_t chunk = h.big(at + 4, 8);
    if (h.is(at, "data")) {
      if (chunk == ~0ull) return {true, at + 16, 0, true};
      if (chunk < 4) return {};
      return {true, at + 16, chunk - 4, false};
    }
    if (chunk >= HEADER_BYTES) return {};
    at += 12 + static_cast<std::size_t>(chunk);
  }
  return {};
}

// Sun/NeXT AU: the data's offset and size in the header; all ones means unknown.
Found au(const Header& h) {
  const bool bigEndian = h.is(0, ".snd");
  if (!bigEndian && !h.is(0, "dns.")) return {};
  const auto field = [&](std::size_t at) { return bigEndian ? h.big(at, 4) : h.little(at, 4); };
  const std::uint64_t size = field(8);
  return {true, field(4), size, size == 0xFFFFFFFFull};
}

}  // namespace

ContainerDataSize ContainerDataSize::inspect(const std::string& path) {
  const Header header(path);
  ContainerDataSize result;
  for (const auto parse : {riff, wave64, aiff, caf, au}) {
    const Found found = parse(header);
    if (!found.found) continue;
    result._known = true;
    result._streamed = found.streamed;
    result._declared = found.declared;
    result._present = found.start < header.fileSize() ? header.fileSize() - found.start : 0;
    break;
  }
  return result;
}

}  // namespace brisendel
