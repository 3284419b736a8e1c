// A render on several jobs is the single-instance render, bit for bit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/ToolTestSupport.h"

using namespace tooltest;

// Shorter than one window, exactly one window, and many windows plus an odd rest;
// host blocks that divide nothing; 2 and 7 jobs (7 cuts even a short file into
// one-hop segments, so every segment boundary and pre-roll is exercised).
TEST(BrisendelParallel, EveryJobCountGivesTheSameBits) {
  TempDir dir;
  for (const unsigned frames : {1000u, 4096u, 5u * 4096u + 77u}) {
    Wave input;
    input.formatTag = 3;
    input.bits = 32;
    input.samples = testSignal(frames, 0.7);
    const std::string in = dir.file("in.wav");
    writeFile(in, encodeWave(input));
    for (const char* block : {"777", "4096"}) {
      SCOPED_TRACE(std::to_string(frames) + " frames, block " + block);
      std::vector<std::vector<std::uint8_t>> outputs;
      for (const char* jobs : {"1", "2", "7"}) {
        const std::string out = dir.file(std::string("out") + jobs + ".wav");
        const RunResult run =
            runBrisendel({"render", in, out, "--plugin", pluginPath(), "--jobs", jobs, "--block",
                          block, "--center", "40", "--side", "160", "--quality", "2"});
        ASSERT_EQ(0, run.status) << run.err;
        EXPECT_NE(std::string::npos, run.out.find(std::string(" on ") + jobs + " job")) << run.out;
        outputs.push_back(readFile(out));
      }
      ASSERT_EQ(readWave(dir.file("out1.wav")).samples.size(), input.samples.size());
      EXPECT_TRUE(outputs[0] == outputs[1]) << "2 jobs differ from 1";
      EXPECT_TRUE(outputs[0] == outputs[2]) << "7 jobs differ from 1";
    }
  }
}
