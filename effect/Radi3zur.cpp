#include "effect/Radi3zur.h"

#include <algorithm>
#include <cstdint>
#include <typeinfo>

#include "effect/SharedPartWeighting.h"
#include "spl/clip/ConcatClip.h"
#include "spl/clip/RangedClip.h"
#include "spl/clip/ZeroClip.h"

namespace {

double clampWeight(double weight) {
  if (weight > 2.0) return 2.0;
  if (weight < 0.0) return 0.0;
  return weight;
}

// Whether the spectral core takes stereo blocks of n frames at this quality:
// n a power of two of at least 16, and the padded frame length n * 2^quality
// representable in 32 bits, as the padded frame needs.
bool coreTakes(unsigned n, unsigned quality) {
  return n >= 16 && (n & (n - 1)) == 0 && quality < 32 &&
         (std::uint64_t(n) << quality) < (std::uint64_t(1) << 32);
}

// Positive zeros only: a negative zero takes its sign through the transforms
// in ways the shortcut would not reproduce bit for bit.
bool isSilent(const double* samples, unsigned n) {
  for (unsigned p = 0; p < n; ++p) {
    if (samples[p] != 0.0 || std::signbit(samples[p])) return false;
  }
  return true;
}

}  // namespace

Radi3zur::Radi3zur()
    : _forward(std::make_unique<spl::RealDiscreteFourierTransform>(1)),
      _inverse(std::make_unique<spl::RealDiscreteFourierTransform>(-1)),
      _vorbisWindow(std::make_unique<spl::VorbisWindow>()),
      _hanningWindow(std::make_unique<spl::HanningWindow>()),
      _frame(1, 0) {
  _analysisWindow = _hanningWindow.get();
}

bool Radi3zur::setVectorKernels(bool enabled) {
  _forward->setVectorKernels(enabled);
  _inverse->setVectorKernels(enabled);
  return _core.setVectorKernels(enabled);
}

spl::fourier::KernelSet Radi3zur::setKernelSet(spl::fourier::KernelSet wanted) {
  const bool vector = wanted != spl::fourier::KernelSet::portable;
  _forward->setVectorKernels(vector);
  _inverse->setVectorKernels(vector);
  return _core.setKernelSet(wanted);
}

void Radi3zur::prepare(unsigned blockLength) {
  if (!coreTakes(blockLength, kPreparedQualities)) return;
  _core.prepare(blockLength, kPreparedQualities);
  prepareWindowTables(blockLength);
}

void Radi3zur::prepareWindowTables(unsigned blockLength) {
  // Each window run over ones gives its own factors exactly.
  spl::DefaultClip ones(1, blockLength);
  std::fill(ones.channelData(0), ones.channelData(0) + blockLength, 1.0);
  spl::DefaultClip hanning(ones);
  _hanningWindow->process(hanning);
  _vorbisWindow->process(ones);
  _hanningTable.assign(hanning.channelData(0), hanning.channelData(0) + blockLength);
  _vorbisTable.assign(ones.channelData(0), ones.channelData(0) + blockLength);
}

const double* Radi3zur::windowTable(const spl::BlockProcessor* window) const {
  if (window == _vorbisWindow.get()) return _vorbisTable.data();
  if (window == _hanningWindow.get()) return _hanningTable.data();
  return nullptr;
}

void Radi3zur::setCenter(double center) { _center = clampWeight(center); }

void Radi3zur::setSide(double side) { _side = clampWeight(side); }

void Radi3zur::setAutoGain(bool autoGain) { _autoGain = autoGain; }

void Radi3zur::effectiveWeights(double& center, double& side) const {
  center = _center;
  side = _side;
  if (_autoGain && center + side > 0.0) {
    const double mean = (center + side) * 0.5;
    center = center / mean;
    side = side / mean;
  }
}

void Radi3zur::setQuality(unsigned quality) { _quality = quality; }

void Radi3zur::setWindowMode(int mode) {
  if (mode == 0) {
    _analysisWindow = _vorbisWindow.get();
    _synthesisWindow = _vorbisWindow.get();
  } else if (mode == 1) {
    _analysisWindow = _hanningWindow.get();
    _synthesisWindow = nullptr;
  }
}

void Radi3zur::process(spl::Clip& block) {
  const unsigned quality = _quality % 32u;
  if (block.getNumChannels() == 2 && coreTakes(block.getLength(), quality)) {
    processStereo(block, quality);
    return;
  }
  if (_analysisWindow != nullptr) _analysisWindow->process(block);

  const unsigned n = block.getLength();
  // Unsigned 32-bit on purpose: an absurd quality wraps the frame length
  // around, which the transform then refuses.
  const unsigned padding = (n / 2) * ((1u << (_quality % 32u)) - 1u);
  fillFrame(block, padding);

  _forward->process(_frame);

  double center;
  double side;
  effectiveWeights(center, side);
  weightBins(center, side);

  _inverse->process(_frame);

  block.assign(spl::RangedClip(_frame, padding, n));

  if (_synthesisWindow != nullptr) _synthesisWindow->process(block);
}

