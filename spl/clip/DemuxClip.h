#pragma once

#include "spl/clip/ClipAdapter.h"

namespace spl {

// One channel of a borrowed two-channel clip as a one-channel clip. Every
// channel index reads the chosen channel. Read-only; the clip must outlive the view.
class DemuxClip : public ClipAdapter {
 public:
  // `a` must have exactly two channels; `channel` is checked by `a` on access.
  DemuxClip(const Clip& a, unsigned channel);

  unsigned getNumChannels() const override { return 1; }
  unsigned getLength() const override { return _a->getLength(); }
  double get(unsigned, unsigned position) const override { return _a->get(_channel, position); }
  std::string toString() const override { return "DemuxClip"; }

 private:
  const Clip* _a;
  unsigned _channel;
};

}  // namespace spl
