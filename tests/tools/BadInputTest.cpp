// brisendel refuses bad input with one clear line and a non-zero status, and never
// leaves a truncated or clobbered file behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/tools/ToolTestSupport.h"

using namespace tooltest;

extern char** environ;

namespace {

Wave shortStereo(unsigned frames = 2000) {
  Wave wave;
  wave.samples = testSignal(frames, 0.5);
  return wave;
}

std::size_t lineCount(const std::string& text) {
  return std::count(text.begin(), text.end(), '\n');
}

}  // namespace

// Each broken input: a failure status, the file named with its problem on standard
// error in one line, and an existing OUT left exactly as it was.
TEST(BrisendelBadInput, BrokenInputFilesAreRefusedByNameAndOutputIsUntouched) {
  TempDir dir;
  const std::vector<std::uint8_t> good = encodeWave(shortStereo());
  Wave mono = shortStereo();
  mono.channels = 1;
  Wave quad = shortStereo();
  quad.channels = 4;
  std::vector<std::uint8_t> damaged = good;
  damaged.resize(good.size() / 2);  // the data chunk now claims more than follows
  std::vector<std::uint8_t> badFormat = good;
  badFormat[20] = 2;  // format tag 2 (ADPCM)
  std::vector<std::uint8_t> shortFormat = good;
  shortFormat[16] = 8;  // format chunk of 8 bytes
  writeFile(dir.file("mono.wav"), encodeWave(mono));
  writeFile(dir.file("quad.wav"), encodeWave(quad));
  writeFile(dir.file("damaged.wav"), damaged);
  writeFile(dir.file("adpcm.wav"), badFormat);
  writeFile(dir.file("shortfmt.wav"), shortFormat);
  writeFile(dir.file("text.wav"), {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '\n'});
  writeFile(dir.file("headonly.wav"), std::vector<std::uint8_t>(good.begin(), good.begin() + 12));
  writeFile(dir.file("riffavi.wav"), {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '});
  mkdir(dir.file("folder.wav").c_str(), 0755);

  const struct {
    const char* file;
    const char* message;
  } cases[] = {
      {"missing.wav", "missing.wav: cannot open: No such file or directory"},
      {"text.wav", "text.wav: cannot be read as audio"},
      {"riffavi.wav", "riffavi.wav: cannot be read as audio"},
      {"headonly.wav", "headonly.wav: cannot be read as audio"},
      {"damaged.wav",
       "damaged.wav: damaged file (the data chunk declares 8000 bytes, 3978 follow)"},
      {"shortfmt.wav", "shortfmt.wav: cannot be read as audio"},
      {"adpcm.wav", "adpcm.wav: cannot be read as audio"},
      {"mono.wav", "mono.wav: mono file (1 channel)"},
      {"quad.wav", "quad.wav: 4 channels"},
      {"folder.wav", "folder.wav: is a directory"},
  };
  writeFile(dir.file("out.wav"), {'k', 'e', 'e', 'p'});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const RunResult run =
        runBrisendel({"render", dir.file(c.file), dir.file("out.wav"), "--plugin", pluginPath()});
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.err.find(c.message)) << run.err;
    EXPECT_EQ(1u, lineCount(run.err)) << run.err;
    EXPECT_EQ((std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}), readFile(dir.file("out.wav")));
  }
  EXPECT_EQ(10u, dir.list().size()) << "a temporary file was left behind";
}

// Command-line mistakes: status 2, the problem first, then the usage.
TEST(BrisendelBadInput, UsageErrorsNameTheOptionAndShowTheUsage) {
  const struct {
    std::vector<std::string> arguments;
    const char* message;
  } cases[] = {
      {{}, "no command given"},
      {{"mix"}, "unknown command \"mix\""},
      {{"render", "a.wav"}, "render needs an input and an output file"},
      {{"render", "a.wav", "b.wav", "--bogus"}, "unknown option --bogus"},
      {{"render", "a.wav", "b.wav", "--center", "201"},
       "--center: expected a whole number from 0 to 200, got \"201\""},
      {{"render", "a.wav", "b.wav", "--side", "-5"},
       "--side: expected a whole number from 0 to 200"},
      {{"render", "a.wav", "b.wav", "--side", "50.5"},
       "--side: expected a whole number from 0 to 200"},
      {{"render", "a.wav", "b.wav", "--quality", "0"},
       "--quality: expected a whole number from 1 to 9"},
      {{"render", "a.wav", "b.wav", "--window", "C"}, "--window: expected A or B"},
      {{"render", "a.wav", "b.wav", "--autogain", "maybe"}, "--autogain: expected on or off"},
      {{"render", "a.wav", "b.wav", "--block", "0"},
       "--block: expected a whole number from 1 to 1048576"},
      {{"render", "a.wav", "b.wav", "--jobs", "0"},
       "--jobs: expected a whole number from 1 to 256"},
      {{"render", "a.wav", "b.wav", "--jobs", "99999999999"},
       "--jobs: expected a whole number from 1 to 256"},
      {{"analyze", "a.wav", "--jobs", "2"}, "--jobs: applies to render only"},
      {{"render", "a.wav", "b.wav", "--png", "p.png"}, "--png: applies to analyze only"},
      {{"analyze"}, "analyze needs one or two files"},
      {{"render", "a.wav", "b.wav", "--center"}, "--center: needs a value"},
      {{"info", "--center", "10"}, "--center: applies to render only"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const RunResult run = runBrisendel(c.arguments);
    EXPECT_EQ(2, run.status);
    EXPECT_EQ(0u, run.err.find(std::string("brisendel: ") + c.message)) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("usage: ")) << run.err;
  }
  const RunResult help = runBrisendel({"--help"});
  EXPECT_EQ(0, help.status);
  EXPECT_NE(std::string::npos, help.out.find("usage: ")) << help.out;
  EXPECT_NE(std::string::npos, help.out.find("--center")) << help.out;
}

