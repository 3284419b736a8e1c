#pragma once

#include "spl/clip/ClipAdapter.h"

namespace spl {

// Read-only proxy of a borrowed clip; sizes are asked of it at every call.
class DelegationClip : public ClipAdapter {
 public:
  explicit DelegationClip(const Clip& clip) : _clip(const_cast<Clip*>(&clip)) {}
  explicit DelegationClip(Clip* clip) : _clip(clip) {}

  unsigned getNumChannels() const override { return _clip->getNumChannels(); }
  unsigned getLength() const override { return _clip->getLength(); }
  double get(unsigned channel, unsigned position) const override {
    return _clip->get(channel, position);
  }
  std::string toString() const override { return _clip->toString(); }

 protected:
  Clip* _clip;  // borrowed, never null
};

}  // namespace spl
