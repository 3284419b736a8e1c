#pragma once

#include "spl/clip/ClipAdapter.h"

namespace spl {

// Raised-cosine crossfade of two borrowed clips of equal size, computed on every
// get: `a` fades out from full weight at position 0 while `b` fades in, with
// weights 0.5 (1 + cos(pi x)) and 0.5 (1 + cos(pi (1 - x))), x = position / length.
// Read-only; both clips must outlive the view.
class CrossfadeClip : public ClipAdapter {
 public:
  // Both clips need at least one sample, the same length and the same channel count.
  CrossfadeClip(const Clip& a, const Clip& b);

  unsigned getNumChannels() const override { return _a->getNumChannels(); }
  unsigned getLength() const override { return _a->getLength(); }
  double get(unsigned channel, unsigned position) const override;
  std::string toString() const override { return "CrossfadeClip"; }

 private:
  const Clip* _a;
  const Clip* _b;
};

}  // namespace spl
