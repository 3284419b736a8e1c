#pragma once

// Builders for the bytes of hand-made (and hostile) WAVE files, written
// independently of the library's reader and writer, and whole-file I/O.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace spl_test {

using Bytes = std::vector<unsigned char>;

inline void append(Bytes& bytes, const std::string& text) {
  for (char c : text) bytes.push_back(static_cast<unsigned char>(c));
}

inline void appendLE(Bytes& bytes, std::uint64_t value, unsigned numBytes) {
  for (unsigned i = 0; i < numBytes; ++i) bytes.push_back((value >> (8 * i)) & 0xFF);
}

inline Bytes chunk(const std::string& id, const Bytes& payload) {
  Bytes bytes;
  append(bytes, id);
  appendLE(bytes, payload.size(), 4);
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  return bytes;
}

// A chunk whose size field says `declared`, whatever the payload holds.
inline Bytes chunkDeclaring(const std::string& id, std::uint32_t declared, const Bytes& payload) {
  Bytes bytes = chunk(id, payload);
  bytes[4] = declared & 0xFF;
  bytes[5] = (declared >> 8) & 0xFF;
  bytes[6] = (declared >> 16) & 0xFF;
  bytes[7] = (declared >> 24) & 0xFF;
  return bytes;
}

// A 16-byte format record (more with `extra` bytes behind it). Samples of a
// width that is not whole bytes take whole-byte containers.
inline Bytes formatRecord(unsigned formatId, unsigned channels, unsigned rate, unsigned bits,
                          const Bytes& extra = {}) {
  Bytes bytes;
  const unsigned blockAlign = channels * ((bits + 7) / 8);
  appendLE(bytes, formatId, 2);
  appendLE(bytes, channels, 2);
  appendLE(bytes, rate, 4);
  appendLE(bytes, std::uint64_t(rate) * blockAlign, 4);
  appendLE(bytes, blockAlign, 2);
  appendLE(bytes, bits, 2);
  bytes.insert(bytes.end(), extra.begin(), extra.end());
  return bytes;
}

// The 40-byte record of the extensible wrapper with the given sub-format code.
inline Bytes extensibleRecord(unsigned channels, unsigned rate, unsigned bits, unsigned subFormat) {
  Bytes extra;
  appendLE(extra, 22, 2);                     // size of the extension
  appendLE(extra, bits, 2);                   // valid bits
  appendLE(extra, channels == 2 ? 3 : 4, 4);  // channel mask
  appendLE(extra, subFormat, 2);
  for (unsigned char b :
       {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}) {
    extra.push_back(b);
  }
  return formatRecord(0xFFFE, channels, rate, bits, extra);
}

// "RIFF", a size, "WAVE" and the chunks in order.
inline Bytes riffWave(const std::vector<Bytes>& chunks) {
  Bytes body;
  append(body, "WAVE");
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  Bytes bytes;
  append(bytes, "RIFF");
  appendLE(bytes, body.size(), 4);
  bytes.insert(bytes.end(), body.begin(), body.end());
  return bytes;
}

inline void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!out) throw std::runtime_error("cannot write test file " + path);
}

inline Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::uint32_t readLE32(const Bytes& bytes, std::size_t offset) {
  return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
         std::uint32_t(bytes[offset + 3]) << 24;
}

}  // namespace spl_test
