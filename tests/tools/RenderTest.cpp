// brisendel render, run as a program: its output must be what the library computes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/tools/ToolTestSupport.h"

using namespace tooltest;

namespace {

double maxDifference(const std::vector<double>& a, const std::vector<double>& b) {
  double worst = 0.0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
    worst = std::max(worst, std::fabs(a[i] - b[i]));
  return worst;
}

}  // namespace

// Every parameter away from its default, a host block that divides nothing, float
// output: the rendered file is the library's own result, aligned and of equal length.
TEST(BrisendelRender, FloatOutputMatchesTheLibraryAlignedAndOfEqualLength) {
  TempDir dir;
  const Wave input = floatWave(30011, 0.8);
  writeFile(dir.file("in.wav"), encodeWave(input));
  const std::vector<double> stored = readWave(dir.file("in.wav")).samples;

  const RunResult run =
      runBrisendel({"render", dir.file("in.wav"), dir.file("out.wav"), "--plugin", pluginPath(),
                    "--center", "30", "--side=150", "--autogain", "off", "--quality", "2",
                    "--window", "A", "--block", "777", "--float"});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_NE(std::string::npos, run.out.find("Center 30 %")) << run.out;
  EXPECT_NE(std::string::npos, run.out.find("Side 150 %")) << run.out;
  EXPECT_NE(std::string::npos, run.out.find("AutoGain Disabled")) << run.out;
  EXPECT_NE(std::string::npos, run.out.find("Quality 2")) << run.out;
  EXPECT_NE(std::string::npos, run.out.find("Window A")) << run.out;

  const Wave output = readWave(dir.file("out.wav"));
  EXPECT_EQ(3u, output.formatTag);
  EXPECT_EQ(32u, output.bits);
  EXPECT_EQ(44100u, output.sampleRate);
  ASSERT_EQ(stored.size(), output.samples.size());
  const std::vector<double> expected = referenceRender(stored, 0.30, 1.50, false, 2, 0);
  EXPECT_LT(maxDifference(expected, output.samples), 1e-6);
  EXPECT_EQ(2u, dir.list().size()) << "a temporary file was left behind";
}

// 16-bit in gives 16-bit out at the input's rate, the samples the library's within one
// step of the integer code. File names with blanks pass through whole.
TEST(BrisendelRender, SixteenBitInputGivesSixteenBitOutput) {
  TempDir dir;
  Wave input;
  input.sampleRate = 48000;
  input.samples = testSignal(20000, 0.5);
  writeFile(dir.file("my input.wav"), encodeWave(input));
  const std::vector<double> stored = readWave(dir.file("my input.wav")).samples;

  const RunResult run = runBrisendel({"render", dir.file("my input.wav"), dir.file("my output.wav"),
                                      "--plugin", pluginPath(), "--center", "60", "--side", "140"});
  ASSERT_EQ(0, run.status) << run.err;
  const Wave output = readWave(dir.file("my output.wav"));
  EXPECT_EQ(1u, output.formatTag);
  EXPECT_EQ(16u, output.bits);
  EXPECT_EQ(48000u, output.sampleRate);
  ASSERT_EQ(stored.size(), output.samples.size());
  const std::vector<double> expected = referenceRender(stored, 0.60, 1.40, true, 1, 1);
  EXPECT_LE(maxDifference(expected, output.samples), 1.0 / 32767.0 + 1e-9);
}

// Center = Side = 100 passes the signal unchanged, so after latency compensation an
// impulse must come out at exactly the frame it went in, for host blocks shorter than,
// equal to and longer than the plug-in's window.
TEST(BrisendelRender, LatencyIsCompensatedToTheFrame) {
  TempDir dir;
  const unsigned frames = 12000;
  const unsigned leftAt = 5000;
  const unsigned rightAt = 9001;
  Wave input;
  input.formatTag = 3;
  input.bits = 32;
  input.samples.assign(std::size_t(frames) * 2, 0.0);
  input.samples[2 * leftAt] = 0.9;
  input.samples[2 * rightAt + 1] = -0.7;
  writeFile(dir.file("impulse.wav"), encodeWave(input));

  for (const char* block : {"1", "4096", "10000"}) {
    SCOPED_TRACE(block);
    const RunResult run = runBrisendel({"render", dir.file("impulse.wav"), dir.file("out.wav"),
                                        "--plugin", pluginPath(), "--center", "100", "--side",
                                        "100", "--autogain", "off", "--block", block});
    ASSERT_EQ(0, run.status) << run.err;
    const Wave output = readWave(dir.file("out.wav"));
    ASSERT_EQ(input.samples.size(), output.samples.size());
    for (unsigned i = 0; i < frames; ++i) {
      ASSERT_NEAR(input.samples[2 * i], output.samples[2 * i], 1e-6) << "left, frame " << i;
      ASSERT_NEAR(input.samples[2 * i + 1], output.samples[2 * i + 1], 1e-6)
          << "right, frame " << i;
    }
  }
}

// WAVE_FORMAT_EXTENSIBLE with a PCM sub-format is read like plain PCM; 24-bit in.
TEST(BrisendelRender, ExtensibleTwentyFourBitInputIsAccepted) {
  TempDir dir;
  Wave input;
  input.formatTag = 0xFFFE;
  input.subFormat = 1;
  input.bits = 24;
  input.samples = testSignal(9000, 0.7);
  writeFile(dir.file("in.wav"), encodeWave(input));
  Wave plain = input;
  plain.formatTag = 1;
  writeFile(dir.file("plain.wav"), encodeWave(plain));
  const std::vector<double> stored = readWave(dir.file("plain.wav")).samples;

  const RunResult run = runBrisendel({"render", dir.file("in.wav"), dir.file("out.wav"), "--plugin",
                                      pluginPath(), "--side", "0", "--float"});
  ASSERT_EQ(0, run.status) << run.err;
  const Wave output = readWave(dir.file("out.wav"));
  ASSERT_EQ(stored.size(), output.samples.size());
  EXPECT_LT(maxDifference(referenceRender(stored, 1.0, 0.0, true, 1, 1), output.samples), 1e-6);
}
