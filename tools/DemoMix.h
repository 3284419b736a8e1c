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

  // Signals for what the mix cannot show, written the same way:
  // Close notes: four pairs of sustained notes 6 to 48 Hz apart (55 Hz to 3.5 kHz), the
  // lower of each pair in the center, the upper one hard left: close enough to share
  // the frequency bins of a 4096-frame window, so that a center removal shows how
  // well the split tells them apart.
  static constexpr unsigned CLOSE_NOTES_SECONDS = 6;
  static void writeCloseNotes(const std::string& path);
  // Drum hits: noise bursts that start at full level out of silence and decay within
  // 0.4 s, half shared by both channels and half independent in each, every
  // DRUM_HIT_INTERVAL seconds from DRUM_HIT_FIRST on, so that whatever an imager
  // puts before a hit (pre-echo) or after it stands alone.
  static constexpr unsigned DRUM_HITS_SECONDS = 4;
  static constexpr double DRUM_HIT_FIRST = 0.5;
  static constexpr double DRUM_HIT_INTERVAL = 1.0;
  static void writeDrumHits(const std::string& path);
};

}  // namespace brisendel
