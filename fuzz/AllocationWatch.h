#pragma once

// Counts the heap allocations made while a watch is open, through the address
// sanitizer's allocation hooks: every malloc, calloc, realloc and operator new
// of the process, the plug-in's included, without replacing operator new (which
// would hide new/delete mismatches from the sanitizer). The fuzz targets open a
// watch around every processing call, where nothing may allocate.
//
// Include it from one source file per fuzz target; single-threaded use only.
// FUZZ_ALLOC_TRACE=1 in the environment prints the stack of every allocation
// a watch counts, to find where a finding allocates.

#include <sanitizer/allocator_interface.h>
#include <sanitizer/common_interface_defs.h>

#include <cstddef>
#include <cstdlib>

namespace fuzz_alloc {

inline bool watching = false;
inline long counted = 0;

inline void onAllocate(const volatile void*, std::size_t) {
  if (watching) {
    ++counted;
    if (std::getenv("FUZZ_ALLOC_TRACE")) __sanitizer_print_stack_trace();
  }
}
inline void onFree(const volatile void*) {}

// Installs the hooks once; libFuzzer keeps its own beside them.
inline void install() {
  static const bool installed = [] {
    __sanitizer_install_malloc_and_free_hooks(onAllocate, onFree);
    return true;
  }();
  (void)installed;
}

// Allocations between construction and count().
class Watch {
 public:
  Watch() {
    install();
    counted = 0;
    watching = true;
  }
  ~Watch() { watching = false; }
  long count() {
    watching = false;
    return counted;
  }
  Watch(const Watch&) = delete;
  Watch& operator=(const Watch&) = delete;
};

}  // namespace fuzz_alloc
