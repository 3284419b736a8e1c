#pragma once

#include "spl/stream/StreamProcessor.h"

namespace spl {

// A first-in, first-out store of frames: written at the back, read from the
// front, and able to take frames back at the front (unread).
class Buffer : public StreamProcessor {
 public:
  // Puts the clip's frames back at the front, so that they are read next, in their order.
  virtual void unread(const Clip& clip) = 0;
  // Number of whole frames held.
  virtual unsigned getAvailable() const = 0;
  // Drops every held frame; returns the new frame count, 0.
  virtual unsigned clear() = 0;
  virtual unsigned getNumChannels() const = 0;
  virtual void setNumChannels(unsigned numChannels) = 0;
};

}  // namespace spl
