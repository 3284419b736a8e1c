#include "spl/clip/MDCTUnfoldClip.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/clip/MDCTUnfoldClip";

// The wrapped clip, once its length is known to split into two equal halves.
Clip& halved(const Clip& clip) {
  SPL_REQUIRE(clip.getLength() % 2 == 0, "length", kSource);
  // The halves are only ever read.
  return const_cast<Clip&>(clip);
}
}  // namespace

MDCTUnfoldClip::MDCTUnfoldClip(const Clip& clip)
    : DelegationClip(clip),
      _h0(halved(clip), 0, clip.getLength() / 2),
      _h1(*_clip, clip.getLength() / 2, clip.getLength() / 2),
      _s1(_h1),
      _s0(_h0) {}

double MDCTUnfoldClip::get(unsigned channel, unsigned position) const {
  const unsigned long long n = getLength();
  // Positions past the end have no quarter to come from; n below 4 can only
  // mean the wrapped clip has shrunk, and would divide by zero below.
  SPL_REQUIRE(n >= 4 && position < n, "no arrive", kSource);
  const unsigned m = static_cast<unsigned>(position % (n / 4));
  switch (4ULL * position / n) {
    case 0:
      return _h1.get(channel, m);
    case 1:
      return -_s1.get(channel, m);
    case 2:
      return -_s0.get(channel, m);
    default:
      return -_h0.get(channel, m);
  }
}

}  // namespace spl