// OUT may never be IN, however it is spelled; an output folder that cannot take the
// file and a plug-in that does not load are refused before anything is written.
TEST(BrisendelBadInput, OutputAndPluginProblemsAreRefused) {
  TempDir dir;
  const std::vector<std::uint8_t> input = encodeWave(shortStereo());
  writeFile(dir.file("in.wav"), input);
  ASSERT_EQ(0, symlink(dir.file("in.wav").c_str(), dir.file("alias.wav").c_str()));
  ASSERT_EQ(0, link(dir.file("in.wav").c_str(), dir.file("hard.wav").c_str()));
  writeFile(dir.file("notaplugin.so"), {'n', 'o', 'p', 'e'});

  const struct {
    std::vector<std::string> arguments;
    std::string message;
  } cases[] = {
      {{"render", dir.file("in.wav"), dir.file("in.wav")}, "in.wav: is the input file"},
      {{"render", dir.file("in.wav"), dir.path() + "/./in.wav"}, "in.wav: is the input file"},
      {{"render", dir.file("in.wav"), dir.file("alias.wav")}, "alias.wav: is the input file"},
      {{"render", dir.file("in.wav"), dir.file("hard.wav")}, "hard.wav: is the input file"},
      {{"render", dir.file("in.wav"), dir.file("nowhere/out.wav")},
       "nowhere/out.wav: cannot write in"},
      {{"render", dir.file("in.wav"), dir.path()}, ": is a directory"},
      {{"render", "--plugin", pluginPath(), "--", dir.file("in.wav"), "/dev/null"},
       "/dev/null: is not a regular file"},
      {{"render", dir.file("in.wav"), dir.file("out.wav"), "--plugin", dir.file("notaplugin.so")},
       "notaplugin.so: cannot load the plug-in"},
      {{"render", dir.file("in.wav"), dir.file("out.wav"), "--plugin", dir.file("absent.so")},
       "absent.so: cannot load the plug-in: No such file or directory"},
      {{"info", "--plugin", dir.file("notaplugin.so")}, "notaplugin.so: cannot load the plug-in"},
      {{"render", dir.file("in.wav"), dir.file("out.wav"), "--plugin", PROBE_MODULE},
       "not the Brisendel plug-in (unique id 0x50726f62, expected 0x31343368)"},
      {{"render", dir.file("in.wav"), dir.file("out.wav"), "--plugin", PROBE_ODD_LATENCY_MODULE},
       "the plug-in reports a latency of 4095 frames"},
      {{"render", dir.file("in.wav"), dir.file("out.xyz")}, "out.xyz: unknown output type .xyz"},
      {{"render", dir.file("in.wav"), dir.file("out")}, "out: unknown output type (no extension)"},
      {{"render", dir.file("in.wav"), dir.file("out.flac"), "--float"},
       "out.flac: FLAC cannot hold 32-bit float"},
      {{"render", dir.file("in.wav"), dir.file("out.mp3"), "--float"},
       "out.mp3: MPEG MP3 cannot hold 32-bit float"},
      {{"render", dir.file("in.wav"), dir.file("out.opus")},
       "out.opus: cannot be written as Ogg Opus at 44100 Hz"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    std::vector<std::string> arguments = c.arguments;
    if (std::find(arguments.begin(), arguments.end(), "--plugin") == arguments.end()) {
      arguments.push_back("--plugin");
      arguments.push_back(pluginPath());
    }
    const RunResult run = runBrisendel(arguments);
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.err.find(c.message)) << run.err;
    EXPECT_EQ(1u, lineCount(run.err)) << run.err;
  }
  EXPECT_EQ(input, readFile(dir.file("in.wav")));
  EXPECT_EQ(4u, dir.list().size()) << "a file was left behind";
}

