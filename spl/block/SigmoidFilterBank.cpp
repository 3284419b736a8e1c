#include "spl/block/SigmoidFilterBank.h"

#include <cmath>

namespace spl {

namespace {
double log2Of(double x) { return std::log(x) / std::log(2.0); }
}  // namespace

void SigmoidFilterBank::setNumBins(unsigned count) {
  if (count == _numBins) return;
  _numBins = count;
  ++_computeCount;
  // Steepness of the band slopes, per octave (about 5.576).
  const double k = std::exp(1.0) / 3.9 * 8.0;
  _weights.assign(std::size_t(NUM_BANDS) * count, 0.0);
  if (count == 0) return;
  const double binWidth = _sampleRate * 0.5 / count;  // Hz per bin
  for (unsigned i = 0; i < NUM_BANDS; ++i) {
    // The band's edges in octaves, half a tenth of a decade either side of its centre.
    const double lo = log2Of(20.0 * std::pow(10.0, (i - 0.5) / 10.0));
    const double hi = log2Of(20.0 * std::pow(10.0, (i + 0.5) / 10.0));
    double* band = _weights.data() + std::size_t(i) * count;
    for (unsigned j = 1; j < count; ++j) {
      const double f = log2Of(binWidth * j);
      band[j] = 1.0 / (1.0 + std::exp(-(f - lo) * k)) * 1.0 / (1.0 + std::exp((f - hi) * k));
    }
  }
}

}  // namespace spl
