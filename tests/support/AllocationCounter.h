#pragma once

// Counts every heap allocation of the test executable, those of a loaded
// plug-in module included, by replacing the global operator new. Include it
// from exactly one source file of an executable of its own (files named
// *AllocTest.cpp get one); the replacement would clash in a second file.

#include <atomic>
#include <cstdlib>
#include <new>
#ifdef _WIN32
#include <malloc.h>
#endif

namespace spl_test {

// Allocations since the program started, or since a test set it to 0.
inline std::atomic<long> allocations{0};

namespace detail {

inline void* allocate(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

inline void* allocateAligned(std::size_t size, std::align_val_t alignment) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  const std::size_t align = static_cast<std::size_t>(alignment);
  const std::size_t rounded = (size + align - 1) / align * align;
#ifdef _WIN32
  // The Windows C runtime has no aligned_alloc; its aligned blocks need _aligned_free.
  if (void* memory = _aligned_malloc(rounded == 0 ? align : rounded, align)) return memory;
#else
  if (void* memory = std::aligned_alloc(align, rounded == 0 ? align : rounded)) return memory;
#endif
  throw std::bad_alloc();
}

inline void releaseAligned(void* memory) {
#ifdef _WIN32
  _aligned_free(memory);
#else
  std::free(memory);
#endif
}

}  // namespace detail
}  // namespace spl_test

void* operator new(std::size_t size) { return spl_test::detail::allocate(size); }
void* operator new[](std::size_t size) { return spl_test::detail::allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return spl_test::detail::allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return spl_test::detail::allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return spl_test::detail::allocateAligned(size, alignment);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t) noexcept {
  spl_test::detail::releaseAligned(memory);
}
void operator delete[](void* memory, std::align_val_t) noexcept {
  spl_test::detail::releaseAligned(memory);
}
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept {
  spl_test::detail::releaseAligned(memory);
}
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept {
  spl_test::detail::releaseAligned(memory);
}
