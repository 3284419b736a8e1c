#pragma once

#include <cstdint>

namespace brisendel {

// Measures what a stereo imager changes over a whole stream: the RMS of the mid signal
// (L + R) / 2 and of the side signal (L − R) / 2, in dB relative to full scale (a
// constant 1.0 is 0 dBFS), and the correlation of the left and right channels (1 for
// identical channels, 0 for unrelated ones, −1 for opposite ones). Allocates nothing;
// add may run on an audio thread.
class StereoMeter {
 public:
  // A NaN or infinite sample counts as silence (its frame still counts), as in
  // StereoFieldAnalysis: one such sample would otherwise spoil every later reading.
  void add(const double* left, const double* right, unsigned frames);
  void add(const float* left, const float* right, unsigned frames);
  void reset() { *this = StereoMeter(); }

  double getMidRmsDb() const;
  double getSideRmsDb() const;
  // 0 when either channel is silent.
  double getCorrelation() const;
  std::uint64_t getNumFrames() const { return _frames; }

 private:
  template <typename Sample>
  void addFrames(const Sample* left, const Sample* right, unsigned frames);

  double _midSquares = 0.0;
  double _sideSquares = 0.0;
  double _leftSquares = 0.0;
  double _rightSquares = 0.0;
  double _products = 0.0;
  std::uint64_t _frames = 0;
};

}  // namespace brisendel
