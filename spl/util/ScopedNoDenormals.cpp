#include "spl/util/ScopedNoDenormals.h"

#if defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#endif

namespace spl {

namespace {

#if defined(__x86_64__) || defined(_M_X64)
// MXCSR: flush results to zero (bit 15) and read denormal operands as zero (bit 6).
constexpr std::uint64_t kFlushBits = 0x8040;
std::uint64_t readControl() { return _mm_getcsr(); }
void writeControl(std::uint64_t value) { _mm_setcsr(static_cast<unsigned>(value)); }
#elif defined(__aarch64__)
// FPCR: FZ (bit 24) flushes denormal operands and results of single and double precision.
constexpr std::uint64_t kFlushBits = std::uint64_t(1) << 24;
std::uint64_t readControl() {
  std::uint64_t value;
  asm volatile("mrs %0, fpcr" : "=r"(value));
  return value;
}
void writeControl(std::uint64_t value) { asm volatile("msr fpcr, %0" : : "r"(value)); }
#else
constexpr std::uint64_t kFlushBits = 0;
std::uint64_t readControl() { return 0; }
void writeControl(std::uint64_t) {}
#endif

}  // namespace

ScopedNoDenormals::ScopedNoDenormals() : _saved(readControl()) {
  if ((_saved & kFlushBits) != kFlushBits) writeControl(_saved | kFlushBits);
}

ScopedNoDenormals::~ScopedNoDenormals() {
  // Only when something changed: writing the control register stalls the pipeline.
  if ((_saved & kFlushBits) != kFlushBits) writeControl(_saved);
}

}  // namespace spl
