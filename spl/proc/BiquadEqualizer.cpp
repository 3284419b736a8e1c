#include "spl/proc/BiquadEqualizer.h"

#include <cmath>

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/proc/BiquadEqualizer";
// The check lines are part of the error texts callers see, so they stay fixed.
constexpr unsigned kFrequencyLine = 14;
constexpr unsigned kQLine = 23;
constexpr unsigned kSampleRateLine = 32;
constexpr unsigned kDesignFrequencyLine = 43;
constexpr unsigned kDesignSampleRateLine = 44;
constexpr unsigned kDesignQLine = 45;
}  // namespace

BiquadEqualizer::BiquadEqualizer() : _filter(std::make_unique<BiquadFilter>()) { design(); }

// The comparisons are written as !(v > 0) so that NaN is refused as well.
void BiquadEqualizer::setFrequency(double frequency) {
  if (!(frequency > 0.0)) fail("assertion error", kSource, kFrequencyLine);
  _frequency = frequency;
  design();
}

void BiquadEqualizer::setGain(double gain) {
  _gain = gain;
  design();
}

void BiquadEqualizer::setQ(double q) {
  if (!(q > 0.0)) fail("assertion error", kSource, kQLine);
  _q = q;
  design();
}

void BiquadEqualizer::setType(unsigned type) {
  _type = type;
  design();
}

void BiquadEqualizer::setSampleRate(double sampleRate) {
  if (!(sampleRate > 0.0)) fail("assertion error", kSource, kSampleRateLine);
  _sampleRate = sampleRate;
  design();
}

void BiquadEqualizer::design() {
  if (!(_frequency > 0.0)) fail("assertion error", kSource, kDesignFrequencyLine);
  if (!(_sampleRate > 0.0)) fail("assertion error", kSource, kDesignSampleRateLine);
  if (!(_q > 0.0)) fail("assertion error", kSource, kDesignQLine);

  const double A = std::pow(10.0, _gain / 40.0);
  const double w0 = _frequency * 6.283185307179586 / _sampleRate;
  const double c = std::cos(w0);
  const double alpha = std::sin(w0) / (2.0 * _q);
  const double rootA2Alpha = 2.0 * std::sqrt(A) * alpha;

  double a0 = 1.0, a1 = 0.0, a2 = 0.0, b0 = 0.0, b1 = 0.0, b2 = 0.0;
  switch (_type) {
    case LOW_PASS:
      b0 = (1.0 - c) / 2.0;
      b1 = 1.0 - c;
      b2 = (1.0 - c) / 2.0;
      a0 = 1.0 + alpha;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha;
      break;
    case HIGH_PASS:
      b0 = (1.0 + c) / 2.0;
      b1 = -(1.0 + c);
      b2 = (1.0 + c) / 2.0;
      a0 = 1.0 + alpha;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha;
      break;
    case BAND_PASS:
      b0 = alpha;
      b1 = 0.0;
      b2 = -alpha;
      a0 = 1.0 + alpha;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha;
      break;
    case NOTCH:
      b0 = 1.0;
      b1 = -2.0 * c;
      b2 = 1.0;
      a0 = 1.0 + alpha;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha;
      break;
    case ALL_PASS:
      b0 = 1.0 - alpha;
      b1 = -2.0 * c;
      b2 = 1.0 + alpha;
      a0 = 1.0 + alpha;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha;
      break;
    case PEAKING:
      b0 = 1.0 + alpha * A;
      b1 = -2.0 * c;
      b2 = 1.0 - alpha * A;
      a0 = 1.0 + alpha / A;
      a1 = -2.0 * c;
      a2 = 1.0 - alpha / A;
      break;
    case HIGH_SHELF:
      b0 = A * ((A + 1.0) + (A - 1.0) * c + rootA2Alpha);
      b1 = -2.0 * A * ((A - 1.0) + (A + 1.0) * c);
      b2 = A * ((A + 1.0) + (A - 1.0) * c - rootA2Alpha);
      a0 = (A + 1.0) - (A - 1.0) * c + rootA2Alpha;
      a1 = 2.0 * ((A - 1.0) - (A + 1.0) * c);
      a2 = (A + 1.0) - (A - 1.0) * c - rootA2Alpha;
      break;
    case LOW_SHELF:
      b0 = A * ((A + 1.0) - (A - 1.0) * c + rootA2Alpha);
      b1 = 2.0 * A * ((A - 1.0) - (A + 1.0) * c);
      b2 = A * ((A + 1.0) - (A - 1.0) * c - rootA2Alpha);
      a0 = (A + 1.0) + (A - 1.0) * c + rootA2Alpha;
      a1 = -2.0 * ((A - 1.0) + (A + 1.0) * c);
      a2 = (A + 1.0) + (A - 1.0) * c - rootA2Alpha;
      break;
    default:
      // Unknown types are accepted and silence the section (all b at zero).
      break;
  }
  _filter->setCoefficient(BiquadFilter::Coefficient(a0, a1, a2, b0, b1, b2));
}

}  // namespace spl