// A render on two jobs stopped by SIGINT leaves neither a partial OUT nor its temporary
// file, and an older OUT survives intact.
TEST(BrisendelBadInput, InterruptedRenderLeavesNothingBehind) {
  TempDir dir;
  Wave input;
  input.samples = testSignal(44100 * 20, 0.5);
  writeFile(dir.file("in.wav"), encodeWave(input));
  writeFile(dir.file("out.wav"), {'o', 'l', 'd'});

  // The highest quality makes the render slow enough to be caught while it runs.
  std::vector<std::string> all = {
      BRISENDEL_PROGRAM, "render",     dir.file("in.wav"), dir.file("out.wav"),
      "--plugin",        pluginPath(), "--quality",        "9",
      "--jobs",          "2"};
  std::vector<char*> argv;
  for (std::string& argument : all) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  ASSERT_EQ(0, posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ));
  posix_spawn_file_actions_destroy(&actions);

  // Wait until the temporary file exists, that is, until the render is under way.
  bool started = false;
  for (int tries = 0; tries < 3000 && !started; ++tries) {
    started = dir.list().size() > 2;
    if (!started) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGINT);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(started) << "the render never created its temporary file";
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
  EXPECT_EQ((std::vector<std::uint8_t>{'o', 'l', 'd'}), readFile(dir.file("out.wav")));
  EXPECT_EQ(2u, dir.list().size()) << "the temporary file was left behind";
}

// A disk that fills up mid-render, here a file size limit a little or far below what
// the output needs: one line naming OUT, failure, nothing left behind, whether the
// format writes as it goes (WAV) or buffers and finishes on close (FLAC, Ogg, MP3,
// whose last packets may be lost without an error reaching the writer). The limit's
// signal, at its default, would kill the program: it must be ignored by brisendel.
struct FullDiskCase {
  const char* output;
  bool signalIgnored;
};

class BrisendelFullDisk : public testing::TestWithParam<FullDiskCase> {};

TEST_P(BrisendelFullDisk, FailsCleanlyWhereverTheDiskFills) {
  TempDir dir;
  Wave input;
  input.sampleRate = 48000;  // Opus takes no 44.1 kHz
  input.samples = testSignal(48000 * 3, 0.5);
  writeFile(dir.file("in.wav"), encodeWave(input));
  const std::string out = dir.file(GetParam().output);
  const std::vector<std::string> arguments = {"render", dir.file("in.wav"), out, "--plugin",
                                              pluginPath()};
  ASSERT_EQ(0, runBrisendel(arguments).status);
  const unsigned long long size = readFile(out).size();
  ASSERT_EQ(0, unlink(out.c_str()));
  for (const unsigned long long short_by : {size / 2, 16384ull, 4096ull, 1024ull, 1ull}) {
    SCOPED_TRACE(std::to_string(size - short_by) + " of " + std::to_string(size) + " bytes");
    const RunResult run = runBrisendel(arguments, {size - short_by, GetParam().signalIgnored});
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(0u, run.err.find("brisendel: " + out + ": ")) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("written")) << run.err;
    EXPECT_EQ(1u, lineCount(run.err)) << run.err;
    EXPECT_EQ(1u, dir.list().size()) << "a partial or temporary file was left behind";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, BrisendelFullDisk,
    testing::Values(FullDiskCase{"out.wav", true}, FullDiskCase{"out.wav", false},
                    FullDiskCase{"out.flac", true}, FullDiskCase{"out.ogg", true},
                    FullDiskCase{"out.opus", true}, FullDiskCase{"out.mp3", true}));

// A file cut short (a download broken off) is refused as damaged in every container
// that declares its data's size, not read as a shorter song.
class BrisendelCutShort : public testing::TestWithParam<int> {};

TEST_P(BrisendelCutShort, IsRefusedAsDamaged) {
  TempDir dir;
  const std::string in = dir.file("in");
  writeAudio(in, GetParam() | SF_FORMAT_PCM_16, 44100, testSignal(10000, 0.5));
  std::vector<std::uint8_t> bytes = readFile(in);
  bytes.resize(bytes.size() / 2);
  writeFile(in, bytes);
  const RunResult run = runBrisendel({"render", in, dir.file("out.wav"), "--plugin", pluginPath()});
  EXPECT_EQ(1, run.status);
  EXPECT_NE(std::string::npos,
            run.err.find("in: damaged file (the data chunk declares 40000 bytes"))
      << run.err;
  EXPECT_EQ(1u, dir.list().size()) << "a file was left behind";
}

INSTANTIATE_TEST_SUITE_P(Containers, BrisendelCutShort,
                         testing::Values(SF_FORMAT_WAV, SF_FORMAT_AIFF, SF_FORMAT_RF64,
                                         SF_FORMAT_W64, SF_FORMAT_AU));
