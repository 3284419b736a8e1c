#include "spl/block/RealValueBuffer.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/block/RealValueBuffer";
}

void RealValueBuffer::add(double value) {
  if (_count == _ring.size()) regrow(_ring.empty() ? 16 : _ring.size() * 2);
  std::size_t tail = _head + _count;
  if (tail >= _ring.size()) tail -= _ring.size();
  _ring[tail] = value;
  ++_count;
}

double RealValueBuffer::take() {
  // Taking from an empty queue would read a stale or missing slot.
  SPL_REQUIRE(_count != 0, "assertion error", kSource);
  const double value = _ring[_head];
  if (++_head == _ring.size()) _head = 0;
  --_count;
  return value;
}

double RealValueBuffer::peek() const {
  // An empty queue has no oldest value: its ring holds a stale slot or none.
  SPL_REQUIRE(_count != 0, "assertion error", kSource);
  return _ring[_head];
}

void RealValueBuffer::reserve(std::size_t capacity) {
  if (capacity > _ring.size()) regrow(capacity);
}

void RealValueBuffer::regrow(std::size_t capacity) {
  // Unrolls the ring into the new storage, oldest value first.
  std::vector<double> ring(capacity, 0.0);
  for (std::size_t i = 0; i < _count; ++i) {
    std::size_t index = _head + i;
    if (index >= _ring.size()) index -= _ring.size();
    ring[i] = _ring[index];
  }
  _ring.swap(ring);
  _head = 0;
}

}  // namespace spl
