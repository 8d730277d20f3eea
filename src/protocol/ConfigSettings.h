// What a configuration block means for the person editing it, and how their settings go back into
// the block. The block's configuration level decides which settings exist:
//   exactly 33   IPv6 settings
//   above 31     HTTP and Telnet ports
//   31 and up    full IPv4 form (address, mask and gateway under DHCP; BOOTP may be chosen)
//   above 750    an older family, treated as level 0
#pragma once

#include <cstdint>
#include <string>

#include "protocol/DeviceConfig.h"

namespace quillon {

namespace default_port {
inline constexpr std::uint16_t kHttp = 80;
inline constexpr std::uint16_t kTelnet = 23;
inline constexpr std::uint16_t kHttps = 443;
inline constexpr std::uint16_t kSsh = 22;
}  // namespace default_port

inline constexpr std::size_t kMaxIpv6TextLength = 44;

struct ServicePort {
  bool exists = true;  // false: the card has no such service, and it stays so
  bool enabled = false;
  std::uint32_t port = 0;  // as entered; a card takes 1 to 65534, which the settings checks ask

  friend bool operator==(const ServicePort&, const ServicePort&) = default;
};

struct NetworkSettings {
  int level = 0;  // the configuration level, 0 for the older family

  std::uint8_t ipv4_mode = ipv4_mode::kStatic;
  std::uint32_t address = 0;
  std::uint32_t mask = 0;
  std::uint32_t gateway = 0;

  bool has_http_telnet = false;
  ServicePort http;
  ServicePort telnet;
  ServicePort https;
  ServicePort ssh;

  bool has_ipv6 = false;
  int ipv6_method_index = 0;  // 0 "Automatic", 1 "Stateless DHCPV6", 2 "DHCPV6", 3 "Manual"
  std::string ipv6_address;
  std::string ipv6_gateway;
  std::uint16_t ipv6_prefix_length = 0;

  friend bool operator==(const NetworkSettings&, const NetworkSettings&) = default;
};

// The configuration level as the settings see it: above 750 counts as 0.
int EffectiveLevel(std::uint16_t config_version);
bool HasFullIpv4Form(int level);  // 31 and above: BOOTP, and mask and gateway under DHCP

// Turns a block as read into settings.
NetworkSettings SettingsFromConfig(const DeviceConfig& config);

// Writes the settings into the block last read, touching only what the level allows; everything
// else goes back as it was read. Throws std::invalid_argument, before changing anything, for a
// changed IPv6 text longer than 44 characters or an enabled port beyond 65535: settings that
// have not passed their checks.
void FillConfigFromSettings(DeviceConfig& config, const NetworkSettings& settings);

}  // namespace quillon
