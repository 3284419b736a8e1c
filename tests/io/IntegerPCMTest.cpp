#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "spl/io/FloatPCM.h"
#include "spl/io/IntegerCodec.h"
#include "spl/io/IntegerPCM.h"
#include "tests/support/WaveBytes.h"

using spl::FloatPCM;
using spl::IntegerCodec;
using spl::IntegerPCM;
using spl_test::Bytes;

namespace {

Bytes encodePCM(unsigned numBytes, double x) {
  Bytes bytes(numBytes);
  IntegerPCM().encode(bytes.data(), numBytes, numBytes != 1, x);
  return bytes;
}

}  // namespace

TEST(IntegerPCM, SixteenBitFullScaleIsSymmetric) {
  EXPECT_EQ(encodePCM(2, 1.0), (Bytes{0xFF, 0x7F}));
  EXPECT_EQ(encodePCM(2, -1.0), (Bytes{0x01, 0x80}));
  EXPECT_EQ(encodePCM(2, 0.5), (Bytes{0xFF, 0x3F}));  // 16383, rounded down
  EXPECT_EQ(encodePCM(2, 0.0), (Bytes{0x00, 0x00}));
  const unsigned char mostNegative[] = {0x00, 0x80};
  EXPECT_DOUBLE_EQ(IntegerPCM().decode(mostNegative, 2, true), -32768.0 / 32767.0);
  const unsigned char fullScale[] = {0xFF, 0x7F};
  EXPECT_EQ(IntegerPCM().decode(fullScale, 2, true), 1.0);
}

TEST(IntegerPCM, EightBitIsUnsigned) {
  EXPECT_EQ(encodePCM(1, 0.0), (Bytes{128}));
  EXPECT_EQ(encodePCM(1, -1.0), (Bytes{1}));
  EXPECT_EQ(encodePCM(1, 1.0), (Bytes{255}));
  const unsigned char codes[] = {128, 255, 0};
  EXPECT_EQ(IntegerPCM().decode(codes + 0, 1, false), 0.0);
  EXPECT_EQ(IntegerPCM().decode(codes + 1, 1, false), 1.0);
  EXPECT_DOUBLE_EQ(IntegerPCM().decode(codes + 2, 1, false), -128.0 / 127.0);
}

TEST(IntegerPCM, WideSamplesAndClamping) {
  EXPECT_EQ(encodePCM(3, 1.0), (Bytes{0xFF, 0xFF, 0x7F}));
  EXPECT_EQ(encodePCM(3, -1.0), (Bytes{0x01, 0x00, 0x80}));
  EXPECT_EQ(encodePCM(4, 1.0), (Bytes{0xFF, 0xFF, 0xFF, 0x7F}));
  EXPECT_EQ(encodePCM(4, -1.0), (Bytes{0x01, 0x00, 0x00, 0x80}));
  // Out of range values are clamped; NaN becomes silence instead of an
  // undefined conversion.
  EXPECT_EQ(encodePCM(2, 7.5), encodePCM(2, 1.0));
  EXPECT_EQ(encodePCM(2, -1e300), encodePCM(2, -1.0));
  EXPECT_EQ(encodePCM(2, std::nan("")), encodePCM(2, 0.0));
  EXPECT_EQ(encodePCM(1, std::numeric_limits<double>::infinity()), (Bytes{255}));
}

TEST(IntegerPCM, DecodeInvertsEncodeWithinOneStep) {
  for (unsigned n = 1; n <= 4; ++n) {
    const double step = 1.0 / (IntegerCodec().getHalfRange(n) - 1.0);
    for (double x = -1.0; x <= 1.0; x += 0.0625) {
      const Bytes bytes = encodePCM(n, x);
      EXPECT_NEAR(IntegerPCM().decode(bytes.data(), n, n != 1), x, step) << n << " bytes, " << x;
    }
  }
}
