#pragma once

#include "spl/clip/Clip.h"

namespace spl {

// Silence of any size: stores only its sizes, reads 0.0 everywhere and
// discards writes. Used as initial silence and as zero padding.
class ZeroClip : public Clip {
 public:
  ZeroClip(unsigned numChannels, unsigned length) : _length(length), _numChannels(numChannels) {}

  void assign(const Clip&) override {}
  unsigned getNumChannels() const override { return _numChannels; }
  unsigned getLength() const override { return _length; }
  double get(unsigned, unsigned) const override { return 0.0; }
  void set(unsigned, unsigned, const double&) override {}
  void setLength(unsigned length) override { _length = length; }
  std::string toString() const override { return "ZeroClip"; }

 private:
  unsigned _length;
  unsigned _numChannels;
};

}  // namespace spl
