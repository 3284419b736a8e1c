#include <gtest/gtest.h>

#include <sstream>

#include "spl/io/riff/RiffWaveInfo.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/WaveBytes.h"

using spl::RiffWaveInfo;
using spl_test::Bytes;

TEST(RiffWaveInfo, DerivedValues) {
  const RiffWaveInfo info(1, 44100, 2, 3);
  EXPECT_EQ(info.getNumBytesPerFrame(), 6u);
  EXPECT_EQ(info.getNumBitsPerSample(), 24u);
  EXPECT_EQ(info.getNumBytesPerSec(), 264600u);
  EXPECT_EQ(info.getFormatSize(), 16u);
}

TEST(RiffWaveInfo, SerializeAndParseTheFormatRecord) {
  const RiffWaveInfo info(3, 48000, 2, 4);
  Bytes record(16);
  info.serialize(record.data(), record.size());
  EXPECT_EQ(record, spl_test::formatRecord(3, 2, 48000, 32));

  RiffWaveInfo parsed;
  parsed.parse(record.data(), record.size());
  EXPECT_EQ(parsed.getFormatId(), 3u);
  EXPECT_EQ(parsed.getNumChannels(), 2u);
  EXPECT_EQ(parsed.getNumSamplePerSec(), 48000u);
  EXPECT_EQ(parsed.getNumBytesPerSample(), 4u);

  // Bits become whole bytes with the fraction dropped.
  const Bytes twelveBits = spl_test::formatRecord(1, 1, 8000, 12);
  parsed.parse(twelveBits.data(), twelveBits.size());
  EXPECT_EQ(parsed.getNumBytesPerSample(), 1u);
}

TEST(RiffWaveInfo, RecordsShorterThanSixteenBytesFail) {
  RiffWaveInfo info(1, 44100, 2, 2);
  Bytes record(15);
  EXPECT_SPL_FAILURE(info.parse(record.data(), record.size()), "size", "spl/io/riff/RiffWaveInfo");
  EXPECT_EQ(info.getNumChannels(), 2u);
  EXPECT_SPL_FAILURE(info.serialize(record.data(), record.size()), "size",
                     "spl/io/riff/RiffWaveInfo");
}

TEST(RiffWaveInfo, DescribeAndToString) {
  std::ostringstream out;
  RiffWaveInfo(1, 44100, 2, 2).describe(out);
  RiffWaveInfo(3, 96000, 1, 8).describe(out);
  RiffWaveInfo(6, 8000, 1, 1).describe(out);
  EXPECT_EQ(out.str(),
            "Linear PCM Integer, 44100Hz, 16bits, 2ch\n"
            "Linear PCM Floating Point, 96000Hz, 64bits, 1ch\n"
            "Unknown Format, 8000Hz, 8bits, 1ch\n");

  const RiffWaveInfo info(1, 44100, 2, 2);
  std::ostringstream address;
  address << static_cast<const void*>(&info);
  EXPECT_EQ(info.toString(), "RiffWaveInfo[" + address.str() +
                                 "][_formatId=1, _numChannels= 2, _numSamplePerSec=44100"
                                 "_numBytesPerSample=2]");
}
