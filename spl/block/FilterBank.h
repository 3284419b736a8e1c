#pragma once

namespace spl {

// A set of band filters given as weights over the bins of a cosine transform:
// getWeight(band, bin) is how much of bin `bin` band `band` passes (0..1).
class FilterBank {
 public:
  virtual ~FilterBank() = default;
  virtual double getWeight(unsigned band, unsigned bin) const = 0;
  // Sets the transform length the weights refer to; may recompute (and allocate).
  virtual void setNumBins(unsigned count) = 0;
};

}  // namespace spl
