#pragma once

#include <memory>

#include "spl/proc/BiquadFilter.h"

namespace spl {

// Designs and runs one biquad section from a filter type, f0, gain, Q and
// sample rate, with the textbook (cookbook) formulas. Every setter redesigns
// at once; the filter's history carries over a redesign.
class BiquadEqualizer {
 public:
  // The filter types accepted by setType; any other value makes the section silent.
  enum Type : unsigned {
    LOW_PASS = 0,
    HIGH_PASS = 1,
    BAND_PASS = 2,  // peak gain 0 dB
    NOTCH = 3,
    ALL_PASS = 4,
    PEAKING = 5,
    HIGH_SHELF = 6,
    LOW_SHELF = 7,
  };

  // Peaking at 1000 Hz, 0 dB, Q 1, 44100 Hz: the identity.
  BiquadEqualizer();
  virtual ~BiquadEqualizer() = default;
  BiquadEqualizer(const BiquadEqualizer&) = delete;
  BiquadEqualizer& operator=(const BiquadEqualizer&) = delete;

  // f0 in Hz, > 0.
  void setFrequency(double frequency);
  // Gain in dB; used by the peaking and shelving types only.
  void setGain(double gain);
  // Quality factor, > 0.
  void setQ(double q);
  void setType(unsigned type);
  // Fs in Hz, > 0.
  void setSampleRate(double sampleRate);

  double getFrequency() const { return _frequency; }
  double getGain() const { return _gain; }
  double getQ() const { return _q; }
  unsigned getType() const { return _type; }
  double getSampleRate() const { return _sampleRate; }
  const BiquadFilter::Coefficient& getCoefficient() const { return _filter->getCoefficient(); }

  double process(double x) { return _filter->process(x); }

 private:
  void design();

  std::unique_ptr<BiquadFilter> _filter;
  double _frequency = 1000.0;
  double _gain = 0.0;
  double _q = 1.0;
  double _sampleRate = 44100.0;
  unsigned _type = PEAKING;
};

}  // namespace spl
