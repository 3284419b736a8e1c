#pragma once

#include <cstdint>

namespace spl {

// Makes the calling thread's floating-point unit treat denormal numbers as
// zero, in and out, for the lifetime of the object, and restores the caller's
// mode when it ends. Tiny signals (the decaying tail of a reverb, 1e-310)
// would otherwise run through the slow microcode path on every operation.
// On x86-64 this sets FTZ and DAZ in MXCSR, on aarch64 FZ in FPCR; elsewhere it
// does nothing. Per thread, no allocation: meant for the top of an audio call.
class ScopedNoDenormals {
 public:
  ScopedNoDenormals();
  ~ScopedNoDenormals();
  ScopedNoDenormals(const ScopedNoDenormals&) = delete;
  ScopedNoDenormals& operator=(const ScopedNoDenormals&) = delete;

  // Whether this platform has a mode to set (false: the guard does nothing).
  static constexpr bool isSupported() {
#if defined(__x86_64__) || defined(_M_X64) || defined(__aarch64__)
    return true;
#else
    return false;
#endif
  }

 private:
  std::uint64_t _saved = 0;  // the caller's control register
};

}  // namespace spl
