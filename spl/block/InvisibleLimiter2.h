#pragma once

#include <vector>

#include "spl/block/BlockProcessor.h"
#include "spl/block/SampleInvisibleLimiter.h"

namespace spl {

// Block form of the sample-wise peak limiter: one SampleInvisibleLimiter of
// delay 4096 per channel, owned, so every channel lags by 4097 samples. Any
// block length is accepted. Allocates only in the constructor.
class InvisibleLimiter2 : public BlockProcessor {
 public:
  static constexpr unsigned DELAY = 4096;

  explicit InvisibleLimiter2(unsigned numChannels);
  // The clip may have at most as many channels as there are limiters.
  void process(Clip& clip) override;
  unsigned getNumChannels() const { return unsigned(_limiters.size()); }

 private:
  std::vector<SampleInvisibleLimiter> _limiters;
};

}  // namespace spl
