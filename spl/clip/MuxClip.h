#pragma once

#include "spl/clip/ClipAdapter.h"

namespace spl {

// Joins channel 0 of two borrowed clips into one two-channel clip: channel 0
// reads `a`, channel 1 reads `b`. Read-only; both clips must outlive the view.
class MuxClip : public ClipAdapter {
 public:
  // Both clips must have the same length and the same channel count.
  MuxClip(const Clip& a, const Clip& b);

  unsigned getNumChannels() const override { return 2; }
  unsigned getLength() const override { return _a->getLength(); }
  double get(unsigned channel, unsigned position) const override;
  std::string toString() const override { return "MuxClip"; }

 private:
  const Clip* _a;
  const Clip* _b;
};

}  // namespace spl
