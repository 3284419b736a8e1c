// brisendel reads and writes every format the installed libsndfile writes, in the
// sample coding the user expects.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tests/tools/ToolTestSupport.h"

using namespace tooltest;

namespace {

// Center = Side = 100 % without AutoGain passes the signal through unchanged.
const std::vector<std::string> IDENTITY = {"--center", "100", "--side", "100", "--autogain", "off"};

RunResult render(const std::string& in, const std::string& out,
                 std::vector<std::string> extra = {}) {
  std::vector<std::string> arguments = {"render", in, out, "--plugin", pluginPath()};
  arguments.insert(arguments.end(), IDENTITY.begin(), IDENTITY.end());
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  return runBrisendel(arguments);
}

double rmsDifferenceDb(const std::vector<double>& a, const std::vector<double>& b) {
  double difference = 0.0, signal = 0.0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    difference += (a[i] - b[i]) * (a[i] - b[i]);
    signal += a[i] * a[i];
  }
  return 10.0 * std::log10(difference / signal);
}

}  // namespace

// Float WAV -> each format -> float WAV. Lossless formats give back the samples within
// their quantization step, float ones within the plug-in's rounding; lossy codecs keep
// the length and most of the signal. Every output is a file libsndfile itself reads
// as the format its extension names.
TEST(BrisendelFormats, RoundTripThroughEveryWritableFormat) {
  TempDir dir;
  for (const int rate : {44100, 48000}) {
    SCOPED_TRACE(rate);
    Wave input;
    input.formatTag = 3;
    input.bits = 32;
    input.sampleRate = static_cast<unsigned>(rate);
    input.samples = testSignal(rate / 2 + 123, 0.6);
    const std::string in = dir.file("in" + std::to_string(rate) + ".wav");
    writeFile(in, encodeWave(input));
    const std::vector<double> stored = readAudio(in).samples;

    const struct {
      const char* extension;
      int format;
      double toleranceOrSnrDb;  // positive: largest difference; negative: SNR bound in dB
    } cases[] = {
        {"wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1e-6},
        {"rf64", SF_FORMAT_RF64 | SF_FORMAT_FLOAT, 1e-6},
        {"w64", SF_FORMAT_W64 | SF_FORMAT_FLOAT, 1e-6},
        {"aiff", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 1e-6},
        {"caf", SF_FORMAT_CAF | SF_FORMAT_FLOAT, 1e-6},
        {"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, std::ldexp(1.0, -24) + 1e-6},
        {"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, -20.0},
        {"mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, -20.0},
        {"opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, -20.0},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.extension);
      if (c.format == (SF_FORMAT_OGG | SF_FORMAT_OPUS) && rate != 48000)
        continue;  // Opus has no 44.1 kHz
      const std::string out = dir.file("out." + std::string(c.extension));
      const RunResult there = render(in, out);
      ASSERT_EQ(0, there.status) << there.err;
      const Audio written = readAudio(out);
      EXPECT_EQ(c.format, written.format);
      EXPECT_EQ(rate, written.sampleRate);
      EXPECT_EQ(2, written.channels);
      const std::string back = dir.file("back.wav");
      const RunResult again = render(out, back, {"--float"});
      ASSERT_EQ(0, again.status) << again.err;
      const std::vector<double> result = readAudio(back).samples;
      ASSERT_EQ(stored.size(), result.size());
      if (c.toleranceOrSnrDb > 0) {
        double worst = 0.0;
        for (std::size_t i = 0; i < stored.size(); ++i)
          worst = std::max(worst, std::fabs(stored[i] - result[i]));
        EXPECT_LE(worst, c.toleranceOrSnrDb);
      } else {
        EXPECT_LT(rmsDifferenceDb(stored, result), c.toleranceOrSnrDb);
      }
    }
  }
  EXPECT_EQ(2u + 9u + 1u, dir.list().size()) << "a temporary file was left behind";
}

// An integer input keeps its depth where the output holds it, and a pass-through
// render keeps every integer code: the writer scales by the same 2^(bits-1) the reader
// divides by and rounds to the nearest code.
TEST(BrisendelFormats, IntegerCodesSurviveAPassThroughRender) {
  TempDir dir;
  for (const unsigned bits : {16u, 24u}) {
    SCOPED_TRACE(bits);
    Wave input;
    input.bits = bits;
    input.samples = testSignal(7001, 0.9);
    input.samples[0] = -1.0;  // the most negative code
    const std::string in = dir.file("in" + std::to_string(bits) + ".wav");
    writeFile(in, encodeWave(input));
    const Audio stored = readAudio(in);
    for (const char* extension : {"wav", "flac", "aiff"}) {
      SCOPED_TRACE(extension);
      const std::string out = dir.file(std::string("out.") + extension);
      const RunResult run = render(in, out);
      ASSERT_EQ(0, run.status) << run.err;
      const Audio output = readAudio(out);
      EXPECT_EQ(bits == 16 ? SF_FORMAT_PCM_16 : SF_FORMAT_PCM_24,
                output.format & SF_FORMAT_SUBMASK);
      ASSERT_EQ(stored.samples.size(), output.samples.size());
      std::size_t differing = 0;
      for (std::size_t i = 0; i < stored.samples.size(); ++i)
        differing += stored.samples[i] != output.samples[i];
      EXPECT_EQ(0u, differing);
    }
  }
}

// Files that do not declare their length, as programs streaming to a pipe write them
// (a WAV data size left at a placeholder, a FLAC "total samples" of 0), are complete:
// every frame is read and rendered.
class BrisendelUndeclaredLength : public testing::TestWithParam<const char*> {};

TEST_P(BrisendelUndeclaredLength, IsReadToTheEnd) {
  TempDir dir;
  const std::string kind = GetParam();
  const std::vector<double> samples = testSignal(30000, 0.5);
  const std::string in = dir.file(kind == "flac" ? "in.flac" : "in.wav");
  writeAudio(in, (kind == "flac" ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SF_FORMAT_PCM_16, 44100,
             samples);
  const std::vector<double> stored = readAudio(in).samples;
  std::vector<std::uint8_t> bytes = readFile(in);
  if (kind == "flac") {
    // STREAMINFO's 36-bit sample count ends its 8-byte field at offset 18.
    bytes[21] &= 0xF0;
    std::fill(bytes.begin() + 22, bytes.begin() + 26, 0);
  } else {
    const std::uint32_t placeholder = std::stoul(kind, nullptr, 16);
    const std::size_t data =
        std::search(bytes.begin(), bytes.end(), "data", "data" + 4) - bytes.begin();
    ASSERT_LT(data + 8, bytes.size());
    for (int i = 0; i < 4; ++i)
      bytes[data + 4 + std::size_t(i)] = static_cast<std::uint8_t>(placeholder >> (8 * i));
  }
  writeFile(in, bytes);
  for (const char* extension : {"wav", "flac"}) {
    SCOPED_TRACE(extension);
    const std::string out = dir.file(std::string("out.") + extension);
    const RunResult run = render(in, out);
    ASSERT_EQ(0, run.status) << run.err;
    EXPECT_EQ(stored, readAudio(out).samples);
  }
}

INSTANTIATE_TEST_SUITE_P(Writers, BrisendelUndeclaredLength,
                         testing::Values("7FFFF000", "FFFFFFFF", "flac"));

// An empty input gives an empty file of every type that holds no frames, and one clear
// line where the type cannot be empty.
TEST(BrisendelFormats, AnEmptyInputGivesAnEmptyFile) {
  TempDir dir;
  for (const int rate : {44100, 48000}) {
    Wave empty;
    empty.sampleRate = static_cast<unsigned>(rate);
    const std::string in = dir.file("empty" + std::to_string(rate) + ".wav");
    writeFile(in, encodeWave(empty));
    const std::vector<std::pair<const char*, int>> types =
        rate == 48000
            ? std::vector<std::pair<const char*, int>>{{"opus", 0}}
            : std::vector<std::pair<const char*, int>>{
                  {"wav", SF_FORMAT_WAV},   {"aiff", SF_FORMAT_AIFF}, {"caf", SF_FORMAT_CAF},
                  {"flac", SF_FORMAT_FLAC}, {"ogg", SF_FORMAT_OGG},   {"mp3", SF_FORMAT_MPEG}};
    for (const auto& [extension, container] : types) {
      SCOPED_TRACE(extension);
      const std::string out = dir.file(std::string("out.") + extension);
      const RunResult run = render(in, out);
      if (container == 0) {
        EXPECT_EQ(1, run.status);
        EXPECT_NE(std::string::npos, run.err.find("out.opus: an Ogg Opus file cannot be empty"))
            << run.err;
        continue;
      }
      ASSERT_EQ(0, run.status) << run.err;
      const Audio written = readAudio(out);
      EXPECT_EQ(container, written.format & SF_FORMAT_TYPEMASK);
      EXPECT_EQ(0u, written.samples.size());
    }
  }
}

// The clipped-sample count is what the written codes lost: a 16-bit full-scale square
// wave passed through keeps every code (the render's rounding beyond -1.0 is no loss),
// while float samples of 1.0 have no 24-bit code and are all limited.
TEST(BrisendelFormats, ClippedSamplesAreCountedOnTheWrittenCodes) {
  TempDir dir;
  spl_test::Bytes codes;
  for (unsigned i = 0; i < 2 * 20000; ++i)
    spl_test::appendLE(codes, (i / 100) % 2 == 0 ? 0x8000u : 0x7FFFu, 2);  // -32768, 32767
  writeFile(dir.file("square.wav"),
            spl_test::riffWave({spl_test::chunk("fmt ", spl_test::formatRecord(1, 2, 44100, 16)),
                                spl_test::chunk("data", codes)}));
  Wave ones;
  ones.formatTag = 3;
  ones.bits = 32;
  ones.samples.assign(2 * 20000, 1.0);
  writeFile(dir.file("ones.wav"), encodeWave(ones));

  const RunResult passed = render(dir.file("square.wav"), dir.file("square-out.wav"));
  ASSERT_EQ(0, passed.status) << passed.err;
  EXPECT_EQ(readAudio(dir.file("square.wav")).samples,
            readAudio(dir.file("square-out.wav")).samples);
  EXPECT_EQ(std::string::npos, passed.out.find("clipped")) << passed.out;
  const RunResult limited = render(dir.file("ones.wav"), dir.file("ones.flac"));
  ASSERT_EQ(0, limited.status) << limited.err;
  EXPECT_NE(std::string::npos, limited.out.find("; 40000 samples clipped at full scale"))
      << limited.out;
}
