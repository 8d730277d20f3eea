// The cards' notices that programming has finished, kept per card until the one waiting for that
// card takes them. A notice names its card, so a notice from one card never releases the wait for
// another. The board is bounded against floods from cards nobody waits for; a card that is
// expected keeps its notices whatever arrives meanwhile.
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <set>

#include "base/MacAddress.h"
#include "base/Timing.h"

namespace quillon {

class NoticeBoard {
 public:
  // Beyond this many cards with notices, the notices of cards nobody expects are dropped.
  static constexpr std::size_t kMaxCards = 4096;

  void Post(const MacAddress& card);
  // A notice from `card` is about to be asked for: the ones it sent before are dropped, and the
  // next is kept until WaitFor() takes it.
  void Expect(const MacAddress& card);
  // Waits until a notice from `card` is there and takes it; false when the time ran out. Ends
  // what Expect() began.
  bool WaitFor(const MacAddress& card, Millis timeout);

 private:
  void MakeRoom();

  std::mutex mutex_;
  std::condition_variable posted_;
  std::map<MacAddress, int> pending_;
  std::set<MacAddress> expected_;
};

}  // namespace quillon
