#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "spl/clip/DefaultClip.h"
#include "spl/io/riff/RiffReader.h"
#include "spl/io/riff/RiffWriter.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaveBytes.h"

using spl::DefaultClip;
using spl::RiffReader;
using spl::RiffWaveInfo;
using spl::RiffWriter;
using spl_test::Bytes;
using spl_test::TempDir;

namespace {

constexpr const char* kWriter = "spl/io/riff/RiffWriter";

// A test signal inside [-1, 1] that differs between channels and positions and
// reaches both full-scale ends.
DefaultClip signal(unsigned channels, unsigned length) {
  DefaultClip clip(channels, length);
  for (unsigned c = 0; c < channels; ++c) {
    for (unsigned p = 0; p < length; ++p) {
      const double x = std::sin(0.37 * p + 1.1 * c);
      clip.set(c, p, p == 0 ? 1.0 : p == 1 ? -1.0 : x);
    }
  }
  return clip;
}

struct Format {
  unsigned formatId;
  unsigned numBytes;
  unsigned channels;
};

class RoundTrip : public ::testing::TestWithParam<Format> {};

}  // namespace

INSTANTIATE_TEST_SUITE_P(AllSampleFormats, RoundTrip,
                         ::testing::Values(Format{1, 1, 1}, Format{1, 1, 2}, Format{1, 2, 1},
                                           Format{1, 2, 2}, Format{1, 3, 1}, Format{1, 3, 2},
                                           Format{1, 4, 1}, Format{1, 4, 2}, Format{3, 4, 1},
                                           Format{3, 4, 2}, Format{3, 8, 1}, Format{3, 8, 2}),
                         [](const ::testing::TestParamInfo<Format>& info) {
                           return std::string(info.param.formatId == 1 ? "Int" : "Float") +
                                  std::to_string(8 * info.param.numBytes) +
                                  (info.param.channels == 1 ? "Mono" : "Stereo");
                         });

TEST_P(RoundTrip, WrittenFramesReadBackWithinOneStep) {
  const Format format = GetParam();
  TempDir dir;
  const std::string path = dir.file("round.wav");
  const RiffWaveInfo info(format.formatId, 22050, format.channels, format.numBytes);
  const DefaultClip first = signal(format.channels, 300);
  const DefaultClip second = signal(format.channels, 17);
  {
    RiffWriter writer;
    writer.open(path, info);
    writer.write(first);
    writer.write(DefaultClip(format.channels, 0));
    DefaultClip copy(second);
    writer.process(copy);
    EXPECT_EQ(writer.getCount(), 317u * format.channels);
  }  // the destructor closes

  const Bytes bytes = spl_test::readFile(path);
  const std::uint32_t dataBytes = 317 * format.channels * format.numBytes;
  ASSERT_EQ(bytes.size(), 44u + dataBytes);
  EXPECT_EQ(spl_test::readLE32(bytes, 40), dataBytes);
  EXPECT_EQ(spl_test::readLE32(bytes, 4), 36u + dataBytes);

  const double step = format.formatId == 3 ? (format.numBytes == 4 ? 1e-7 : 0.0)
                                           : 1.0 / (std::ldexp(1.0, 8 * format.numBytes - 1) - 1.0);
  RiffReader reader;
  reader.open(path);
  EXPECT_EQ(reader.getFrameCount(), 317u);
  EXPECT_EQ(reader.getDataOffset(), 44u);
  EXPECT_EQ(reader.getInfo().getFormatId(), format.formatId);
  EXPECT_EQ(reader.getInfo().getNumBytesPerSample(), format.numBytes);
  DefaultClip clip(format.channels, 0);
  reader.read(clip, 300);
  ASSERT_EQ(clip.getLength(), 300u);
  for (unsigned c = 0; c < format.channels; ++c) {
    EXPECT_EQ(clip.get(c, 0), 1.0);
    EXPECT_EQ(clip.get(c, 1), -1.0);
    for (unsigned p = 0; p < 300; ++p) EXPECT_NEAR(clip.get(c, p), first.get(c, p), step);
  }
  clip.setLength(17);
  reader.process(clip);
  for (unsigned c = 0; c < format.channels; ++c) {
    for (unsigned p = 0; p < 17; ++p) EXPECT_NEAR(clip.get(c, p), second.get(c, p), step);
  }
  EXPECT_EQ(reader.getPosition(), 317u);
}

