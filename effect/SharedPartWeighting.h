#pragma once

#include <cmath>

// Weighs one pair of spectral values in place: the left and the right
// channel's cosine (or sine) part of the same bin. The value of smaller
// magnitude is what both channels share (the center); on a tie, or when the
// values cannot be compared, the right channel's is taken. What each channel
// has beyond it is its own (the side).
//
// Always inlined, so that it is compiled with the instruction set of the
// function it stands in (the imaging core compiles its passes once for any
// processor and once for AVX2 and FMA): each caller computes exactly what the
// same expressions written out in its place compute, fused multiply-adds
// included.
[[gnu::always_inline]] inline void weighSharedPart(double& left, double& right, double center,
                                                   double side) {
  const double l = left, r = right;
  const double shared = std::fabs(r) > std::fabs(l) ? l : r;
  left = shared * center + (l - shared) * side;
  right = shared * center + (r - shared) * side;
}
