#pragma once

namespace spl {

// IEEE floating-point samples of 4 (single) or 8 (double) little-endian bytes.
// Holds nothing; values pass unchanged except for single-precision rounding.
class FloatPCM {
 public:
  virtual ~FloatPCM() = default;

  // Fails with "no arrival" for byte counts other than 4 and 8.
  double decode(const unsigned char* bytes, unsigned numBytes) const;
  void encode(unsigned char* bytes, unsigned numBytes, double x) const;
};

}  // namespace spl
