#include "protocol/Transactions.h"

#include <algorithm>
#include <thread>

namespace quillon {

Transactions::Transactions(Link& link, const Timing& timing) : link_(link), timing_(timing) {}

bool Transactions::SendRequest(const Request& request) {
  return link_.SendFrame(BuildRequestFrame(link_.OwnAddress(), request));
}

// A card answers one request at a time, and one transaction talks to it at a time: whatever of
// its frames is waiting before a request goes out answered something earlier (a duplicate, or a
// reply that came after its window), and would otherwise be taken for the new one's reply when
// the two share a reply code, as a configuration read and write do.
void Transactions::DiscardEarlierFrames(const MacAddress& card) {
  link_.DiscardFramesFrom(card);
  stash_.Discard(card);
}

ReplyStatus Transactions::QueryTransaction(const MacAddress& card, Exchange exchange,
                                           const DevicePassword& password, std::uint16_t parameter,
                                           MutableByteView out) {
  const Request request{card, exchange.request, parameter, password, {}, out.size()};
  const std::uint16_t reply_code = exchange.reply;
  for (int attempt = 0; attempt < timing_.query_tries; ++attempt) {
    DiscardEarlierFrames(card);
    if (!SendRequest(request)) continue;
    const auto deadline = Clock::now() + timing_.query_window;
    if (auto reply = AwaitReply(card, reply_code, out.size(), Accept::kNotFromSelf, deadline)) {
      const ByteView data = Slice(*reply, frame::kData, out.size());
      std::copy(data.begin(), data.end(), out.begin());
      return ReplyStatus(LoadBe16(*reply, frame::kStatus));
    }
  }
  return status::kNoReply;
}

ReplyStatus Transactions::CommandTransaction(const MacAddress& card, Exchange exchange,
                                             const DevicePassword& password,
                                             std::uint16_t parameter, ByteView data) {
  const Request request{card, exchange.request, parameter, password, data, 0};
  return SendDataAndAwait(request, exchange.reply, Accept::kNotFromSelf,
                          timing_.command_send_pause);
}

ReplyStatus Transactions::TransferTransaction(const MacAddress& card, Exchange exchange,
                                              const DevicePassword& password,
                                              std::uint16_t parameter, ByteView data) {
  const Request request{card, exchange.request, parameter, password, data, 0};
  return SendDataAndAwait(request, exchange.reply, Accept::kAddressedToSelf, Millis{0});
}

ReplyStatus Transactions::SendDataAndAwait(const Request& request, std::uint16_t reply_code,
                                           Accept accept, Millis pause_in_send_lock) {
  for (int attempt = 0; attempt < timing_.command_tries; ++attempt) {
    bool sent = false;
    {
      std::lock_guard lock(send_lock_);
      DiscardEarlierFrames(request.destination);
      sent = SendRequest(request);
      // Paces the cards: the next command frame, from any thread, leaves after this pause.
      if (pause_in_send_lock.count() > 0) std::this_thread::sleep_for(pause_in_send_lock);
    }
    if (!sent) continue;
    const auto deadline = Clock::now() + timing_.command_window;
    const auto reply = AwaitReply(request.destination, reply_code, 0, accept, deadline);
    if (!reply) continue;
    const ReplyStatus status(LoadBe16(*reply, frame::kStatus));
    if (status != status::kBusy) return status;
    std::this_thread::sleep_for(timing_.busy_pause);
    return status::kDone;
  }
  return status::kNoReply;
}

std::optional<Frame> Transactions::TestReply(std::optional<Frame> frame, std::uint16_t reply_code,
                                             std::size_t data_needed) {
  if (frame && IsReply(*frame, reply_code, data_needed)) return frame;
  return std::nullopt;  // not the reply: dropped
}

std::optional<Frame> Transactions::AwaitReply(const MacAddress& card, std::uint16_t reply_code,
                                              std::size_t data_needed, Accept accept,
                                              Clock::time_point deadline) {
  const MacAddress own = link_.OwnAddress();
  ArrivalSignal::Waiter waiter(link_.Arrivals(), card);
  // The deadline is looked at on every pass, so that a flood of other frames cannot hold a
  // transaction past its window.
  for (bool first_pass = true;; first_pass = false) {
    if (!first_pass && Clock::now() >= deadline) return std::nullopt;
    waiter.Arm();
    if (std::optional<Frame> frame = link_.ReceiveFrame()) {
      if (frame->size() < frame::kData) continue;  // runt: not a reply to anything
      const bool ignored =
          accept == Accept::kNotFromSelf ? SourceOf(*frame) == own : DestinationOf(*frame) != own;
      if (ignored) continue;
      if (SourceOf(*frame) == card) {
        if (auto reply = TestReply(std::move(frame), reply_code, data_needed)) return reply;
        continue;
      }
      const MacAddress owner = SourceOf(*frame);
      stash_.StashFrame(std::move(*frame));
      link_.Arrivals().Notify(owner);  // the transaction waiting for that card may be asleep
      if (auto reply = TestReply(stash_.TakeStashedReply(card), reply_code, data_needed)) {
        return reply;
      }
      continue;
    }
    if (auto stashed = stash_.TakeStashedReply(card)) {
      if (auto reply = TestReply(std::move(stashed), reply_code, data_needed)) return reply;
      continue;
    }
    waiter.Wait(deadline);
  }
}

}  // namespace quillon
