#pragma once

#include <vector>

#include "spl/block/BlockProcessor.h"
#include "spl/block/DiscreteCosineTransform.h"
#include "spl/block/SigmoidFilterBank.h"

namespace spl {

// Graphic equalizer on whole blocks in the cosine domain: each channel is
// transformed, every bin is multiplied by a gain curve built from the band
// gains (dB) and a SigmoidFilterBank, and transformed back. Block lengths are
// powers of two >= 2. The curve is kept until the gains or the block length
// change; recomputing it (first block, new length, new gains) allocates.
// One thread at a time.
class BandGainer : public BlockProcessor {
 public:
  // sampleRate in Hz; numBand 31, 61 or 121 (anything else stops the process).
  BandGainer(unsigned sampleRate, unsigned numBand);

  // One gain in dB per band; 31, 61 or 121 values (anything else stops the
  // process). Only the first 31 shape the curve: the bank has 31 bands.
  void setGains(const std::vector<double>& gains);
  const std::vector<double>& getGains() const { return _gains; }
  void process(Clip& clip) override;

  // 10, 20 or 40 for 31, 61 or 121 bands.
  unsigned getBandsPerDecade() const;
  // Band index (fractional, 0 at 20 Hz) of the frequency x * sampleRate / 2.
  double getBandPosition(double x) const;
  unsigned getNumBand() const { return _numBand; }
  // Linear gain per bin of the last block length (bin 0 is 0 and unused).
  const std::vector<double>& getCurve() const { return _curve; }

 private:
  DiscreteCosineTransform _forward;
  DiscreteCosineTransform _backward;
  std::vector<double> _gains;  // dB
  std::vector<double> _curve;  // linear gain per bin
  unsigned _sampleRate;
  unsigned _numBand;
  SigmoidFilterBank _bank;
  bool _dirty = true;
};

}  // namespace spl
