#pragma once

// The fuzzer's bytes read from the front as a host's calls: small numbers,
// integers, floats and choices. Past the end every read gives 0, so a short
// input is a short sequence, never an error; mutations that change one byte
// change one argument, which keeps the fuzzer's corpus useful across targets.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

class FuzzBytes {
 public:
  FuzzBytes(const std::uint8_t* data, std::size_t size) : _data(data), _size(size) {}

  // The sum of every byte, modulo 256. A run decides something rare by it
  // (RARE_SUM says yes):
  // nearly every mutation changes it, so the fuzzer cannot breed a corpus in
  // which the rare choice becomes the common one.
  static constexpr std::uint8_t RARE_SUM = 0xC1;
  static std::uint8_t sum(const std::uint8_t* data, std::size_t size) {
    std::uint8_t total = 0;
    for (std::size_t i = 0; i < size; ++i) total = static_cast<std::uint8_t>(total + data[i]);
    return total;
  }

  bool empty() const { return _at >= _size; }
  std::size_t remaining() const { return empty() ? 0 : _size - _at; }

  std::uint8_t u8() { return _at < _size ? _data[_at++] : 0; }
  std::uint16_t u16() { return static_cast<std::uint16_t>(u8() | (u8() << 8)); }
  std::uint32_t u32() { return static_cast<std::uint32_t>(u16()) | (std::uint32_t{u16()} << 16); }
  std::uint64_t u64() { return static_cast<std::uint64_t>(u32()) | (std::uint64_t{u32()} << 32); }
  bool flag() { return (u8() & 1) != 0; }
  // One of count choices (count > 0).
  unsigned pick(unsigned count) { return u8() % count; }

  // An integer as hosts send them: mostly small, sometimes any 32 bits.
  std::int32_t i32() {
    const std::uint8_t selector = u8();
    if (selector < 0xE0) return static_cast<std::int32_t>(selector) - 0x10;  // -16 .. 207
    switch (selector & 7) {
      case 0:
        return std::numeric_limits<std::int32_t>::min();
      case 1:
        return std::numeric_limits<std::int32_t>::max();
      case 2:
        return -1;
      default: {
        const std::uint32_t bits = u32();
        std::int32_t value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
      }
    }
  }
  // The same widened to a pointer-sized integer, with its own extremes.
  std::int64_t i64() {
    const std::uint8_t selector = u8();
    if (selector < 0xE0) return static_cast<std::int64_t>(selector) - 0x10;
    switch (selector & 7) {
      case 0:
        return std::numeric_limits<std::int64_t>::min();
      case 1:
        return std::numeric_limits<std::int64_t>::max();
      case 2:
        return std::int64_t{1} << 32;
      case 3:
        return std::numeric_limits<std::int32_t>::min();
      default: {
        const std::uint64_t bits = u64();
        std::int64_t value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
      }
    }
  }

  // A float as hosts send parameters and rates: mostly on a grid across 0..1
  // (so that every step of every parameter is reached), else the awkward
  // values, else any 32 bits (NaN payloads and denormals included).
  float f32() {
    const std::uint8_t selector = u8();
    if (selector <= 200) return static_cast<float>(selector) / 200.0f;
    constexpr float inf = std::numeric_limits<float>::infinity();
    static constexpr float special[] = {std::numeric_limits<float>::quiet_NaN(),
                                        -std::numeric_limits<float>::quiet_NaN(),
                                        inf,
                                        -inf,
                                        -0.0f,
                                        std::numeric_limits<float>::denorm_min(),
                                        std::numeric_limits<float>::min(),
                                        std::numeric_limits<float>::max(),
                                        std::numeric_limits<float>::lowest(),
                                        -1.0f,
                                        1.0f + std::numeric_limits<float>::epsilon(),
                                        1.0f - std::numeric_limits<float>::epsilon() / 2,
                                        0.5f,
                                        2.0f,
                                        44100.0f,
                                        96000.0f,
                                        1e30f,
                                        -1e-30f,
                                        0.999999f,
                                        1e-7f};
    constexpr unsigned kSpecials = sizeof(special) / sizeof(special[0]);
    const unsigned index = selector - 201u;
    if (index < kSpecials) return special[index];
    const std::uint32_t bits = u32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  // A double the same way, for rates and samples given in double precision.
  double f64() {
    const std::uint8_t selector = u8();
    if (selector < 0xF0) return f32FromSelector(selector);
    switch (selector & 7) {
      case 0:
        return std::numeric_limits<double>::max();
      case 1:
        return -std::numeric_limits<double>::max();
      case 2:
        return std::numeric_limits<double>::denorm_min();
      case 3:
        return 1e300;
      default: {
        const std::uint64_t bits = u64();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
      }
    }
  }

  // Up to maxBytes raw bytes into out; returns how many were there.
  std::size_t bytes(void* out, std::size_t maxBytes) {
    const std::size_t n = remaining() < maxBytes ? remaining() : maxBytes;
    if (n > 0) std::memcpy(out, _data + _at, n);
    _at += n;
    return n;
  }

 private:
  // f32 with the selector already read: the grid, else a special taken from
  // the following bytes as f32 would.
  double f32FromSelector(std::uint8_t selector) {
    if (selector <= 200) return selector / 200.0;
    --_at;
    return f32();
  }

  const std::uint8_t* _data;
  std::size_t _size;
  std::size_t _at = 0;
};
