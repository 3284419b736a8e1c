// Brisendel.so loaded as a host loads it, with the host's two kinds of threads:
// one processing blocks, another doing what automation and a generic editor do
// (set, read back, display, name and label every parameter). Under
// ThreadSanitizer (the tsan preset) any value the two share without an atomic
// is reported; everywhere it checks that values read back exactly as written.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "effect/BrisendelEffect.h"
#include "host/PluginHost.h"

using brisendel::PluginHost;

namespace {

constexpr int kBlock = 512;

// BRISENDEL_THREAD_SECONDS overrides the default run of 3 seconds.
std::chrono::milliseconds runTime() {
  const char* text = std::getenv("BRISENDEL_THREAD_SECONDS");
  const double seconds = text != nullptr ? std::atof(text) : 3.0;
  return std::chrono::milliseconds(static_cast<long>(seconds * 1000.0));
}

TEST(BrisendelThreads, ParameterThreadAgainstProcessingThread) {
  PluginHost host(BRISENDEL_MODULE);
  host.start(44100.0, kBlock);
  std::atomic<bool> stop{false};
  std::atomic<long> calls{0};
  std::thread audio([&] {
    std::vector<double> left(kBlock, 0.25), right(kBlock, -0.5);
    std::vector<float> leftFloat(kBlock, 0.25f), rightFloat(kBlock, -0.5f);
    while (!stop.load()) {
      const double* in[2] = {left.data(), right.data()};
      double* out[2] = {left.data(), right.data()};
      host.process(in, out, kBlock);
      float* inFloat[2] = {leftFloat.data(), rightFloat.data()};
      host.processFloat(inFloat, inFloat, kBlock);
      calls.fetch_add(2);
    }
  });

  std::mt19937 generator(5);
  std::uniform_real_distribution<float> anywhere(0.0f, 1.0f);
  // Quality stays within its three cheapest steps, so that the processing
  // thread gets through many blocks however slow the build.
  std::uniform_real_distribution<float> cheapQuality(0.0f, 3.0f / 9.0f);
  long rounds = 0;
  const auto end = std::chrono::steady_clock::now() + runTime();
  while (std::chrono::steady_clock::now() < end || calls.load() < 4) {
    for (int p = 0; p < BrisendelEffect::NUM_PARAMS; ++p) {
      const float value =
          p == BrisendelEffect::kQuality ? cheapQuality(generator) : anywhere(generator);
      host.setParameter(p, value);
      ASSERT_EQ(host.getParameter(p), value) << "parameter " << p;
      ASSERT_FALSE(host.getParameterDisplay(p).empty()) << "parameter " << p;
      ASSERT_EQ(host.getParameterName(p), BrisendelEffect::parameterName(p));
      ASSERT_EQ(host.getParameterLabel(p), BrisendelEffect::parameterLabel(p));
    }
    ++rounds;
  }
  stop.store(true);
  audio.join();
  std::printf("%ld processing calls against %ld parameter rounds\n", calls.load(), rounds);
  EXPECT_GT(rounds, 0);
}

// Two of a host's non-processing threads (say an editor and a preset manager)
// rename the program and read its name back at once: every name read is one
// that was set, whole, never a mix of two.
TEST(BrisendelThreads, ProgramNameFromTwoThreads) {
  PluginHost host(BRISENDEL_MODULE);
  AEffect* effect = host.getEffect();
  const std::string names[2] = {"Left thread, a name of 30 ch", "right"};
  // What a host reads back: at most 24 characters.
  const std::string kept[2] = {names[0].substr(0, 24), names[1]};
  std::atomic<bool> torn{false};
  const auto end = std::chrono::steady_clock::now() + runTime() / 3;
  auto renamer = [&](int own) {
    std::vector<char> name(names[own].begin(), names[own].end());
    name.push_back('\0');
    char text[kVstMaxProgNameLen + 1];
    long rounds = 0;
    while (std::chrono::steady_clock::now() < end || rounds < 1000) {
      effect->dispatcher(effect, effSetProgramName, 0, 0, name.data(), 0.0f);
      effect->dispatcher(effect, effGetProgramName, 0, 0, text, 0.0f);
      if (text != kept[0] && text != kept[1]) torn.store(true);
      ++rounds;
    }
  };
  std::thread left(renamer, 0), right(renamer, 1);
  left.join();
  right.join();
  EXPECT_FALSE(torn.load());
}

}  // namespace
