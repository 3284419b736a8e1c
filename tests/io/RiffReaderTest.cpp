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

constexpr const char* kReader = "spl/io/riff/RiffReader";

}  // namespace

TEST(RiffReader, ExtraChunksAroundTheDataAndAnEighteenByteFormat) {
  TempDir dir;
  const std::string path = dir.file("chunks.wav");
  const Bytes samples = {0x00, 0x40, 0x00, 0xC0, 0xFF, 0x7F, 0x01, 0x80};
  const Bytes list = {'I', 'N', 'F', 'O', 'a', 'b', 'c'};  // odd size, no pad
  const Bytes record18 = spl_test::formatRecord(1, 2, 32000, 16, {0x00, 0x00});
  spl_test::writeFile(
      path,
      spl_test::riffWave({spl_test::chunk("LIST", list), spl_test::chunk("fmt ", record18),
                          spl_test::chunk("fact", {4, 0, 0, 0}), spl_test::chunk("data", samples),
                          spl_test::chunk("smpl", Bytes(36, 0x55))}));
  RiffReader reader;
  reader.open(path);
  EXPECT_EQ(reader.getInfo().getNumSamplePerSec(), 32000u);
  EXPECT_EQ(reader.getFrameCount(), 2u);
  EXPECT_EQ(reader.getDataOffset(), 12u + 15 + 26 + 12 + 8);
  DefaultClip clip(2, 0);
  reader.read(clip, 2);
  EXPECT_DOUBLE_EQ(clip.get(0, 0), 16384.0 / 32767.0);
  EXPECT_DOUBLE_EQ(clip.get(1, 0), -16384.0 / 32767.0);
  EXPECT_EQ(clip.get(0, 1), 1.0);
  EXPECT_EQ(clip.get(1, 1), -1.0);
}

TEST(RiffReader, OddChunksPaddedWithAZeroByte) {
  TempDir dir;
  const std::string path = dir.file("padded.wav");
  Bytes padded = spl_test::chunk("note", {'x', 'y', 'z'});
  padded.push_back(0);
  spl_test::writeFile(
      path,
      spl_test::riffWave({padded, spl_test::chunk("fmt ", spl_test::formatRecord(1, 1, 8000, 8)),
                          spl_test::chunk("data", {10, 20, 30})}));
  RiffReader reader;
  reader.open(path);
  EXPECT_EQ(reader.getFrameCount(), 3u);
}

TEST(RiffReader, ExtensibleIntegerAndFloatAreFormatsOneAndThree) {
  TempDir dir;
  const std::string path = dir.file("ext.wav");
  spl_test::writeFile(
      path,
      spl_test::riffWave({spl_test::chunk("fmt ", spl_test::extensibleRecord(2, 48000, 24, 1)),
                          spl_test::chunk("data", {0xFF, 0xFF, 0x7F, 0x01, 0x00, 0x80})}));
  RiffReader reader;
  reader.open(path);
  EXPECT_EQ(reader.getInfo().getFormatId(), 1u);
  EXPECT_EQ(reader.getInfo().getNumBytesPerSample(), 3u);
  DefaultClip clip(2, 0);
  reader.read(clip, 1);
  EXPECT_EQ(clip.get(0, 0), 1.0);
  EXPECT_EQ(clip.get(1, 0), -1.0);

  Bytes half(4);
  spl::FloatPCM().encode(half.data(), 4, 0.5);
  spl_test::writeFile(
      path,
      spl_test::riffWave({spl_test::chunk("fmt ", spl_test::extensibleRecord(1, 48000, 32, 3)),
                          spl_test::chunk("data", half)}));
  reader.open(path);
  EXPECT_EQ(reader.getInfo().getFormatId(), 3u);
  DefaultClip mono(1, 0);
  reader.read(mono, 1);
  EXPECT_EQ(mono.get(0, 0), 0.5);

  // Any other sub-format stays unreadable.
  spl_test::writeFile(
      path,
      spl_test::riffWave({spl_test::chunk("fmt ", spl_test::extensibleRecord(1, 48000, 16, 2)),
                          spl_test::chunk("data", {0, 0})}));
  reader.open(path);
  EXPECT_EQ(reader.getInfo().getFormatId(), 0xFFFEu);
  EXPECT_SPL_FAILURE(reader.read(mono, 1), "unknown valuetype", kReader);
}

TEST(RiffReader, EndOfDataPadsWithZerosThenGivesSilence) {
  TempDir dir;
  const std::string path = dir.file("short.wav");
  {
    RiffWriter writer;
    writer.open(path, RiffWaveInfo(1, 44100, 2, 2));
    DefaultClip ones(2, 100);
    for (unsigned p = 0; p < 100; ++p) {
      ones.set(0, p, 1.0);
      ones.set(1, p, -1.0);
    }
    writer.write(ones);
  }
  RiffReader reader;
  reader.open(path);
  DefaultClip clip(2, 0);
  reader.read(clip, 1024);
  ASSERT_EQ(clip.getLength(), 1024u);
  for (unsigned p = 0; p < 1024; ++p) {
    EXPECT_EQ(clip.get(0, p), p < 100 ? 1.0 : 0.0);
    EXPECT_EQ(clip.get(1, p), p < 100 ? -1.0 : 0.0);
  }
  EXPECT_EQ(reader.getPosition(), 100u);

  reader.read(clip, 7);  // everything handed out: the clip keeps its length
  EXPECT_EQ(clip.getLength(), 1024u);
  for (unsigned p = 0; p < 1024; ++p) EXPECT_EQ(clip.get(0, p) + clip.get(1, p) * 2, 0.0);

  std::ostringstream out;
  reader.describe(out);
  EXPECT_EQ(out.str(), "Linear PCM Integer, 44100Hz, 16bits, 2ch\n100 sample, 0 sec\n");

  DefaultClip mono(1, 4);
  EXPECT_SPL_FAILURE(reader.read(mono, 4), "number of channels", kReader);
}

TEST(RiffReader, UnknownFormatsOpenButFailOnTheFirstSample) {
  TempDir dir;
  const std::string path = dir.file("alaw.wav");
  spl_test::writeFile(
      path, spl_test::riffWave({spl_test::chunk("fmt ", spl_test::formatRecord(6, 1, 8000, 8)),
                                spl_test::chunk("data", {1, 2, 3})}));
  RiffReader reader;
  reader.open(path);
  EXPECT_EQ(reader.getFrameCount(), 3u);
  DefaultClip clip(1, 0);
  reader.read(clip, 0);  // no sample, no failure
  EXPECT_SPL_FAILURE(reader.read(clip, 2), "unknown valuetype", kReader);
  EXPECT_EQ(reader.getPosition(), 0u);
}
