#pragma once

#include "spl/stream/StreamProcessor.h"

namespace spl {

// Swallows every frame written to it and gives nothing back: a read leaves
// the clip exactly as it was.
class NullStreamProcessor : public StreamProcessor {
 public:
  void write(const Clip&) override {}
  void read(Clip&, unsigned) override {}
};

}  // namespace spl
