// A packet driver for link tests: it hands the link exactly the bytes a test gives it, with no
// filtering, and records what the link sends.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "link/PacketDriver.h"

namespace quillon::testing {

class FakeDriver : public PacketDriver {
 public:
  std::vector<AdapterInfo> adapters{{"fake0", "Fake adapter 0"}, {"fake1", "Fake adapter 1"}};
  OpenFailure refuse_with = OpenFailure::kNone;  // makes every open fail
  MacAddress own{{0x02, 0x00, 0x00, 0x00, 0x00, 0x01}};

  AdapterList ListAdapters() override { return {adapters, {}}; }
  OpenedAdapter OpenAdapter(const std::string& name) override;

  // Gives a frame to the receive thread of the open adapter and waits until the link has taken it.
  void Deliver(Bytes frame);
  std::vector<Bytes> Sent() const;
  int Opens() const;
  std::string LastOpened() const;

 private:
  class Port;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  Port* port_ = nullptr;
  std::vector<Bytes> sent_;
  int opens_ = 0;
  std::string last_opened_;
};

}  // namespace quillon::testing
