#pragma once

#include <string>

namespace spl {

// A rectangular block of 64-bit samples, channels by length, addressed by
// (channel, position) from 0. Every processing step reads and writes through
// this interface one sample at a time, so owning clips and views mix freely.
// A clip is used by one thread at a time.
class Clip {
 public:
  virtual ~Clip() = default;
  // Makes this clip a copy of `source`: channel count, length and samples.
  virtual void assign(const Clip& source) = 0;
  virtual unsigned getNumChannels() const = 0;
  virtual unsigned getLength() const = 0;
  virtual double get(unsigned channel, unsigned position) const = 0;
  virtual void set(unsigned channel, unsigned position, const double& value) = 0;
  virtual void setLength(unsigned length) = 0;
  // A short text naming the clip, for diagnostics.
  virtual std::string toString() const = 0;
};

}  // namespace spl
