#pragma once

#include <array>

namespace brisendel {

// The 31 third-octave bands, centred on 1 kHz * 2^(k/3) for k = -17..13 (about 20 Hz
// to 20 kHz), and which bins of a real DFT of a given length at a given sample rate
// fall into each: bin k (0 < k < length/2) at k * sampleRate / length Hz belongs to the
// band with low <= frequency < high. A band above the Nyquist frequency, or narrower
// than a bin, holds no bin.
class ThirdOctaveBands {
 public:
  static constexpr int NUM_BANDS = 31;

  static double centre(int band);
  static double low(int band);   // centre * 2^(-1/6)
  static double high(int band);  // centre * 2^(1/6)

  ThirdOctaveBands(int sampleRate, unsigned transformLength);

  // The band's bins are firstBin(band) .. endBin(band) - 1; equal when it holds none.
  unsigned firstBin(int band) const { return _first[std::size_t(band)]; }
  unsigned endBin(int band) const { return _end[std::size_t(band)]; }

 private:
  std::array<unsigned, NUM_BANDS> _first{};
  std::array<unsigned, NUM_BANDS> _end{};
};

}  // namespace brisendel
