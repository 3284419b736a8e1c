#pragma once

#include "spl/clip/DelegationClip.h"
#include "spl/clip/RangedClip.h"
#include "spl/clip/ReverseClip.h"

namespace spl {

// Unfolds a borrowed clip of two halves (p0, p1) into the double-length
// sequence (p1, -p1 reversed, -p0 reversed, -p0) that a modified discrete
// cosine transform produces after its core transform. Read-only; the views over
// the halves are members, so the unfold allocates nothing. The clip must
// outlive the view and keep its length.
class MDCTUnfoldClip : public DelegationClip {
 public:
  // The clip's length must be a positive multiple of 2 ("length" otherwise;
  // an empty clip fails with the half view's "begin").
  explicit MDCTUnfoldClip(const Clip& clip);
  // The inner views point at each other; a copy would point at the original's.
  MDCTUnfoldClip(const MDCTUnfoldClip&) = delete;
  MDCTUnfoldClip& operator=(const MDCTUnfoldClip&) = delete;

  unsigned getLength() const override { return _clip->getLength() * 2; }
  double get(unsigned channel, unsigned position) const override;

 private:
  // Declared in the order the halves are made: first half, then second half.
  RangedClip _h0;
  RangedClip _h1;
  ReverseClip _s1;
  ReverseClip _s0;
};

}  // namespace spl
