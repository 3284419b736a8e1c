#pragma once

#include "spl/block/TableMultiplier.h"

namespace spl {

// Gaussian bell 0.91 exp(-(t - 0.5)^2 / sigma^2), t = i / N, peaking at 0.91 in
// the middle of the block. The width makes the bell fall to 1/16 of its peak
// at the block's edges.
class GaussianWindow : public TableMultiplier {
 public:
  GaussianWindow() : _sigma(0.30028060219661246) {}  // 0.5 / sqrt(ln 16)
  void fillTable(unsigned length) override;

 private:
  const double _sigma;
};

}  // namespace spl
