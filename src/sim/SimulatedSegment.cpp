#include "sim/SimulatedSegment.h"

#include <algorithm>
#include <condition_variable>
#include <deque>

#include "link/ReceiveFilter.h"
#include "protocol/FrameFormat.h"

namespace quillon::sim {

// One virtual adapter opened by the program: frames for the host wait in an inbox until the
// link's receive thread takes them.
class SimulatedSegment::Port : public AdapterPort {
 public:
  Port(SimulatedSegment& segment, int adapter, MacAddress own)
      : segment_(segment), adapter_(adapter), own_(own) {}
  ~Port() override { segment_.Detach(adapter_, this); }

  std::optional<MacAddress> OwnAddress() const override { return own_; }

  bool Send(ByteView frame, std::string& error) override {
    if (frame.size() > kMaxFrameLength) {
      error = "frame too long";
      return false;
    }
    segment_.Transmit(adapter_, frame);
    return true;
  }

  // Only frames for this adapter or for everyone, of the program's own type, as the real
  // adapter's filters let through.
  void Receive(const Bytes& frame) {
    if (!PassesReceiveFilter(frame)) return;
    const MacAddress destination = DestinationOf(frame);
    if (destination != own_ && destination != MacAddress::Broadcast()) return;
    {
      std::lock_guard lock(mutex_);
      if (stopped_) return;
      inbox_.push_back(frame);
    }
    arrived_.notify_one();
  }

  std::string ReceiveUntilStopped(const FrameSink& sink) override {
    std::unique_lock lock(mutex_);
    for (;;) {
      arrived_.wait(lock, [this] { return stopped_ || !inbox_.empty(); });
      if (stopped_) return {};
      std::deque<Bytes> batch;
      batch.swap(inbox_);
      lock.unlock();
      for (const Bytes& frame : batch) sink(frame);
      lock.lock();
    }
  }

  void Stop() override {
    {
      std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    arrived_.notify_all();
  }

 private:
  SimulatedSegment& segment_;
  const int adapter_;
  const MacAddress own_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<Bytes> inbox_;
  bool stopped_ = false;
};

class SimulatedSegment::Probe : public AddressProbe {
 public:
  Probe(SimulatedSegment& segment, int adapter) : segment_(segment), adapter_(adapter) {}
  bool AddressAnswers(std::uint32_t address, Millis wait) override {
    return segment_.AddressAnswers(adapter_, address, wait);
  }

