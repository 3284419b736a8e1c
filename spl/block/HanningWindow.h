#pragma once

#include "spl/block/BlockProcessor.h"

namespace spl {

// The periodic Hann window 0.5 - 0.5 cos(2 pi p / N), computed afresh on each
// call; factors N/2 apart add up to 1. Stateless.
class HanningWindow : public BlockProcessor {
 public:
  void process(Clip& clip) override;
};

}  // namespace spl
