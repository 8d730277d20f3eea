#include "link/ArrivalSignal.h"

#include <algorithm>
#include <thread>

namespace quillon {

ArrivalSignal::Waiter::Waiter(ArrivalSignal& signal, std::optional<MacAddress> source)
    : signal_(signal), source_(source) {
  std::lock_guard lock(signal_.mutex_);
  signal_.waiters_.push_back(this);
  signal_.waiter_count_ = signal_.waiters_.size();
}

ArrivalSignal::Waiter::~Waiter() {
  std::lock_guard lock(signal_.mutex_);
  std::erase(signal_.waiters_, this);
  signal_.waiter_count_ = signal_.waiters_.size();
}

void ArrivalSignal::Waiter::Arm() {
  std::lock_guard lock(signal_.mutex_);
  woken_ = false;
}

// A lone waiter spins a few microseconds first: a reply on a quiet link usually comes sooner than
// a sleeping thread can be woken. Several waiters sleep at once, leaving the processor to the
// threads that make their replies.
void ArrivalSignal::Waiter::Wait(Clock::time_point deadline) {
  if (signal_.waiter_count_.load(std::memory_order_relaxed) == 1) {
    const auto spin_until = std::min(deadline, Clock::now() + kSpin);
    while (Clock::now() < spin_until) {
      if (woken_.load(std::memory_order_acquire)) return;
      std::this_thread::yield();
    }
  }
  std::unique_lock lock(signal_.mutex_);
  wake_.wait_until(lock, deadline, [this] { return woken_.load(); });
}

template <typename Predicate>
void ArrivalSignal::Wake(Predicate concerns) {
  std::lock_guard lock(mutex_);
  for (Waiter* waiter : waiters_) {
    if (!concerns(*waiter)) continue;
    waiter->woken_ = true;
    waiter->wake_.notify_one();
  }
}

void ArrivalSignal::Notify(const MacAddress& source) {
  Wake([&](const Waiter& w) { return !w.source_ || *w.source_ == source; });
}

void ArrivalSignal::NotifyAnyFrameWaiters() {
  Wake([](const Waiter& w) { return !w.source_; });
}

void ArrivalSignal::NotifyAll() {
  Wake([](const Waiter&) { return true; });
}

}  // namespace quillon
