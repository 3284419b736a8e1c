#pragma once

#include "spl/block/BlockProcessor.h"

namespace spl {

// Multiplies every sample by one gain (1.0 after construction).
class Gainer : public BlockProcessor {
 public:
  void process(Clip& clip) override;
  void setGain(double gain) { _gain = gain; }
  double getGain() const { return _gain; }

 private:
  double _gain = 1.0;
};

}  // namespace spl
