#pragma once

#include "spl/clip/Clip.h"

namespace spl {

// Base of every view: each operation fails with "unsupported" until a view
// overrides what it can honour.
class ClipAdapter : public Clip {
 public:
  void assign(const Clip& source) override;
  unsigned getNumChannels() const override;
  unsigned getLength() const override;
  double get(unsigned channel, unsigned position) const override;
  void set(unsigned channel, unsigned position, const double& value) override;
  void setLength(unsigned length) override;
  std::string toString() const override;
};

}  // namespace spl
