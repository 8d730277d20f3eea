// Frames that one transaction took from the queue but that came from another card. Several
// threads talk to several cards at once over one queue: each keeps the frames of its own card and
// puts the others here, where the transaction waiting for that card finds them.
#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <optional>

#include "base/MacAddress.h"
#include "link/ReceiveQueue.h"

namespace quillon {

class ReplyStash {
 public:
  // Frames nobody asks for stay until the program ends; a flood of them must not grow memory
  // without end, so beyond this the oldest entry is released.
  static constexpr std::size_t kCapacity = 4096;

  // Keeps a copy of the whole frame.
  void StashFrame(Frame frame);

  // Removes one frame whose source is `card`. Looks at the second-newest entry first, then on
  // towards the oldest, and at the newest entry last.
  std::optional<Frame> TakeStashedReply(const MacAddress& card);

  // Drops every frame of `card`.
  void Discard(const MacAddress& card);

  std::size_t Size() const;
  void Clear();

 private:
  void Forget(const Frame& frame);

  mutable std::mutex stash_lock_;
  std::deque<Frame> frames_;  // newest first
  // How many frames each card has here: a card with none is answered without a search, which
  // keeps a flood of frames from strangers cheap.
  std::map<MacAddress, std::size_t> counts_;
};

}  // namespace quillon
