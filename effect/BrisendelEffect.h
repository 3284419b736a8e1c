#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <string>

#include "effect/Parameters.h"

class Radi3zur;
class StereoFieldMeter;
namespace spl {
class DefaultClip;
class OverwrapStreamProcessor;
}  // namespace spl

// Brisendel itself, apart from any plug-in format: the five parameters (their
// names, labels, steps, defaults and display texts are brisendel::Parameters'),
// the imaging core, the overlap-add around it, the latency and the hop. A plug-in format (VST 2,
// LV2) is a thin adapter that translates its host's calls into these.
//
// Threads:
// - Parameter calls (setNormalized, getNormalized, setPlainValue, getPlainValue,
//   displayText and the static name and label queries) may run on any thread,
//   also while process runs on another. Each parameter lives in one atomic.
// - process runs on one thread at a time (the host's audio thread). It reads
//   the five parameters once at its start and uses that snapshot for the whole
//   call. It never allocates, locks or blocks, whatever the block length.
// - The constructor, reserve and reset are set-up calls: never concurrent with
//   process. The constructor and reserve may allocate; reset does not.
//
// process runs with denormals flushed to zero and restores the caller's
// floating-point state before it returns.
class BrisendelEffect {
 public:
  // Parameter indices, as the host formats number them.
  enum Parameter : int {
    kCenter = brisendel::Parameters::kCenter,
    kSide = brisendel::Parameters::kSide,
    kAutoGain = brisendel::Parameters::kAutoGain,
    kQuality = brisendel::Parameters::kQuality,
    kWindow = brisendel::Parameters::kWindow
  };
  static constexpr int NUM_PARAMS = brisendel::Parameters::COUNT;
  // Frames per window of the overlap-add, and so the latency the host is told.
  static constexpr unsigned WINDOW_LENGTH = 4096;
  static constexpr unsigned LATENCY = WINDOW_LENGTH;
  // Frames between the starts of two windows.
  static constexpr unsigned HOP = WINDOW_LENGTH / 2;
  // Blocks up to this length are processed in one pass from construction on.
  static constexpr unsigned RESERVED_FRAMES = 8192;
  // reserve never grows past this; longer blocks are processed in slices.
  static constexpr unsigned MAX_RESERVED_FRAMES = 65536;

  // Prepares every Quality and Window and reserves RESERVED_FRAMES. Allocates.
  BrisendelEffect();
  ~BrisendelEffect();
  BrisendelEffect(const BrisendelEffect&) = delete;
  BrisendelEffect& operator=(const BrisendelEffect&) = delete;

  // "Center", "Side", "AutoGain", "Quality", "Window"; "" outside 0..4.
  static const char* parameterName(int index);
  // "%" for Center and Side, "" otherwise (and outside 0..4).
  static const char* parameterLabel(int index);

  // Stores a normalized value (0..1) exactly as given; values outside 0..1 are
  // clamped, NaN and indices outside 0..4 are ignored.
  void setNormalized(int index, double value);
  // Exactly what setNormalized stored (0 outside 0..4).
  double getNormalized(int index) const;
  // The value in the units a host shows: Center and Side in percent (0..200,
  // nearest 1 %), AutoGain 0 or 1, Quality 1..9, Window 0 (A) or 1 (B). Values
  // are rounded to the nearest step and clamped; NaN is ignored. Stores the
  // normalized value at the centre of that step.
  void setPlainValue(int index, double value);
  double getPlainValue(int index) const;
  // The display text of the current value ("0".."200", "Disabled"/"Enabled",
  // "1".."9", "A"/"B"); "" outside 0..4. Allocates: not for the audio thread.
  std::string displayText(int index) const;

  // Grows the block length processed in one pass to maxBlockFrames, at most
  // MAX_RESERVED_FRAMES. Set-up thread only; may allocate; never shrinks.
  void reserve(unsigned maxBlockFrames);
  // Forgets the history: silence in gives silence out from now on. No allocation.
  void reset();

  // Processes `frames` stereo frames: inputs[0..1] to outputs[0..1]. Inputs and
  // outputs may be the same buffers. Any length, no allocation. A failure of the
  // library underneath is thrown as std::runtime_error; adapters catch it at
  // their host boundary.
  void process(const float* const* inputs, float* const* outputs, unsigned frames);
  void process(const double* const* inputs, double* const* outputs, unsigned frames);

  // Measures the input and the output into `meter` from the next processing
  // call on; null stops measuring, and without a meter nothing is measured. The meter is borrowed.
  // Call it on the processing thread, or while no processing call runs.
  void setMeter(StereoFieldMeter* meter);

  // The block length processed in one pass (RESERVED_FRAMES up to MAX_RESERVED_FRAMES).
  unsigned getReservedFrames() const { return _reservedFrames; }

 private:
  // The five parameters as the imaging core takes them, read once per call.
  struct Snapshot {
    double center;
    double side;
    bool autoGain;
    unsigned quality;
    int windowMode;
  };
  Snapshot snapshot() const;
  // The step the stored normalized value selects.
  unsigned stepIndex(int index) const;
  template <typename Sample>
  void processSamples(const Sample* const* inputs, Sample* const* outputs, unsigned frames);

  // Normalized values (0..1) exactly as set; lock-free where hosts run.
  std::array<std::atomic<double>, NUM_PARAMS> _normalized;
  // Declared before the processor that borrows it, so it is destroyed after it.
  std::unique_ptr<Radi3zur> _imager;
  std::unique_ptr<spl::OverwrapStreamProcessor> _processor;
  // The host block widened to double, one slice at a time: _reservedFrames frames.
  std::unique_ptr<spl::DefaultClip> _block;
  unsigned _reservedFrames = 0;
  StereoFieldMeter* _meter = nullptr;
};
