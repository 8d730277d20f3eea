// Takes the cards' notices off the receive threads. The link calls Record() on a receive thread,
// which must never wait for a view or a person: Record() only queues the card's address, and a
// thread of the relay's own hands each notice on to the receiver, however long that takes.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "base/MacAddress.h"

namespace quillon {

class NoticeRelay {
 public:
  // `deliver` runs on the relay's thread, one notice at a time, in the order they came.
  explicit NoticeRelay(std::function<void(const MacAddress& card)> deliver);
  // Delivers what is queued, then ends the thread.
  ~NoticeRelay();
  NoticeRelay(const NoticeRelay&) = delete;
  NoticeRelay& operator=(const NoticeRelay&) = delete;

  // Never waits for a delivery. A flood beyond what is kept drops the oldest notices.
  void Record(const MacAddress& card);
  // Returns once every notice recorded before the call has been delivered. Not from `deliver`.
  void Flush();

 private:
  static constexpr std::size_t kKept = 4096;

  void Run(const std::stop_token& stop);

  std::function<void(const MacAddress&)> deliver_;
  std::mutex mutex_;
  std::condition_variable_any changed_;  // its waits end on a stop request too
  std::deque<MacAddress> pending_;
  std::uint64_t recorded_ = 0;
  std::uint64_t delivered_ = 0;
  std::jthread thread_;  // last: it starts once everything above exists
};

}  // namespace quillon
