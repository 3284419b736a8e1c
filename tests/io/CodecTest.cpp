#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "spl/io/FloatPCM.h"
#include "spl/io/IntegerCodec.h"
#include "spl/io/IntegerPCM.h"
#include "tests/support/FailureCheck.h"
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

TEST(IntegerCodec, SignedAndUnsignedWords) {
  const IntegerCodec codec;
  const unsigned char ones[] = {0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(codec.decode(ones, 4, false), 4294967295.0);
  EXPECT_EQ(codec.decode(ones, 4, true), -1.0);
  const unsigned char word[] = {0x2C, 0x01, 0x00, 0x00};
  EXPECT_EQ(codec.decode(word, 4, false), 300.0);
  unsigned char bytes[4] = {};
  codec.encode(bytes, 2, true, -2.0);
  EXPECT_EQ(bytes[0], 0xFE);
  EXPECT_EQ(bytes[1], 0xFF);
  codec.encode(bytes, 4, false, 44100.0 * 4);
  EXPECT_EQ(codec.decode(bytes, 4, false), 176400.0);
  // Too large values keep their low digits.
  codec.encode(bytes, 1, false, 0x1234);
  EXPECT_EQ(bytes[0], 0x34);
}

TEST(IntegerCodec, ByteCountsOutsideOneToFourFail) {
  const IntegerCodec codec;
  unsigned char bytes[8] = {};
  EXPECT_SPL_FAILURE(codec.decode(bytes, 0, false), "size", "spl/io/IntegerCodec");
  EXPECT_SPL_FAILURE(codec.decode(bytes, 5, true), "size", "spl/io/IntegerCodec");
  EXPECT_SPL_FAILURE(codec.encode(bytes, 5, true, 1.0), "size", "spl/io/IntegerCodec");
  EXPECT_SPL_FAILURE(IntegerPCM().encode(bytes, 0, true, 1.0), "size", "spl/io/IntegerCodec");
}

TEST(FloatPCM, SingleAndDoubleLittleEndian) {
  const FloatPCM pcm;
  Bytes single(4);
  pcm.encode(single.data(), 4, 1.0);
  EXPECT_EQ(single, (Bytes{0x00, 0x00, 0x80, 0x3F}));
  pcm.encode(single.data(), 4, 0.1);
  EXPECT_EQ(pcm.decode(single.data(), 4), double(0.1f));
  Bytes twice(8);
  pcm.encode(twice.data(), 8, -2.0);
  EXPECT_EQ(twice, (Bytes{0, 0, 0, 0, 0, 0, 0x00, 0xC0}));
  pcm.encode(twice.data(), 8, 0.1);
  EXPECT_EQ(pcm.decode(twice.data(), 8), 0.1);
  // Beyond the single range the result is an infinity, not undefined behaviour.
  pcm.encode(single.data(), 4, -1e300);
  EXPECT_EQ(pcm.decode(single.data(), 4), -std::numeric_limits<double>::infinity());
}

TEST(FloatPCM, OtherSizesFail) {
  const FloatPCM pcm;
  unsigned char bytes[8] = {};
  EXPECT_SPL_FAILURE(pcm.decode(bytes, 2), "no arrival", "spl/io/FloatPCM");
  EXPECT_SPL_FAILURE(pcm.encode(bytes, 3, 0.0), "no arrival", "spl/io/FloatPCM");
}
