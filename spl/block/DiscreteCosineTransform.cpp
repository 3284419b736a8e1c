#include "spl/block/DiscreteCosineTransform.h"

#include <cmath>

#include "spl/clip/ClipUtil.h"
#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/block/DiscreteCosineTransform";
constexpr unsigned kLineMode = 10;
}  // namespace

DiscreteCosineTransform::DiscreteCosineTransform(int mode) : _mode(mode) {
  SPL_REQUIRE_AT(mode == 1 || mode == -1, "mode", kSource, kLineMode);
}

void DiscreteCosineTransform::process(Clip& clip) {
  const unsigned n = clip.getLength();
  prepare(n);
  _work.resize(n);
  for (unsigned c = 0; c < clip.getNumChannels(); ++c) {
    ClipUtil::copyChannelToVector(clip, _buffer, c);
    cosineTransform(_mode, _buffer.data(), _buffer.data(), _work.data());
    ClipUtil::copyVectorToChannel(_buffer, clip, c);
  }
  _gainer.setGain(std::sqrt(2.0 / n));
  _gainer.process(clip);
}

}  // namespace spl
