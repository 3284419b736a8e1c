#include "spl/block/RealDiscreteFourierTransform.h"

#include <cmath>
#include <typeinfo>

#include "spl/clip/ClipUtil.h"
#include "spl/clip/DefaultClip.h"
#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/block/RealDiscreteFourierTransform";
constexpr unsigned kLineMode = 10;
}  // namespace

RealDiscreteFourierTransform::RealDiscreteFourierTransform(int mode) : _mode(mode) {
  SPL_REQUIRE_AT(mode == 1 || mode == -1, "mode", kSource, kLineMode);
}

void RealDiscreteFourierTransform::process(Clip& clip) {
  const unsigned n = clip.getLength();
  prepare(n);
  const double scale = std::sqrt(2.0 / n);
  _gainer.setGain(scale);
  if (typeid(clip) == typeid(DefaultClip)) {
    // The owning clip keeps each channel contiguous: transform it where it
    // lies and scale each sample as it is finished, which gives the same
    // values as copying out, transforming, copying back and scaling. (Only
    // the class itself: a subclass may give get and set a meaning of its own.)
    auto& owning = static_cast<DefaultClip&>(clip);
    for (unsigned c = 0; c < owning.getNumChannels(); ++c) {
      realTransform(_mode, owning.channelData(c), scale);
    }
    return;
  }
  for (unsigned c = 0; c < clip.getNumChannels(); ++c) {
    ClipUtil::copyChannelToVector(clip, _buffer, c);
    realTransform(_mode, _buffer.data());
    ClipUtil::copyVectorToChannel(_buffer, clip, c);
  }
  _gainer.process(clip);
}

}  // namespace spl
