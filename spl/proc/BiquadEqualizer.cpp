#include "spl/proc/BiquadEqualizer.h"

#include <cmath>

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/proc/BiquadEqualizer";
constexpr unsigned kLineFrequency = 14;
constexpr unsigned kLineQ = 23;
constexpr unsigned kLineSampleRate = 32;
constexpr unsigned kLineDesignFrequency = 43;
constexpr unsigned kLineDesignSampleRate = 44;
constexpr unsigned kLineDesignQ = 45;
}  // namespace

BiquadEqualizer::BiquadEqualizer() : _filter(std::make_unique<BiquadFilter>()) { design(); }

// The comparisons are written as !(v > 0) so that NaN is refused as well.
void BiquadEqualizer::setFrequency(double frequency) {
  SPL_REQUIRE_AT(frequency > 0.0, "assertion error", kSource, kLineFrequency);
  _frequency = frequency;
  design();
}

void BiquadEqualizer::setGain(double gain) {
  _gain = gain;
  design();
}

void BiquadEqualizer::setQ(double q) {
  SPL_REQUIRE_AT(q > 0.0, "assertion error", kSource, kLineQ);
  _q = q;
  design();
}

void BiquadEqualizer::setType(unsigned type) {
  _type = type;
  design();
}

void BiquadEqualizer::setSampleRate(double sampleRate) {
  SPL_REQUIRE_AT(sampleRate > 0.0, "assertion error", kSource, kLineSampleRate);
  _sampleRate = sampleRate;
  design();
}

void BiquadEqualizer::design() {
  SPL_REQUIRE_AT(_frequency > 0.0, "assertion error", kSource, kLineDesignFrequency);
  SPL_REQUIRE_AT(_sampleRate > 0.0, "assertion error", kSource, kLineDesignSampleRate);
  SPL_REQUIRE_AT(_q > 0.0, "assertion error", kSource, kLineDesignQ);

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
