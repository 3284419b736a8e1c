#include "spl/block/BandGainer.h"

#include <cmath>

#include "spl/util/Failure.h"
#include "spl/util/Util.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/block/BandGainer";
// The band-count preconditions stop the process, as the standard assertion would.
constexpr unsigned kLineBandCount = 11;
constexpr unsigned kLineGainCount = 18;
constexpr unsigned kLineGainsSet = 24;
constexpr unsigned kLineBandsPerDecade = 58;
}  // namespace

BandGainer::BandGainer(unsigned sampleRate, unsigned numBand)
    : _forward(1), _backward(-1), _sampleRate(sampleRate), _numBand(numBand), _bank(sampleRate) {
  SPL_ASSERT_AT(_numBand == 31 || _numBand == 61 || _numBand == 121, kSource, kLineBandCount);
}

void BandGainer::setGains(const std::vector<double>& gains) {
  SPL_ASSERT_AT(gains.size() == 31 || gains.size() == 61 || gains.size() == 121, kSource,
                kLineGainCount);
  _gains = gains;
  _dirty = true;
}

void BandGainer::process(Clip& clip) {
  SPL_ASSERT_AT(_gains.size() == 31 || _gains.size() == 61 || _gains.size() == 121, kSource,
                kLineGainsSet);
  // The forward transform checks the length before anything here is resized.
  _forward.process(clip);
  const unsigned length = clip.getLength();
  _bank.setNumBins(length);
  if (_curve.size() != length || _dirty) {
    _curve.assign(length, 0.0);
    double bandGain[SigmoidFilterBank::NUM_BANDS];
    for (unsigned i = 0; i < SigmoidFilterBank::NUM_BANDS; ++i) {
      bandGain[i] = decibelToLinear(_gains[i]);
    }
    for (unsigned j = 1; j < length; ++j) {
      double sum = 0.0;
      for (unsigned i = 0; i < SigmoidFilterBank::NUM_BANDS; ++i) {
        sum += bandGain[i] * _bank.getWeight(i, j);
      }
      _curve[j] = sum;
    }
    _dirty = false;
  }

  const unsigned channels = clip.getNumChannels();
  for (unsigned p = 1; p < length; ++p) {
    for (unsigned c = 0; c < channels; ++c) clip.set(c, p, clip.get(c, p) * _curve[p]);
  }
  _backward.process(clip);
}

unsigned BandGainer::getBandsPerDecade() const {
  switch (_numBand) {
    case 31:
      return 10;
    case 61:
      return 20;
    case 121:
      return 40;
    default:
      SPL_FAIL_AT("invalid numBand", kSource, kLineBandsPerDecade);
  }
}

double BandGainer::getBandPosition(double x) const {
  return getBandsPerDecade() * std::log10(x * _sampleRate * 0.5 / 20.0);
}

}  // namespace spl
