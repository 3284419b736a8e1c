#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace brisendel {

// A one-line progress display on standard error: a bar, the percentage done and the
// speed as a multiple of real time. Redrawn at most ten times a second; when disabled
// every call does nothing, so the caller need not test.
class ProgressBar {
 public:
  // `totalFrames` of audio at `sampleRate` Hz; `label` is shown in front of the bar.
  ProgressBar(std::uint64_t totalFrames, double sampleRate, bool enabled, const char* label);
  // Whether a bar is worth showing: standard error is a terminal and the audio lasts
  // longer than a few seconds.
  static bool wanted(std::uint64_t totalFrames, double sampleRate);

  void update(std::uint64_t doneFrames);
  // Clears the bar's line.
  void finish();

 private:
  void draw(std::uint64_t doneFrames);

  std::uint64_t _totalFrames;
  double _sampleRate;
  bool _enabled;
  const char* _label;
  std::chrono::steady_clock::time_point _started;
  std::chrono::steady_clock::time_point _lastDrawn;
};

}  // namespace brisendel
