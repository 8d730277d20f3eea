#include "link/pcap/InterfaceAddress.h"

#include <sys/socket.h>

#include <algorithm>

#if defined(__linux__)
#include <linux/if_arp.h>
#include <linux/if_packet.h>
#else
#include <net/if_dl.h>
#include <net/if_types.h>
#endif

namespace quillon::pcap {

std::optional<MacAddress> EthernetAddress(const pcap_if_t& device) {
  for (const pcap_addr_t* address = device.addresses; address; address = address->next) {
    const sockaddr* raw = address->addr;
    if (!raw) continue;
    MacAddress mac;
#if defined(__linux__)
    if (raw->sa_family != AF_PACKET) continue;
    const auto* link = reinterpret_cast<const sockaddr_ll*>(raw);
    if (link->sll_hatype != ARPHRD_ETHER || link->sll_halen != 6) continue;
    std::copy(link->sll_addr, link->sll_addr + 6, mac.bytes.begin());
#else
    if (raw->sa_family != AF_LINK) continue;
    const auto* link = reinterpret_cast<const sockaddr_dl*>(raw);
    if (link->sdl_type != IFT_ETHER || link->sdl_alen != 6) continue;
    const auto* bytes = reinterpret_cast<const Byte*>(LLADDR(link));
    std::copy(bytes, bytes + 6, mac.bytes.begin());
#endif
    return mac;
  }
  return std::nullopt;
}

}  // namespace quillon::pcap
