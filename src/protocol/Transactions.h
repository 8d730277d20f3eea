// Request/reply exchanges with one card. Each sends its request, then waits (without polling) for
// a frame from that card with the expected reply code, trying again when a window closes without
// one. Every transaction returns the reply's status; kNoReply means that no reply came.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>

#include "base/Timing.h"
#include "link/Link.h"
#include "protocol/FrameFormat.h"
#include "protocol/ReplyStash.h"

namespace quillon {

class Transactions {
 public:
  Transactions(Link& link, const Timing& timing);

  // Builds the request frame and sends it on the link.
  bool SendRequest(const Request& request);

  // Sends a request without data and copies the first out.size() data bytes of the reply into
  // `out`. Up to 5 tries of one query window each.
  ReplyStatus QueryTransaction(const MacAddress& card, Exchange exchange,
                               const DevicePassword& password, std::uint16_t parameter,
                               MutableByteView out);

  // Sends a request with data under the send lock; reply data are not returned. Status 4 (busy)
  // comes back as 2 after a pause. Up to 5 tries of one command window each.
  ReplyStatus CommandTransaction(const MacAddress& card, Exchange exchange,
                                 const DevicePassword& password, std::uint16_t parameter,
                                 ByteView data);

  // As CommandTransaction, for firmware image blocks: no pause after sending, and only frames
  // addressed to this adapter count.
  ReplyStatus TransferTransaction(const MacAddress& card, Exchange exchange,
                                  const DevicePassword& password, std::uint16_t parameter,
                                  ByteView data);

  Link& link() { return link_; }
  const Timing& timing() const { return timing_; }
  ReplyStash& stash() { return stash_; }

 private:
  enum class Accept { kNotFromSelf, kAddressedToSelf };

  void DiscardEarlierFrames(const MacAddress& card);
  ReplyStatus SendDataAndAwait(const Request& request, std::uint16_t reply_code, Accept accept,
                               Millis pause_in_send_lock);
  std::optional<Frame> AwaitReply(const MacAddress& card, std::uint16_t reply_code,
                                  std::size_t data_needed, Accept accept,
                                  Clock::time_point deadline);
  std::optional<Frame> TestReply(std::optional<Frame> frame, std::uint16_t reply_code,
                                 std::size_t data_needed);

  Link& link_;
  const Timing& timing_;
  std::mutex send_lock_;
  ReplyStash stash_;
};

}  // namespace quillon
