#pragma once

#include "spl/stream/StreamSource.h"

namespace spl {

// Counts the frames asked of a borrowed source against a limit (frames), so
// that a reading loop knows when to stop. Reads are passed on unshortened.
class LengthLimitSource : public StreamSource {
 public:
  LengthLimitSource(StreamSource& source, unsigned limit) : _source(source), _limit(limit) {}

  // Reads from the wrapped source, then counts `length` (the frames asked
  // for, not those delivered), never beyond the limit.
  void read(Clip& clip, unsigned length) override;
  bool isFinished() const { return _limit <= _count; }
  unsigned getCount() const { return _count; }
  void reset() { _count = 0; }

 private:
  StreamSource& _source;
  unsigned _limit;
  unsigned _count = 0;
};

}  // namespace spl
