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
