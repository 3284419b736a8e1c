// Besides well-formed files: files that are damaged, truncated or made to
// mislead, which the reader must reject with its error, staying closed, or read
// only as far as the bytes that are there.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "spl/clip/DefaultClip.h"
#include "spl/clip/ZeroClip.h"
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
using spl_test::chunk;
using spl_test::formatRecord;
using spl_test::riffWave;
using spl_test::TempDir;

namespace {

constexpr const char* kReader = "spl/io/riff/RiffReader";

const Bytes kStereo16 = formatRecord(1, 2, 44100, 16);
const Bytes kFourFrames = Bytes(16, 0x11);

// Opens the bytes from a file and expects the failure; the reader, which had a
// good file open before, must be closed afterwards.
void expectRejected(const Bytes& bytes, const std::string& message) {
  TempDir dir;
  const std::string good = dir.file("good.wav");
  const std::string bad = dir.file("bad.wav");
  spl_test::writeFile(good, riffWave({chunk("fmt ", kStereo16), chunk("data", kFourFrames)}));
  spl_test::writeFile(bad, bytes);
  RiffReader reader;
  reader.open(good);
  ASSERT_TRUE(reader.isOpen());
  EXPECT_SPL_FAILURE(reader.open(bad), message, kReader);
  EXPECT_FALSE(reader.isOpen());
  EXPECT_EQ(reader.getFrameCount(), 0u);
  // A closed reader hands out silence, never stale frames.
  DefaultClip clip(2, 8);
  clip.set(0, 3, 0.25);
  reader.read(clip, 8);
  EXPECT_EQ(clip.get(0, 3), 0.0);
}

// Opens the bytes from memory and returns the reader.
std::unique_ptr<RiffReader> openInMemory(const Bytes& bytes) {
  auto reader = std::make_unique<RiffReader>();
  reader->open(std::make_unique<std::istringstream>(std::string(bytes.begin(), bytes.end())));
  return reader;
}

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

TEST(RiffReader, NotRiff) {
  expectRejected({}, "not RIFF");
  expectRejected({'R', 'I', 'F'}, "not RIFF");
  Bytes rifx = riffWave({chunk("fmt ", kStereo16), chunk("data", kFourFrames)});
  rifx[3] = 'X';
  expectRejected(rifx, "not RIFF");

  RiffReader reader;
  EXPECT_SPL_FAILURE(reader.open("/nonexistent/folder/file.wav"), "not RIFF", kReader);
  TempDir dir;
  EXPECT_SPL_FAILURE(reader.open(dir.file("")), "not RIFF", kReader);  // a folder
  EXPECT_FALSE(reader.isOpen());
}

TEST(RiffReader, NotRiffWave) {
  expectRejected({'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V'}, "not RIFF Wave");
  Bytes avi = riffWave({chunk("fmt ", kStereo16)});
  avi[8] = 'A';
  expectRejected(avi, "not RIFF Wave");
}

TEST(RiffReader, MissingChunks) {
  expectRejected(riffWave({}), "no fmt chunk");
  expectRejected(riffWave({chunk("data", kFourFrames)}), "no fmt chunk");
  expectRejected(riffWave({chunk("fmt ", kStereo16)}), "no data chunk");
  expectRejected(riffWave({chunk("fmt ", kStereo16), chunk("LIST", Bytes(9))}), "no data chunk");
  // A chunk that claims to run past the end ends the scan: the data chunk
  // behind the length it claims is never reached.
  expectRejected(riffWave({chunk("fmt ", kStereo16), spl_test::chunkDeclaring("junk", 1000, {}),
                           chunk("data", kFourFrames)}),
                 "no data chunk");
  // A header cut inside a chunk header.
  Bytes cut = riffWave({chunk("fmt ", kStereo16)});
  spl_test::append(cut, "dat");
  expectRejected(cut, "no data chunk");
}

TEST(RiffReader, FormatsThatCannotBeDecoded) {
  const auto withFormat = [](const Bytes& record) {
    return riffWave({chunk("fmt ", record), chunk("data", kFourFrames)});
  };
  expectRejected(withFormat(formatRecord(1, 0, 44100, 16)), "number of channels");
  expectRejected(withFormat(formatRecord(1, 2, 0, 16)), "frames per second");
  expectRejected(withFormat(formatRecord(1, 2, 44100, 0)), "bits per sample");
  expectRejected(withFormat(formatRecord(1, 2, 44100, 40)), "bits per sample");
  expectRejected(withFormat(formatRecord(3, 2, 44100, 16)), "bits per sample");
  expectRejected(withFormat(formatRecord(3, 2, 44100, 24)), "bits per sample");
  expectRejected(withFormat(formatRecord(3, 2, 44100, 33)), "bits per sample");
  // An unknown format still needs a frame size (4-bit ADPCM has none).
  expectRejected(withFormat(formatRecord(0x11, 2, 44100, 4)), "unknown valuetype");
}

TEST(RiffReader, TwelveBitSamplesReadFromTheirTwoByteContainers) {
  // Left-justified: the twelve bits are the container's high bits.
  const Bytes samples = {0xF0, 0x7F, 0x00, 0x80, 0x10, 0x00, 0x00, 0x00};
  auto reader =
      openInMemory(riffWave({chunk("fmt ", formatRecord(1, 2, 8000, 12)), chunk("data", samples)}));
  EXPECT_EQ(reader->getInfo().getNumBytesPerSample(), 2u);
  EXPECT_EQ(reader->getFrameCount(), 2u);
  DefaultClip clip(2, 0);
  reader->read(clip, 2);
  ASSERT_EQ(clip.getLength(), 2u);
  EXPECT_EQ(clip.get(0, 0), 32752.0 / 32767);   // 2047 << 4, the largest
  EXPECT_EQ(clip.get(1, 0), -32768.0 / 32767);  // -2048 << 4
  EXPECT_EQ(clip.get(0, 1), 16.0 / 32767);      // 1 << 4
  EXPECT_EQ(clip.get(1, 1), 0.0);
}

TEST(RiffReader, ShortFormatRecords) {
  Bytes record = kStereo16;
  record.resize(14);
  expectRejected(riffWave({chunk("fmt ", record), chunk("data", kFourFrames)}), "format size");
  // A record cut by the end of the file.
  Bytes cut = riffWave({spl_test::chunkDeclaring("fmt ", 16, {1, 0, 2, 0, 0x44, 0xAC})});
  expectRejected(cut, "format size");
}

TEST(RiffReader, DataBeyondTheEndGivesTheWholeFramesPresent) {
  // 2 whole stereo 16-bit frames and half of a third, while the chunk claims 1000 bytes.
  const Bytes present = {1, 0, 2, 0, 3, 0, 4, 0, 5, 0};
  for (std::uint32_t declared : {1000u, 0xFFFFFFFFu, 0x20202020u}) {
    auto reader = openInMemory(
        riffWave({chunk("fmt ", kStereo16), spl_test::chunkDeclaring("data", declared, present)}));
    EXPECT_EQ(reader->getFrameCount(), 2u) << declared;
    DefaultClip clip(2, 0);
    reader->read(clip, 4);
    ASSERT_EQ(clip.getLength(), 4u);
    EXPECT_DOUBLE_EQ(clip.get(0, 0), 1.0 / 32767);
    EXPECT_DOUBLE_EQ(clip.get(1, 1), 4.0 / 32767);
    EXPECT_EQ(clip.get(0, 2), 0.0);  // the half frame is not handed out
    EXPECT_EQ(clip.get(1, 3), 0.0);
  }
}

TEST(RiffReader, DataBeforeItsFormatAndRepeatedChunks) {
  // The frame count follows the format that holds at the end of the scan; a
  // data chunk met before any format would otherwise divide by zero.
  auto reader = openInMemory(riffWave({chunk("data", kFourFrames), chunk("fmt ", kStereo16)}));
  EXPECT_EQ(reader->getFrameCount(), 4u);
  // A later chunk replaces an earlier one.
  reader =
      openInMemory(riffWave({chunk("fmt ", formatRecord(1, 1, 8000, 8)), chunk("data", Bytes(6)),
                             chunk("fmt ", kStereo16), chunk("data", kFourFrames)}));
  EXPECT_EQ(reader->getInfo().getNumChannels(), 2u);
  EXPECT_EQ(reader->getFrameCount(), 4u);
}

TEST(RiffReader, ManyChannelsReadOnlyWhatIsThere) {
  // 65535 channels of 4-byte floats and three samples: no whole frame.
  Bytes samples(12, 0);
  auto reader = openInMemory(riffWave({chunk("fmt ", formatRecord(3, 65535, 1, 32)),
                                       spl_test::chunkDeclaring("data", 0xFFFFFFF0u, samples)}));
  EXPECT_EQ(reader->getFrameCount(), 0u);
  spl::ZeroClip clip(65535, 3);
  reader->read(clip, 3);
  EXPECT_EQ(reader->getPosition(), 0u);
}
