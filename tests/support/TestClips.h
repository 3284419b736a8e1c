#pragma once

// Small test signals as owning clips.

#include "spl/clip/DefaultClip.h"

namespace spl_test {

// Every sample distinct: 100 * channel + position + 1.
inline spl::DefaultClip ramp(unsigned channels, unsigned length) {
  spl::DefaultClip clip(channels, length);
  for (unsigned p = 0; p < length; ++p)
    for (unsigned c = 0; c < channels; ++c) clip.set(c, p, 100.0 * c + p + 1);
  return clip;
}

// Every sample 1.0.
inline spl::DefaultClip ones(unsigned channels, unsigned length) {
  spl::DefaultClip clip(channels, length);
  for (unsigned p = 0; p < length; ++p)
    for (unsigned c = 0; c < channels; ++c) clip.set(c, p, 1.0);
  return clip;
}

// One channel counting up from `base`.
inline spl::DefaultClip count(unsigned length, double base) {
  spl::DefaultClip clip(1, length);
  for (unsigned p = 0; p < length; ++p) clip.set(0, p, base + p);
  return clip;
}

}  // namespace spl_test
