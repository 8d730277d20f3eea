#include "link/ArrivalSignal.h"

#include <algorithm>

namespace quillon {

ArrivalSignal::Waiter::Waiter(ArrivalSignal& signal, std::optional<MacAddress> source)
    : signal_(signal), source_(source) {
  std::lock_guard lock(signal_.mutex_);
  signal_.waiters_.push_back(this);
}

ArrivalSignal::Waiter::~Waiter() {
  std::lock_guard lock(signal_.mutex_);
  std::erase(signal_.waiters_, this);
}

void ArrivalSignal::Waiter::Arm() {
  std::lock_guard lock(signal_.mutex_);
  woken_ = false;
}

void ArrivalSignal::Waiter::Wait(Clock::time_point deadline) {
  std::unique_lock lock(signal_.mutex_);
  wake_.wait_until(lock, deadline, [this] { return woken_; });
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
