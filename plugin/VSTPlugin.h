#pragma once

#include <memory>
#include <string>

#include "plugin/AbstractStereoAudioEffectX.h"
#include "plugin/Radi3zur.h"
#include "spl/stream/OverwrapStreamProcessor.h"
#include "spl/util/StepControl.h"

// Brisendel, the stereo imaging effect the host talks to: five stepped
// parameters (Center, Side, AutoGain, Quality, Window), the imaging core, and
// the overlapped stream processor that feeds it half-overlapping blocks of
// 4096 frames. The output lags the input by exactly that block size, which is
// reported to the host as the initial delay.
//
// Threads: setParameter and getParameter store and read the controls only;
// the values reach the imaging core at the start of the next processing call.
// The processing operations must not run concurrently with each other. The
// constructor prepares the imaging core for every Quality and Window, so host
// blocks of up to RESERVED_FRAMES frames are processed without touching the
// heap from the first call on, also across parameter changes.
class VSTPlugin : public AbstractStereoAudioEffectX {
 public:
  static constexpr VstInt32 UNIQUE_ID = 0x31343368;  // the characters 1, 4, 3, h
  // The host's parameter indices.
  enum Parameter : VstInt32 { kCenter = 0, kSide, kAutoGain, kQuality, kWindow };
  static constexpr VstInt32 NUM_PARAMS = 5;
  // Frames per window of the stream processor, and so the reported latency: the
  // power of two nearest below 100 ms at the adapter's initial 44100 Hz.
  static constexpr VstInt32 WINDOW_LENGTH = 4096;

  explicit VSTPlugin(audioMasterCallback audioMaster);
  ~VSTPlugin() override = default;

  // Values outside 0..1 from the host are clamped; a value that is not a number is ignored.
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;

  std::string getEffectNameString() override;
  std::string getVendorNameString() override;
  std::string getProductNameString() override;
  std::string getParameterDisplayString(VstInt32 index) override;
  void processClip(spl::Clip& clip) override;

 private:
  // Calls visitor with the control behind a host parameter index; false for an index outside 0..4.
  template <typename Visitor>
  bool visitControl(VstInt32 index, Visitor&& visitor);

  spl::StepControl<double> _center;
  spl::StepControl<double> _side;
  spl::StepControl<std::string> _autoGain;
  spl::StepControl<unsigned int> _quality;
  spl::StepControl<std::string> _window;
  // Declared before the processor that borrows it, so it is destroyed after it.
  std::unique_ptr<Radi3zur> _imager;
  std::unique_ptr<spl::OverwrapStreamProcessor> _processor;  // runs _imager, borrowed
};
