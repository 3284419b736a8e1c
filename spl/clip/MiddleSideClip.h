#pragma once

#include "spl/clip/ClipAdapter.h"

namespace spl {

// Middle/side matrix of a borrowed stereo clip: channel 0 is (l + r) / sqrt 2,
// channel 1 is (l - r) / sqrt 2, so the matrix is its own inverse and keeps the
// signal's energy. Read-only; the clip must outlive the view.
class MiddleSideClip : public ClipAdapter {
 public:
  // `a` must have exactly two channels.
  explicit MiddleSideClip(const Clip& a);

  unsigned getNumChannels() const override { return _a->getNumChannels(); }
  unsigned getLength() const override { return _a->getLength(); }
  double get(unsigned channel, unsigned position) const override;
  std::string toString() const override { return "MiddleSideClip"; }

 private:
  const Clip* _a;
};

}  // namespace spl