void Radi3zur::processStereo(spl::Clip& block, unsigned quality) {
  const unsigned n = block.getLength();
  // Only without prepare(), or for a new length or a quality above the
  // prepared ones: this allocates.
  if (!_core.isPreparedFor(n, quality)) _core.prepare(n, std::max(quality, kPreparedQualities));
  if (_hanningTable.size() != n) prepareWindowTables(n);

  double* left;
  double* right;
  const bool owning = typeid(block) == typeid(spl::DefaultClip);
  if (owning) {
    // Only the class itself: a subclass may give get and set a meaning of its own.
    auto& clip = static_cast<spl::DefaultClip&>(block);
    left = clip.channelData(0);
    right = clip.channelData(1);
  } else {
    _stereo.resize(2 * std::size_t(n));
    left = _stereo.data();
    right = left + n;
    for (unsigned p = 0; p < n; ++p) {
      left[p] = block.get(0, p);
      right[p] = block.get(1, p);
    }
  }

  // Windows, transforms and weights are all linear: a silent block leaves
  // silent. Hosts send long stretches of silence (and the stream starts with a
  // window of it), so those cost a scan instead of the transforms; the block
  // already holds the result.
  if (isSilent(left, n) && isSilent(right, n)) return;

  if (const double* window = windowTable(_analysisWindow)) {
    for (unsigned p = 0; p < n; ++p) {
      left[p] *= window[p];
      right[p] *= window[p];
    }
  }
  double center;
  double side;
  effectiveWeights(center, side);
  _core.process(left, right, quality, center, side);
  if (const double* window = windowTable(_synthesisWindow)) {
    for (unsigned p = 0; p < n; ++p) {
      left[p] *= window[p];
      right[p] *= window[p];
    }
  }

  if (!owning) {
    for (unsigned p = 0; p < n; ++p) {
      block.set(0, p, left[p]);
      block.set(1, p, right[p]);
    }
  }
}

void Radi3zur::fillFrame(spl::Clip& block, unsigned padding) {
  const unsigned n = block.getLength();
  const unsigned channels = block.getNumChannels();
  const unsigned frameLength = n + 2u * padding;
  const bool sameShape = _frame.getNumChannels() == channels && _frame.getLength() == frameLength &&
                         std::uint64_t(n) + 2u * std::uint64_t(padding) == frameLength;
  if (!sameShape) {
    // A new shape: build the frame as a copy of zeros, block, zeros joined by
    // views. This is where the frame's storage grows.
    spl::ZeroClip zeros(channels, padding);
    spl::ConcatClip head(zeros, block);
    spl::ConcatClip whole(head, zeros);
    _frame.assign(whole);
    return;
  }
  // The same shape as last time: clear the padding, which still holds the
  // last block's processed tails, and copy the block into the middle, without
  // touching the heap.
  for (unsigned c = 0; c < channels; ++c) {
    double* samples = _frame.channelData(c);
    std::fill(samples, samples + padding, 0.0);
    for (unsigned p = 0; p < n; ++p) samples[padding + p] = block.get(c, p);
    std::fill(samples + padding + n, samples + frameLength, 0.0);
  }
}

void Radi3zur::weightBins(double center, double side) {
  const unsigned frameLength = _frame.getLength();
  if (frameLength < 4) return;
  const unsigned bins = frameLength / 2;
  if (_frame.getNumChannels() < 2) {
    // Without a right channel the frame's own sample access reports the fault.
    for (unsigned position = 2; position < 2 * bins; ++position) {
      double left = _frame.get(0, position);
      double right = _frame.get(1, position);
      weighSharedPart(left, right, center, side);
      _frame.set(0, position, left);
      _frame.set(1, position, right);
    }
    return;
  }
  double* left = _frame.channelData(0);
  double* right = _frame.channelData(1);
  for (unsigned k = 1; k < bins; ++k) {
    const unsigned cosine = 2 * k;
    const unsigned sine = 2 * k + 1;
    // All four values are read before any is written: the compiler then
    // weighs the cosine and sine parts side by side, as one vector.
    double leftCosine = left[cosine];
    double rightCosine = right[cosine];
    double leftSine = left[sine];
    double rightSine = right[sine];
    weighSharedPart(leftCosine, rightCosine, center, side);
    weighSharedPart(leftSine, rightSine, center, side);
    left[cosine] = leftCosine;
    right[cosine] = rightCosine;
    left[sine] = leftSine;
    right[sine] = rightSine;
  }
}
