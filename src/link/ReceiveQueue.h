// The first-in first-out queue of received frames, shared by the receive thread (producer) and
// every transaction (consumers). Consumers do not poll: they sleep on the arrival signal, which
// wakes them for every frame queued from their card and for every frame another consumer puts
// aside for them.
#pragma once

#include <deque>
#include <mutex>
#include <optional>

#include "base/Bytes.h"
#include "base/MacAddress.h"
#include "link/ArrivalSignal.h"

namespace quillon {

using Frame = Bytes;

class ReceiveQueue {
 public:
  // A flood of frames that nobody takes must not grow memory without end; frames beyond this are
  // dropped, as a full kernel buffer would drop them.
  static constexpr std::size_t kCapacity = 8192;

  // False when the queue was full and the frame was dropped.
  bool Push(ByteView frame);
  std::optional<Frame> Pop();
  // Drops the queued frames that came from `source`; returns how many.
  std::size_t DiscardFrom(const MacAddress& source);
  void Clear();
  std::size_t Size() const;

  ArrivalSignal& Arrivals() { return arrivals_; }

 private:
  mutable std::mutex queue_lock_;
  std::deque<Frame> frames_;
  ArrivalSignal arrivals_;
};

}  // namespace quillon
