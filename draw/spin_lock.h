// A test-and-set lock whose waiters yield the processor between attempts. The drawing
// layer never waits long (one thread draws), so nothing heavier is worth having.
#pragma once
#include <atomic>
#include <thread>

struct SpinLock {
  std::atomic_flag flag = ATOMIC_FLAG_INIT;
};

inline void Acquire(SpinLock& lock) {
  while (lock.flag.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
}
inline void Release(SpinLock& lock) { lock.flag.clear(std::memory_order_release); }

// Holds a lock for one scope. Not re-entrant: the holder must not take it again.
struct SpinGuard {
  explicit SpinGuard(SpinLock& held) : lock(held) { Acquire(lock); }
  ~SpinGuard() { Release(lock); }
  SpinGuard(const SpinGuard&) = delete;
  SpinGuard& operator=(const SpinGuard&) = delete;
  SpinLock& lock;
};
