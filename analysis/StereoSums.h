#pragma once

namespace brisendel {

// What a band's width and correlation are made of: the left channel's power, the right
// channel's power and the real part of left times the conjugate of right, each summed
// over the band's bins (and windows). Sums of several blocks or sources add up, so a
// plug-in can send them and a view turn them into values the same way the analysis
// does. Mid (L+R)/2 and side (L-R)/2 energies follow from the same three sums.
struct StereoSums {
  double left = 0.0;
  double right = 0.0;
  double cross = 0.0;

  StereoSums& operator+=(const StereoSums& other) {
    left += other.left;
    right += other.right;
    cross += other.cross;
    return *this;
  }

  double midEnergy() const { return 0.25 * (left + right + 2.0 * cross); }
  double sideEnergy() const { return 0.25 * (left + right - 2.0 * cross); }
  // 10 log10(side energy / mid energy) in dB: -inf for identical channels (the side
  // sum is then exactly zero), +inf for opposite ones, NaN when the sums hold no energy.
  double sideToMidDb() const;
  // cross / sqrt(left * right), within -1..1: 1 identical, 0 unrelated, -1 opposite;
  // NaN when either channel is silent.
  double correlation() const;
};

}  // namespace brisendel
