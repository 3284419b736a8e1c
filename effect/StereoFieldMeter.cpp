#include "effect/StereoFieldMeter.h"

#include <algorithm>
#include <cmath>

#include "spl/block/HanningWindow.h"
#include "spl/block/RealDiscreteFourierTransform.h"
#include "spl/clip/DefaultClip.h"

namespace {

using Sums = StereoFieldReading::Sums;

// A NaN or infinity counts as silence everywhere the meter looks, as in its
// windows: one such sample would otherwise leave a whole reading without a
// value the view can show.
double finiteOrZero(double sample) { return std::isfinite(sample) ? sample : 0.0; }

void addSamples(Sums& sums, const double* left, const double* right, unsigned frames) {
  double l2 = 0.0, r2 = 0.0, lr = 0.0;
  for (unsigned i = 0; i < frames; ++i) {
    const double l = finiteOrZero(left[i]);
    const double r = finiteOrZero(right[i]);
    l2 += l * l;
    r2 += r * r;
    lr += l * r;
  }
  sums.left += l2;
  sums.right += r2;
  sums.cross += lr;
}

}  // namespace

namespace {

// A rate no host runs at (zero, negative, not a number, absurdly high) is
// measured as 48 kHz rather than refused: the effect runs the same at any rate.
double usableRate(double rate) {
  return std::isfinite(rate) && rate >= 1.0 && rate <= 1e7 ? std::round(rate) : 48000.0;
}

unsigned windowLength(double rate) {
  unsigned length = 1024;
  while (length < StereoFieldMeter::SPECTRUM_SECONDS * rate && length < 65536) length *= 2;
  return length;
}

}  // namespace

StereoFieldMeter::StereoFieldMeter(double sampleRate)
    : _sampleRate(usableRate(sampleRate)),
      _length(windowLength(_sampleRate)),
      _bands(static_cast<int>(_sampleRate), _length),
      _transform(std::make_unique<spl::RealDiscreteFourierTransform>(1)) {
  // The window's own factors, as running it over ones gives them.
  _clip = std::make_unique<spl::DefaultClip>(2, _length);
  std::fill(_clip->channelData(0), _clip->channelData(0) + _length, 1.0);
  spl::HanningWindow().process(*_clip);
  _hann.assign(_clip->channelData(0), _clip->channelData(0) + _length);
  // The first transform at this length builds its tables.
  _transform->process(*_clip);

  for (Window* window : {&_input, &_output}) {
    window->left.assign(_length, 0.0);
    window->right.assign(_length, 0.0);
  }
  reset();
}

StereoFieldMeter::~StereoFieldMeter() = default;

void StereoFieldMeter::addInput(const double* left, const double* right, unsigned frames) {
  addSamples(_reading.input, left, right, frames);
  fill(_input, left, right, frames, _reading.inputBands.data());
}

void StereoFieldMeter::addOutput(const double* left, const double* right, unsigned frames) {
  addSamples(_reading.output, left, right, frames);
  fill(_output, left, right, frames, _reading.outputBands.data());
  // One point every _pointStride frames, counted across calls.
  unsigned i = _untilPoint - 1;
  for (; i < frames; i += _pointStride) {
    if (_reading.numPoints >= unsigned(StereoFieldReading::MAX_POINTS)) continue;
    const std::size_t p = 2 * std::size_t(_reading.numPoints++);
    const double l = finiteOrZero(left[i]);
    const double r = finiteOrZero(right[i]);
    _reading.points[p] = static_cast<float>(0.5 * (l - r));
    _reading.points[p + 1] = static_cast<float>(0.5 * (l + r));
  }
  _untilPoint = i - frames + 1;
  _reading.frames += frames;
}

void StereoFieldMeter::fill(Window& window, const double* left, const double* right,
                            unsigned frames, Sums* bands) {
  while (frames > 0) {
    const unsigned n = std::min(frames, _length - window.filled);
    std::copy(left, left + n, window.left.begin() + window.filled);
    std::copy(right, right + n, window.right.begin() + window.filled);
    window.filled += n;
    left += n;
    right += n;
    frames -= n;
    if (window.filled == _length) {
      transform(window, bands);
      window.filled = 0;
    }
  }
}

void StereoFieldMeter::transform(Window& window, Sums* bands) {
  double* l = _clip->channelData(0);
  double* r = _clip->channelData(1);
  // A NaN or infinity would spread over every bin of its window: it counts as silence.
  for (unsigned i = 0; i < _length; ++i) {
    l[i] = std::isfinite(window.left[i]) ? window.left[i] * _hann[i] : 0.0;
    r[i] = std::isfinite(window.right[i]) ? window.right[i] * _hann[i] : 0.0;
  }
  _transform->process(*_clip);
  // Packed spectrum: bin k (0 < k < length / 2) is (a[2k], a[2k+1]).
  for (int b = 0; b < StereoFieldReading::NUM_BANDS; ++b) {
    Sums sums;
    for (unsigned k = _bands.firstBin(b); k < _bands.endBin(b); ++k) {
      const double lr = l[2 * k], li = l[2 * k + 1];
      const double rr = r[2 * k], ri = r[2 * k + 1];
      sums.left += lr * lr + li * li;
      sums.right += rr * rr + ri * ri;
      sums.cross += lr * rr + li * ri;
    }
    bands[b] = sums;
  }
  ++(&window == &_input ? _reading.inputWindows : _reading.outputWindows);
}

void StereoFieldMeter::setInterval(unsigned frames) {
  _pointStride = std::max(1u, frames / unsigned(StereoFieldReading::MAX_POINTS));
  _untilPoint = std::min(_untilPoint, _pointStride);
}

void StereoFieldMeter::takeReading(StereoFieldReading& reading) {
  reading = _reading;
  // The bands stay: each reading carries the latest window's.
  _reading.frames = 0;
  _reading.inputWindows = 0;
  _reading.outputWindows = 0;
  _reading.input = Sums();
  _reading.output = Sums();
  _reading.numPoints = 0;
}

void StereoFieldMeter::reset() {
  _reading = StereoFieldReading();
  _reading.sampleRate = _sampleRate;
  _input.filled = 0;
  // Half a window behind: the two signals' transforms fall into different calls.
  _output.filled = _length / 2;
  std::fill(_output.left.begin(), _output.left.end(), 0.0);
  std::fill(_output.right.begin(), _output.right.end(), 0.0);
  _untilPoint = 1;
}
