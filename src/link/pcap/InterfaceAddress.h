// What the operating system knows about an interface that libpcap lists.
#pragma once

#include <pcap/pcap.h>

#include <optional>

#include "base/MacAddress.h"

namespace quillon::pcap {

// The Ethernet address among an interface's addresses, when it has one: interfaces without one
// (loopback, tunnels, monitors) are not Ethernet adapters.
std::optional<MacAddress> EthernetAddress(const pcap_if_t& device);

}  // namespace quillon::pcap
