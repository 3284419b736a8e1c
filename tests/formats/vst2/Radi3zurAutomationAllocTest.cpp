// A host automating every parameter of the effect while it plays: the stream
// that comes out is, window by window, what a fresh imaging core at that
// window's settings gives, and no call after construction touches the heap.
// This file replaces the global operator new, so it is an executable of its own.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "effect/Radi3zur.h"
#include "formats/vst2/VSTPlugin.h"
#include "spl/clip/DefaultClip.h"
#include "tests/support/AllocationCounter.h"

using spl_test::allocations;

namespace {

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

// Parameter steps as the host chooses them; each is sent as the centre of its
// normalized range.
struct Settings {
  unsigned center = 100;  // of 201 steps: value center / 100
  unsigned side = 100;
  unsigned autoGain = 1;  // 0 "Disabled", 1 "Enabled"
  unsigned quality = 1;   // 1..9
  unsigned window = 1;    // 0 "A" (Vorbis before and after), 1 "B" (Hann before)
};

float stepCentre(unsigned step, unsigned steps) { return static_cast<float>((step + 0.5) / steps); }

}  // namespace

TEST(Radi3zurAutomation, EveryWindowIsAFreshCoreAtItsSettingsWithoutAllocating) {
  constexpr unsigned kWidth = VSTPlugin::WINDOW_LENGTH;
  constexpr unsigned kHop = kWidth / 2;
  std::mt19937 generator(13);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  std::uniform_int_distribution<unsigned> blockLength(0, kWidth + 1);
  std::uniform_int_distribution<unsigned> weightStep(0, 200);
  std::uniform_int_distribution<unsigned> quality(1, 9);
  std::uniform_int_distribution<unsigned> coin(0, 1);

  // The whole run is planned up front, so that nothing in the loop allocates.
  std::vector<unsigned> lengths;
  std::vector<Settings> plan;
  unsigned total = 0;
  Settings settings;
  for (unsigned block = 0; total < 24 * kHop; ++block) {
    if (block % 3 == 0) settings.quality = quality(generator);
    settings.center = block % 5 == 1 ? 0 : (block % 5 == 2 ? 200 : weightStep(generator));
    settings.side = block % 7 == 3 ? 0 : (block % 7 == 4 ? 200 : weightStep(generator));
    settings.autoGain = coin(generator);
    settings.window = coin(generator);
    lengths.push_back(blockLength(generator));
    plan.push_back(settings);
    total += lengths.back();
  }
  std::vector<double> inL(total), inR(total), outL(total), outR(total);
  for (unsigned t = 0; t < total; ++t) {
    inL[t] = uniform(generator);
    inR[t] = 0.5 * inL[t] + 0.5 * uniform(generator);
  }

  // The settings each window was processed with: window i (input frames
  // i * hop - width .. i * hop) completes in the block that brings the input
  // to i * hop frames.
  std::vector<Settings> windowSettings;
  windowSettings.reserve(total / kHop + 2);
  auto* plugin = new VSTPlugin(hostCallback);
  AEffect* effect = plugin->getAeffect();
  const long afterConstruction = allocations.load();
  unsigned written = 0;
  for (std::size_t block = 0; block < lengths.size(); ++block) {
    const Settings& s = plan[block];
    effect->setParameter(effect, VSTPlugin::kCenter, stepCentre(s.center, 201));
    effect->setParameter(effect, VSTPlugin::kSide, stepCentre(s.side, 201));
    effect->setParameter(effect, VSTPlugin::kAutoGain, stepCentre(s.autoGain, 2));
    effect->setParameter(effect, VSTPlugin::kQuality, stepCentre(s.quality - 1, 9));
    effect->setParameter(effect, VSTPlugin::kWindow, stepCentre(s.window, 2));
    double* in[2] = {inL.data() + written, inR.data() + written};
    double* out[2] = {outL.data() + written, outR.data() + written};
    effect->processDoubleReplacing(effect, in, out, static_cast<VstInt32>(lengths[block]));
    written += lengths[block];
    while (windowSettings.size() * kHop <= written) windowSettings.push_back(s);
  }
  EXPECT_EQ(allocations.load() - afterConstruction, 0);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);

  // Window i, processed by a fresh core at its settings.
  auto freshWindow = [&](std::size_t i) {
    spl::DefaultClip window(2, kWidth);
    for (unsigned p = 0; p < kWidth; ++p) {
      const long t = static_cast<long>(i * kHop + p) - kWidth;
      window.channelData(0)[p] = t >= 0 ? inL[t] : 0.0;
      window.channelData(1)[p] = t >= 0 ? inR[t] : 0.0;
    }
    const Settings& s = windowSettings[i];
    Radi3zur fresh;
    fresh.setCenter(s.center / 100.0);
    fresh.setSide(s.side / 100.0);
    fresh.setAutoGain(s.autoGain == 1);
    fresh.setQuality(s.quality);
    fresh.setWindowMode(static_cast<int>(s.window));
    fresh.process(window);
    return window;
  };
  // Output frame t is the first half of window t / hop plus the second half
  // of the window before it.
  spl::DefaultClip previous(2, kWidth);
  for (std::size_t i = 0; i * kHop < written; ++i) {
    const spl::DefaultClip current = freshWindow(i);
    for (unsigned p = 0; p < kHop && i * kHop + p < written; ++p) {
      const std::size_t t = i * kHop + p;
      ASSERT_EQ(outL[t], current.get(0, p) + previous.get(0, kHop + p)) << "frame " << t;
      ASSERT_EQ(outR[t], current.get(1, p) + previous.get(1, kHop + p)) << "frame " << t;
    }
    previous = current;
  }
}
