#pragma once

#include <array>
#include <cstdint>

#include "analysis/StereoSums.h"
#include "analysis/ThirdOctaveBands.h"

// What the effect measured of its input and output: the energy sums per
// third-octave band of the latest spectrum of each, and over an interval the
// sums over the whole band and the output's goniometer points. Sums, not
// ratios, so that a view can add up and smooth several readings before it
// turns them into widths and correlations.
struct StereoFieldReading {
  // The third-octave bands of the tool's analysis, about 20 Hz to 20 kHz.
  static constexpr int NUM_BANDS = brisendel::ThirdOctaveBands::NUM_BANDS;
  // Goniometer points per reading at most.
  static constexpr int MAX_POINTS = 256;

  // The sums of one signal: left power, right power and the real part of left
  // times the conjugate of right (in the spectra), or left², right² and
  // left·right (over the samples).
  using Sums = brisendel::StereoSums;

  double sampleRate = 0.0;
  // Frames the reading covers.
  std::uint32_t frames = 0;
  // Spectra that completed during the interval, of the input and of the
  // output: when 0, the band sums are those of an earlier reading again.
  std::uint32_t inputWindows = 0;
  std::uint32_t outputWindows = 0;
  // Per band, the sums over the bins of the latest window's spectrum.
  std::array<Sums, NUM_BANDS> inputBands{};
  std::array<Sums, NUM_BANDS> outputBands{};
  // Over the interval's samples.
  Sums input{};
  Sums output{};
  // The output's (side, mid) points, side = (L - R) / 2, mid = (L + R) / 2,
  // evenly spread over the interval: points[2 i] side, points[2 i + 1] mid.
  std::uint32_t numPoints = 0;
  std::array<float, 2 * MAX_POINTS> points{};
};
