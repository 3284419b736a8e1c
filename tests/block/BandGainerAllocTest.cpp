// Counts heap allocations on the audio path of the band gainer. This
// file replaces the global operator new, so it is an executable of its own.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include "spl/block/BandGainer.h"
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


TEST(BandGainerAlloc, SteadyBlocksAllocateNothing) {
  spl::BandGainer gainer(44100, 31);
  std::vector<double> gains(31, 0.0);
  gains[12] = -6.0;
  gainer.setGains(gains);
  spl::DefaultClip block(2, 1024);
  auto fill = [&](unsigned n) {
    for (unsigned p = 0; p < 1024; ++p) {
      const double t = double(n) * 1024 + p;
      block.set(0, p, std::sin(t / 5.0));
      block.set(1, p, std::sin(t / 50.0));
    }
  };
  fill(0);
  gainer.process(block);  // the first block builds the tables, the weights and the curve
  counting = true;
  for (unsigned n = 1; n < 10; ++n) {
    fill(n);
    gainer.process(block);
  }
  // New gains at the same length rebuild the curve in place.
  gainer.setGains(gains);
  gainer.process(block);
  counting = false;
  EXPECT_EQ(allocations.load(), 0);
}
