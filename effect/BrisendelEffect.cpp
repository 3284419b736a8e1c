#include "effect/BrisendelEffect.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "effect/Radi3zur.h"
#include "effect/StereoFieldMeter.h"
#include "spl/clip/DefaultClip.h"
#include "spl/stream/OverwrapStreamProcessor.h"
#include "spl/util/ScopedNoDenormals.h"

namespace {

constexpr unsigned kNumChannels = 2;

using brisendel::Parameters;

bool isParameter(int index) { return index >= 0 && index < BrisendelEffect::NUM_PARAMS; }

// The weight the imaging core takes for a Center or Side value in percent,
// divided as a whole number so that 100 gives exactly 1.
double weightOfPercent(double percent) { return percent / 100.0; }
static_assert(Parameters::TABLE[Parameters::kCenter].label == std::string_view("%") &&
                  Parameters::TABLE[Parameters::kSide].label == std::string_view("%"),
              "Center and Side are weights in percent");

}  // namespace

BrisendelEffect::BrisendelEffect()
    : _imager(std::make_unique<Radi3zur>()),
      _block(std::make_unique<spl::DefaultClip>(kNumChannels, 0)) {
  for (int i = 0; i < NUM_PARAMS; ++i)
    _normalized[i].store(Parameters::TABLE[i].defaultNormalized());
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
  return isParameter(index) ? Parameters::TABLE[index].name : "";
}

const char* BrisendelEffect::parameterLabel(int index) {
  return isParameter(index) ? Parameters::TABLE[index].label : "";
}

void BrisendelEffect::setNormalized(int index, double value) {
  if (!isParameter(index) || std::isnan(value)) return;
  _normalized[index].store(std::clamp(value, 0.0, 1.0), std::memory_order_relaxed);
}

double BrisendelEffect::getNormalized(int index) const {
  return isParameter(index) ? _normalized[index].load(std::memory_order_relaxed) : 0.0;
}

unsigned BrisendelEffect::stepIndex(int index) const {
  return Parameters::TABLE[index].stepOfNormalized(
      _normalized[index].load(std::memory_order_relaxed));
}

void BrisendelEffect::setPlainValue(int index, double value) {
  if (!isParameter(index) || std::isnan(value)) return;
  const Parameters::Info& p = Parameters::TABLE[index];
  _normalized[index].store(p.normalizedOfStep(p.stepOfPlain(value)), std::memory_order_relaxed);
}

double BrisendelEffect::getPlainValue(int index) const {
  if (!isParameter(index)) return 0.0;
  return Parameters::TABLE[index].plainOfStep(stepIndex(index));
}

std::string BrisendelEffect::displayText(int index) const {
  if (!isParameter(index)) return std::string();
  char text[Parameters::TEXT_CAPACITY];
  const std::size_t length =
      Parameters::TABLE[index].displayText(stepIndex(index), text, sizeof(text));
  return std::string(text, length);
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
  const auto plain = [this](int index) {
    return Parameters::TABLE[index].plainOfStep(stepIndex(index));
  };
  return {weightOfPercent(plain(kCenter)), weightOfPercent(plain(kSide)), plain(kAutoGain) != 0.0,
          static_cast<unsigned>(plain(kQuality)), static_cast<int>(plain(kWindow))};
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
    // Every sample is written below, so a slice of the last slice's length
    // skips the clearing setLength does.
    if (_block->getLength() != length) _block->setLength(length);
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
