// The cards' notices that programming has finished, kept per card until the one waiting for that
// card takes them. A notice names its card, so a notice from one card never releases the wait for
// another.
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>

#include "base/MacAddress.h"
#include "base/Timing.h"

namespace quillon {

class NoticeBoard {
 public:
  void Post(const MacAddress& card);
  // Waits until a notice from `card` is there and takes it; false when the time ran out.
  bool WaitFor(const MacAddress& card, Millis timeout);
  // Drops the notices of `card` that nobody took, before asking it for a new one.
  void Forget(const MacAddress& card);

 private:
  // A flood of notices from cards nobody waits for must not grow memory without end.
  static constexpr std::size_t kMaxCards = 4096;

  std::mutex mutex_;
  std::condition_variable posted_;
  std::map<MacAddress, int> pending_;
};

}  // namespace quillon
