#include "spl/io/FloatPCM.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/io/FloatPCM";

// Assembled byte by byte so that the file's byte order holds on any host.
template <typename Word>
Word loadLittleEndian(const unsigned char* bytes) {
  Word word = 0;
  for (unsigned i = 0; i < sizeof(Word); ++i) word |= Word(bytes[i]) << (8 * i);
  return word;
}

template <typename Word>
void storeLittleEndian(unsigned char* bytes, Word word) {
  for (unsigned i = 0; i < sizeof(Word); ++i) {
    bytes[i] = static_cast<unsigned char>((word >> (8 * i)) & 0xFFu);
  }
}
}  // namespace

double FloatPCM::decode(const unsigned char* bytes, unsigned numBytes) const {
  if (numBytes == 4) {
    const auto word = loadLittleEndian<std::uint32_t>(bytes);
    float value;
    std::memcpy(&value, &word, sizeof value);
    return value;
  }
  if (numBytes == 8) {
    const auto word = loadLittleEndian<std::uint64_t>(bytes);
    double value;
    std::memcpy(&value, &word, sizeof value);
    return value;
  }
  SPL_FAIL("no arrival", kSource);
}

void FloatPCM::encode(unsigned char* bytes, unsigned numBytes, double x) const {
  if (numBytes == 4) {
    // Beyond the single range the conversion is undefined; the format's own
    // answer there is an infinity.
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    const bool beyond = std::isfinite(x) && std::fabs(x) > std::numeric_limits<float>::max();
    const float value = beyond ? (x > 0 ? kInfinity : -kInfinity) : static_cast<float>(x);
    std::uint32_t word;
    std::memcpy(&word, &value, sizeof word);
    storeLittleEndian(bytes, word);
    return;
  }
  if (numBytes == 8) {
    std::uint64_t word;
    std::memcpy(&word, &x, sizeof word);
    storeLittleEndian(bytes, word);
    return;
  }
  SPL_FAIL("no arrival", kSource);
}

}  // namespace spl
