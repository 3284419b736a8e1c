// Files that are damaged, truncated or made to mislead: the reader must reject
// them with its error and stay closed, or read only the bytes that are there.

#include <gtest/gtest.h>

#include <sstream>

#include "spl/clip/DefaultClip.h"
#include "spl/clip/ZeroClip.h"
#include "spl/io/riff/RiffReader.h"
#include "tests/support/FailureCheck.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaveBytes.h"

using spl::DefaultClip;
using spl::RiffReader;
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

TEST(RiffReaderHostile, NotRiff) {
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

TEST(RiffReaderHostile, NotRiffWave) {
  expectRejected({'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V'}, "not RIFF Wave");
  Bytes avi = riffWave({chunk("fmt ", kStereo16)});
  avi[8] = 'A';
  expectRejected(avi, "not RIFF Wave");
}

TEST(RiffReaderHostile, MissingChunks) {
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

TEST(RiffReaderHostile, FormatsThatCannotBeDecoded) {
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

TEST(RiffReaderHostile, TwelveBitSamplesReadFromTheirTwoByteContainers) {
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

TEST(RiffReaderHostile, ShortFormatRecords) {
  Bytes record = kStereo16;
  record.resize(14);
  expectRejected(riffWave({chunk("fmt ", record), chunk("data", kFourFrames)}), "format size");
  // A record cut by the end of the file.
  Bytes cut = riffWave({spl_test::chunkDeclaring("fmt ", 16, {1, 0, 2, 0, 0x44, 0xAC})});
  expectRejected(cut, "format size");
}

TEST(RiffReaderHostile, DataBeyondTheEndGivesTheWholeFramesPresent) {
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

TEST(RiffReaderHostile, DataBeforeItsFormatAndRepeatedChunks) {
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

TEST(RiffReaderHostile, ManyChannelsReadOnlyWhatIsThere) {
  // 65535 channels of 4-byte floats and three samples: no whole frame.
  Bytes samples(12, 0);
  auto reader = openInMemory(riffWave({chunk("fmt ", formatRecord(3, 65535, 1, 32)),
                                       spl_test::chunkDeclaring("data", 0xFFFFFFF0u, samples)}));
  EXPECT_EQ(reader->getFrameCount(), 0u);
  spl::ZeroClip clip(65535, 3);
  reader->read(clip, 3);
  EXPECT_EQ(reader->getPosition(), 0u);
}
