// The checks of the "Network Settings" pages and sheet, as plain functions: the desktop program's
// pages and sheet and the command line's `set` run the same ones, in the same order, with the
// same texts. A failed check names the field it concerns, so that a window can put the focus
// there.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/ConfigSettings.h"

namespace quillon {

enum class SettingsField {
  kNone,
  kNewPassword,
  kHttpPort,
  kTelnetPort,
  kHttpsPort,
  kSshPort,
  kAddress,
  kMask,
  kGateway,
  kIpv6Prefix,
  kIpv6Address,
  kIpv6Gateway,
};

struct CheckFailure {
  std::string message;
  SettingsField field = SettingsField::kNone;

  friend bool operator==(const CheckFailure&, const CheckFailure&) = default;
};
// Nothing when the check passed.
using CheckResult = std::optional<CheckFailure>;

// ---- The password page

// Stands for the card's present password in both fields: left in place, it changes nothing.
inline constexpr char kPasswordPlaceholder[] = "********";

struct PasswordEntries {
  bool enabled = false;  // "En&able password setting"
  std::string new_password;
  std::string confirm;

  friend bool operator==(const PasswordEntries&, const PasswordEntries&) = default;
};

// When the box is ticked: the two texts equal, not empty, without a blank, and short enough for
// a request to carry it later (the placeholder passes).
CheckResult PasswordEntriesCheck(const PasswordEntries& entries);

// ---- The ports page

// No service may use these.
inline constexpr std::array<std::uint16_t, 8> kReservedPorts{503, 161,  162,  21,
                                                             25,  3478, 1012, 1115};

enum class PortConflict { kEqualPorts = -1, kReservedPort = 0, kAcceptable = 1 };
struct PortConflictResult {
  PortConflict result = PortConflict::kAcceptable;
  std::uint32_t port = 0;  // the reserved port in use, first in the order of kReservedPorts
};
// Two equal ports, or a reserved one, among the ports given (enabled or not).
PortConflictResult PortConflictCheck(const std::vector<std::uint32_t>& ports);

// The ports of the page that take part in the conflict check: HTTP, HTTPS, SSH, Telnet. A card
// whose level gives it no HTTP and Telnet settings has nothing in those two fields, and they
// stay out of the check.
std::vector<std::uint32_t> ConflictCheckedPorts(const NetworkSettings& settings);

// "Port numbers should not be same" / "Invalid port: %d", for the page-leave check.
CheckResult PortConflictText(const NetworkSettings& settings);

// The range check of the enabled services, in the order HTTP, Telnet, HTTPS, SSH.
CheckResult PortRangeCheck(const NetworkSettings& settings);

// What the page puts into a port field that is ticked while it holds nothing usable, or that is
// emptied: 80, 23, 443, 22.
std::uint32_t TickedPort(std::uint32_t port, std::uint16_t default_port);

// A port field's text as the page keeps it: its leading digits, saturating at 4294967295.
std::uint32_t PortEntryValue(std::string_view text);

// Leaving the page: the port conflicts, then the range of HTTP and Telnet where they are ticked
// ("Please enter an integer between 1 and 65534.", the page's own range rule; the sheet's OK
// checks every enabled service with its own texts).
CheckResult PortsPageLeaveCheck(const NetworkSettings& settings);

// ---- The IPv4 page

// Walking the mask from its top bit, a 1 after a 0 makes it invalid.
bool MaskContiguityCheck(std::uint32_t mask);

// Leaving the page: static address, mask, gateway, contiguity, then the data exchange's own
// checks (static mode only).
CheckResult Ipv4PageLeaveCheck(std::uint8_t mode, std::uint32_t address, std::uint32_t mask,
                               std::uint32_t gateway);

// After every exchange of the page's data: a mask of 255.255.255.255 becomes 255.255.255.0 and a
// gateway of 255.255.255.255 becomes 0.
void NormaliseIpv4Members(std::uint32_t& mask, std::uint32_t& gateway);

// Whether the page offers BOOTP: firmware variant K at the full IPv4 level (31 and up).
bool BootpOffered(int level, bool firmware_k);

// ---- The IPv6 page

// Empty, or "[" ... "]" made of "[].0123456789abcdef:ABCDEF" alone.
bool Ipv6TextCheck(std::string_view text);

inline constexpr int kIpv6ManualMethod = 3;

struct Ipv6Entries {
  int method_index = 0;  // 0 "Automatic", 1 "Stateless DHCPV6", 2 "DHCPV6", 3 "Manual"
  std::string address;
  std::string prefix;  // as typed: digits
  std::string gateway;
};

// For "Manual": prefix, address (empty, too long, form), gateway (too long, form).
CheckResult Ipv6EntriesCheck(const Ipv6Entries& entries);

// The entries as the page holds them, from the settings.
Ipv6Entries Ipv6EntriesOf(const NetworkSettings& settings);
// Stores checked entries into the settings: the method always, and for "Manual" the address,
// gateway and prefix; the other methods keep what the card reported.
void StoreIpv6Entries(const Ipv6Entries& entries, NetworkSettings& settings);

// ---- The sheet

// What the person has entered in the sheet's pages, as the pages hold it.
struct SheetEntries {
  NetworkSettings settings;
  std::uint32_t opening_address = 0;  // the address shown when the IPv4 page opened
  PasswordEntries password;
  // The IPv6 page is checked only when its tab was opened at least once.
  std::optional<Ipv6Entries> ipv6;
};

// The OK checks before the address-conflict question: the password page, the port ranges.
CheckResult SheetChecksBeforeConflict(const SheetEntries& entries);
// Whether the conflict question is asked: a changed address in static mode.
bool AddressConflictAsked(const SheetEntries& entries);
// The OK checks after it: address, mask, gateway, port conflicts, mask contiguity, IPv6.
CheckResult SheetChecksAfterConflict(const SheetEntries& entries);

// "IP address: %s already exists on the LAN. Are you sure you want to continue?"
std::string AddressConflictQuestion(std::uint32_t address);

// ---- The serial number page

// As the page reads its text: white space, then the leading decimal digits; no digits is 0, and
// a number beyond 4294967295 is 4294967295.
std::uint32_t LenientSerialNumber(std::string_view text);

}  // namespace quillon
