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
  // A copy would silently wrap the same clip where a second MiddleSideClip over the
  // first was meant; to stack two, pass the first as a Clip&.
  MiddleSideClip(const MiddleSideClip&) = delete;
  MiddleSideClip& operator=(const MiddleSideClip&) = delete;

  unsigned getNumChannels() const override { return _a->getNumChannels(); }
  unsigned getLength() const override { return _a->getLength(); }
  double get(unsigned channel, unsigned position) const override;
  std::string toString() const override { return "MiddleSideClip"; }

 private:
  const Clip* _a;
};

}  // namespace spl
