#pragma once

#include <cstdint>

#include "spl/clip/Clip.h"

namespace spl {

// Takes the frames of a stream in clips of any length.
class StreamSink {
 public:
  virtual ~StreamSink() = default;
  // Consumes every frame of the clip.
  virtual void write(const Clip& clip) = 0;
  // Reserved queries of the interface; no sink of the library overrides them.
  virtual bool isSinkReady() const { return true; }
  virtual void setSinkOption(std::int32_t) {}
};

}  // namespace spl
