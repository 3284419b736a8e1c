// brisendel info and demo, run as a program.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/tools/ToolTestSupport.h"

using namespace tooltest;

namespace {

struct Balance {
  double sideToMid;  // side energy over mid energy
  double correlation;
};

Balance measure(const Wave& wave) {
  double mid = 0.0, side = 0.0, left = 0.0, right = 0.0, product = 0.0;
  for (std::size_t i = 0; i + 1 < wave.samples.size(); i += 2) {
    const double l = wave.samples[i];
    const double r = wave.samples[i + 1];
    mid += (l + r) * (l + r);
    side += (l - r) * (l - r);
    left += l * l;
    right += r * r;
    product += l * r;
  }
  return {side / mid, product / std::sqrt(left * right)};
}

}  // namespace

TEST(BrisendelInfo, ShowsIdentityLatencyAndTheFiveParameters) {
  const RunResult run = runBrisendel({"info", "--plugin", pluginPath()});
  ASSERT_EQ(0, run.status) << run.err;
  for (const char* expected :
       {"Brisendel", "Orlask", "Orlask Series", "0x31343368", "4096 frames"}) {
    EXPECT_NE(std::string::npos, run.out.find(expected)) << expected << " missing in\n" << run.out;
  }
  // Each parameter row: index, name, label, current display text, steps.
  for (const char* row : {"0  Center    %      100       201", "1  Side      %      100       201",
                          "2  AutoGain         Enabled   2", "3  Quality          1         9",
                          "4  Window           B         2"}) {
    EXPECT_NE(std::string::npos, run.out.find(row)) << row << " missing in\n" << run.out;
  }
}

// The demo needs no input: it writes the mix and the two renders, and the renders
// move the stereo balance the way their names say.
TEST(BrisendelDemo, WritesThreeFilesWhoseBalanceMovesTheRightWay) {
  TempDir dir;
  const std::string folder = dir.file("demo");
  const RunResult run = runBrisendel({"demo", folder, "--plugin", pluginPath()});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_NE(std::string::npos, run.out.find("mid RMS dBFS")) << run.out;

  const Wave mix = readWave(folder + "/mix.wav");
  const Wave noCenter = readWave(folder + "/center-removed.wav");
  const Wave noSides = readWave(folder + "/sides-removed.wav");
  ASSERT_EQ(44100u * 10u * 2u, mix.samples.size());
  ASSERT_EQ(mix.samples.size(), noCenter.samples.size());
  ASSERT_EQ(mix.samples.size(), noSides.samples.size());
  const Balance original = measure(mix);
  const Balance centerRemoved = measure(noCenter);
  const Balance sidesRemoved = measure(noSides);
  EXPECT_GT(centerRemoved.sideToMid, 2.0 * original.sideToMid);
  EXPECT_LT(sidesRemoved.sideToMid, 0.01 * original.sideToMid);
  EXPECT_LT(centerRemoved.correlation, original.correlation);
  EXPECT_GT(sidesRemoved.correlation, 0.99);
}
