#pragma once

#include "spl/clip/Clip.h"

namespace spl {

// Transforms one clip in place: reads its samples and writes the results back.
// The clip keeps its channel count and length.
class BlockProcessor {
 public:
  virtual ~BlockProcessor() = default;
  virtual void process(Clip& clip) = 0;
  // A plain query kept for the interface's shape; every processor answers 1.
  virtual int query() const { return 1; }
};

}  // namespace spl
