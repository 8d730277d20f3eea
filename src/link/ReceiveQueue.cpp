#include "link/ReceiveQueue.h"

namespace quillon {

bool ReceiveQueue::Push(ByteView frame) {
  {
    std::lock_guard lock(queue_lock_);
    if (frames_.size() >= kCapacity) return false;
    frames_.emplace_back(frame.begin(), frame.end());
  }
  constexpr std::size_t kSourceOffset = 6;
  if (frame.size() >= kSourceOffset + 6) {
    arrivals_.Notify(MacAddress::From(frame, kSourceOffset));
  } else {
    arrivals_.NotifyAnyFrameWaiters();
  }
  return true;
}

std::optional<Frame> ReceiveQueue::Pop() {
  std::lock_guard lock(queue_lock_);
  if (frames_.empty()) return std::nullopt;
  Frame frame = std::move(frames_.front());
  frames_.pop_front();
  return frame;
}

std::size_t ReceiveQueue::DiscardFrom(const MacAddress& source) {
  constexpr std::size_t kSourceOffset = 6;
  std::lock_guard lock(queue_lock_);
  return std::erase_if(frames_, [&](const Frame& frame) {
    return frame.size() >= kSourceOffset + 6 && MacAddress::From(frame, kSourceOffset) == source;
  });
}

void ReceiveQueue::Clear() {
  std::lock_guard lock(queue_lock_);
  frames_.clear();
}

std::size_t ReceiveQueue::Size() const {
  std::lock_guard lock(queue_lock_);
  return frames_.size();
}

}  // namespace quillon
