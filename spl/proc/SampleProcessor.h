#pragma once

namespace spl {

// One sample in, one sample out: the building block of the recursive filters
// and of the sample-wise limiter. An instance carries the state of one channel
// and is used by one thread at a time.
class SampleProcessor {
 public:
  virtual ~SampleProcessor() = default;
  virtual double process(double x) = 0;
};

}  // namespace spl
