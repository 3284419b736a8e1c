#pragma once

#include <vector>

#include "spl/stream/StreamProcessor.h"

namespace spl {

// Measures the root-mean-square level of everything ever written to it, per
// channel; reads give nothing. There is no reset.
class RMSProbe : public StreamProcessor {
 public:
  explicit RMSProbe(unsigned numChannels);

  // Accumulates the clip's squared samples. A clip with more channels than
  // the probe fails with "channel" before anything is counted.
  void write(const Clip& clip) override;
  // Leaves the clip as it was.
  void read(Clip&, unsigned) override {}
  // sqrt(sum of squares / number of samples) of one channel; NaN before any
  // frame was written. A channel beyond the probe's fails with "channel".
  double getRMS(unsigned channel) const;

 private:
  std::vector<double> _sums;
  std::vector<double> _counts;
};

}  // namespace spl
