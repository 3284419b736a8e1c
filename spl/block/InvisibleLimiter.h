#pragma once

#include <vector>

#include "spl/block/BlockProcessor.h"
#include "spl/clip/DefaultClip.h"
#include "spl/stream/VectorBuffer.h"

namespace spl {

// Peak limiter for blocks of one fixed power-of-two length whose gain changes
// only from one waveform peak to the next: each half-wave peak gets the gain
// that brings it to the threshold (never above 1), and the gain moves linearly
// in amplitude between consecutive peaks. It looks one block ahead, so the
// output lags the input by exactly one block. The constructor allocates; after
// the first block, process allocates nothing. One thread at a time.
class InvisibleLimiter : public BlockProcessor {
 public:
  // numChannels 1..DefaultClip::MAX_CHANNEL; blockLength a power of two >= 2.
  InvisibleLimiter(unsigned numChannels, unsigned blockLength);

  // Limits one block of exactly the block length and the channel count given
  // at construction, in place; the block returned is the previous one.
  void process(Clip& clip) override;

  // Gain applied before limiting, dB.
  void setInputGain(double decibel) { _inputGain = decibel; }
  double getInputGain() const { return _inputGain; }
  // Level the peaks are brought to, dB; also the hard-clip level.
  void setThreshold(double decibel) { _threshold = decibel; }
  double getThreshold() const { return _threshold; }
  // When on, every output sample is clipped to +-decibelToLinear(threshold).
  void setHardClip(bool hardClip) { _hardClip = hardClip; }
  bool isHardClip() const { return _hardClip; }

 private:
  struct Peak {
    unsigned position;  // in the work clip; may wrap below 0 (see process)
    double level;       // dB
  };

  static unsigned checkedChannels(unsigned numChannels, unsigned blockLength);
  void reset();
  void limitChannel(unsigned channel);

  double _inputGain = 0.0;
  double _threshold = 0.0;
  bool _hardClip = false;
  unsigned _numChannels;
  unsigned _blockLength;
  std::vector<double> _previousSample;  // per channel: p1 of the peak rule
  std::vector<double> _sampleBefore;    // per channel: p2 of the peak rule
  std::vector<unsigned> _scanStart;     // per channel, in the work clip
  VectorBuffer _lookAhead;              // holds the previous block
  DefaultClip _work;                    // previous block followed by this one
  std::vector<Peak> _peaks;             // scratch of one channel's scan
};

}  // namespace spl
