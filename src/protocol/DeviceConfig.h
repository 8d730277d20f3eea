// The card's settings record, read and written whole. 256 bytes; the list refresh and the
// standalone IPv4 command use only its first 68 ("short form"). Multi-byte fields are
// big-endian, except the IPv6 prefix length, which is little-endian.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/Bytes.h"

namespace quillon {

inline constexpr std::size_t kConfigBlockSize = 256;
inline constexpr std::size_t kShortConfigSize = 68;
inline constexpr std::uint32_t kConfigMagic = 0x21472174;

using ConfigBlock = std::array<Byte, kConfigBlockSize>;

namespace ipv4_mode {
inline constexpr std::uint8_t kStatic = 0;
inline constexpr std::uint8_t kDhcp = 1;
inline constexpr std::uint8_t kBootp = 2;
}  // namespace ipv4_mode

// Port value of a service that is switched off; 0 means, for HTTPS and SSH, that the card has no
// such service, and for HTTP and Telnet, also switched off.
inline constexpr std::uint16_t kPortDisabled = 0xFFFF;

// The configuration level of the cards that have IPv6 settings (and no other level has them).
inline constexpr std::uint16_t kIpv6ConfigLevel = 33;

struct DeviceConfig {
  using IPv6Text = std::array<Byte, 45>;

  std::uint32_t magic = 0;                    //   0
  std::uint32_t checksum = 0;                 //   4
  std::uint16_t config_version = 0;           //   8  the firmware's configuration level
  std::array<Byte, 13> reserved_10{};         //  10
  std::uint8_t ipv4_mode = 0;                 //  23
  std::uint32_t gateway = 0;                  //  24
  std::uint32_t current_address = 0;          //  28  in use under DHCP; read only
  std::uint32_t ip_address = 0;               //  32
  std::uint32_t subnet_mask = 0;              //  36
  std::uint16_t http_port = 0;                //  40  level above 31
  std::uint16_t telnet_port = 0;              //  42  level above 31
  std::uint16_t https_port = 0;               //  44
  std::uint16_t ssh_port = 0;                 //  46
  std::array<Byte, 24> reserved_48{};         //  48
  std::uint8_t ipv6_mode = 0;                 //  72  level 33 from here on
  IPv6Text ipv6_gateway{};                    //  73
  IPv6Text ipv6_address{};                    // 118
  IPv6Text ipv6_address2{};                   // 163  read only
  std::uint16_t ipv6_prefix_length = 0;       // 208  little-endian on the wire
  std::array<Byte, 46> link_local_address{};  // 210  read only

  static DeviceConfig Decode(const ConfigBlock& block);
  ConfigBlock Encode() const;

  std::string Ipv6GatewayText() const { return FieldText(ipv6_gateway); }
  std::string Ipv6AddressText() const { return FieldText(ipv6_address); }
  std::string Ipv6Address2Text() const { return FieldText(ipv6_address2); }
  std::string LinkLocalText() const { return FieldText(link_local_address); }
};

// Readies the first `length` bytes of a block (256 or 68) for a write: the magic number, then the
// checksum of bytes 8 to length - 1.
void PrepareConfigWrite(ConfigBlock& block, std::size_t length);

// "%d.%d.%d.%d", most significant byte first.
std::string Ipv4Text(std::uint32_t address);
// Four decimal numbers of 0 to 255 with dots between them, nothing else; host order.
std::optional<std::uint32_t> ParseIpv4Text(std::string_view text);

}  // namespace quillon
