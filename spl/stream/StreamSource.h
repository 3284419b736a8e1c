#pragma once

#include <cstdint>

#include "spl/clip/Clip.h"

namespace spl {

// Gives the frames of a stream in clips of any length.
class StreamSource {
 public:
  virtual ~StreamSource() = default;
  // Fills the clip with up to `length` frames (the clip takes the length read).
  virtual void read(Clip& clip, unsigned length) = 0;
  // Reserved queries of the interface; no source of the library overrides them.
  virtual bool isSourceReady() const { return true; }
  virtual void setSourceOption(std::int32_t) {}
  virtual void setSourceOption2(std::int32_t) {}
};

}  // namespace spl
