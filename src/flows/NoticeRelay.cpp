#include "flows/NoticeRelay.h"

namespace quillon {

NoticeRelay::NoticeRelay(std::function<void(const MacAddress& card)> deliver)
    : deliver_(std::move(deliver)), thread_([this](const std::stop_token& stop) { Run(stop); }) {}

// The thread, the last member, is stopped and joined after this.
NoticeRelay::~NoticeRelay() {
  Flush();
}

void NoticeRelay::Record(const MacAddress& card) {
  {
    std::lock_guard lock(mutex_);
    if (pending_.size() >= kKept) {
      pending_.pop_front();
      ++delivered_;  // dropped: nobody waits for it any more
    }
    pending_.push_back(card);
    ++recorded_;
  }
  changed_.notify_all();
}

void NoticeRelay::Flush() {
  std::unique_lock lock(mutex_);
  const std::uint64_t target = recorded_;
  changed_.wait(lock, [&] { return delivered_ >= target; });
}

void NoticeRelay::Run(const std::stop_token& stop) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (!changed_.wait(lock, stop, [&] { return !pending_.empty(); })) return;  // stopped
    const MacAddress card = pending_.front();
    pending_.pop_front();
    lock.unlock();
    deliver_(card);
    lock.lock();
    ++delivered_;
    changed_.notify_all();
  }
}

}  // namespace quillon
