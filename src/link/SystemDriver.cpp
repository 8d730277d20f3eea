#include "link/SystemDriver.h"

#include "link/pcap/PcapDriver.h"

namespace quillon {

std::unique_ptr<PacketDriver> MakeSystemDriver() {
  return std::make_unique<pcap::PcapDriver>();
}

}  // namespace quillon
