#pragma once

#include "spl/block/BlockProcessor.h"
#include "spl/block/DiscreteCosineTransform.h"
#include "spl/clip/DefaultClip.h"

namespace spl {

// A two-channel lowpass for blocks of 2048 frames: each block is zero-extended
// to 4096 frames, its cosine spectrum above the cutoff is cleared, and the
// filtered frames are joined by overlap-add, so every output block is the
// first half of this block's frame plus the second half of the previous one.
// Allocates on the first call only.
class FirLowpassFilter : public BlockProcessor {
 public:
  static constexpr unsigned BLOCK_LENGTH = 2048;

  FirLowpassFilter();
  ~FirLowpassFilter() override = default;

  // Fraction of the cosine spectrum kept, 0..1; outside that range fails with
  // "cutoff" and keeps the previous value.
  void setCutoff(double cutoff);
  double getCutoff() const { return _cutoff; }

  // The block must be 2048 frames long ("assertion error" otherwise) and have
  // two channels.
  void process(Clip& block) override;

 private:
  double _cutoff = 1.0;
  DiscreteCosineTransform _forward{1};
  DiscreteCosineTransform _backward{-1};
  // The second half of the previous filtered frame, 2 channels x 2048 frames.
  DefaultClip _overlap{2, 0};
  // The zero-extended block being filtered, kept to reuse its storage.
  DefaultClip _frame{2, 0};
};

}  // namespace spl
