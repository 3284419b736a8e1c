#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "effect/StereoFieldReading.h"

namespace spl {
class DefaultClip;
class RealDiscreteFourierTransform;
}  // namespace spl

// Measures the stereo field of the effect's input and output while it runs,
// for a live view: per third-octave band the energy sums of both channels and
// their cross term, the broadband sums over the samples, and goniometer points
// of the output.
//
// The band sums come from Hann-windowed real DFTs of the signals themselves,
// the way the tool's analysis takes them, input and output alike, so that the
// two can be compared band by band and read like the tool's figures. The
// windows follow each other without overlap and are SPECTRUM_SECONDS or a
// little more long (a power of two of frames), fine enough for a few bins in
// the lowest band; the output's windows lie half a window behind the input's,
// so that no processing call transforms both.
//
// Constructed (allocating) off the audio thread; everything else runs on the
// processing thread, allocates nothing and never blocks.
class StereoFieldMeter {
 public:
  static constexpr double SPECTRUM_SECONDS = 0.25;

  explicit StereoFieldMeter(double sampleRate);
  ~StereoFieldMeter();
  StereoFieldMeter(const StereoFieldMeter&) = delete;
  StereoFieldMeter& operator=(const StereoFieldMeter&) = delete;

  // The samples of the interval: the input as it enters, the output as it
  // leaves (each `frames` long).
  void addInput(const double* left, const double* right, unsigned frames);
  void addOutput(const double* left, const double* right, unsigned frames);

  // Sets the interval in frames that one reading is meant to cover: the
  // goniometer keeps one point every interval / MAX_POINTS frames.
  void setInterval(unsigned frames);
  // Frames of output measured since the last reading.
  std::uint32_t getFrames() const { return _reading.frames; }
  // Hands over what was measured since the last reading and starts a new one.
  // The band sums are the latest window's, in every reading until the next
  // window completes.
  void takeReading(StereoFieldReading& reading);
  // Forgets everything measured, also the windows being filled.
  void reset();

  unsigned getWindowLength() const { return _length; }
  // The rate measured with: the one given, or 48 kHz for one no host runs at.
  double getSampleRate() const { return _sampleRate; }

 private:
  // One signal's window being filled and its band sums.
  struct Window {
    std::vector<double> left;
    std::vector<double> right;
    unsigned filled = 0;
  };
  void fill(Window& window, const double* left, const double* right, unsigned frames,
            StereoFieldReading::Sums* bands);
  void transform(Window& window, StereoFieldReading::Sums* bands);

  double _sampleRate;
  unsigned _length;
  std::vector<double> _hann;
  brisendel::ThirdOctaveBands _bands;
  std::unique_ptr<spl::DefaultClip> _clip;
  std::unique_ptr<spl::RealDiscreteFourierTransform> _transform;
  Window _input;
  Window _output;

  StereoFieldReading _reading;
  unsigned _pointStride = 1;
  unsigned _untilPoint = 1;
};
