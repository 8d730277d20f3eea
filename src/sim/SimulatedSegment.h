// An in-process Ethernet segment that is a packet driver of its own: one or more virtual
// adapters, each with its own simulated cards. The program opens a virtual adapter like a real
// one; what it sends reaches the cards on that adapter, and their answers come back through the
// adapter's receive path, late when a card is set to answer late.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
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

  AdapterList ListAdapters() override;
  OpenedAdapter OpenAdapter(const std::string& driver_name) override;

 private:
  static constexpr std::size_t kSentFramesKept = 4096;
  class Port;
  struct VirtualAdapter {
    std::string name;
    std::string display_text;
    MacAddress host_address;
    std::vector<std::shared_ptr<SimulatedCard>> cards;
    std::vector<Port*> ports;  // open adapters
    std::deque<Bytes> sent;    // the most recent kSentFramesKept
  };

  void Transmit(int adapter, ByteView frame);
  void Deliver(int adapter, const Bytes& frame);
  void Detach(int adapter, Port* port);

  mutable std::mutex mutex_;
  std::vector<VirtualAdapter> adapters_;
  DelayLine delay_line_;
};

}  // namespace quillon::sim
