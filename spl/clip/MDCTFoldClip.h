#pragma once

#include "spl/clip/DelegationClip.h"
#include "spl/clip/RangedClip.h"
#include "spl/clip/ReverseClip.h"

namespace spl {

// Folds a borrowed clip of four quarters (a, b, c, d) into the half-length
// sequence (-c reversed - d, a - b reversed) that a modified discrete cosine
// transform feeds to its core transform. Read-only; the views over the
// quarters are members, so the fold allocates nothing. The clip must outlive
// the view and keep its length.
class MDCTFoldClip : public DelegationClip {
 public:
  // The clip's length must be a positive multiple of 4 ("length" otherwise;
  // an empty clip fails with the quarter view's "begin").
  explicit MDCTFoldClip(const Clip& clip);
  // The inner views point at each other; a copy would point at the original's.
  MDCTFoldClip(const MDCTFoldClip&) = delete;
  MDCTFoldClip& operator=(const MDCTFoldClip&) = delete;

  unsigned getLength() const override { return _clip->getLength() / 2; }
  double get(unsigned channel, unsigned position) const override;

 private:
  RangedClip _q0;
  RangedClip _q1;
  RangedClip _q2;
  RangedClip _q3;
  ReverseClip _q1r;
  ReverseClip _q2r;
};

}  // namespace spl
