#include "tests/tools/ToolTestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "effect/Radi3zur.h"
#include "spl/clip/DefaultClip.h"
#include "spl/clip/ZeroClip.h"
#include "spl/stream/OverwrapStreamProcessor.h"

extern char** environ;

namespace tooltest {

namespace {

std::string slurp(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::uint32_t get16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8;
}
using spl_test::readLE32;

}  // namespace

std::string pluginPath() { return BRISENDEL_PLUGIN; }

RunResult runBrisendel(const std::vector<std::string>& arguments, const RunLimits& limits) {
  TempDir capture;
  const std::string outPath = capture.file("stdout");
  const std::string errPath = capture.file("stderr");
  std::vector<std::string> all = {BRISENDEL_PROGRAM};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : all) argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  // The child inherits the limit and an ignored SIGXFSZ from this process, which holds
  // them only while it starts the child.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  if (!limits.fileSizeSignalIgnored) sigaddset(&defaults, SIGXFSZ);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  struct rlimit saved {};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto previous = signal(SIGXFSZ, SIG_IGN);
  if (limits.fileSize != 0) {
    struct rlimit limited = saved;
    limited.rlim_cur = limits.fileSize;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  RunResult result;
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << argv[0] << ": " << std::strerror(spawned);
    return result;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = slurp(outPath);
  result.err = slurp(errPath);
  return result;
}

Wave floatWave(unsigned frames, double amplitude) {
  Wave wave;
  wave.formatTag = 3;
  wave.bits = 32;
  wave.samples = testSignal(frames, amplitude);
  return wave;
}

std::vector<std::uint8_t> encodeWave(const Wave& wave) {
  const unsigned bytesPerSample = wave.bits / 8;
  const unsigned coding = wave.formatTag == 0xFFFE ? wave.subFormat : wave.formatTag;
  std::vector<std::uint8_t> data;
  data.reserve(wave.samples.size() * bytesPerSample);
  for (double x : wave.samples) {
    if (coding == 3 && wave.bits == 32) {
      const float value = static_cast<float>(x);
      std::uint32_t raw;
      std::memcpy(&raw, &value, 4);
      spl_test::appendLE(data, raw, 4);
    } else if (coding == 3) {
      std::uint64_t raw;
      std::memcpy(&raw, &x, 8);
      spl_test::appendLE(data, raw, 8);
    } else {
      const double half = std::ldexp(1.0, static_cast<int>(wave.bits) - 1);
      const double clamped = std::max(-1.0, std::min(1.0, x));
      long long value = static_cast<long long>(std::floor(clamped * (half - 1.0)));
      if (wave.bits == 8) value += 128;
      for (unsigned i = 0; i < bytesPerSample; ++i)
        data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
  }
  const spl_test::Bytes format =
      wave.formatTag == 0xFFFE
          ? spl_test::extensibleRecord(wave.channels, wave.sampleRate, wave.bits, wave.subFormat)
          : spl_test::formatRecord(wave.formatTag, wave.channels, wave.sampleRate, wave.bits);
  return spl_test::riffWave({spl_test::chunk("fmt ", format), spl_test::chunk("data", data)});
}

Wave readWave(const std::string& path) {
  const std::vector<std::uint8_t> b = readFile(path);
  Wave wave;
  EXPECT_GE(b.size(), 44u) << path;
  if (b.size() < 44) return wave;
  EXPECT_EQ(0, std::memcmp(b.data(), "RIFF", 4));
  EXPECT_EQ(0, std::memcmp(b.data() + 8, "WAVE", 4));
  EXPECT_EQ(b.size() - 8, readLE32(b, 4)) << "RIFF size of " << path;
  std::size_t at = 12;
  std::size_t dataAt = 0;
  std::size_t dataSize = 0;
  while (at + 8 <= b.size()) {
    const std::string id(reinterpret_cast<const char*>(b.data() + at), 4);
    const std::size_t size = readLE32(b, at + 4);
    if (id == "fmt ") {
      wave.formatTag = get16(b, at + 8);
      wave.channels = get16(b, at + 10);
      wave.sampleRate = readLE32(b, at + 12);
      wave.bits = get16(b, at + 22);
    } else if (id == "data") {
      dataAt = at + 8;
      dataSize = size;
    }
    at += 8 + size;
  }
  EXPECT_NE(0u, dataAt) << "no data chunk in " << path;
  EXPECT_LE(dataAt + dataSize, b.size());
  const unsigned bytesPerSample = wave.bits / 8;
  if (dataAt == 0 || bytesPerSample == 0 || dataAt + dataSize > b.size()) return wave;
  for (std::size_t p = dataAt; p + bytesPerSample <= dataAt + dataSize; p += bytesPerSample) {
    if (wave.formatTag == 3 && wave.bits == 32) {
      const std::uint32_t raw = readLE32(b, p);
      float value;
      std::memcpy(&value, &raw, 4);
      wave.samples.push_back(value);
    } else if (wave.formatTag == 1) {
      long long raw = 0;
      for (unsigned i = 0; i < bytesPerSample; ++i)
        raw |= static_cast<long long>(b[p + i]) << (8 * i);
      const double half = std::ldexp(1.0, static_cast<int>(wave.bits) - 1);
      if (wave.bits == 8) {
        raw -= 128;
      } else if (raw >= static_cast<long long>(half)) {
        raw -= static_cast<long long>(2.0 * half);
      }
      wave.samples.push_back(static_cast<double>(raw) / half);
    } else {
      ADD_FAILURE() << "unexpected sample format in " << path;
      return wave;
    }
  }
  return wave;
}

Audio readAudio(const std::string& path) {
  Audio audio;
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  EXPECT_NE(nullptr, file) << path << ": " << sf_strerror(nullptr);
  if (file == nullptr) return audio;
  audio.format = info.format;
  audio.sampleRate = info.samplerate;
  audio.channels = info.channels;
  // Read to the end: a stream's length may be unknown (SF_COUNT_MAX).
  std::vector<double> chunk(std::size_t(4096) * static_cast<std::size_t>(info.channels));
  for (sf_count_t got; (got = sf_readf_double(file, chunk.data(), 4096)) > 0;)
    audio.samples.insert(audio.samples.end(), chunk.begin(),
                         chunk.begin() + got * static_cast<sf_count_t>(info.channels));
  sf_close(file);
  return audio;
}

void writeAudio(const std::string& path, int format, int sampleRate,
                const std::vector<double>& samples) {
  SF_INFO info{};
  info.format = format;
  info.channels = 2;
  info.samplerate = sampleRate;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(nullptr, file) << path << ": " << sf_strerror(nullptr);
  EXPECT_EQ(static_cast<sf_count_t>(samples.size() / 2),
            sf_writef_double(file, samples.data(), static_cast<sf_count_t>(samples.size() / 2)));
  EXPECT_EQ(0, sf_close(file));
}

std::vector<double> testSignal(unsigned frames, double amplitude) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> noise(-1.0, 1.0);
  std::vector<double> samples(std::size_t(frames) * 2);
  for (unsigned i = 0; i < frames; ++i) {
    const double t = i / 44100.0;
    const double shared =
        0.5 * std::sin(2 * M_PI * 330.0 * t) + 0.2 * std::sin(2 * M_PI * 1234.5 * t);
    const double opposite = 0.2 * std::sin(2 * M_PI * 97.0 * t);
    samples[2 * i] = amplitude * (shared + opposite + 0.15 * noise(random));
    samples[2 * i + 1] = amplitude * (shared - opposite + 0.15 * noise(random));
  }
  return samples;
}

std::vector<double> referenceRender(const std::vector<double>& input, double center, double side,
                                    bool autoGain, unsigned quality, int windowMode) {
  constexpr unsigned WIDTH = 4096;
  const unsigned frames = static_cast<unsigned>(input.size() / 2);
  Radi3zur imager;
  imager.setCenter(center);
  imager.setSide(side);
  imager.setAutoGain(autoGain);
  imager.setQuality(quality);
  imager.setWindowMode(windowMode);
  spl::OverwrapStreamProcessor processor(imager, 2, WIDTH);
  spl::DefaultClip clip(2, frames + WIDTH);
  for (unsigned i = 0; i < frames; ++i) {
    clip.set(0, i, input[2 * i]);
    clip.set(1, i, input[2 * i + 1]);
  }
  processor.write(clip);
  spl::DefaultClip out(2, 0);
  processor.read(out, frames + WIDTH);
  std::vector<double> result(std::size_t(frames) * 2);
  EXPECT_EQ(frames + WIDTH, out.getLength());
  if (out.getLength() < frames + WIDTH) return result;
  for (unsigned i = 0; i < frames; ++i) {
    result[2 * i] = out.get(0, WIDTH + i);
    result[2 * i + 1] = out.get(1, WIDTH + i);
  }
  return result;
}

}  // namespace tooltest
