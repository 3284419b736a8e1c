// Brisendel's LV2 module driven through its entry points the way an LV2 host
// drives it: loaded from the bundle, instantiated, connected, activated, run,
// deactivated and cleaned up. Heap allocations are counted through a replaced
// global operator new that the module's calls reach as well.

#include <gtest/gtest.h>
#include <lv2/core/lv2.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "host/SharedLibrary.h"
#include "tests/support/AllocationCounter.h"

using spl_test::allocations;

namespace {

constexpr const char* PLUGIN_URI = "urn:orlask:brisendel";
constexpr float LATENCY = 4096.0f;
enum Port : std::uint32_t {
  kInL,
  kInR,
  kOutL,
  kOutR,
  kCenter,
  kSide,
  kAutoGain,
  kQuality,
  kWindow,
  kLatency
};

// Noise that both channels partly share, so that Center and Side both matter.
std::vector<float> noise(std::size_t frames, std::uint32_t seed, std::uint32_t sharedSeed) {
  std::vector<float> samples(frames);
  std::uint32_t own = seed, shared = sharedSeed;
  for (float& sample : samples) {
    own = own * 1664525u + 1013904223u;
    shared = shared * 1664525u + 1013904223u;
    sample = static_cast<float>(0.3 * ((own >> 8) / 8388608.0 - 1.0) +
                                0.2 * ((shared >> 8) / 8388608.0 - 1.0));
  }
  return samples;
}

const LV2_Descriptor* loadDescriptor(brisendel::SharedLibrary& library) {
  std::string why;
  if (!library.open(BRISENDEL_LV2_MODULE, why)) {
    ADD_FAILURE() << BRISENDEL_LV2_MODULE << ": " << why;
    return nullptr;
  }
  const auto entry = reinterpret_cast<LV2_Descriptor_Function>(library.function("lv2_descriptor"));
  if (entry == nullptr) {
    ADD_FAILURE() << "no lv2_descriptor";
    return nullptr;
  }
  return entry(0);
}

// One instance with its own control values and audio buffers, connected the
// way a host connects them before the first run.
class Instance {
 public:
  Instance(const LV2_Descriptor* descriptor, double sampleRate, std::size_t maxFrames)
      : _descriptor(descriptor),
        _in{noise(maxFrames, 1, 99), noise(maxFrames, 2, 99)},
        _out{std::vector<float>(maxFrames), std::vector<float>(maxFrames)} {
    _handle = descriptor->instantiate(descriptor, sampleRate, BRISENDEL_LV2_BUNDLE, nullptr);
    if (_handle == nullptr) return;
    for (std::uint32_t c = 0; c < 2; ++c) {
      descriptor->connect_port(_handle, kInL + c, _in[c].data());
      descriptor->connect_port(_handle, kOutL + c, _out[c].data());
    }
    for (std::uint32_t port = kCenter; port <= kLatency; ++port)
      descriptor->connect_port(_handle, port, &_controls[port - kCenter]);
  }
  ~Instance() {
    if (_handle != nullptr) _descriptor->cleanup(_handle);
  }
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  bool valid() const { return _handle != nullptr; }
  float& control(Port port) { return _controls[port - kCenter]; }
  std::vector<float>& in(int c) { return _in[c]; }
  std::vector<float>& out(int c) { return _out[c]; }
  // Points the outputs at the inputs, as a host that processes in place does.
  void connectInPlace() {
    for (std::uint32_t c = 0; c < 2; ++c)
      _descriptor->connect_port(_handle, kOutL + c, _in[c].data());
  }
  void disconnect(Port port) { _descriptor->connect_port(_handle, port, nullptr); }
  void activate() { _descriptor->activate(_handle); }
  void deactivate() { _descriptor->deactivate(_handle); }
  void run(std::uint32_t frames) { _descriptor->run(_handle, frames); }

