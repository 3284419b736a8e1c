#pragma once

#include <memory>
#include <vector>

#include "effect/PrunedImagerCore.h"
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
// Two-channel blocks whose length is a power of two of at least 16 go through
// the spectral core (PrunedImagerCore), which never forms the padded frame;
// other shapes (one channel, three or more, short blocks) through the padded
// frame itself.
//
// Setters only store; they take effect at the next process(). Setters and
// process() must be called from one thread (the host's processing thread).
// prepare(blockLength) builds everything stereo blocks of that length need at
// every quality up to kPreparedQualities and both window modes; after it,
// process() on such blocks never allocates, whatever the setters are set to.
// Without it, or for other shapes, process() allocates on the first call for
// a new shape and quality.
class Radi3zur : public spl::BlockProcessor {
 public:
  // The qualities prepare() makes ready: 0 up to this (the plug-in uses 1..9).
  static constexpr unsigned kPreparedQualities = 9;

  Radi3zur();
  ~Radi3zur() override = default;

  // Builds the spectral core's tables and the window tables for stereo blocks
  // of blockLength frames. Allocates: call it before audio runs, never from
  // the audio thread. A length the core does not take is ignored.
  void prepare(unsigned blockLength);

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

  // Chooses the widest kernels the processor runs, or the portable ones, for
  // this instance's transforms; returns whether vector kernels are in use.
  bool setVectorKernels(bool enabled);
  // Chooses one kernel set (or the widest below it that the processor runs)
  // for this instance; returns the set the spectral core now uses.
  spl::fourier::KernelSet setKernelSet(spl::fourier::KernelSet wanted);

 private:
  // The weights in use: the set ones, scaled to a mean of 1 when auto gain is on.
  void effectiveWeights(double& center, double& side) const;
  // The spectral core's path for stereo blocks of a length it takes.
  void processStereo(spl::Clip& block, unsigned quality);
  // The window table of `window` for blocks of the prepared length, or null
  // for no window.
  const double* windowTable(const spl::BlockProcessor* window) const;
  void prepareWindowTables(unsigned blockLength);
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
  // The padded working frame of the other shapes, kept between calls so that
  // blocks of one size reuse its storage; nothing in it carries over from one
  // block to the next.
  spl::DefaultClip _frame;
  PrunedImagerCore _core;
  // Both windows as tables for the prepared length (their own values, so
  // multiplying by them gives what running the window gives).
  std::vector<double> _vorbisTable;
  std::vector<double> _hanningTable;
  // A block that is not a DefaultClip is copied here, channel after channel.
  std::vector<double> _stereo;
};