TEST(RiffWriter, ThreeStereoFramesMakeTheFiftySixByteFile) {
  TempDir dir;
  const std::string path = dir.file("small.wav");
  DefaultClip clip(2, 3);
  clip.set(0, 0, 1.0);
  clip.set(1, 0, -1.0);
  clip.set(0, 1, 0.5);
  RiffWriter writer;
  writer.open(path, RiffWaveInfo(1, 44100, 2, 2));
  writer.write(clip);
  writer.close();
  EXPECT_FALSE(writer.isOpen());

  Bytes expected;
  spl_test::append(expected, "RIFF");
  spl_test::appendLE(expected, 48, 4);
  spl_test::append(expected, "WAVEfmt ");
  spl_test::appendLE(expected, 16, 4);
  const Bytes record = spl_test::formatRecord(1, 2, 44100, 16);
  expected.insert(expected.end(), record.begin(), record.end());
  spl_test::append(expected, "data");
  spl_test::appendLE(expected, 12, 4);
  // Frame after frame, channel 0 first: (1.0, -1.0), (0.5, 0.0), (0.0, 0.0).
  for (unsigned char b : {0xFF, 0x7F, 0x01, 0x80, 0xFF, 0x3F, 0, 0, 0, 0, 0, 0}) {
    expected.push_back(b);
  }
  EXPECT_EQ(spl_test::readFile(path), expected);
}

TEST(RiffWriter, EightBitSamplesAreUnsignedInTheFile) {
  TempDir dir;
  const std::string path = dir.file("eight.wav");
  DefaultClip clip(1, 3);
  clip.set(0, 1, -1.0);
  clip.set(0, 2, 1.0);
  RiffWriter writer;
  writer.open(path, RiffWaveInfo(1, 8000, 1, 1));
  writer.write(clip);
  writer.close();
  const Bytes bytes = spl_test::readFile(path);
  ASSERT_EQ(bytes.size(), 47u);
  EXPECT_EQ(Bytes(bytes.begin() + 44, bytes.end()), (Bytes{128, 1, 255}));
}

TEST(RiffWriter, ReopeningFinishesTheFirstFile) {
  TempDir dir;
  RiffWriter writer;
  writer.open(dir.file("a.wav"), RiffWaveInfo(1, 8000, 1, 2));
  writer.write(DefaultClip(1, 5));
  writer.open(dir.file("b.wav"), RiffWaveInfo(3, 8000, 2, 4));
  EXPECT_EQ(writer.getCount(), 0u);
  writer.close();
  writer.close();  // closing twice is harmless
  EXPECT_EQ(spl_test::readLE32(spl_test::readFile(dir.file("a.wav")), 40), 10u);
  EXPECT_EQ(spl_test::readLE32(spl_test::readFile(dir.file("b.wav")), 40), 0u);
}

TEST(RiffWriter, Failures) {
  TempDir dir;
  RiffWriter writer;
  // Writing into no file would silently lose the samples.
  EXPECT_SPL_FAILURE(writer.write(DefaultClip(1, 4)), "not open", kWriter);
  EXPECT_SPL_FAILURE(writer.open(dir.file("missing/x.wav"), RiffWaveInfo(1, 8000, 1, 2)), "open",
                     kWriter);
  EXPECT_FALSE(writer.isOpen());

  writer.open(dir.file("x.wav"), RiffWaveInfo(1, 8000, 2, 2));
  EXPECT_SPL_FAILURE(writer.write(DefaultClip(1, 4)), "number of channels", kWriter);
  writer.open(dir.file("y.wav"), RiffWaveInfo(6, 8000, 1, 1));
  EXPECT_SPL_FAILURE(writer.write(DefaultClip(1, 4)), "unknown valuetype", kWriter);
  // The format is tested per sample: an empty clip passes.
  writer.write(DefaultClip(1, 0));
  EXPECT_EQ(writer.getCount(), 0u);
  writer.open(dir.file("z.wav"), RiffWaveInfo(3, 8000, 1, 2));
  EXPECT_SPL_FAILURE(writer.write(DefaultClip(1, 4)), "no arrival", "spl/io/FloatPCM");
  EXPECT_EQ(writer.getCount(), 0u);
}