 private:
  const LV2_Descriptor* _descriptor;
  LV2_Handle _handle = nullptr;
  std::vector<float> _in[2];
  std::vector<float> _out[2];
  // center, side, autogain, quality, window (the defaults), latency
  float _controls[6] = {100.0f, 100.0f, 1.0f, 1.0f, 1.0f, -1.0f};
};

const std::vector<std::uint32_t> BLOCKS = {0, 1, 31, 4097, 16384};
constexpr std::size_t MAX_FRAMES = 16384;

TEST(Lv2Entry, OneDescriptorWithTheStableUri) {
  brisendel::SharedLibrary library;
  const LV2_Descriptor* descriptor = loadDescriptor(library);
  ASSERT_NE(descriptor, nullptr);
  EXPECT_STREQ(descriptor->URI, PLUGIN_URI);
  const auto entry = reinterpret_cast<LV2_Descriptor_Function>(library.function("lv2_descriptor"));
  EXPECT_EQ(entry(1), nullptr);
  EXPECT_EQ(descriptor->extension_data("http://lv2plug.in/ns/ext/state#interface"), nullptr);
}

// The whole life of an instance at two rates: no run allocates, whatever its
// length, in place or not; every run reports the latency; activate forgets
// the history, so silence in gives silence out at once.
TEST(Lv2Entry, EveryEntryPointWithoutAllocatingInRun) {
  brisendel::SharedLibrary library;
  const LV2_Descriptor* descriptor = loadDescriptor(library);
  ASSERT_NE(descriptor, nullptr);
  for (double rate : {44100.0, 96000.0}) {
    Instance separate(descriptor, rate, MAX_FRAMES);
    Instance inPlace(descriptor, rate, MAX_FRAMES);
    ASSERT_TRUE(separate.valid() && inPlace.valid()) << rate << " Hz";
    inPlace.connectInPlace();
    separate.activate();
    inPlace.activate();
    for (std::uint32_t frames : BLOCKS) {
      // The in-place instance's input is overwritten by each run: give it the
      // same input as the other one again.
      for (int c = 0; c < 2; ++c) inPlace.in(c) = separate.in(c);
      separate.control(kLatency) = inPlace.control(kLatency) = -1.0f;
      const long before = allocations.load();
      separate.run(frames);
      inPlace.run(frames);
      EXPECT_EQ(allocations.load() - before, 0) << rate << " Hz, " << frames << " frames";
      EXPECT_EQ(separate.control(kLatency), LATENCY);
      EXPECT_EQ(inPlace.control(kLatency), LATENCY);
      for (int c = 0; c < 2; ++c) {
        for (std::uint32_t i = 0; i < frames; ++i) {
          ASSERT_EQ(inPlace.in(c)[i], separate.out(c)[i])
              << rate << " Hz, " << frames << " frames, channel " << c << ", frame " << i;
        }
      }
    }
    // The last runs left a full window of noise in the history.
    separate.deactivate();
    separate.activate();
    for (int c = 0; c < 2; ++c) std::fill(separate.in(c).begin(), separate.in(c).end(), 0.0f);
    const long before = allocations.load();
    separate.run(MAX_FRAMES);
    EXPECT_EQ(allocations.load() - before, 0);
    for (int c = 0; c < 2; ++c) {
      for (std::size_t i = 0; i < MAX_FRAMES; ++i)
        ASSERT_EQ(separate.out(c)[i], 0.0f) << rate << " Hz, channel " << c << ", frame " << i;
    }
  }
}

// A control moved between runs reaches the effect: once the blocks processed
// before the move have left the overlap-add, the output is that of an instance
// that had the new value from the start. A NaN from the host keeps the value.
TEST(Lv2Entry, ControlsMovedBetweenRunsApply) {
  brisendel::SharedLibrary library;
  const LV2_Descriptor* descriptor = loadDescriptor(library);
  ASSERT_NE(descriptor, nullptr);
  Instance moved(descriptor, 48000.0, MAX_FRAMES);
  Instance fixed(descriptor, 48000.0, MAX_FRAMES);
  ASSERT_TRUE(moved.valid() && fixed.valid());
  fixed.control(kCenter) = 0.0f;
  fixed.control(kAutoGain) = 0.0f;
  moved.activate();
  fixed.activate();
  moved.run(MAX_FRAMES);
  fixed.run(MAX_FRAMES);
  ASSERT_NE(moved.out(0), fixed.out(0)) << "removing the center changes the sound";

  moved.control(kCenter) = 0.0f;
  moved.control(kAutoGain) = 0.0f;
  moved.run(MAX_FRAMES);
  fixed.run(MAX_FRAMES);
  moved.control(kCenter) = NAN;
  moved.run(MAX_FRAMES);
  fixed.run(MAX_FRAMES);
  for (int c = 0; c < 2; ++c) EXPECT_EQ(moved.out(c), fixed.out(c)) << "channel " << c;
}

// A host that leaves an audio port unconnected gets silence on the outputs it
// did connect, whatever they held before.
TEST(Lv2Entry, UnconnectedAudioPortGivesSilence) {
  brisendel::SharedLibrary library;
  const LV2_Descriptor* descriptor = loadDescriptor(library);
  ASSERT_NE(descriptor, nullptr);
  constexpr std::uint32_t kFrames = 256;
  for (Port missing : {kInR, kOutL}) {
    Instance instance(descriptor, 48000.0, kFrames);
    ASSERT_TRUE(instance.valid());
    instance.disconnect(missing);
    instance.activate();
    for (int c = 0; c < 2; ++c) std::fill(instance.out(c).begin(), instance.out(c).end(), 0.5f);
    instance.run(kFrames);
    EXPECT_EQ(instance.out(1), std::vector<float>(kFrames, 0.0f)) << "port " << missing;
    if (missing != kOutL) {
      EXPECT_EQ(instance.out(0), std::vector<float>(kFrames, 0.0f)) << "port " << missing;
    }
  }
}

}  // namespace
