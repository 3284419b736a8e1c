#pragma once

#include "spl/clip/ClipAdapter.h"

namespace spl {

// Two borrowed clips of equal channel count joined end to end. Positions below
// the first clip's current length address it, the rest address the second.
class ConcatClip : public ClipAdapter {
 public:
  ConcatClip(Clip& a, Clip& b);

  unsigned getNumChannels() const override { return _a->getNumChannels(); }
  unsigned getLength() const override { return _a->getLength() + _b->getLength(); }
  double get(unsigned channel, unsigned position) const override {
    const unsigned split = _a->getLength();
    return position < split ? _a->get(channel, position) : _b->get(channel, position - split);
  }
  void set(unsigned channel, unsigned position, const double& value) override {
    const unsigned split = _a->getLength();
    if (position < split) {
      _a->set(channel, position, value);
    } else {
      _b->set(channel, position - split, value);
    }
  }
  std::string toString() const override { return "ConcatClip"; }

 private:
  Clip* _a;
  Clip* _b;
};

}  // namespace spl
