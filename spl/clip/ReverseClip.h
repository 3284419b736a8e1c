#pragma once

#include "spl/clip/DelegationClip.h"

namespace spl {

// A borrowed clip read and written back to front: position p addresses the
// wrapped clip's position L - p - 1, L its current length. The clip must
// outlive the view.
class ReverseClip : public DelegationClip {
 public:
  explicit ReverseClip(Clip& clip) : DelegationClip(&clip) {}
  // A copy would silently wrap the same clip where a second ReverseClip over the
  // first was meant; to stack two, pass the first as a Clip&.
  ReverseClip(const ReverseClip&) = delete;
  ReverseClip& operator=(const ReverseClip&) = delete;

  double get(unsigned channel, unsigned position) const override;
  void set(unsigned channel, unsigned position, const double& value) override;
  std::string toString() const override { return "ReverseClip/" + _clip->toString(); }
};

}  // namespace spl
