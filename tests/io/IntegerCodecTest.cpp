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

namespace {}  // namespace

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
