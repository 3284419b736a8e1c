#pragma once

#include <cstdint>

#include "spl/block/RealValueBuffer.h"
#include "spl/proc/SampleProcessor.h"

namespace spl {

// The peak limiter of one channel, one sample at a time: samples wait in a
// queue until the next half-wave peak is known, then leave with a gain that
// moves linearly in dB from the previous peak's gain to the new one's. Every
// sample leaves delay + 1 calls after it entered. A tiny noise (0..1e-10) is
// added to every input and fills the queue at the start. Allocates only in
// the constructor. One thread at a time.
class SampleInvisibleLimiter : public SampleProcessor {
 public:
  // `delay` in samples; `seed` chooses the noise sequence (each instance owns
  // its generator, so instances never share random state).
  explicit SampleInvisibleLimiter(unsigned delay, std::uint32_t seed = 1);

  double process(double x) override;

  // Level the peaks are brought to, dB (fixed at -15).
  double getThreshold() const { return _threshold; }
  // Gain applied to every input sample, dB (fixed at 0).
  double getInputGain() const { return _inputGain; }

 private:
  // Pseudo-random integers 0..32767 from a 32-bit linear congruential step.
  class NoiseGenerator {
   public:
    explicit NoiseGenerator(std::uint32_t seed) : _state(seed) {}
    unsigned next() {
      _state = _state * 1103515245u + 12345u;
      return (_state >> 16) & 0x7FFFu;
    }

   private:
    std::uint32_t _state;
  };

  double noise();

  double _previousSample = 0.0;  // p1 of the peak rule
  double _sampleBefore = 0.0;    // p2 of the peak rule
  double _lastPeakLevel = 0.0;   // dB
  double _threshold = -15.0;     // dB
  double _inputGain = 0.0;       // dB
  double _inputFactor = 1.0;     // decibelToLinear(_inputGain)
  RealValueBuffer _pending;      // samples since the last peak, oldest first
  RealValueBuffer _output;       // samples ready to leave, oldest first
  NoiseGenerator _random;
};

}  // namespace spl
