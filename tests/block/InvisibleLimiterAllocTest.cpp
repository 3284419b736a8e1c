// Counts heap allocations on the audio path of the invisible limiters. This
// file replaces the global operator new, so it is an executable of its own.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include "spl/block/InvisibleLimiter.h"
#include "spl/block/InvisibleLimiter2.h"
#include "spl/clip/DefaultClip.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* allocate(std::size_t size) {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
  if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
  const std::size_t align = static_cast<std::size_t>(alignment);
  const std::size_t rounded = (size + align - 1) / align * align;
  if (void* memory = std::aligned_alloc(align, rounded == 0 ? align : rounded)) return memory;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return allocateAligned(size, alignment);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }


namespace {

void fill(spl::DefaultClip& block, unsigned n) {
  for (unsigned p = 0; p < block.getLength(); ++p) {
    const double t = double(n) * block.getLength() + p;
    block.set(0, p, 1.5 * std::sin(t / 7.3));
    block.set(1, p, 0.8 * std::sin(t / 3.1 + 1.0));
  }
}

}  // namespace

TEST(InvisibleLimiterAlloc, SteadyBlocksAllocateNothing) {
  spl::InvisibleLimiter limiter(2, 512);
  limiter.setThreshold(-6.0);
  limiter.setHardClip(true);
  spl::DefaultClip block(2, 512);
  fill(block, 0);
  limiter.process(block);  // the first block may size the buffers
  counting = true;
  for (unsigned n = 1; n < 20; ++n) {
    fill(block, n);
    limiter.process(block);
  }
  counting = false;
  EXPECT_EQ(allocations.load(), 0);
}

TEST(InvisibleLimiterAlloc, SampleLimitersAllocateOnlyWhenBuilt) {
  spl::InvisibleLimiter2 limiter(2);
  spl::DefaultClip block(2, 300);
  counting = true;
  for (unsigned n = 0; n < 40; ++n) {
    fill(block, n);
    limiter.process(block);
  }
  counting = false;
  EXPECT_EQ(allocations.load(), 0);
}
