#include "sim/DelayLine.h"

namespace quillon::sim {

DelayLine::DelayLine() : thread_([this] { Run(); }) {}

DelayLine::~DelayLine() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void DelayLine::Schedule(Clock::time_point when, std::function<void()> action) {
  {
    std::lock_guard lock(mutex_);
    entries_.push({when, next_order_++, std::move(action)});
  }
  changed_.notify_all();
}

void DelayLine::Run() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    if (entries_.empty()) {
      changed_.wait(lock);
      continue;
    }
    const Clock::time_point when = entries_.top().when;
    if (Clock::now() < when) {
      changed_.wait_until(lock, when);
      continue;
    }
    std::function<void()> action = entries_.top().action;
    entries_.pop();
    lock.unlock();
    action();
    lock.lock();
  }
}

}  // namespace quillon::sim
