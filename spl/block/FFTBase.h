#pragma once

#include <vector>

#include "spl/block/BlockProcessor.h"
#include "spl/block/FourierKernels.h"
#include "spl/block/Gainer.h"

namespace spl {

// Base of the Fourier-type block processors: checks transform lengths and keeps
// what a transform needs between calls (the work tables, a one-channel buffer
// and the gain stage for the final scaling). The tables are sized and rebuilt
// only when the transform length changes, so a processor that keeps seeing the
// same length does not allocate after its first call. One instance serves one
// caller at a time.
class FFTBase : public BlockProcessor {
 public:
  ~FFTBase() override = default;

  // Fails with "assertion error" unless n is a power of two of at least 2;
  // otherwise makes the tables ready for length n (allocates when n differs
  // from the previous length, never when it is the same).
  void prepare(unsigned n);

  unsigned getPreparedLength() const { return _preparedLength; }

  // Chooses between the vector kernels (AVX2 with FMA, else SSE2, on x86-64;
  // NEON on 64-bit ARM) and the portable ones for this instance only; returns
  // whether vector kernels are now in use. They are on by default where the
  // processor has them. For tests and measurements; not to be called while a
  // transform runs.
  bool setVectorKernels(bool enabled);
  bool usesVectorKernels() const { return _vectorKernels; }

 protected:
  // The real discrete Fourier transform of _preparedLength samples at `a`, in
  // place and unscaled. direction +1: real signal to packed spectrum (a[0] = R[0],
  // a[1] = R[n/2], a[2k] = R[k], a[2k+1] = I[k], where R and I are the cosine
  // and sine sums); direction -1: packed spectrum back to a signal, n/2 times the
  // original after a forward pass. Every output is multiplied by `scale` as
  // its last operation (1.0 leaves the values exactly as computed).
  void realTransform(int direction, double* a, double scale = 1.0);

  // The discrete cosine transform of _preparedLength samples, unscaled, read
  // from `in` and written to `out` (which may be the same array). direction +1:
  // out[k] = sum_j in[j] cos(pi j (k + 1/2) / n); direction -1:
  // out[k] = sum_j in[j] cos(pi (j + 1/2) k / n). `work` holds n doubles
  // and must not overlap the others.
  void cosineTransform(int direction, const double* in, double* out, double* work);

  // Integer work area: [0] a quarter of the length the stage factors were
  // built for (0 after prepare() changed the length: rebuild), [1] the same for
  // the real-split factors, from [2] on the bit reversal of tile indices.
  std::vector<int> _bitReversalTable;
  // Floating-point work area: the factors of the radix-4 stages, directly
  // followed by the real-split factors (layout in FFTBase.cpp).
  std::vector<double> _cosSinTable;
  unsigned _preparedLength = 0;
  Gainer _gainer;
  std::vector<double> _buffer;
  bool _vectorKernels = fourier::processorHasVectorUnits();

 private:
  // Builds what the current length needs that is not built yet.
  void makeTables();
};

}  // namespace spl
