#pragma once

#include "spl/clip/DelegationClip.h"

namespace spl {

// The negated samples of a borrowed clip. Read-only; the clip must outlive the view.
class InversedClip : public DelegationClip {
 public:
  explicit InversedClip(const Clip& clip) : DelegationClip(clip) {}

  double get(unsigned channel, unsigned position) const override {
    return -_clip->get(channel, position);
  }
};

}  // namespace spl
