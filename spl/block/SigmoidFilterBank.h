#pragma once

#include <vector>

#include "spl/block/FilterBank.h"

namespace spl {

// Thirty-one bands a tenth of a decade (about a third of an octave) wide,
// centred at 20 * 10^(i/10) Hz from 20 Hz to 20 kHz, each bounded by a rising
// and a falling logistic slope in log-frequency. Bin j of an n-bin transform
// stands for (sampleRate / 2) * j / n Hz; bin 0 has weight 0 in every band.
class SigmoidFilterBank : public FilterBank {
 public:
  static constexpr unsigned NUM_BANDS = 31;

  // sampleRate in Hz. No weights until setNumBins.
  explicit SigmoidFilterBank(unsigned sampleRate) : _sampleRate(sampleRate) {}

  // Weight of `band` (0..30) at `bin` (below the bin count).
  double getWeight(unsigned band, unsigned bin) const override {
    return _weights[bin + std::size_t(band) * _numBins];
  }
  // Recomputes the weights only when the count changes; allocates then.
  void setNumBins(unsigned count) override;

  unsigned getNumBins() const { return _numBins; }
  unsigned getSampleRate() const { return _sampleRate; }
  // How often the weights have been computed, so that callers can see the cache work.
  unsigned getComputeCount() const { return _computeCount; }

 private:
  unsigned _sampleRate;
  unsigned _numBins = 0;
  std::vector<double> _weights;  // band i at bin j: entry j + i * _numBins
  unsigned _computeCount = 0;
};

}  // namespace spl
