#include "effect/BrisendelEffect.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "effect/Radi3zur.h"
#include "effect/StereoFieldMeter.h"
#include "spl/clip/DefaultClip.h"
#include "spl/stream/OverwrapStreamProcessor.h"
#include "spl/util/ScopedNoDenormals.h"
#include "spl/util/Util.h"

namespace {

constexpr unsigned kNumChannels = 2;

// One parameter as hosts see it: name, label, number of steps, starting
// normalized value, and the plain value (the unit a host shows) of its first step.
struct ParameterInfo {
  const char* name;
  const char* label;
  unsigned steps;
  double initial;
  unsigned firstPlain;
};

// Center and Side: i / 100 for i = 0..200, shown in percent. AutoGain:
// "Disabled", "Enabled". Quality: 1..9 (starting at the first, the cheapest
// transform). Window: "A", "B".
constexpr ParameterInfo kParameters[BrisendelEffect::NUM_PARAMS] = {
    {"Center", "%", 201, 0.5, 0}, {"Side", "%", 201, 0.5, 0}, {"AutoGain", "", 2, 1.0, 0},
    {"Quality", "", 9, 0.0, 1},   {"Window", "", 2, 1.0, 0},
};

bool isParameter(int index) { return index >= 0 && index < BrisendelEffect::NUM_PARAMS; }

// A number as a default-configured text stream writes it: general notation,
// six significant digits, no trailing zeros.
std::string numberText(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

// The weight of Center and Side step `index`: computed as the integer divided
// by 100.0, so that 100 gives exactly 1.
double weightOfStep(unsigned index) { return static_cast<int>(index) / 100.0; }

}  // namespace

BrisendelEffect::BrisendelEffect()
    : _imager(std::make_unique<Radi3zur>()),
      _block(std::make_unique<spl::DefaultClip>(kNumChannels, 0)) {
  for (int i = 0; i < NUM_PARAMS; ++i) _normalized[i].store(kParameters[i].initial);
  // Every table of every Quality and Window now, rather than on the audio thread.
  _imager->prepare(WINDOW_LENGTH);
  _processor = std::make_unique<spl::OverwrapStreamProcessor>(*_imager, kNumChannels, WINDOW_LENGTH,
                                                              RESERVED_FRAMES);
  _block->reserve(RESERVED_FRAMES);
  _reservedFrames = RESERVED_FRAMES;
}

BrisendelEffect::~BrisendelEffect() = default;

// ---- parameters -----------------------------------------------------------------

const char* BrisendelEffect::parameterName(int index) {
  return isParameter(index) ? kParameters[index].name : "";
}

const char* BrisendelEffect::parameterLabel(int index) {
  return isParameter(index) ? kParameters[index].label : "";
}

void BrisendelEffect::setNormalized(int index, double value) {
  if (!isParameter(index) || std::isnan(value)) return;
  _normalized[index].store(std::clamp(value, 0.0, 1.0), std::memory_order_relaxed);
}

double BrisendelEffect::getNormalized(int index) const {
  return isParameter(index) ? _normalized[index].load(std::memory_order_relaxed) : 0.0;
}

unsigned BrisendelEffect::stepIndex(int index) const {
  return spl::normalizedToIndex(_normalized[index].load(std::memory_order_relaxed),
                                kParameters[index].steps);
}

void BrisendelEffect::setPlainValue(int index, double value) {
  if (!isParameter(index) || std::isnan(value)) return;
  const ParameterInfo& p = kParameters[index];
  // Clamped before rounding, so that no value outside the steps reaches the conversion.
  const double step = std::round(std::clamp(value - p.firstPlain, 0.0, p.steps - 1.0));
  _normalized[index].store(spl::indexToNormalized(static_cast<unsigned>(step), p.steps),
                           std::memory_order_relaxed);
}

double BrisendelEffect::getPlainValue(int index) const {
  if (!isParameter(index)) return 0.0;
  return static_cast<double>(stepIndex(index) + kParameters[index].firstPlain);
}

std::string BrisendelEffect::displayText(int index) const {
  if (!isParameter(index)) return std::string();
  const unsigned step = stepIndex(index);
  switch (index) {
    case kCenter:
    case kSide:
      return numberText(spl::roundToSignificant(weightOfStep(step) * 100.0, 3));
    case kAutoGain:
      return step == 1 ? "Enabled" : "Disabled";
    case kQuality:
      return numberText(spl::roundToSignificant(static_cast<double>(step + 1), 1));
    default:  // kWindow
      return step == 1 ? "B" : "A";
  }
}

// ---- set-up ---------------------------------------------------------------------

void BrisendelEffect::reserve(unsigned maxBlockFrames) {
  const unsigned frames = std::min(maxBlockFrames, MAX_RESERVED_FRAMES);
  if (frames <= _reservedFrames) return;
  _processor->reserve(frames);
  _block->reserve(frames);
  _reservedFrames = frames;
}

void BrisendelEffect::reset() { _processor->reset(); }

void BrisendelEffect::setMeter(StereoFieldMeter* meter) { _meter = meter; }

// ---- processing -----------------------------------------------------------------

BrisendelEffect::Snapshot BrisendelEffect::snapshot() const {
  return {weightOfStep(stepIndex(kCenter)), weightOfStep(stepIndex(kSide)),
          stepIndex(kAutoGain) == 1, stepIndex(kQuality) + 1, static_cast<int>(stepIndex(kWindow))};
}

template <typename Sample>
void BrisendelEffect::processSamples(const Sample* const* inputs, Sample* const* outputs,
                                     unsigned frames) {
  const spl::ScopedNoDenormals noDenormals;
  const Snapshot settings = snapshot();
  _imager->setCenter(settings.center);
  _imager->setSide(settings.side);
  _imager->setAutoGain(settings.autoGain);
  _imager->setQuality(settings.quality);
  _imager->setWindowMode(settings.windowMode);
  // A block longer than the reservation goes through in slices: the overlap-add
  // gives the same output under any cut of its input.
  for (unsigned done = 0; done < frames;) {
    const unsigned length = std::min(frames - done, _reservedFrames);
    _block->setLength(length);
    // The whole slice is read before any of it is written, so inputs and
    // outputs may be the same buffers.
    for (unsigned c = 0; c < kNumChannels; ++c) {
      const Sample* in = inputs[c] + done;
      double* samples = _block->channelData(c);
      for (unsigned i = 0; i < length; ++i) samples[i] = static_cast<double>(in[i]);
    }
    if (_meter != nullptr) _meter->addInput(_block->channelData(0), _block->channelData(1), length);
    _processor->write(*_block);
    _processor->read(*_block, length);
    if (_meter != nullptr) {
      _meter->addOutput(_block->channelData(0), _block->channelData(1), length);
    }
    for (unsigned c = 0; c < kNumChannels; ++c) {
      const double* samples = _block->channelData(c);
      Sample* out = outputs[c] + done;
      for (unsigned i = 0; i < length; ++i) out[i] = static_cast<Sample>(samples[i]);
    }
    done += length;
  }
}

void BrisendelEffect::process(const float* const* inputs, float* const* outputs, unsigned frames) {
  processSamples(inputs, outputs, frames);
}

void BrisendelEffect::process(const double* const* inputs, double* const* outputs,
                              unsigned frames) {
  processSamples(inputs, outputs, frames);
}
