#include "protocol/ConfigSettings.h"

#include <algorithm>
#include <stdexcept>

namespace quillon {

namespace {

constexpr int kIpv6Level = 33;
constexpr int kPortsAboveLevel = 31;
constexpr int kFullIpv4Level = 31;
constexpr int kOlderFamilyAbove = 750;

// HTTP and Telnet: 0 and 0xFFFF both mean off.
ServicePort PlainServiceFrom(std::uint16_t value, std::uint16_t default_port) {
  if (value == 0 || value == kPortDisabled) return {true, false, default_port};
  return {true, true, value};
}

// HTTPS and SSH: 0 means the card has no such service.
ServicePort OptionalServiceFrom(std::uint16_t value, std::uint16_t default_port) {
  if (value == 0) return {false, false, default_port};
  if (value == kPortDisabled) return {true, false, default_port};
  return {true, true, value};
}

std::uint16_t PlainServiceValue(const ServicePort& service) {
  return service.enabled ? static_cast<std::uint16_t>(service.port) : kPortDisabled;
}

void RequirePort(const ServicePort& service) {
  if (service.enabled && service.port > 0xFFFF) {
    throw std::invalid_argument("port " + std::to_string(service.port) + " does not fit a port");
  }
}

// A card without the service (0 in the block as read) keeps 0, whatever the settings say.
std::uint16_t OptionalServiceValue(std::uint16_t value_read, const ServicePort& service) {
  if (value_read == 0 || !service.exists) return 0;
  return PlainServiceValue(service);
}

// The text and its terminator; the bytes after the terminator stay as read. A text that did not
// change goes back exactly as read, even one that filled its field without a terminator.
void StoreIpv6Text(DeviceConfig::IPv6Text& field, const std::string& text) {
  if (text == FieldText(field)) return;
  std::copy(text.begin(), text.end(), field.begin());
  field[text.size()] = 0;
}

void RequireIpv6Text(const DeviceConfig::IPv6Text& field, const std::string& text) {
  if (text.size() > kMaxIpv6TextLength && text != FieldText(field)) {
    throw std::invalid_argument("an IPv6 text has at most 44 characters");
  }
}

}  // namespace

int EffectiveLevel(std::uint16_t config_version) {
  return config_version > kOlderFamilyAbove ? 0 : config_version;
}

bool HasFullIpv4Form(int level) {
  return level >= kFullIpv4Level;
}

NetworkSettings SettingsFromConfig(const DeviceConfig& config) {
  NetworkSettings s;
  s.level = EffectiveLevel(config.config_version);

  s.ipv4_mode = config.ipv4_mode <= ipv4_mode::kBootp ? config.ipv4_mode : ipv4_mode::kStatic;
  const bool dhcp_short_form = config.ipv4_mode == ipv4_mode::kDhcp && !HasFullIpv4Form(s.level);
  s.address = dhcp_short_form ? config.current_address : config.ip_address;
  s.mask = config.subnet_mask;
  s.gateway = config.gateway;

  s.has_http_telnet = s.level > kPortsAboveLevel;
  if (s.has_http_telnet) {
    s.http = PlainServiceFrom(config.http_port, default_port::kHttp);
    s.telnet = PlainServiceFrom(config.telnet_port, default_port::kTelnet);
  } else {
    s.http = {true, false, default_port::kHttp};
    s.telnet = {true, false, default_port::kTelnet};
  }
  s.https = OptionalServiceFrom(config.https_port, default_port::kHttps);
  s.ssh = OptionalServiceFrom(config.ssh_port, default_port::kSsh);

  s.has_ipv6 = s.level == kIpv6Level;
  if (s.has_ipv6) {
    s.ipv6_method_index = config.ipv6_mode - 1;
    s.ipv6_address = config.Ipv6AddressText();
    s.ipv6_gateway = config.Ipv6GatewayText();
    s.ipv6_prefix_length = config.ipv6_prefix_length;
  }
  return s;
}

void FillConfigFromSettings(DeviceConfig& config, const NetworkSettings& settings) {
  const int level = EffectiveLevel(config.config_version);
  // Checked before anything changes.
  if (level == kIpv6Level) {
    RequireIpv6Text(config.ipv6_gateway, settings.ipv6_gateway);
    RequireIpv6Text(config.ipv6_address, settings.ipv6_address);
  }
  for (const ServicePort* service :
       {&settings.http, &settings.telnet, &settings.https, &settings.ssh}) {
    RequirePort(*service);
  }
  config.ip_address = settings.address;
  config.subnet_mask = settings.mask;
  config.gateway = settings.gateway;
  config.ipv4_mode = settings.ipv4_mode;

  if (level > kPortsAboveLevel) {
    config.http_port = PlainServiceValue(settings.http);
    config.telnet_port = PlainServiceValue(settings.telnet);
  }
  config.https_port = OptionalServiceValue(config.https_port, settings.https);
  config.ssh_port = OptionalServiceValue(config.ssh_port, settings.ssh);

  if (level == kIpv6Level) {
    config.ipv6_mode = static_cast<std::uint8_t>(settings.ipv6_method_index + 1);
    StoreIpv6Text(config.ipv6_gateway, settings.ipv6_gateway);
    StoreIpv6Text(config.ipv6_address, settings.ipv6_address);
    config.ipv6_prefix_length = settings.ipv6_prefix_length;
  }
}

}  // namespace quillon
