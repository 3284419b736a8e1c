#pragma once

#include "spl/clip/DelegationClip.h"

namespace spl {

// A window [begin, begin + length) of a borrowed clip, readable and writable.
// Accesses are bounded by the wrapped clip's current length only.
class RangedClip : public DelegationClip {
 public:
  RangedClip(Clip& clip, unsigned begin, unsigned length);

  unsigned getLength() const override { return _length; }
  double get(unsigned channel, unsigned position) const override;
  void set(unsigned channel, unsigned position, const double& value) override;
  std::string toString() const override { return "RangedClip/" + _clip->toString(); }

 private:
  unsigned _length;
  unsigned _begin;
};

}  // namespace spl
