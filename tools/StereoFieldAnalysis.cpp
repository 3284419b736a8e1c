#include "tools/StereoFieldAnalysis.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "spl/block/HanningWindow.h"
#include "tools/AudioFileReader.h"

namespace brisendel {

namespace {

// Limited while still a double: a value far beyond full scale has no int.
int cell(double value) {
  const double index = std::floor((value + 1.0) * 0.5 * StereoFieldAnalysis::GRID);
  if (!(index > 0.0)) return 0;
  return static_cast<int>(std::min(index, double(StereoFieldAnalysis::GRID - 1)));
}

}  // namespace

StereoFieldAnalysis::StereoFieldAnalysis(int sampleRate)
    : _sampleRate(sampleRate), _clip(2, 0), _goniometer(std::size_t(GRID) * GRID, 0) {
  _length = 2;
  while (_length < static_cast<unsigned>(std::max(sampleRate, 4)) / 2 &&
         _length < spl::DefaultClip::MAX_LENGTH) {
    _length *= 2;
  }
  _left.assign(_length, 0.0);
  _right.assign(_length, 0.0);
  _leftPower.assign(_length / 2, 0.0);
  _rightPower.assign(_length / 2, 0.0);
  _crossPower.assign(_length / 2, 0.0);
}

StereoFieldAnalysis StereoFieldAnalysis::analyzeFile(const std::string& path) {
  AudioFileReader reader(path);
  StereoFieldAnalysis analysis(reader.getSampleRate());
  constexpr unsigned BLOCK = 65536;
  std::vector<double> left(BLOCK);
  std::vector<double> right(BLOCK);
  for (std::uint64_t done = 0; done < reader.getNumFrames();) {
    const unsigned n =
        static_cast<unsigned>(std::min<std::uint64_t>(BLOCK, reader.getNumFrames() - done));
    reader.read(left.data(), right.data(), n);
    analysis.add(left.data(), right.data(), n);
    done += n;
  }
  analysis.finish();
  return analysis;
}

void StereoFieldAnalysis::add(const double* left, const double* right, unsigned frames) {
  for (unsigned i = 0; i < frames; ++i) {
    // A NaN or infinity would spread over every bin of its window and every band;
    // it counts as silence in the spectra and leaves its frame out of the goniometer.
    const bool leftFinite = std::isfinite(left[i]);
    const bool rightFinite = std::isfinite(right[i]);
    _nonFinite += unsigned(!leftFinite) + unsigned(!rightFinite);
    if (leftFinite && rightFinite) {
      const double mid = 0.5 * (left[i] + right[i]);
      const double side = 0.5 * (left[i] - right[i]);
      _peak = std::max({_peak, std::fabs(mid), std::fabs(side)});
      ++_goniometer[std::size_t(cell(mid)) * GRID + std::size_t(cell(side))];
    }
    _left[_filled] = leftFinite ? left[i] : 0.0;
    _right[_filled] = rightFinite ? right[i] : 0.0;
    _pending = true;
    if (++_filled == _length) {
      transformWindow();
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
  spl::DefaultClip& clip = _clip;
  clip.setLength(_length);  // zeros
  std::copy(_left.begin(), _left.begin() + _filled, clip.channelData(0));
  std::copy(_right.begin(), _right.begin() + _filled, clip.channelData(1));
  spl::HanningWindow window;
  window.process(clip);
  _transform.process(clip);
  const double* l = clip.channelData(0);
  const double* r = clip.channelData(1);
  // Packed spectrum: bin k (0 < k < n/2) is (a[2k], a[2k+1]).
  for (unsigned k = 1; k < _length / 2; ++k) {
    const double lr = l[2 * k], li = l[2 * k + 1];
    const double rr = r[2 * k], ri = r[2 * k + 1];
    _leftPower[k] += lr * lr + li * li;
    _rightPower[k] += rr * rr + ri * ri;
    _crossPower[k] += lr * rr + li * ri;
  }
}

void StereoFieldAnalysis::finish() {
  if (_pending) {
    // The file's last frames: the window's rest is silence.
    transformWindow();
    _pending = false;
  }
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double binWidth = static_cast<double>(_sampleRate) / _length;
  _bands.clear();
  for (int b = 0; b < NUM_BANDS; ++b) {
    Band band;
    band.centre = 1000.0 * std::pow(2.0, (b - 17) / 3.0);
    band.low = band.centre * std::pow(2.0, -1.0 / 6.0);
    band.high = band.centre * std::pow(2.0, 1.0 / 6.0);
    double leftSum = 0.0, rightSum = 0.0, crossSum = 0.0;
    for (unsigned k = 1; k < _length / 2; ++k) {
      const double frequency = k * binWidth;
      if (frequency < band.low || frequency >= band.high) continue;
      leftSum += _leftPower[k];
      rightSum += _rightPower[k];
      crossSum += _crossPower[k];
    }
    // Mid (L+R)/2 and side (L-R)/2 energies from the same sums: for identical
    // channels the side sum is exactly zero.
    const double midEnergy = 0.25 * (leftSum + rightSum + 2.0 * crossSum);
    const double sideEnergy = 0.25 * (leftSum + rightSum - 2.0 * crossSum);
    const bool empty = !(midEnergy + sideEnergy > 0.0);
    if (empty) {
      band.sideToMidDb = nan;
    } else if (midEnergy <= 0.0) {
      band.sideToMidDb = std::numeric_limits<double>::infinity();
    } else if (sideEnergy <= 0.0) {
      band.sideToMidDb = -std::numeric_limits<double>::infinity();
    } else {
      band.sideToMidDb = 10.0 * std::log10(sideEnergy / midEnergy);
    }
    const double norm = std::sqrt(leftSum * rightSum);
    band.correlation = norm > 0.0 ? std::clamp(crossSum / norm, -1.0, 1.0) : nan;
    _bands.push_back(band);
  }
}

}  // namespace brisendel
