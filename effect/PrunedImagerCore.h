#pragma once

#include <vector>

#include "spl/block/FourierKernels.h"

// The imager's spectral hop for one stereo block of n frames (a power of two,
// at least 16): the block, zero-padded on both sides to N = n * 2^quality
// frames, is transformed, every bin but the two purely real ones is split
// into the part both channels share and each channel's own remainder, the
// parts are weighted, and the n frames in the middle of the inverse are kept.
//
// It never forms the padded frame. Bin k1 + M k2 of the N-point transform
// (M = 2^quality) is bin k2 of an n-point transform of the block multiplied by
// e^(-2 pi i j k1 / N), j counted from the middle of the block, so the bins
// are visited as M sub-spectra of n points, one at a time: twiddle, n-point
// transform of each channel, the weighting, n-point inverse, twiddle back and
// accumulate into the n kept frames. The block sits in the middle of the
// frame, so the padding contributes a sign (-1)^k to bin k; the weighting is
// odd (negating both channels negates its result), so the sign cancels between
// the forward and inverse transforms and is never applied. For real signals
// the sub-spectra k1 and M - k1 are conjugates: only k1 = 0 .. M/2 are
// computed, and those in between count twice.
//
// Both channels go through the same arithmetic, so a bin on which the two
// channels are equal, opposite or one of them zero stays exactly that, and the
// weighting meets its ties exactly as on the padded frame.
//
// prepare() builds every table and buffer; process() at a prepared block
// length and quality never allocates. Not thread-safe: one caller at a time.
class PrunedImagerCore {
 public:
  PrunedImagerCore();

  // Builds tables and buffers for blocks of blockLength frames (a power of
  // two, at least 16) at every quality 0..maxQuality, with
  // blockLength * 2^maxQuality below 2^32. May allocate: never call it from
  // the audio thread.
  void prepare(unsigned blockLength, unsigned maxQuality);
  bool isPreparedFor(unsigned blockLength, unsigned quality) const {
    return blockLength == _blockLength && quality <= _maxQuality;
  }

  // Replaces left[0..n) and right[0..n) (n the prepared block length) by the
  // weighted middle of the inverse transform. Requires isPreparedFor(n, quality).
  // center and side are the effective weights (auto gain already applied).
  void process(double* left, double* right, unsigned quality, double center, double side);

  // Chooses the kernels for this instance: the widest the processor runs, or
  // the portable ones; returns whether vector kernels are now in use.
  bool setVectorKernels(bool enabled);
  // Chooses one kernel set, or the widest below it that the processor runs;
  // returns the set now in use.
  spl::fourier::KernelSet setKernelSet(spl::fourier::KernelSet wanted);

 private:
  // The twiddle e^(-2 pi i j k1 / N) of every position of the half-swapped
  // block (position m holds frame offset m, or m - n from the middle when m >= n/2).
  void buildTwiddle(unsigned k1, unsigned quality);

  unsigned _blockLength = 0;
  unsigned _blockBits = 0;
  unsigned _maxQuality = 0;
  spl::fourier::KernelSet _kernels;
  // Stage tables of the n-point complex transform and the tile bit reversal.
  std::vector<double> _stageTables;
  // The same for the wide kernels (fourier::fillWideStageTables), where the
  // processor has them; empty otherwise.
  std::vector<double> _wideStageTables;
  std::vector<int> _tileReverse;
  // e^(-2 pi i a / Nmax) = _coarse[a >> _fineBits] * _fine[a & mask], where
  // Nmax = n * 2^maxQuality: two tables of about sqrt(Nmax) complex values
  // instead of one of Nmax. Interleaved (re, im).
  std::vector<double> _coarse;
  std::vector<double> _fine;
  unsigned _fineBits = 0;
  // Work buffers, n complex or n real values each, reused by every hop.
  std::vector<double> _twiddle;
  std::vector<double> _high;  // the high factor of the separable twiddle
  std::vector<double> _low;   // the low factor
  std::vector<double> _leftSpectrum;
  std::vector<double> _rightSpectrum;
  std::vector<double> _leftSum;
  std::vector<double> _rightSum;
};
