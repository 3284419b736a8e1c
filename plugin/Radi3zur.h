#pragma once

#include <memory>

#include "spl/block/BlockProcessor.h"
#include "spl/block/HanningWindow.h"
#include "spl/block/RealDiscreteFourierTransform.h"
#include "spl/block/VorbisWindow.h"
#include "spl/clip/DefaultClip.h"

// The imaging core: splits every frequency component of a stereo block into
// the part both channels share (the center) and what each channel has beyond
// it (the side), and weights the two parts independently.
//
// process() windows the block, pads it with zeros on both sides to
// 2^quality times its length, transforms both channels, weights every bin,
// transforms back, cuts the block out of the padding and windows it again.
// Channel 0 is left, channel 1 right.
//
// Setters only store; they take effect at the next process(). Setters and
// process() must be called from one thread (the host's processing thread).
// process() allocates on its first call for a block length, channel count and
// quality (working frame, window table, transform tables) and never again
// while those stay the same.
class Radi3zur : public spl::BlockProcessor {
 public:
  Radi3zur();
  ~Radi3zur() override;

  // Weight of the shared part, clamped to 0..2.
  void setCenter(double center);
  // Weight of each channel's own remainder, clamped to 0..2.
  void setSide(double side);
  // When on, the two weights are scaled so that their mean is 1 before use.
  void setAutoGain(bool autoGain);
  // Zero-padding exponent: the transformed frame is the block length times
  // 2^quality (the exponent taken modulo 32). Not checked; the plug-in uses 1..9.
  void setQuality(unsigned quality);
  // 0: Vorbis window before and after the transforms; 1: Hann window before
  // only. Any other value keeps the current pair.
  void setWindowMode(int mode);

  double getCenter() const { return _center; }
  double getSide() const { return _side; }
  bool getAutoGain() const { return _autoGain; }
  unsigned getQuality() const { return _quality; }

  void process(spl::Clip& block) override;

 private:
  // Makes _frame hold p zeros, the block and p zeros on every channel.
  void fillFrame(spl::Clip& block, unsigned padding);
  // Replaces the cosine and sine part of every bin except 0 and N/2 by its
  // weighted center and side parts.
  void weightBins(double center, double side);

  double _center = 1.0;
  double _side = 1.0;
  bool _autoGain = true;
  unsigned _quality = 0;
  std::unique_ptr<spl::RealDiscreteFourierTransform> _forward;
  std::unique_ptr<spl::RealDiscreteFourierTransform> _inverse;
  // Borrowed from the two windows below; null means no window.
  spl::BlockProcessor* _analysisWindow = nullptr;
  spl::BlockProcessor* _synthesisWindow = nullptr;
  std::unique_ptr<spl::VorbisWindow> _vorbisWindow;
  std::unique_ptr<spl::HanningWindow> _hanningWindow;
  // The padded working frame, kept between calls so that blocks of one size
  // reuse its storage; nothing in it carries over from one block to the next.
  spl::DefaultClip _frame;
};
