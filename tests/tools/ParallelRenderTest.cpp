// A render on several jobs is the single-instance render, bit for bit.
#include <gtest/gtest.h>
#include <sched.h>

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
    const Wave input = floatWave(frames, 0.7);
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

// A lossy encoder's output depends on how its input is cut: the decoded file is the
// same whatever the job count and host block.
TEST(BrisendelParallel, EncodedOutputDoesNotDependOnJobsOrBlock) {
  TempDir dir;
  Wave input;
  input.samples = testSignal(3 * 44100, 0.7);
  writeFile(dir.file("in.wav"), encodeWave(input));
  for (const char* extension : {"ogg", "mp3"}) {
    SCOPED_TRACE(extension);
    std::vector<std::vector<double>> decoded;
    for (const auto& [jobs, block] : {std::pair{"1", "1024"}, std::pair{"3", "777"}}) {
      const std::string out = dir.file(std::string("out") + jobs + "." + extension);
      const RunResult run = runBrisendel({"render", dir.file("in.wav"), out, "--plugin",
                                          pluginPath(), "--jobs", jobs, "--block", block});
      ASSERT_EQ(0, run.status) << run.err;
      decoded.push_back(readAudio(out).samples);
    }
    EXPECT_TRUE(decoded[0] == decoded[1]);
  }
}

// Without --jobs, one job per processor the process may run on: bound to one, one job.
TEST(BrisendelParallel, DefaultJobsFollowTheProcessorsAllowed) {
  TempDir dir;
  Wave input;
  input.samples = testSignal(44100, 0.5);
  writeFile(dir.file("in.wav"), encodeWave(input));
  cpu_set_t saved;
  ASSERT_EQ(0, sched_getaffinity(0, sizeof(saved), &saved));
  int first = 0;
  while (!CPU_ISSET(first, &saved)) ++first;
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(first, &one);
  // The child inherits the mask this process has while it starts it.
  ASSERT_EQ(0, sched_setaffinity(0, sizeof(one), &one));
  const RunResult run =
      runBrisendel({"render", dir.file("in.wav"), dir.file("out.wav"), "--plugin", pluginPath()});
  ASSERT_EQ(0, sched_setaffinity(0, sizeof(saved), &saved));
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_NE(std::string::npos, run.out.find(" on 1 job,")) << run.out;
}
