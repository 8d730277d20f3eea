#include "protocol/ReplyStash.h"

#include "protocol/FrameFormat.h"

namespace quillon {

void ReplyStash::StashFrame(Frame frame) {
  if (frame.size() < frame::kSource + 6) return;  // no source address to be found by
  std::lock_guard lock(stash_lock_);
  ++counts_[SourceOf(frame)];
  frames_.push_front(std::move(frame));
  if (frames_.size() > kCapacity) {
    Forget(frames_.back());
    frames_.pop_back();
  }
}

void ReplyStash::Forget(const Frame& frame) {
  const auto count = counts_.find(SourceOf(frame));
  if (--count->second == 0) counts_.erase(count);
}

std::optional<Frame> ReplyStash::TakeStashedReply(const MacAddress& card) {
  std::lock_guard lock(stash_lock_);
  if (!counts_.contains(card)) return std::nullopt;
  auto take = [&](std::size_t index) -> std::optional<Frame> {
    if (SourceOf(frames_[index]) != card) return std::nullopt;
    Frame frame = std::move(frames_[index]);
    frames_.erase(frames_.begin() + static_cast<std::ptrdiff_t>(index));
    Forget(frame);
    return frame;
  };
  // The order cards have always been answered in, kept on purpose: the second-newest frame
  // first, on towards the oldest, the newest last.
  for (std::size_t i = 1; i < frames_.size(); ++i) {
    if (auto frame = take(i)) return frame;
  }
  if (!frames_.empty()) return take(0);
  return std::nullopt;
}

void ReplyStash::Discard(const MacAddress& card) {
  std::lock_guard lock(stash_lock_);
  if (!counts_.contains(card)) return;
  std::erase_if(frames_, [&](const Frame& frame) { return SourceOf(frame) == card; });
  counts_.erase(card);
}

std::size_t ReplyStash::Size() const {
  std::lock_guard lock(stash_lock_);
  return frames_.size();
}

void ReplyStash::Clear() {
  std::lock_guard lock(stash_lock_);
  frames_.clear();
  counts_.clear();
}

}  // namespace quillon
