#include "analysis/StereoMeter.h"

#include <cmath>
#include <limits>

namespace brisendel {

namespace {
double rmsDb(double squares, std::uint64_t frames) {
  if (frames == 0 || squares <= 0.0) return -std::numeric_limits<double>::infinity();
  return 10.0 * std::log10(squares / static_cast<double>(frames));
}
}  // namespace

void StereoMeter::add(const double* left, const double* right, unsigned frames) {
  addFrames(left, right, frames);
}

void StereoMeter::add(const float* left, const float* right, unsigned frames) {
  addFrames(left, right, frames);
}

template <typename Sample>
void StereoMeter::addFrames(const Sample* leftIn, const Sample* rightIn, unsigned frames) {
  for (unsigned i = 0; i < frames; ++i) {
    const double left = std::isfinite(leftIn[i]) ? double(leftIn[i]) : 0.0;
    const double right = std::isfinite(rightIn[i]) ? double(rightIn[i]) : 0.0;
    const double mid = 0.5 * (left + right);
    const double side = 0.5 * (left - right);
    _midSquares += mid * mid;
    _sideSquares += side * side;
    _leftSquares += left * left;
    _rightSquares += right * right;
    _products += left * right;
  }
  _frames += frames;
}

double StereoMeter::getMidRmsDb() const { return rmsDb(_midSquares, _frames); }
double StereoMeter::getSideRmsDb() const { return rmsDb(_sideSquares, _frames); }

double StereoMeter::getCorrelation() const {
  const double energy = std::sqrt(_leftSquares * _rightSquares);
  return energy > 0.0 ? _products / energy : 0.0;
}

}  // namespace brisendel
