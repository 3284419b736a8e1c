#pragma once

#include "spl/clip/ClipAdapter.h"

namespace spl {

// Sample-by-sample sum of two borrowed clips of equal size, computed on every
// get. Read-only; both clips must outlive the view.
class AddClip : public ClipAdapter {
 public:
  // Fails with "assertion error" unless lengths and channel counts are equal.
  AddClip(const Clip& a, const Clip& b);

  unsigned getNumChannels() const override { return _a->getNumChannels(); }
  unsigned getLength() const override { return _a->getLength(); }
  double get(unsigned channel, unsigned position) const override;
  std::string toString() const override { return "AddClip"; }

 private:
  const Clip* _a;
  const Clip* _b;
};

}  // namespace spl
