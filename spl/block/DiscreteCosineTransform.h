#pragma once

#include "spl/block/FFTBase.h"

namespace spl {

// The discrete cosine transform of every channel of a clip, in place, scaled
// by sqrt(2/n). Mode +1: C[k] = sum_j a[j] cos(pi j (k + 1/2) / n); mode -1:
// C[k] = sum_j a[j] cos(pi (j + 1/2) k / n). The two are transposes, not
// inverses: -1 then +1 adds the block's mean to every sample, +1 then -1
// doubles the first sample. The first call at a new length allocates.
class DiscreteCosineTransform : public FFTBase {
 public:
  // mode +1 or -1; anything else fails with "mode".
  explicit DiscreteCosineTransform(int mode);
  ~DiscreteCosineTransform() override = default;

  // The clip's length is the transform length: a power of two of at least 2
  // ("assertion error" otherwise, before any sample changes).
  void process(Clip& clip) override;

  int getMode() const { return _mode; }

 private:
  int _mode;
  // The reordered channel the transform works on (the channel buffer holds the input).
  std::vector<double> _work;
};

}  // namespace spl
