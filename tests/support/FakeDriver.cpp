#include "support/FakeDriver.h"

namespace quillon::testing {

class FakeDriver::Port : public AdapterPort {
 public:
  explicit Port(FakeDriver& driver) : driver_(driver) {}
  ~Port() override {
    std::lock_guard lock(driver_.mutex_);
    if (driver_.port_ == this) driver_.port_ = nullptr;
  }

  std::optional<MacAddress> OwnAddress() const override { return driver_.own; }

  bool Send(ByteView frame, std::string&) override {
    std::lock_guard lock(driver_.mutex_);
    driver_.sent_.emplace_back(frame.begin(), frame.end());
    return true;
  }

  std::string ReceiveUntilStopped(const FrameSink& sink) override {
    std::unique_lock lock(driver_.mutex_);
    for (;;) {
      driver_.changed_.wait(lock, [this] { return stopped_ || !inbox_.empty(); });
      if (stopped_) return {};
      Bytes frame = std::move(inbox_.front());
      lock.unlock();
      sink(frame);
      lock.lock();
      inbox_.pop_front();  // taken only now, so that Deliver() returns after the sink ran
      driver_.changed_.notify_all();
    }
  }

  void Stop() override {
    std::lock_guard lock(driver_.mutex_);
    stopped_ = true;
    driver_.changed_.notify_all();
  }

  std::deque<Bytes> inbox_;
  bool stopped_ = false;

 private:
  FakeDriver& driver_;
};

OpenedAdapter FakeDriver::OpenAdapter(const std::string& name) {
  std::lock_guard lock(mutex_);
  ++opens_;
  last_opened_ = name;
  if (refuse_with != OpenFailure::kNone) return {nullptr, refuse_with, "refused by the test"};
  auto port = std::make_unique<Port>(*this);
  port_ = port.get();
  return {std::move(port), OpenFailure::kNone, {}};
}

void FakeDriver::Deliver(Bytes frame) {
  std::unique_lock lock(mutex_);
  if (!port_) return;
  Port* port = port_;
  port->inbox_.push_back(std::move(frame));
  changed_.notify_all();
  changed_.wait(lock, [&] { return port_ != port || port->inbox_.empty() || port->stopped_; });
}

std::vector<Bytes> FakeDriver::Sent() const {
  std::lock_guard lock(mutex_);
  return sent_;
}

int FakeDriver::Opens() const {
  std::lock_guard lock(mutex_);
  return opens_;
}

std::string FakeDriver::LastOpened() const {
  std::lock_guard lock(mutex_);
  return last_opened_;
}

}  // namespace quillon::testing
