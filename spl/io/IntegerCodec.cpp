#include "spl/io/IntegerCodec.h"

#include <cmath>
#include <cstdint>

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/io/IntegerCodec";
}

IntegerCodec::IntegerCodec() {
  double power = 1.0;
  for (unsigned n = 0; n <= MAX_BYTES; ++n) {
    _power[n] = power;
    _fullRange[n] = power;
    _halfRange[n] = power / 2.0;
    power *= 256.0;
  }
}

// Every entry point checks the byte count on its own line, so that the text
// names the operation the caller used; a count outside 1..MAX_BYTES would
// read past the tables.

double IntegerCodec::getFullRange(unsigned numBytes) const {
  SPL_REQUIRE(numBytes >= 1 && numBytes <= MAX_BYTES, "size", kSource);
  return _fullRange[numBytes];
}

double IntegerCodec::getHalfRange(unsigned numBytes) const {
  SPL_REQUIRE(numBytes >= 1 && numBytes <= MAX_BYTES, "size", kSource);
  return _halfRange[numBytes];
}

double IntegerCodec::decode(const unsigned char* bytes, unsigned numBytes, bool isSigned) const {
  SPL_REQUIRE(numBytes >= 1 && numBytes <= MAX_BYTES, "size", kSource);
  double value = 0.0;
  for (unsigned i = 0; i < numBytes; ++i) value += bytes[i] * _power[i];
  if (isSigned && value >= _halfRange[numBytes]) value -= _fullRange[numBytes];
  return value;
}

void IntegerCodec::encode(unsigned char* bytes, unsigned numBytes, bool isSigned,
                          double value) const {
  SPL_REQUIRE(numBytes >= 1 && numBytes <= MAX_BYTES, "size", kSource);
  const double full = _fullRange[numBytes];
  if (isSigned && value < 0.0) value += full;
  // Reduce into [0, full) before converting, so that no value, however far out
  // of range, reaches an undefined double-to-integer conversion.
  double digits = std::isfinite(value) ? std::fmod(std::floor(value), full) : 0.0;
  if (digits < 0.0) digits += full;
  const auto word = static_cast<std::uint64_t>(digits);
  for (unsigned i = 0; i < numBytes; ++i) {
    bytes[i] = static_cast<unsigned char>((word >> (8 * i)) & 0xFFu);
  }
}

}  // namespace spl
