#pragma once

#include "spl/block/FFTBase.h"

namespace spl {

// The real discrete Fourier transform of every channel of a clip, in place,
// scaled by sqrt(2/n) in both directions so that the inverse undoes the
// forward. Forward (mode +1) turns a signal of n samples (a power of two) into
// its packed spectrum: a[0] = R[0] (DC), a[1] = R[n/2] (Nyquist), and for
// 0 < k < n/2 a[2k] = R[k] = sum_j x[j] cos(2 pi j k / n) and
// a[2k+1] = I[k] = sum_j x[j] sin(2 pi j k / n), i.e. I[k] = -Im X[k] of the
// usual e^(-i...) transform. Inverse (mode -1) maps such a spectrum back.
// The first call at a new length allocates; later calls at that length do not.
class RealDiscreteFourierTransform : public FFTBase {
 public:
  // mode +1 forward, -1 inverse; anything else fails with "mode".
  explicit RealDiscreteFourierTransform(int mode);
  ~RealDiscreteFourierTransform() override = default;

  // Transforms each channel; the clip's length is the transform length and
  // must be a power of two of at least 2 ("assertion error" otherwise, before
  // any sample changes).
  void process(Clip& clip) override;

  int getMode() const { return _mode; }

 private:
  int _mode;
};

}  // namespace spl
