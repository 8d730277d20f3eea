#include "link/NoticeBoard.h"

namespace quillon {

void NoticeBoard::MakeRoom() {
  std::erase_if(pending_, [&](const auto& entry) { return !expected_.contains(entry.first); });
}

void NoticeBoard::Post(const MacAddress& card) {
  {
    std::lock_guard lock(mutex_);
    if (pending_.size() >= kMaxCards && !pending_.contains(card)) {
      MakeRoom();
      if (pending_.size() >= kMaxCards && !expected_.contains(card)) return;  // a stranger
    }
    ++pending_[card];
  }
  posted_.notify_all();
}

void NoticeBoard::Expect(const MacAddress& card) {
  std::lock_guard lock(mutex_);
  pending_.erase(card);
  expected_.insert(card);
}

bool NoticeBoard::WaitFor(const MacAddress& card, Millis timeout) {
  std::unique_lock lock(mutex_);
  expected_.insert(card);
  const bool posted = posted_.wait_for(lock, timeout, [&] { return pending_.contains(card); });
  if (posted && --pending_[card] == 0) pending_.erase(card);
  expected_.erase(card);  // one worker waits for a card at a time
  return posted;
}

}  // namespace quillon
