#pragma once

// What Brisendel's output must be, for the fuzz targets that feed it stereo
// blocks: the signal each block carries (made from the fuzzer's bytes), the
// input history since the effect last forgot its own, and the check of every
// output frame against them.
//
// - Once 8192 frames of bounded finite input have gone in, every window that
//   touches the next output frame lies within them: that frame must be finite.
// - Once those frames also went through with Center and Side at 100 % and one
//   Window, the output is the input delayed by the latency, up to the
//   transforms' rounding (relative to the loudest sample of the stretch) and,
//   in single precision, the final rounding to float.
// A fresh history is silence, which every setting turns into silence, so both
// hold from the first frame after a reset.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/FuzzBytes.h"

#define FUZZ_CHECK(condition)           \
  do {                                  \
    if (!(condition)) __builtin_trap(); \
  } while (0)

// On the loops that make and check samples: coverage there guides nothing and
// costs as much as the processing it checks (kept out of line, where the
// attribute holds).
#define FUZZ_SAMPLE_LOOP __attribute__((no_sanitize("coverage"), noinline))

class DelayedStereo {
 public:
  static constexpr unsigned MAX_FRAMES = 65536;
  static constexpr std::uint64_t LATENCY = 4096;
  // Input beyond this magnitude may leave the float range at the widest settings.
  static constexpr double BOUNDED = 1e30;

  DelayedStereo() {
    for (auto& channel : _source) channel.assign(MAX_FRAMES, 0.0);
    for (auto& channel : _history) channel.assign(kRing, 0.0);
    reset(0);
  }

  // The effect forgot its history; `window` is the Window step in use.
  FUZZ_SAMPLE_LOOP void reset(unsigned window) {
    const std::size_t written = _time < kRing ? static_cast<std::size_t>(_time) : kRing;
    for (auto& channel : _history) std::fill(channel.begin(), channel.begin() + written, 0.0);
    _time = 0;
    _boundedRun = kSettled;
    _neutralRun = kSettled;
    _runPeak = 0.0;
    _window = window;
    _loudest = 0.0;
  }

  // The next block's signal, `frames` frames, as the bytes describe it; rounded
  // to float unless doublePrecision.
  FUZZ_SAMPLE_LOOP void make(FuzzBytes& in, unsigned frames, bool doublePrecision) {
    static constexpr double amplitudes[] = {1.0, 0.5, 1e-3, 1e-20, 1e10, 1e29, 1e35, 3e38};
    const unsigned kind = in.pick(5);
    const double amplitude = amplitudes[in.pick(8)];
    std::uint32_t state = in.u32() | 1u;
    const double twoPi = 6.283185307179586;
    const double frequency = (1 + in.u8()) / 1024.0;
    for (unsigned c = 0; c < 2; ++c) {
      double* x = _source[c].data();
      switch (kind) {
        case 0:
          std::fill(x, x + frames, 0.0);
          break;
        case 1:
          for (unsigned i = 0; i < frames; ++i) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            x[i] = amplitude * (static_cast<double>(state) / 2147483648.0 - 1.0);
          }
          break;
        case 2:
          for (unsigned i = 0; i < frames; ++i)
            x[i] = amplitude * std::sin(twoPi * frequency * static_cast<double>(_time + i) + c);
          break;
        case 3:
          std::fill(x, x + frames, c == 0 ? amplitude : -amplitude);
          break;
        case 4:
          std::fill(x, x + frames, 0.0);
          if (frames > 0) x[state % frames] = amplitude;
          break;
      }
    }
    // A few awkward samples anywhere.
    const unsigned awkward = in.pick(4) == 0 ? in.pick(5) : 0;
    for (unsigned k = 0; k < awkward && frames > 0; ++k) {
      const unsigned channel = in.pick(2);
      const unsigned at = in.u32() % frames;
      _source[channel][at] = doublePrecision ? in.f64() : in.f32();
    }
    if (!doublePrecision) {
      for (unsigned c = 0; c < 2; ++c)
        for (unsigned i = 0; i < frames; ++i)
          _source[c][i] = static_cast<double>(static_cast<float>(_source[c][i]));
    }
  }

  const std::vector<double>& source(unsigned channel) const { return _source[channel]; }

  // Writes the signal into the host's channels.
  template <typename Sample>
  FUZZ_SAMPLE_LOOP void copyTo(Sample* const* channels, unsigned frames) const {
    for (unsigned c = 0; c < 2; ++c)
      for (unsigned i = 0; i < frames; ++i) channels[c][i] = static_cast<Sample>(_source[c][i]);
  }

  // Checks the output of a block of the signal processed with these settings
  // (`neutral`: Center and Side at 100 %), and records its input.
  template <typename Sample>
  FUZZ_SAMPLE_LOOP void check(const Sample* const* outputs, unsigned frames, bool neutral,
                              unsigned window) {
    const bool single = sizeof(Sample) == sizeof(float);
    if (!neutral || window != _window) {
      _neutralRun = 0;
      _runPeak = 0.0;
    }
    _window = window;
    for (unsigned i = 0; i < frames; ++i) {
      const std::uint64_t t = _time + i;
      bool bounded = true;
      double peak = 0.0;
      for (unsigned c = 0; c < 2; ++c) {
        const double x = _source[c][i];
        bounded = bounded && std::fabs(x) <= BOUNDED;
        peak = std::fmax(peak, std::fabs(x));
        if (std::isfinite(x)) _loudest = std::fmax(_loudest, std::fabs(x));
      }
      if (bounded) {
        ++_boundedRun;
        if (neutral) ++_neutralRun;
      } else {
        _boundedRun = 0;
        _neutralRun = 0;
      }
      if (neutral && bounded) _runPeak = std::fmax(_runPeak, peak);
      for (unsigned c = 0; c < 2; ++c) {
        const double y = static_cast<double>(outputs[c][i]);
        if (_boundedRun > kSettled) FUZZ_CHECK(std::isfinite(y));
        if (_neutralRun > kSettled) {
          const double expected = t >= LATENCY ? _history[c][(t - LATENCY) % kRing] : 0.0;
          // Transform rounding scales with the loudest sample around; the
          // float path rounds once more at the end.
          double tolerance = 1e-9 * _runPeak + 1e-30;
          if (single) tolerance += 1.2e-7 * std::fabs(expected);
          FUZZ_CHECK(std::fabs(y - expected) <= tolerance);
        }
        _history[c][t % kRing] = _source[c][i];
      }
    }
    _time += frames;
  }

  // Whether every finite input since the reset was within `limit`.
  bool quietSinceReset(double limit) const { return _loudest <= limit; }

 private:
  static constexpr std::uint64_t kSettled = 2 * LATENCY;
  // The history kept to compare the output with: a power of two above LATENCY.
  static constexpr std::uint64_t kRing = 16384;

  std::vector<double> _source[2];
  std::vector<double> _history[2];
  // Frames since the reset; frames since the last unbounded or non-finite
  // input, and since the settings last left Center 100, Side 100 and one
  // Window; the loudest input within the latter.
  std::uint64_t _time = 0;
  std::uint64_t _boundedRun = 0;
  std::uint64_t _neutralRun = 0;
  double _runPeak = 0.0;
  unsigned _window = 0;
  // The loudest finite input since the reset.
  double _loudest = 0.0;
};
