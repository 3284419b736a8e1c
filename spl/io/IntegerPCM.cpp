#include "spl/io/IntegerPCM.h"

#include <cmath>

namespace spl {

double IntegerPCM::decode(const unsigned char* bytes, unsigned numBytes, bool isSigned) const {
  const double raw = _codec.decode(bytes, numBytes, isSigned);
  const double half = _codec.getHalfRange(numBytes);
  if (isSigned) return raw / (half - 1.0);
  return (raw - half) / (half - 1.0);
}

void IntegerPCM::encode(unsigned char* bytes, unsigned numBytes, bool isSigned, double x) const {
  const double half = _codec.getHalfRange(numBytes);
  if (std::isnan(x)) x = 0.0;
  if (x > 1.0) x = 1.0;
  if (x < -1.0) x = -1.0;
  double a = x * (half - 1.0);
  if (!isSigned) a += half;
  // The codec adds the full range to negative values itself.
  _codec.encode(bytes, numBytes, isSigned, a);
}

}  // namespace spl
