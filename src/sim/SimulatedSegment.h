// An in-process Ethernet segment that is a packet driver of its own: one or more virtual
// adapters, each with its own simulated cards. The program opens a virtual adapter like a real
// one; what it sends reaches the cards on that adapter, and their answers come back through the
// adapter's receive path, late when a card is set to answer late.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "link/PacketDriver.h"
#include "sim/DelayLine.h"
#include "sim/SimulatedCard.h"

namespace quillon::sim {

class SimulatedSegment : public PacketDriver {
 public:
  SimulatedSegment();
  // Every adapter opened on the segment must be closed before the segment goes.
  ~SimulatedSegment() override;

  // Adds a virtual adapter and returns its index. The host's own address on it is derived from
  // the index unless given.
  int AddAdapter(const std::string& name, const std::string& display_text,
                 std::optional<MacAddress> host_address = std::nullopt);
  std::shared_ptr<SimulatedCard> AddCard(int adapter, CardProfile profile);
  std::vector<std::shared_ptr<SimulatedCard>> Cards(int adapter) const;
  std::shared_ptr<SimulatedCard> FindCard(const MacAddress& mac) const;
  MacAddress HostAddress(int adapter) const;

  // Puts a raw frame on the wire of an adapter, towards the host, as if a card had sent it.
  void InjectFrame(int adapter, Bytes frame, Millis delay = Millis{0});

  // Frames the host has sent on an adapter, oldest first.
  std::vector<Bytes> SentFrames(int adapter) const;

  // An address a host on the adapter answers ARP for, besides the cards' own.
  void AddAnsweringAddress(int adapter, std::uint32_t address);

  // One question asked of an address probe, for tests.
  struct AddressQuestion {
    int adapter = 0;
    std::uint32_t address = 0;
    Millis wait{0};
    friend bool operator==(const AddressQuestion&, const AddressQuestion&) = default;
  };
  // Every question asked of the probes on this segment, oldest first.
  std::vector<AddressQuestion> AddressQuestions() const;

  AdapterList ListAdapters() override;
  OpenedAdapter OpenAdapter(const std::string& driver_name) override;
  // Answers at once, without waiting: whether a card on that adapter holds the address now (by
  // its configuration block, so a written address counts), or a test added it. Null for an
  // adapter the segment does not have. The segment must outlive its probes.
  std::unique_ptr<AddressProbe> OpenAddressProbe(const std::string& driver_name) override;

 private:
  static constexpr std::size_t kSentFramesKept = 4096;
  class Port;
  class Probe;
  struct VirtualAdapter {
    std::string name;
    std::string display_text;
    MacAddress host_address;
    std::vector<std::shared_ptr<SimulatedCard>> cards;
    std::vector<Port*> ports;  // open adapters
    std::deque<Bytes> sent;    // the most recent kSentFramesKept
    std::set<std::uint32_t> answering;
  };

  bool AddressAnswers(int adapter, std::uint32_t address, Millis wait);

  void Transmit(int adapter, ByteView frame);
  void Deliver(int adapter, const Bytes& frame);
  void Detach(int adapter, Port* port);

  mutable std::mutex mutex_;
  std::vector<VirtualAdapter> adapters_;
  std::vector<AddressQuestion> questions_;
  DelayLine delay_line_;
};

}  // namespace quillon::sim
