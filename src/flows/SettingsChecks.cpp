#include "flows/SettingsChecks.h"

#include <algorithm>
#include <cctype>

#include "protocol/DeviceConfig.h"
#include "protocol/DevicePassword.h"

namespace quillon {

namespace {

constexpr std::uint32_t kAllOnes = 0xFFFFFFFF;
constexpr std::uint32_t kHighestPort = 65534;

CheckFailure Fail(std::string message, SettingsField field) {
  return {std::move(message), field};
}

bool FirstByteZero(std::uint32_t address) {
  return (address >> 24) == 0;
}

// The leading decimal digits of a text, saturating at 4294967295; 0 when there are none.
std::uint32_t LeadingNumber(std::string_view text) {
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') break;
    value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(c - '0'), kAllOnes);
  }
  return static_cast<std::uint32_t>(value);
}

CheckResult MaskAndGatewayCheck(std::uint32_t mask, std::uint32_t gateway) {
  if (mask == 0 || mask == kAllOnes) {
    return Fail("Invalid Input Subnet Mask 0.0.0.0 or 255.255.255.255", SettingsField::kMask);
  }
  if (gateway == kAllOnes) {
    return Fail("Invalid Input Gateway Address 255.255.255.255", SettingsField::kGateway);
  }
  if (FirstByteZero(gateway)) return Fail("Invalid Gateway Address", SettingsField::kGateway);
  return std::nullopt;
}

CheckResult StaticAddressCheck(std::uint8_t mode, std::uint32_t address) {
  if (mode == ipv4_mode::kStatic && FirstByteZero(address)) {
    return Fail("Invalid IP Address", SettingsField::kAddress);
  }
  return std::nullopt;
}

CheckResult ContiguityCheck(std::uint32_t mask) {
  if (!MaskContiguityCheck(mask)) return Fail("Invalid Subnet Mask", SettingsField::kMask);
  return std::nullopt;
}

}  // namespace

CheckResult PasswordEntriesCheck(const PasswordEntries& entries) {
  if (!entries.enabled) return std::nullopt;
  if (entries.new_password != entries.confirm) {
    return Fail("New Password and Confirm Password are different. Please check again.",
                SettingsField::kNewPassword);
  }
  if (entries.new_password.empty() || entries.new_password.find(' ') != std::string::npos) {
    return Fail("Password could not have space or left empty. \nPlease input a valid password.",
                SettingsField::kNewPassword);
  }
  // Every later request carries the password in its header, which holds 15 characters.
  if (entries.new_password.size() > DevicePassword::kMaxLength) {
    return Fail("Password could not be longer than " + std::to_string(DevicePassword::kMaxLength) +
                    " characters.",
                SettingsField::kNewPassword);
  }
  return std::nullopt;
}

PortConflictResult PortConflictCheck(const std::vector<std::uint32_t>& ports) {
  for (std::size_t i = 0; i < ports.size(); ++i) {
    for (std::size_t k = i + 1; k < ports.size(); ++k) {
      if (ports[i] == ports[k]) return {PortConflict::kEqualPorts, 0};
    }
  }
  for (const std::uint16_t reserved : kReservedPorts) {
    if (std::find(ports.begin(), ports.end(), reserved) != ports.end()) {
      return {PortConflict::kReservedPort, reserved};
    }
  }
  return {};
}

std::vector<std::uint32_t> ConflictCheckedPorts(const NetworkSettings& settings) {
  std::vector<std::uint32_t> ports;
  if (settings.has_http_telnet) ports.push_back(settings.http.port);
  ports.push_back(settings.https.port);
  ports.push_back(settings.ssh.port);
  if (settings.has_http_telnet) ports.push_back(settings.telnet.port);
  return ports;
}

CheckResult PortConflictText(const NetworkSettings& settings) {
  const PortConflictResult conflict = PortConflictCheck(ConflictCheckedPorts(settings));
  switch (conflict.result) {
    case PortConflict::kEqualPorts:
      return Fail("Port numbers should not be same", SettingsField::kNone);
    case PortConflict::kReservedPort:
      return Fail("Invalid port: " + std::to_string(conflict.port), SettingsField::kNone);
    case PortConflict::kAcceptable:
      break;
  }
  return std::nullopt;
}

CheckResult PortRangeCheck(const NetworkSettings& settings) {
  struct Service {
    const ServicePort& port;
    const char* name;
    SettingsField field;
  };
  const Service services[] = {{settings.http, "HTTP", SettingsField::kHttpPort},
                              {settings.telnet, "Telnet", SettingsField::kTelnetPort},
                              {settings.https, "HTTPS", SettingsField::kHttpsPort},
                              {settings.ssh, "SSH", SettingsField::kSshPort}};
  for (const Service& service : services) {
    if (!service.port.enabled) continue;
    if (service.port.port < 1 || service.port.port > kHighestPort) {
      return Fail(std::string(service.name) + " port should be in between 1 to 65534",
                  service.field);
    }
  }
  return std::nullopt;
}

std::uint32_t TickedPort(std::uint32_t port, std::uint16_t default_port) {
  return port == 0 || port > kHighestPort ? default_port : port;
}

std::uint32_t PortEntryValue(std::string_view text) {
  return LeadingNumber(text);
}

