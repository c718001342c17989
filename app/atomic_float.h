// A float shared between the main thread and the audio thread: plain loads
// and stores, relaxed, never torn. Reads and writes look like a plain float.
#pragma once

#include <atomic>

class AtomicFloat {
 public:
  constexpr AtomicFloat(float value) : value_(value) {}
  AtomicFloat(const AtomicFloat&) = delete;
  AtomicFloat& operator=(const AtomicFloat&) = delete;

  operator float() const { return value_.load(std::memory_order_relaxed); }
  AtomicFloat& operator=(float value) {
    value_.store(value, std::memory_order_relaxed);
    return *this;
  }

 private:
  std::atomic<float> value_;
};

static_assert(std::atomic<float>::is_always_lock_free, "g_frameTime must be lock-free");
