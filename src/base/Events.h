// Small synchronisation objects: an auto-reset event, a manual-reset event and a counter that
// wakes waiters whenever something they may be waiting for has arrived.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "base/Timing.h"

namespace quillon {

// Set() releases exactly one waiter, or the next one to wait when none is waiting.
class AutoResetEvent {
 public:
  void Set() {
    {
      std::lock_guard lock(mutex_);
      signalled_ = true;
    }
    changed_.notify_one();
  }

  // True when the event was set within the time; the event is then reset.
  bool WaitFor(Millis timeout) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, timeout, [this] { return signalled_; })) return false;
    signalled_ = false;
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool signalled_ = false;
};

// Stays set until Reset(); every waiter sees it.
class ManualResetEvent {
 public:
  void Set() {
    {
      std::lock_guard lock(mutex_);
      signalled_ = true;
    }
    changed_.notify_all();
  }

  void Reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
  }

  bool IsSet() const {
    std::lock_guard lock(mutex_);
    return signalled_;
  }

  bool WaitFor(Millis timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return signalled_; });
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool signalled_ = false;
};

// A generation counter: a waiter notes Stamp(), looks for work, and when it finds none sleeps in
// WaitPast() until the counter moves on or its deadline passes. Nothing is missed between the look
// and the sleep, because the stamp was taken before the look.
class ArrivalSignal {
 public:
  std::uint64_t Stamp() const {
    std::lock_guard lock(mutex_);
    return stamp_;
  }

  void Notify() {
    {
      std::lock_guard lock(mutex_);
      ++stamp_;
    }
    changed_.notify_all();
  }

  void WaitPast(std::uint64_t stamp, Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    changed_.wait_until(lock, deadline, [&] { return stamp_ != stamp; });
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t stamp_ = 0;
};

}  // namespace quillon
