#pragma once

#include <string>

namespace spl {
class Clip;
}

namespace brisendel {

// Measures what a stereo imager changes: the RMS of the mid signal (L + R) / 2 and of
// the side signal (L − R) / 2, in dB relative to full scale (a constant 1.0 is 0 dBFS),
// and the correlation of the left and right channels (1 for identical channels, 0 for
// unrelated ones, −1 for opposite ones).
class StereoMeter {
 public:
  // Channels 0 and 1 of the clip are left and right.
  void add(const spl::Clip& clip);
  // Reads a whole stereo audio file; throws ToolError.
  static StereoMeter measureFile(const std::string& path);

  double getMidRmsDb() const;
  double getSideRmsDb() const;
  // 0 when either channel is silent.
  double getCorrelation() const;

 private:
  double _midSquares = 0.0;
  double _sideSquares = 0.0;
  double _leftSquares = 0.0;
  double _rightSquares = 0.0;
  double _products = 0.0;
  double _frames = 0.0;
};

}  // namespace brisendel
