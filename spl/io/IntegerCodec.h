#pragma once

namespace spl {

// Little-endian unsigned or two's-complement integers of 1 to 4 bytes, as they
// stand in RIFF headers and integer samples. Values travel as doubles, which
// hold every 32-bit integer exactly.
class IntegerCodec {
 public:
  static constexpr unsigned MAX_BYTES = 4;

  IntegerCodec();
  virtual ~IntegerCodec() = default;

  // The integer in numBytes (1..4) bytes; with isSigned, values from the half
  // range up are negative. Fails with "size" for other byte counts.
  double decode(const unsigned char* bytes, unsigned numBytes, bool isSigned) const;
  // Writes the integer part (rounded down) of value as numBytes little-endian
  // bytes. Negative values are stored as two's complement; values outside the
  // range keep their low digits; NaN is stored as 0.
  void encode(unsigned char* bytes, unsigned numBytes, bool isSigned, double value) const;

  // 256 to the power numBytes, and half of it.
  double getFullRange(unsigned numBytes) const;
  double getHalfRange(unsigned numBytes) const;

 private:
  // Indexed by the byte count; entry 0 of the ranges is unused.
  double _power[MAX_BYTES + 1];
  double _fullRange[MAX_BYTES + 1];
  double _halfRange[MAX_BYTES + 1];
};

}  // namespace spl
