// The packet driver for the machine's real Ethernet adapters, through libpcap.
#pragma once

#include "link/PacketDriver.h"

namespace quillon::pcap {

class PcapDriver : public PacketDriver {
 public:
  // Ethernet adapters that are up, in libpcap's order; loopback and pseudo-devices are left out.
  AdapterList ListAdapters() override;
  OpenedAdapter OpenAdapter(const std::string& driver_name) override;
  std::string PrivilegeProblem() override;
  std::string PrivilegeAdvice() override;
};

}  // namespace quillon::pcap
