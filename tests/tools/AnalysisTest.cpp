// brisendel analyze: the table and the pictures it writes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/tools/ToolTestSupport.h"

using namespace tooltest;

// analyze IN OUT: a table row per band and both pictures, PNG at 1200 x 800 and SVG,
// written completely and nothing else left in the folder.
TEST(BrisendelAnalyze, WritesTheTableAndValidPictures) {
  TempDir dir;
  Wave input;
  input.samples = testSignal(30000, 0.5);
  writeFile(dir.file("in.wav"), encodeWave(input));
  ASSERT_EQ(0, runBrisendel({"render", dir.file("in.wav"), dir.file("out.flac"), "--plugin",
                             pluginPath(), "--side", "0"})
                   .status);
  const RunResult run = runBrisendel({"analyze", dir.file("in.wav"), dir.file("out.flac"), "--png",
                                      dir.file("field.png"), "--svg", dir.file("field.svg")});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_NE(std::string::npos, run.out.find("side/mid dB 2")) << run.out;
  EXPECT_NE(std::string::npos, run.out.find("       1k ")) << run.out;

  const std::vector<std::uint8_t> png = readFile(dir.file("field.png"));
  ASSERT_GT(png.size(), 33u);
  const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(std::equal(signature, signature + 8, png.begin()));
  EXPECT_EQ(0, std::memcmp(png.data() + 12, "IHDR", 4));
  const auto big32 = [&png](std::size_t at) {
    return (std::uint32_t(png[at]) << 24) | (std::uint32_t(png[at + 1]) << 16) |
           (std::uint32_t(png[at + 2]) << 8) | png[at + 3];
  };
  EXPECT_EQ(1200u, big32(16));
  EXPECT_EQ(800u, big32(20));
  const std::vector<std::uint8_t> tail(png.end() - 8, png.end());
  EXPECT_EQ(0, std::memcmp(tail.data(), "IEND", 4)) << "the PNG is cut short";

  const std::vector<std::uint8_t> svgBytes = readFile(dir.file("field.svg"));
  const std::string svg(svgBytes.begin(), svgBytes.end());
  EXPECT_EQ(0u, svg.find("<?xml"));
  EXPECT_NE(std::string::npos, svg.find("width=\"1200"));
  EXPECT_NE(std::string::npos, svg.find("height=\"800"));
  EXPECT_NE(std::string::npos, svg.find("</svg>"));
  EXPECT_EQ(4u, dir.list().size()) << "a temporary file was left behind";
}

// No picture replaces a file it shows, however its path names it; the analysis is not
// even started.
TEST(BrisendelAnalyze, APictureNeverReplacesAnInput) {
  TempDir dir;
  Wave input;
  input.samples = testSignal(5000, 0.5);
  const std::vector<std::uint8_t> bytes = encodeWave(input);
  writeFile(dir.file("a.wav"), bytes);
  writeFile(dir.file("b.wav"), bytes);
  ASSERT_EQ(0, link(dir.file("b.wav").c_str(), dir.file("hard.png").c_str()));
  for (const char* option : {"--png", "--svg"}) {
    for (const std::string& picture :
         {dir.file("a.wav"), dir.path() + "/./b.wav", dir.file("hard.png")}) {
      SCOPED_TRACE(std::string(option) + " " + picture);
      const RunResult run =
          runBrisendel({"analyze", dir.file("a.wav"), dir.file("b.wav"), option, picture});
      EXPECT_EQ(1, run.status);
      EXPECT_NE(std::string::npos, run.err.find(picture + ": is the input file")) << run.err;
      EXPECT_EQ("", run.out);
    }
  }
  EXPECT_EQ(bytes, readFile(dir.file("a.wav")));
  EXPECT_EQ(bytes, readFile(dir.file("b.wav")));
  EXPECT_EQ(3u, dir.list().size());
}

// The table says what it measured: channels in opposite phase are infinitely wide
// (+inf, not the -inf of identical channels), and a NaN sample is named on standard
// error while the bands still show the rest of the file.
TEST(BrisendelAnalyze, TheTableShowsOppositeChannelsAndNamesNonFiniteSamples) {
  TempDir dir;
  Wave opposite = floatWave(20000, 0.5);
  for (std::size_t i = 0; i < opposite.samples.size(); i += 2)
    opposite.samples[i + 1] = -opposite.samples[i];
  writeFile(dir.file("opposite.wav"), encodeWave(opposite));
  Wave damaged = opposite;
  damaged.samples = testSignal(20000, 0.5);
  damaged.samples[777] = std::numeric_limits<double>::quiet_NaN();
  writeFile(dir.file("nan.wav"), encodeWave(damaged));

  const RunResult run = runBrisendel({"analyze", dir.file("opposite.wav"), dir.file("nan.wav")});
  ASSERT_EQ(0, run.status) << run.err;
  const std::size_t row = run.out.find("       1k ");
  ASSERT_NE(std::string::npos, row) << run.out;
  const std::string line = run.out.substr(row, run.out.find('\n', row) - row);
  EXPECT_NE(std::string::npos, line.find("+inf     -1.000")) << line;
  EXPECT_EQ(std::string::npos, line.find(" -  ")) << line;
  EXPECT_EQ("brisendel: " + dir.file("nan.wav") +
                ": 1 sample is NaN or infinite; left out of the analysis\n",
            run.err);
}
