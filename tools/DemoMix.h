#pragma once

#include <string>

namespace brisendel {

// The demo's test signal: ten seconds of stereo at 44100 Hz with three parts whose
// stereo placement differs, so that an imager's effect on each can be heard and
// measured: a chord progression panned to the center (identical in both channels),
// a wide ambience of decorrelated noise (independent in each channel), and a plucked
// bell hard left (left channel only). Always the same samples (a fixed noise seed).
class DemoMix {
 public:
  static constexpr unsigned SAMPLE_RATE = 44100;
  static constexpr unsigned SECONDS = 10;

  // Writes the mix as a 32-bit float stereo WAVE file (safely: see SafeOutputFile).
  static void write(const std::string& path);
};

}  // namespace brisendel
