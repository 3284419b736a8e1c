#pragma once

#include "spl/io/IntegerCodec.h"

namespace spl {

// Linear integer PCM samples of 1 to 4 bytes mapped to doubles around [-1, 1]:
// full scale is the half range minus one, so 1.0 and -1.0 are both exact and
// the most negative code lies slightly below -1. One-byte samples are unsigned
// (offset by the half range), wider ones signed.
class IntegerPCM {
 public:
  IntegerPCM() = default;
  virtual ~IntegerPCM() = default;

  // Fails with "size" (spl/io/IntegerCodec) for byte counts other than 1..4.
  double decode(const unsigned char* bytes, unsigned numBytes, bool isSigned) const;
  // x is clamped to [-1, 1] (NaN counts as 0) and rounded down to the code.
  void encode(unsigned char* bytes, unsigned numBytes, bool isSigned, double x) const;

 private:
  IntegerCodec _codec;
};

}  // namespace spl
