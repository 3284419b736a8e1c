#pragma once

#include "spl/block/TableMultiplier.h"

namespace spl {

// The periodic Vorbis power-complementary window sin(pi/2 * sin^2(pi i / N)):
// squares of entries N/2 apart add up to 1, so analysis plus synthesis
// windowing with half overlap restores the signal.
class VorbisWindow : public TableMultiplier {
 public:
  void fillTable(unsigned length) override;
};

}  // namespace spl
