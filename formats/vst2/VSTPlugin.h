#pragma once

#include <string>

#include "effect/BrisendelEffect.h"
#include "formats/vst2/AbstractStereoAudioEffectX.h"

// Brisendel as a VST 2.4 effect: translates the host's calls into those of the
// format-free BrisendelEffect it owns. Parameter indices, names, labels,
// display texts and the latency are the effect's; the stereo base checks the
// host's buffers and reports processing failures.
//
// Threads: setParameter, getParameter and the parameter text queries may run
// on any thread while a processing call runs on another; the processing call
// reads each parameter once at its start. setBlockSize (effSetBlockSize, which
// hosts send while suspended, not on the audio thread) grows the effect's
// reservation so that blocks of the announced length go through in one pass;
// sample rate, suspend and resume change nothing in the processing chain.
// No processing call allocates, whatever the block length.
class VSTPlugin : public AbstractStereoAudioEffectX {
 public:
  static constexpr VstInt32 UNIQUE_ID = 0x31343368;  // the characters 1, 4, 3, h
  // The host's parameter indices.
  enum Parameter : VstInt32 {
    kCenter = BrisendelEffect::kCenter,
    kSide = BrisendelEffect::kSide,
    kAutoGain = BrisendelEffect::kAutoGain,
    kQuality = BrisendelEffect::kQuality,
    kWindow = BrisendelEffect::kWindow
  };
  static constexpr VstInt32 NUM_PARAMS = BrisendelEffect::NUM_PARAMS;
  // Frames per window of the overlap-add, and so the reported latency.
  static constexpr VstInt32 WINDOW_LENGTH = BrisendelEffect::WINDOW_LENGTH;

  explicit VSTPlugin(audioMasterCallback audioMaster);
  ~VSTPlugin() override = default;

  // Values outside 0..1 from the host are clamped; a value that is not a number is ignored.
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  // Stores the size like every effect and reserves room for blocks of that
  // length (up to BrisendelEffect::MAX_RESERVED_FRAMES; longer ones are sliced).
  void setBlockSize(VstInt32 newBlockSize) override;

  std::string getEffectNameString() override;
  std::string getVendorNameString() override;
  std::string getProductNameString() override;
  std::string getParameterDisplayString(VstInt32 index) override;
  void processStereo(const float* const* inputs, float* const* outputs, unsigned frames) override;
  void processStereo(const double* const* inputs, double* const* outputs, unsigned frames) override;

  // The effect itself, for programs that link the plug-in in process (tests,
  // the fuzzer): no host reaches it, and VST 2 offers no call that forgets the
  // history, so they use BrisendelEffect::reset to start over without a new instance.
  BrisendelEffect& effect() { return _effect; }

 private:
  BrisendelEffect _effect;
};
