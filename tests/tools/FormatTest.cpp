// brisendel reads and writes every format the installed libsndfile writes, in the
// sample coding the user expects.
#include <gtest/gtest.h>
#include <sndfile.h>

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
