#pragma once

#include "spl/clip/Clip.h"

namespace spl {

// Zero-stuffing upsampler over a borrowed clip: `factor` times as long, the
// wrapped samples at every multiple of the factor and 0.0 in between.
// Read-only; the clip must outlive the view.
class InterpolationClip : public Clip {
 public:
  // A factor of 0 is rejected with "factor": the view would have no positions
  // to map and reading it would divide by zero.
  InterpolationClip(const Clip& clip, unsigned factor);

  void assign(const Clip& source) override;
  unsigned getNumChannels() const override { return _clip->getNumChannels(); }
  unsigned getLength() const override { return _clip->getLength() * _factor; }
  double get(unsigned channel, unsigned position) const override;
  void set(unsigned channel, unsigned position, const double& value) override;
  void setLength(unsigned length) override;
  std::string toString() const override { return "InterpolationClip"; }

 private:
  const Clip* _clip;
  unsigned _factor;
};

}  // namespace spl
