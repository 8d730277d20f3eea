// The packet driver for the machine's real Ethernet adapters, through libpcap.
#pragma once

#include <map>
#include <mutex>

#include "link/PacketDriver.h"

namespace quillon::pcap {

class PcapDriver : public PacketDriver {
 public:
  // Ethernet adapters that are up, in libpcap's order; loopback and pseudo-devices are left out.
  AdapterList ListAdapters() override;
  OpenedAdapter OpenAdapter(const std::string& driver_name) override;
  // ARP probes through a handle of their own on that adapter (ArpProbe).
  std::unique_ptr<AddressProbe> OpenAddressProbe(const std::string& driver_name) override;
  std::string PrivilegeProblem() override;
  std::string PrivilegeAdvice() override;

 private:
  std::optional<MacAddress> AddressOf(const std::string& driver_name);

  // The adapters' own addresses as the last listing gave them: opening an adapter needs its
  // address, and listing again for each one costs more than the open itself.
  std::mutex addresses_lock_;
  std::map<std::string, MacAddress> addresses_;
};

}  // namespace quillon::pcap
