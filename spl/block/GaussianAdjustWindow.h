#pragma once

#include "spl/block/TableMultiplier.h"

namespace spl {

// Reciprocal of the sum of two Gaussians of width 0.33: the one centred on this
// block and the one centred on the half-overlapped neighbour (at t = 0 for the
// first half of the table, t = 1 for the second). Meant to undo the summed
// Gaussian weighting of half-overlapped blocks.
class GaussianAdjustWindow : public TableMultiplier {
 public:
  GaussianAdjustWindow() : _sigma(0.33) {}
  void fillTable(unsigned length) override;

 private:
  const double _sigma;
};

}  // namespace spl
