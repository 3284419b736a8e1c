#include "analysis/StereoFieldAnalysis.h"

#include <algorithm>
#include <cmath>

namespace brisendel {

namespace {

// Limited while still a double: a value far beyond full scale has no int.
int cell(double value) {
  const double index = std::floor((value + 1.0) * 0.5 * StereoFieldAnalysis::GRID);
  if (!(index > 0.0)) return 0;
  return static_cast<int>(std::min(index, double(StereoFieldAnalysis::GRID - 1)));
}

}  // namespace

unsigned StereoFieldAnalysis::transformLengthFor(int sampleRate) {
  unsigned length = 2;
  while (length < static_cast<unsigned>(std::max(sampleRate, 4)) / 2 &&
         length < spl::DefaultClip::MAX_LENGTH) {
    length *= 2;
  }
  return length;
}

StereoFieldAnalysis::StereoFieldAnalysis(int sampleRate)
    : _sampleRate(sampleRate),
      _length(transformLengthFor(sampleRate)),
      _layout(sampleRate, _length),
      _window(_length),
      _left(_length, 0.0),
      _right(_length, 0.0),
      _clip(2, _length),
      _leftPower(_length / 2, 0.0),
      _rightPower(_length / 2, 0.0),
      _crossPower(_length / 2, 0.0),
      _goniometer(std::size_t(GRID) * GRID, 0) {
  // The periodic Hann window, as spl::HanningWindow computes it, once instead of on
  // every window.
  const double twoPi = 6.283185307179586;
  for (unsigned p = 0; p < _length; ++p) {
    _window[p] =
        0.5 - 0.5 * std::cos((static_cast<double>(p) / static_cast<double>(_length)) * twoPi);
  }
  // The transform's tables, so that no add allocates them.
  _transform.prepare(_length);
}

void StereoFieldAnalysis::reset() {
  std::fill(_left.begin(), _left.end(), 0.0);
  std::fill(_right.begin(), _right.end(), 0.0);
  _filled = 0;
  _pending = false;
  std::fill(_leftPower.begin(), _leftPower.end(), 0.0);
  std::fill(_rightPower.begin(), _rightPower.end(), 0.0);
  std::fill(_crossPower.begin(), _crossPower.end(), 0.0);
  std::fill(_goniometer.begin(), _goniometer.end(), 0u);
  _peak = 0.0;
  _frames = 0;
  _nonFinite = 0;
}

void StereoFieldAnalysis::add(const double* left, const double* right, unsigned frames) {
  addFrames(left, right, frames);
}

void StereoFieldAnalysis::add(const float* left, const float* right, unsigned frames) {
  addFrames(left, right, frames);
}

template <typename Sample>
void StereoFieldAnalysis::addFrames(const Sample* leftIn, const Sample* rightIn, unsigned frames) {
  for (unsigned i = 0; i < frames; ++i) {
    const double left = leftIn[i];
    const double right = rightIn[i];
    // A NaN or infinity would spread over every bin of its window and every band;
    // it counts as silence in the spectra and leaves its frame out of the goniometer.
    const bool leftFinite = std::isfinite(left);
    const bool rightFinite = std::isfinite(right);
    _nonFinite += unsigned(!leftFinite) + unsigned(!rightFinite);
    if (leftFinite && rightFinite) {
      const double mid = 0.5 * (left + right);
      const double side = 0.5 * (left - right);
      _peak = std::max({_peak, std::fabs(mid), std::fabs(side)});
      ++_goniometer[std::size_t(cell(mid)) * GRID + std::size_t(cell(side))];
    }
    _left[_filled] = leftFinite ? left : 0.0;
    _right[_filled] = rightFinite ? right : 0.0;
    _pending = true;
    if (++_filled == _length) {
      transformWindow();
      accumulateWindow();
      // Half-overlapping windows: the second half becomes the next window's first.
      const unsigned hop = _length / 2;
      std::copy(_left.begin() + hop, _left.end(), _left.begin());
      std::copy(_right.begin() + hop, _right.end(), _right.begin());
      _filled = hop;
      _pending = false;
    }
  }
  _frames += frames;
}

void StereoFieldAnalysis::transformWindow() {
  double* l = _clip.channelData(0);
  double* r = _clip.channelData(1);
  for (unsigned p = 0; p < _filled; ++p) {
    l[p] = _left[p] * _window[p];
    r[p] = _right[p] * _window[p];
  }
  std::fill(l + _filled, l + _length, 0.0);
  std::fill(r + _filled, r + _length, 0.0);
  _transform.process(_clip);
}

void StereoFieldAnalysis::accumulateWindow() {
  const double* l = _clip.channelData(0);
  const double* r = _clip.channelData(1);
  // Packed spectrum: bin k (0 < k < n/2) is (a[2k], a[2k+1]).
  for (unsigned k = 1; k < _length / 2; ++k) {
    const double lr = l[2 * k], li = l[2 * k + 1];
    const double rr = r[2 * k], ri = r[2 * k + 1];
    _leftPower[k] += lr * lr + li * li;
    _rightPower[k] += rr * rr + ri * ri;
    _crossPower[k] += lr * rr + li * ri;
  }
}

void StereoFieldAnalysis::computeBandSums(BandSums& out) {
  // The window being filled counts as the stream's last one: its powers are added to
  // each bin's sum here, bin by bin in the same order as accumulateWindow would, and
  // the sums themselves stay as they are.
  const bool partial = _pending;
  if (partial) transformWindow();
  const double* l = _clip.channelData(0);
  const double* r = _clip.channelData(1);
  for (int b = 0; b < NUM_BANDS; ++b) {
    StereoSums sums;
    for (unsigned k = _layout.firstBin(b); k < _layout.endBin(b); ++k) {
      double left = _leftPower[k];
      double right = _rightPower[k];
      double cross = _crossPower[k];
      if (partial) {
        const double lr = l[2 * k], li = l[2 * k + 1];
        const double rr = r[2 * k], ri = r[2 * k + 1];
        left += lr * lr + li * li;
        right += rr * rr + ri * ri;
        cross += lr * rr + li * ri;
      }
      sums.left += left;
      sums.right += right;
      sums.cross += cross;
    }
    out[std::size_t(b)] = sums;
  }
}

void StereoFieldAnalysis::computeBands(Bands& out) {
  BandSums sums;
  computeBandSums(sums);
  for (int b = 0; b < NUM_BANDS; ++b) {
    Band& band = out[std::size_t(b)];
    band.centre = ThirdOctaveBands::centre(b);
    band.low = ThirdOctaveBands::low(b);
    band.high = ThirdOctaveBands::high(b);
    band.sideToMidDb = sums[std::size_t(b)].sideToMidDb();
    band.correlation = sums[std::size_t(b)].correlation();
  }
}

}  // namespace brisendel
