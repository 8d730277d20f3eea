// Wakes the threads waiting for frames, and only those a frame concerns: a transaction waiting
// for one card sleeps through the frames of every other card, so that eight transactions at once
// do not all wake for every frame.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

#include "base/MacAddress.h"
#include "base/Timing.h"

namespace quillon {

class ArrivalSignal {
 public:
  // One waiting thread, registered for as long as it waits: Arm(), look for frames, then Wait().
  // Nothing that arrives between Arm() and Wait() is missed.
  class Waiter {
   public:
    // Wakes for frames from `source`, or for every frame when there is none.
    Waiter(ArrivalSignal& signal, std::optional<MacAddress> source);
    ~Waiter();
    Waiter(const Waiter&) = delete;
    Waiter& operator=(const Waiter&) = delete;

    void Arm();
    void Wait(Clock::time_point deadline);

   private:
    friend class ArrivalSignal;
    ArrivalSignal& signal_;
    const std::optional<MacAddress> source_;
    std::atomic<bool> woken_{false};
    std::condition_variable wake_;
  };

  // A frame from `source` can be taken (from the queue, or put aside for its card).
  void Notify(const MacAddress& source);
  // A frame that names no source: only the waiters for any frame care.
  void NotifyAnyFrameWaiters();
  void NotifyAll();

 private:
  template <typename Predicate>
  void Wake(Predicate concerns);

  static constexpr std::chrono::microseconds kSpin{40};

  std::mutex mutex_;
  std::vector<Waiter*> waiters_;
  std::atomic<std::size_t> waiter_count_{0};
};

}  // namespace quillon
