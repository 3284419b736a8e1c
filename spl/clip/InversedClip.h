#pragma once

#include "spl/clip/DelegationClip.h"

namespace spl {

// The negated samples of a borrowed clip. Read-only; the clip must outlive the view.
class InversedClip : public DelegationClip {
 public:
  explicit InversedClip(const Clip& clip) : DelegationClip(clip) {}
  // A copy would silently wrap the same clip where a second InversedClip over the
  // first was meant; to stack two, pass the first as a Clip&.
  InversedClip(const InversedClip&) = delete;
  InversedClip& operator=(const InversedClip&) = delete;

  double get(unsigned channel, unsigned position) const override {
    return -_clip->get(channel, position);
  }
};

}  // namespace spl