CheckResult PortsPageLeaveCheck(const NetworkSettings& settings) {
  if (auto failure = PortConflictText(settings)) return failure;
  struct Service {
    const ServicePort& port;
    SettingsField field;
  };
  for (const Service& service : {Service{settings.http, SettingsField::kHttpPort},
                                 Service{settings.telnet, SettingsField::kTelnetPort}}) {
    if (!settings.has_http_telnet || !service.port.enabled) continue;
    if (service.port.port < 1 || service.port.port > kHighestPort) {
      return Fail("Please enter an integer between 1 and 65534.", service.field);
    }
  }
  return std::nullopt;
}

bool MaskContiguityCheck(std::uint32_t mask) {
  bool zero_seen = false;
  for (int bit = 31; bit >= 0; --bit) {
    const bool one = (mask >> bit) & 1u;
    if (one && zero_seen) return false;
    if (!one) zero_seen = true;
  }
  return true;
}

CheckResult Ipv4PageLeaveCheck(std::uint8_t mode, std::uint32_t address, std::uint32_t mask,
                               std::uint32_t gateway) {
  if (auto failure = StaticAddressCheck(mode, address)) return failure;
  if (auto failure = MaskAndGatewayCheck(mask, gateway)) return failure;
  // The page's data exchange refuses 0.0.0.0 as a static address too; the checks above have
  // refused it already, with their own text.
  return ContiguityCheck(mask);
}

void NormaliseIpv4Members(std::uint32_t& mask, std::uint32_t& gateway) {
  if (mask == kAllOnes) mask = 0xFFFFFF00;
  if (gateway == kAllOnes) gateway = 0;
}

bool BootpOffered(int level, bool firmware_k) {
  return firmware_k && HasFullIpv4Form(level);
}

bool Ipv6TextCheck(std::string_view text) {
  if (text.empty()) return true;
  constexpr std::string_view kAllowed = "[].0123456789abcdef:ABCDEF";
  const bool allowed = std::all_of(
      text.begin(), text.end(), [&](char c) { return kAllowed.find(c) != std::string_view::npos; });
  return allowed && text.front() == '[' && text.back() == ']';
}

CheckResult Ipv6EntriesCheck(const Ipv6Entries& entries) {
  if (entries.method_index != kIpv6ManualMethod) return std::nullopt;
  const std::uint32_t prefix = LeadingNumber(entries.prefix);
  if (prefix < 1 || prefix > 127) {
    return Fail("Please Input an intger(1~127)", SettingsField::kIpv6Prefix);
  }
  if (entries.address.empty()) {
    return Fail("You must input an address.", SettingsField::kIpv6Address);
  }
  const std::string too_long = "IPv6 Address can not be longer than 44. ";
  if (entries.address.size() > kMaxIpv6TextLength) {
    return Fail(too_long, SettingsField::kIpv6Address);
  }
  if (entries.gateway.size() > kMaxIpv6TextLength) {
    return Fail(too_long, SettingsField::kIpv6Gateway);
  }
  const std::string incorrect = "Please input correct address!";
  if (!Ipv6TextCheck(entries.address)) return Fail(incorrect, SettingsField::kIpv6Address);
  if (!Ipv6TextCheck(entries.gateway)) return Fail(incorrect, SettingsField::kIpv6Gateway);
  return std::nullopt;
}

Ipv6Entries Ipv6EntriesOf(const NetworkSettings& settings) {
  return {settings.ipv6_method_index, settings.ipv6_address,
          std::to_string(settings.ipv6_prefix_length), settings.ipv6_gateway};
}

void StoreIpv6Entries(const Ipv6Entries& entries, NetworkSettings& settings) {
  settings.ipv6_method_index = entries.method_index;
  if (entries.method_index != kIpv6ManualMethod) return;
  settings.ipv6_address = entries.address;
  settings.ipv6_gateway = entries.gateway;
  settings.ipv6_prefix_length = static_cast<std::uint16_t>(LeadingNumber(entries.prefix));
}

CheckResult SheetChecksBeforeConflict(const SheetEntries& entries) {
  if (auto failure = PasswordEntriesCheck(entries.password)) return failure;
  return PortRangeCheck(entries.settings);
}

bool AddressConflictAsked(const SheetEntries& entries) {
  return entries.settings.ipv4_mode == ipv4_mode::kStatic &&
         entries.settings.address != entries.opening_address;
}

CheckResult SheetChecksAfterConflict(const SheetEntries& entries) {
  const NetworkSettings& s = entries.settings;
  if (auto failure = StaticAddressCheck(s.ipv4_mode, s.address)) return failure;
  if (auto failure = MaskAndGatewayCheck(s.mask, s.gateway)) return failure;
  if (auto failure = PortConflictText(s)) return failure;
  if (auto failure = ContiguityCheck(s.mask)) return failure;
  if (s.has_ipv6 && entries.ipv6) return Ipv6EntriesCheck(*entries.ipv6);
  return std::nullopt;
}

std::string AddressConflictQuestion(std::uint32_t address) {
  return "IP address: " + Ipv4Text(address) +
         " already exists on the LAN. Are you sure you want to continue?";
}

std::uint32_t LenientSerialNumber(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
  return LeadingNumber(text.substr(start));
}

}  // namespace quillon
