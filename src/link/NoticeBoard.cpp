#include "link/NoticeBoard.h"

namespace quillon {

void NoticeBoard::Post(const MacAddress& card) {
  {
    std::lock_guard lock(mutex_);
    if (pending_.size() >= kMaxCards && !pending_.contains(card)) pending_.clear();
    ++pending_[card];
  }
  posted_.notify_all();
}

bool NoticeBoard::WaitFor(const MacAddress& card, Millis timeout) {
  std::unique_lock lock(mutex_);
  if (!posted_.wait_for(lock, timeout, [&] { return pending_.contains(card); })) return false;
  if (--pending_[card] == 0) pending_.erase(card);
  return true;
}

void NoticeBoard::Forget(const MacAddress& card) {
  std::lock_guard lock(mutex_);
  pending_.erase(card);
}

}  // namespace quillon
