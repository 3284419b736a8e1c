#pragma once

#include "spl/block/TableMultiplier.h"

namespace spl {

// Logistic window: rises as a sigmoid centred a quarter into the block and
// falls as its mirror centred three quarters in; `gain` is the slope (> 0),
// steeper for larger values. The factor is 0.5 at the two centres.
class SigmoidWindow : public TableMultiplier {
 public:
  // Fails with "gain <= 0" unless gain is greater than 0.
  explicit SigmoidWindow(double gain);
  void fillTable(unsigned length) override;

 private:
  const double _gain;
};

}  // namespace spl
