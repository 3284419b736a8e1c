// Brisendel as an LV2 plug-in: translates the LV2 entry points into calls on
// the format-free BrisendelEffect. The bundle's Turtle files describe the same
// ports in the same order (PortIndex below); a host finds the plug-in there and
// loads this module only to run it.
//
// Threads, as LV2 defines them: instantiate, activate, deactivate and cleanup
// belong to the set-up class and never run beside run on the same instance;
// connect_port and run belong to the audio class. run reads the five control
// ports once at its start, hands changed values to the effect and processes;
// it never allocates, locks or blocks.
//
// Nothing thrown leaves this file: every entry point catches. A failed
// instantiate returns null, a failed run leaves silence in the outputs.

#include <lv2/core/lv2.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <new>

#include "effect/BrisendelEffect.h"
#include "effect/Parameters.h"
#include "effect/StereoBlockFault.h"

namespace {

constexpr const char* PLUGIN_URI = "urn:orlask:brisendel";

// Port indices, in the order the plug-in's Turtle file lists them. The control
// ports, one per parameter, follow the audio ports in the parameter table's
// order; the build writes their Turtle from the same table.
constexpr std::uint32_t FIRST_CONTROL = brisendel::Parameters::LV2_FIRST_CONTROL_PORT;
enum PortIndex : std::uint32_t {
  kInLeft = 0,
  kInRight,
  kOutLeft,
  kOutRight,
  kLatency = FIRST_CONTROL + brisendel::Parameters::COUNT,
  NUM_PORTS
};
static_assert(FIRST_CONTROL == kOutRight + 1, "the control ports follow the audio ports");
static_assert(kLatency == 9, "the latency port is port 9 in the Turtle file, for good");
static_assert(BrisendelEffect::NUM_PARAMS == brisendel::Parameters::COUNT,
              "one control port per parameter of the effect");

// One plug-in instance: the effect and the host's port buffers.
class BrisendelLv2 {
 public:
  void connect(std::uint32_t port, void* data) {
    if (port < NUM_PORTS) _ports[port] = data;
  }

  void activate() { _effect.reset(); }

  void run(std::uint32_t frames) {
    if (auto* latency = port(kLatency)) *latency = static_cast<float>(BrisendelEffect::LATENCY);
    try {
      applyControls();
      const float* inputs[2] = {port(kInLeft), port(kInRight)};
      float* outputs[2] = {port(kOutLeft), port(kOutRight)};
      if (frames == 0) return;
      if (stereoBlockFault(inputs, outputs, frames) != StereoBlockFault::none) {
        silenceOutputs(frames);
        return;
      }
      _effect.process(inputs, outputs, frames);
    } catch (...) {
      // The host gets silence rather than whatever the failed call left behind.
      silenceOutputs(frames);
    }
  }

 private:
  float* port(std::uint32_t index) const { return static_cast<float*>(_ports[index]); }

  // The effect rounds, clamps and ignores NaN; only values that moved since the
  // last run reach it, so a host's steady ports cost nothing per call. A NaN
  // never equals itself and so is passed on each time, and ignored each time.
  void applyControls() {
    for (std::uint32_t i = 0; i < BrisendelEffect::NUM_PARAMS; ++i) {
      const float* control = port(FIRST_CONTROL + i);
      if (!control) continue;
      const float value = *control;
      if (value == _lastControls[i]) continue;
      _lastControls[i] = value;
      _effect.setPlainValue(static_cast<int>(i), value);
    }
  }

  void silenceOutputs(std::uint32_t frames) {
    for (std::uint32_t index : {kOutLeft, kOutRight}) {
      if (float* output = port(index)) std::fill(output, output + frames, 0.0f);
    }
  }

  BrisendelEffect _effect;
  void* _ports[NUM_PORTS] = {};
  // NaN until the first run, so that every connected control is applied once.
  float _lastControls[BrisendelEffect::NUM_PARAMS] = {NAN, NAN, NAN, NAN, NAN};
};

BrisendelLv2* instanceOf(LV2_Handle handle) { return static_cast<BrisendelLv2*>(handle); }

// The effect does not depend on the sample rate: the window, hop and latency
// are counted in frames. Every Quality and Window is prepared here, off the
// audio thread.
LV2_Handle instantiate(const LV2_Descriptor*, double, const char*, const LV2_Feature* const*) {
  try {
    return new BrisendelLv2();
  } catch (...) {
    return nullptr;
  }
}

void connectPort(LV2_Handle instance, std::uint32_t port, void* data) {
  instanceOf(instance)->connect(port, data);
}

void activate(LV2_Handle instance) {
  try {
    instanceOf(instance)->activate();
  } catch (...) {
    // reset allocates nothing and has nothing to fail on; the catch keeps the
    // promise that no exception reaches the host.
  }
}

void run(LV2_Handle instance, std::uint32_t frames) { instanceOf(instance)->run(frames); }

// Nothing to release or stop: the effect keeps its buffers until cleanup.
void deactivate(LV2_Handle) {}

void cleanup(LV2_Handle instance) { delete instanceOf(instance); }

const void* extensionData(const char*) { return nullptr; }

const LV2_Descriptor DESCRIPTOR = {PLUGIN_URI, instantiate, connectPort, activate,
                                   run,        deactivate,  cleanup,     extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(std::uint32_t index) {
  return index == 0 ? &DESCRIPTOR : nullptr;
}
