#pragma once

// The imager computed the straightforward way, for tests only: window the
// block, pad it with zeros to 2^quality times its length, transform both
// channels over the whole padded frame, weight every bin, transform back, cut
// the block out and window it again. Slow and memory-hungry at high quality,
// but plainly what the imaging core must give.

#include <cmath>

#include "spl/block/HanningWindow.h"
#include "spl/block/RealDiscreteFourierTransform.h"
#include "spl/block/VorbisWindow.h"
#include "spl/clip/DefaultClip.h"
#include "spl/clip/ZeroClip.h"

struct DenseSettings {
  unsigned quality = 1;
  int windowMode = 1;  // 0: Vorbis before and after; 1: Hann before only
  double center = 1.0;
  double side = 1.0;
  bool autoGain = true;
};

// The processed copy of a two-channel block.
inline spl::DefaultClip denseImage(const spl::DefaultClip& input, const DenseSettings& settings) {
  const unsigned n = input.getLength();
  spl::DefaultClip block(input);
  spl::VorbisWindow vorbis;
  spl::HanningWindow hanning;
  if (settings.windowMode == 0) {
    vorbis.process(block);
  } else {
    hanning.process(block);
  }
  const unsigned padding = (n / 2) * ((1u << settings.quality) - 1u);
  const unsigned frameLength = n + 2 * padding;
  spl::DefaultClip frame(spl::ZeroClip(2, frameLength));
  for (unsigned c = 0; c < 2; ++c) {
    for (unsigned p = 0; p < n; ++p) frame.channelData(c)[padding + p] = block.get(c, p);
  }
  spl::RealDiscreteFourierTransform(1).process(frame);

  double center = settings.center, side = settings.side;
  if (settings.autoGain && center + side > 0.0) {
    const double mean = (center + side) * 0.5;
    center /= mean;
    side /= mean;
  }
  double* left = frame.channelData(0);
  double* right = frame.channelData(1);
  for (unsigned position = 2; position < frameLength; ++position) {
    const double l = left[position], r = right[position];
    const double shared = std::fabs(r) > std::fabs(l) ? l : r;
    left[position] = shared * center + (l - shared) * side;
    right[position] = shared * center + (r - shared) * side;
  }

  spl::RealDiscreteFourierTransform(-1).process(frame);
  for (unsigned c = 0; c < 2; ++c) {
    for (unsigned p = 0; p < n; ++p) block.set(c, p, frame.channelData(c)[padding + p]);
  }
  if (settings.windowMode == 0) vorbis.process(block);
  return block;
}
