// ARP for IPv4 over Ethernet, in its Ethernet frame:
//
//   offset  width  field
//        0      6  destination MAC
//        6      6  source MAC
//       12      2  frame type, 0x0806
//       14      2  hardware type, 1 (Ethernet)
//       16      2  protocol type, 0x0800 (IPv4)
//       18      1  hardware address length, 6
//       19      1  protocol address length, 4
//       20      2  operation: 1 request, 2 reply
//       22      6  sender hardware address
//       28      4  sender IPv4 address
//       32      6  target hardware address
//       38      4  target IPv4 address
//
// 42 bytes, sent padded with zeros to the Ethernet minimum of 60. Every field is big-endian.
// The settings use it to ask whether an address is taken before giving it to a card; the
// simulated cards answer it for their own addresses.
#pragma once

#include <cstdint>
#include <optional>

#include "base/Bytes.h"
#include "base/MacAddress.h"

namespace quillon {

namespace arp {
inline constexpr std::size_t kDestination = 0;
inline constexpr std::size_t kSource = 6;
inline constexpr std::size_t kType = 12;
inline constexpr std::size_t kHardwareType = 14;
inline constexpr std::size_t kProtocolType = 16;
inline constexpr std::size_t kHardwareLength = 18;
inline constexpr std::size_t kProtocolLength = 19;
inline constexpr std::size_t kOperation = 20;
inline constexpr std::size_t kSenderMac = 22;
inline constexpr std::size_t kSenderIp = 28;
inline constexpr std::size_t kTargetMac = 32;
inline constexpr std::size_t kTargetIp = 38;
inline constexpr std::size_t kLength = 42;
inline constexpr std::size_t kSentLength = 60;

inline constexpr std::uint16_t kFrameType = 0x0806;
inline constexpr std::uint16_t kEthernet = 1;
inline constexpr std::uint16_t kIpv4 = 0x0800;
inline constexpr std::uint16_t kRequest = 1;
inline constexpr std::uint16_t kReply = 2;
}  // namespace arp

// One ARP packet with its Ethernet addresses; IPv4 addresses in host order.
struct ArpPacket {
  MacAddress destination;
  MacAddress source;
  std::uint16_t operation = arp::kRequest;
  MacAddress sender_mac;
  std::uint32_t sender_ip = 0;
  MacAddress target_mac;
  std::uint32_t target_ip = 0;

  // The whole frame, padded to 60 bytes.
  Bytes Encode() const;
  // Nothing unless the frame is ARP for IPv4 over Ethernet and holds all 42 bytes; any operation
  // is taken.
  static std::optional<ArpPacket> Decode(ByteView frame);

  friend bool operator==(const ArpPacket&, const ArpPacket&) = default;
};

// The probe of RFC 5227: a broadcast request for `address` that claims no address of the sender's
// (sender IP 0.0.0.0, target hardware address zero), so that it can be sent where this machine
// has no address.
ArpPacket MakeArpProbe(const MacAddress& own, std::uint32_t address);

// What a host that holds the address asked for in `request` answers, from `responder`: to the
// requester's hardware address, and to a probe with target IP 0.0.0.0 as RFC 5227 has it.
ArpPacket MakeArpReply(const ArpPacket& request, const MacAddress& responder);

// True when `packet` shows another host than `own` using `address`: its reply for the address, or
// a request of its own (an announcement, or an ordinary request) sent from the address.
bool ShowsAddressInUse(const ArpPacket& packet, std::uint32_t address, const MacAddress& own);

}  // namespace quillon
