// Runs actions at given times on a thread of its own: replies that a simulated card sends late,
// and notices it sends on its own.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <queue>
#include <thread>
#include <vector>

#include "base/Timing.h"

namespace quillon::sim {

class DelayLine {
 public:
  DelayLine();
  ~DelayLine();  // drops what has not run yet
  DelayLine(const DelayLine&) = delete;
  DelayLine& operator=(const DelayLine&) = delete;

  void Schedule(Clock::time_point when, std::function<void()> action);

 private:
  struct Entry {
    Clock::time_point when;
    std::uint64_t order;  // keeps actions due at the same time in the order they were scheduled
    std::function<void()> action;
    bool operator>(const Entry& other) const {
      return when != other.when ? when > other.when : order > other.order;
    }
  };

  void Run();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<>> entries_;
  std::uint64_t next_order_ = 0;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace quillon::sim
