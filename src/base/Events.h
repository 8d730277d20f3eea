// Small synchronisation objects: an auto-reset event and a manual-reset event.
#pragma once

#include <condition_variable>
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

}  // namespace quillon
