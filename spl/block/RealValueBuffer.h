#pragma once

#include <cstddef>
#include <vector>

namespace spl {

// First-in, first-out queue of 64-bit floats, kept in a ring so that a queue
// whose count stays bounded stops allocating once it has grown to that bound.
// add and take never allocate while the count stays within the capacity
// reserved or reached before. One thread at a time.
class RealValueBuffer {
 public:
  RealValueBuffer() = default;
  // Reserves room for `capacity` values; may allocate.
  explicit RealValueBuffer(std::size_t capacity) { reserve(capacity); }

  // Appends at the newest end; grows (allocates) only when the ring is full.
  void add(double value);
  // Removes and returns the oldest value; the queue must not be empty.
  double take();
  // The oldest value without removing it; the queue must not be empty.
  double peek() const;
  std::size_t getCount() const { return _count; }
  bool isEmpty() const { return _count == 0; }
  // Drops every value and keeps the storage.
  void clear() {
    _head = 0;
    _count = 0;
  }
  void reserve(std::size_t capacity);

 private:
  void regrow(std::size_t capacity);

  std::vector<double> _ring;
  std::size_t _head = 0;   // index of the oldest value
  std::size_t _count = 0;  // values held
};

}  // namespace spl
