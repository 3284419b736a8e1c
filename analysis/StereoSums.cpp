#include "analysis/StereoSums.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace brisendel {

double StereoSums::sideToMidDb() const {
  const double mid = midEnergy();
  const double side = sideEnergy();
  if (!(mid + side > 0.0)) return std::numeric_limits<double>::quiet_NaN();
  if (mid <= 0.0) return std::numeric_limits<double>::infinity();
  if (side <= 0.0) return -std::numeric_limits<double>::infinity();
  return 10.0 * std::log10(side / mid);
}

double StereoSums::correlation() const {
  const double norm = std::sqrt(left * right);
  return norm > 0.0 ? std::clamp(cross / norm, -1.0, 1.0)
                    : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace brisendel