 private:
  SimulatedSegment& segment_;
  const int adapter_;
};

SimulatedSegment::SimulatedSegment() = default;
SimulatedSegment::~SimulatedSegment() = default;

int SimulatedSegment::AddAdapter(const std::string& name, const std::string& display_text,
                                 std::optional<MacAddress> host_address) {
  std::lock_guard lock(mutex_);
  const auto index = static_cast<Byte>(adapters_.size());
  const MacAddress own = host_address.value_or(MacAddress{{0x02, 0x00, 0x5E, 0x00, 0x00, index}});
  adapters_.push_back({name, display_text, own, {}, {}, {}, {}});
  return index;
}

std::shared_ptr<SimulatedCard> SimulatedSegment::AddCard(int adapter, CardProfile profile) {
  auto card = std::make_shared<SimulatedCard>(std::move(profile));
  std::lock_guard lock(mutex_);
  adapters_.at(static_cast<std::size_t>(adapter)).cards.push_back(card);
  return card;
}

std::vector<std::shared_ptr<SimulatedCard>> SimulatedSegment::Cards(int adapter) const {
  std::lock_guard lock(mutex_);
  return adapters_.at(static_cast<std::size_t>(adapter)).cards;
}

std::shared_ptr<SimulatedCard> SimulatedSegment::FindCard(const MacAddress& mac) const {
  std::lock_guard lock(mutex_);
  for (const VirtualAdapter& adapter : adapters_) {
    for (const auto& card : adapter.cards) {
      if (card->Mac() == mac) return card;
    }
  }
  return nullptr;
}

MacAddress SimulatedSegment::HostAddress(int adapter) const {
  std::lock_guard lock(mutex_);
  return adapters_.at(static_cast<std::size_t>(adapter)).host_address;
}

std::vector<Bytes> SimulatedSegment::SentFrames(int adapter) const {
  std::lock_guard lock(mutex_);
  const auto& sent = adapters_.at(static_cast<std::size_t>(adapter)).sent;
  return {sent.begin(), sent.end()};
}

AdapterList SimulatedSegment::ListAdapters() {
  std::lock_guard lock(mutex_);
  AdapterList list;
  for (const VirtualAdapter& adapter : adapters_) {
    list.adapters.push_back({adapter.name, adapter.display_text});
  }
  return list;
}

OpenedAdapter SimulatedSegment::OpenAdapter(const std::string& driver_name) {
  std::lock_guard lock(mutex_);
  for (std::size_t i = 0; i < adapters_.size(); ++i) {
    if (adapters_[i].name != driver_name) continue;
    auto port = std::make_unique<Port>(*this, static_cast<int>(i), adapters_[i].host_address);
    adapters_[i].ports.push_back(port.get());
    return {std::move(port), OpenFailure::kNone, {}};
  }
  return {nullptr, OpenFailure::kNoSuchAdapter, "no simulated adapter named " + driver_name};
}

std::unique_ptr<AddressProbe> SimulatedSegment::OpenAddressProbe(const std::string& driver_name) {
  std::lock_guard lock(mutex_);
  for (std::size_t i = 0; i < adapters_.size(); ++i) {
    if (adapters_[i].name == driver_name)
      return std::make_unique<Probe>(*this, static_cast<int>(i));
  }
  return nullptr;
}

void SimulatedSegment::AddAnsweringAddress(int adapter, std::uint32_t address) {
  std::lock_guard lock(mutex_);
  adapters_.at(static_cast<std::size_t>(adapter)).answering.insert(address);
}

std::vector<SimulatedSegment::AddressQuestion> SimulatedSegment::AddressQuestions() const {
  std::lock_guard lock(mutex_);
  return questions_;
}

bool SimulatedSegment::AddressAnswers(int adapter, std::uint32_t address, Millis wait) {
  std::vector<std::shared_ptr<SimulatedCard>> cards;
  {
    std::lock_guard lock(mutex_);
    questions_.push_back({adapter, address, wait});
    const VirtualAdapter& wire = adapters_.at(static_cast<std::size_t>(adapter));
    if (wire.answering.contains(address)) return true;
    cards = wire.cards;
  }
  return std::any_of(cards.begin(), cards.end(),
                     [&](const auto& card) { return card->UsesIpv4Address(address); });
}

void SimulatedSegment::Detach(int adapter, Port* port) {
  std::lock_guard lock(mutex_);
  auto& ports = adapters_.at(static_cast<std::size_t>(adapter)).ports;
  ports.erase(std::remove(ports.begin(), ports.end(), port), ports.end());
}

void SimulatedSegment::Transmit(int adapter, ByteView frame) {
  std::vector<std::shared_ptr<SimulatedCard>> cards;
  {
    std::lock_guard lock(mutex_);
    VirtualAdapter& wire = adapters_.at(static_cast<std::size_t>(adapter));
    wire.sent.emplace_back(frame.begin(), frame.end());
    if (wire.sent.size() > kSentFramesKept) wire.sent.pop_front();
    cards = wire.cards;
  }
  const Clock::time_point now = Clock::now();
  for (const auto& card : cards) {
    for (OutgoingFrame& out : card->HandleFrame(frame, now)) {
      InjectFrame(adapter, std::move(out.frame), out.delay);
    }
  }
}

void SimulatedSegment::InjectFrame(int adapter, Bytes frame, Millis delay) {
  if (delay.count() <= 0) {
    Deliver(adapter, frame);
    return;
  }
  delay_line_.Schedule(Clock::now() + delay,
                       [this, adapter, frame = std::move(frame)] { Deliver(adapter, frame); });
}

void SimulatedSegment::Deliver(int adapter, const Bytes& frame) {
  std::lock_guard lock(mutex_);
  for (Port* port : adapters_.at(static_cast<std::size_t>(adapter)).ports) port->Receive(frame);
}

}  // namespace quillon::sim
