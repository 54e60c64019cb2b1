#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <type_traits>

// A queue of fixed capacity between one producer thread and one consumer
// thread: neither ever waits for the other, takes a lock or allocates after
// construction. What does not fit is refused, never overwritten.
template <typename T>
class SpscRing {
  static_assert(std::is_trivially_copyable_v<T>, "a slot is copied over, never destroyed");

 public:
  explicit SpscRing(std::size_t capacity) : capacity_(capacity), slots_(std::make_unique<T[]>(capacity + 1)) {}
  SpscRing(const SpscRing&) = delete;
  SpscRing& operator=(const SpscRing&) = delete;

  std::size_t capacity() const { return capacity_; }

  // Producer. False when fewer than keepFree + 1 slots are free: the event
  // is refused, and the ring stays as it was. keepFree leaves room for what
  // matters more.
  bool push(const T& value, std::size_t keepFree = 0) {
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    const std::size_t head = head_.load(std::memory_order_acquire);
    const std::size_t used = tail >= head ? tail - head : tail + slotCount() - head;
    if (used + keepFree >= capacity_) return false;
    slots_[tail] = value;
    tail_.store(next(tail), std::memory_order_release);
    return true;
  }

  // Consumer. False when the ring is empty.
  bool pop(T& value) {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) return false;
    value = slots_[head];
    head_.store(next(head), std::memory_order_release);
    return true;
  }

 private:
  // One slot more than the capacity, so that a full ring differs from an
  // empty one.
  std::size_t slotCount() const { return capacity_ + 1; }
  std::size_t next(std::size_t index) const { return index + 1 == slotCount() ? 0 : index + 1; }

  const std::size_t capacity_;
  std::unique_ptr<T[]> slots_;
  // Apart, so that the two threads do not share a cache line for them.
  alignas(64) std::atomic<std::size_t> head_{0};  // the consumer's
  alignas(64) std::atomic<std::size_t> tail_{0};  // the producer's
};
