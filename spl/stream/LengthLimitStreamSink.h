#pragma once

#include "spl/stream/StreamSink.h"

namespace spl {

// Passes at most `limit` frames in all on to a borrowed sink and drops the rest.
class LengthLimitStreamSink : public StreamSink {
 public:
  LengthLimitStreamSink(StreamSink& sink, unsigned limit) : _sink(sink), _limit(limit) {}

  // Writes the clip's first frames, as many as the limit still allows, to the
  // wrapped sink: none once the limit is reached. An empty clip writes nothing.
  void write(const Clip& clip) override;
  bool isFinished() const { return _limit <= _total; }
  unsigned getTotal() const { return _total; }
  unsigned getLimit() const { return _limit; }

 private:
  StreamSink& _sink;
  unsigned _limit;
  unsigned _total = 0;
};

}  // namespace spl
