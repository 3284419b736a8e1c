#include "spl/block/FirLowpassFilter.h"

#include "spl/clip/ConcatClip.h"
#include "spl/clip/ZeroClip.h"
#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/block/FirLowpassFilter";
constexpr unsigned kLineBlockLength = 21;
constexpr unsigned kLineCutoff = 40;
constexpr unsigned kFrameLength = 2 * FirLowpassFilter::BLOCK_LENGTH;
}  // namespace

FirLowpassFilter::FirLowpassFilter() { _overlap.assign(ZeroClip(2, BLOCK_LENGTH)); }

void FirLowpassFilter::setCutoff(double cutoff) {
  // Written so that NaN fails too.
  SPL_REQUIRE_AT(cutoff >= 0.0 && cutoff <= 1.0, "cutoff", kSource, kLineCutoff);
  _cutoff = cutoff;
}

void FirLowpassFilter::process(Clip& block) {
  SPL_REQUIRE_AT(block.getLength() == BLOCK_LENGTH, "assertion error", kSource, kLineBlockLength);
  ZeroClip padding(2, BLOCK_LENGTH);
  ConcatClip extended(block, padding);
  _frame.assign(extended);

  _forward.process(_frame);
  const unsigned first = static_cast<unsigned>(kFrameLength * _cutoff);
  for (unsigned c = 0; c < 2; ++c) {
    for (unsigned p = first; p < kFrameLength; ++p) _frame.set(c, p, 0.0);
  }
  _backward.process(_frame);

  for (unsigned p = 0; p < BLOCK_LENGTH; ++p) {
    for (unsigned c = 0; c < 2; ++c) {
      block.set(c, p, _frame.get(c, p) + _overlap.get(c, p));
      _overlap.set(c, p, _frame.get(c, BLOCK_LENGTH + p));
    }
  }
}

}  // namespace spl
