#include <gtest/gtest.h>

#include "flows/SettingsChecks.h"

namespace quillon {
namespace {

constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
  return (a << 24) | (b << 16) | (c << 8) | d;
}

const char kDifferent[] = "New Password and Confirm Password are different. Please check again.";
const char kSpaceOrEmpty[] =
    "Password could not have space or left empty. \nPlease input a valid password.";

TEST(PasswordEntriesCheckTest, FirstRuleThatFailsGivesItsText) {
  struct Case {
    PasswordEntries entries;
    const char* message;  // nullptr: passes
  };
  const Case cases[] = {
      {{false, "a b", "x"}, nullptr},
      {{true, "secret", "secret"}, nullptr},
      {{true, kPasswordPlaceholder, kPasswordPlaceholder}, nullptr},
      {{true, "secret", "secrets"}, kDifferent},
      {{true, "", "x"}, kDifferent},
      {{true, "", ""}, kSpaceOrEmpty},
      {{true, "a b", "a b"}, kSpaceOrEmpty},
      {{true, "fifteen-chars15", "fifteen-chars15"}, nullptr},
      {{true, "sixteen-chars-16", "sixteen-chars-16"},
       "Password could not be longer than 15 characters."},
  };
  for (const Case& c : cases) {
    const CheckResult result = PasswordEntriesCheck(c.entries);
    if (!c.message) {
      EXPECT_FALSE(result) << c.entries.new_password;
      continue;
    }
    ASSERT_TRUE(result) << c.entries.new_password;
    EXPECT_EQ(result->message, c.message);
    EXPECT_EQ(result->field, SettingsField::kNewPassword);
  }
}

TEST(PortConflictCheckTest, EqualPortsComeBeforeReservedOnesInTheListsOrder) {
  struct Case {
    std::vector<std::uint32_t> ports;
    PortConflict result;
    std::uint32_t port;
  };
  const Case cases[] = {
      {{80, 443, 22, 23}, PortConflict::kAcceptable, 0},
      {{80, 443, 23, 23}, PortConflict::kEqualPorts, 0},
      {{25, 503, 22, 23}, PortConflict::kReservedPort, 503},
      {{161, 161, 22, 23}, PortConflict::kEqualPorts, 0},
      {{80, 443, 22, 161}, PortConflict::kReservedPort, 161},
      {{80, 1115, 22, 21}, PortConflict::kReservedPort, 21},
  };
  for (const Case& c : cases) {
    const PortConflictResult result = PortConflictCheck(c.ports);
    EXPECT_EQ(result.result, c.result) << c.ports[0] << "," << c.ports[1];
    EXPECT_EQ(result.port, c.port);
  }
}

NetworkSettings PortsAt(int level) {
  NetworkSettings s;
  s.level = level;
  s.has_http_telnet = level > 31;
  s.http = {true, s.has_http_telnet, 80};
  s.telnet = {true, s.has_http_telnet, 23};
  s.https = {true, true, 443};
  s.ssh = {true, true, 22};
  return s;
}

TEST(PortChecksTest, DisabledPortsStillCollideButAbsentHttpAndTelnetDoNot) {
  NetworkSettings s = PortsAt(32);
  s.http.enabled = false;  // still holding 80
  s.https.port = 80;
  ASSERT_TRUE(PortConflictText(s));
  EXPECT_EQ(PortConflictText(s)->message, "Port numbers should not be same");

  NetworkSettings low = PortsAt(30);
  low.ssh.port = 23;  // the card has no Telnet setting to collide with
  EXPECT_FALSE(PortConflictText(low));
  low.https.port = 161;
  EXPECT_EQ(PortConflictText(low)->message, "Invalid port: 161");
}

TEST(PortChecksTest, RangeIsCheckedForEnabledServicesInTheSheetsOrder) {
  struct Case {
    std::uint32_t http, telnet, https, ssh;
    bool ssh_enabled;
    const char* message;
    SettingsField field;
  };
  const Case cases[] = {
      {80, 23, 443, 22, true, nullptr, SettingsField::kNone},
      {0, 0, 443, 22, true, "HTTP port should be in between 1 to 65534", SettingsField::kHttpPort},
      {80, 65535, 0, 22, true, "Telnet port should be in between 1 to 65534",
       SettingsField::kTelnetPort},
      {80, 23, 70000, 0, true, "HTTPS port should be in between 1 to 65534",
       SettingsField::kHttpsPort},
      {80, 23, 443, 0, true, "SSH port should be in between 1 to 65534", SettingsField::kSshPort},
      {80, 23, 443, 0, false, nullptr, SettingsField::kNone},
      {65534, 1, 443, 22, true, nullptr, SettingsField::kNone},
  };
  for (const Case& c : cases) {
    NetworkSettings s = PortsAt(32);
    s.http.port = c.http;
    s.telnet.port = c.telnet;
    s.https.port = c.https;
    s.ssh = {true, c.ssh_enabled, c.ssh};
    const CheckResult result = PortRangeCheck(s);
    if (!c.message) {
      EXPECT_FALSE(result);
      continue;
    }
    ASSERT_TRUE(result);
    EXPECT_EQ(result->message, c.message);
    EXPECT_EQ(result->field, c.field);
  }
  EXPECT_EQ(TickedPort(0, 80), 80u);
  EXPECT_EQ(TickedPort(65535, 443), 443u);
  EXPECT_EQ(TickedPort(8080, 80), 8080u);
}

TEST(PortsPageLeaveCheckTest, ConflictsThenTheRangeOfTickedHttpAndTelnet) {
  const char kRange[] = "Please enter an integer between 1 and 65534.";
  struct Case {
    int level;
    std::uint32_t http;
    bool http_ticked;
    std::uint32_t telnet;
    std::uint32_t https;
    const char* message;  // nullptr: the page may be left
    SettingsField field;
  };
  const Case cases[] = {
      {32, 80, true, 23, 443, nullptr, SettingsField::kNone},
      {32, 65535, true, 23, 443, kRange, SettingsField::kHttpPort},
      {32, 65535, false, 23, 443, nullptr, SettingsField::kNone},
      {32, 80, true, 0, 443, kRange, SettingsField::kTelnetPort},
      // Conflicts are looked at first, whatever the range says.
      {32, 0, true, 23, 23, "Port numbers should not be same", SettingsField::kNone},
      {32, 65535, true, 23, 161, "Invalid port: 161", SettingsField::kNone},
      // A card without HTTP and Telnet settings has no range to keep there.
      {30, 0, true, 0, 443, nullptr, SettingsField::kNone},
  };
  for (const Case& c : cases) {
    NetworkSettings s = PortsAt(c.level);
    s.http = {true, c.http_ticked, c.http};
    s.telnet = {true, true, c.telnet};
    s.https.port = c.https;
    const CheckResult result = PortsPageLeaveCheck(s);
    if (!c.message) {
      EXPECT_FALSE(result) << c.http << " " << c.telnet;
      continue;
    }
    ASSERT_TRUE(result) << c.http << " " << c.telnet;
    EXPECT_EQ(result->message, c.message);
    EXPECT_EQ(result->field, c.field);
  }
}

TEST(PortEntryValueTest, LeadingDigitsSaturating) {
  EXPECT_EQ(PortEntryValue("8080"), 8080u);
  EXPECT_EQ(PortEntryValue(""), 0u);
  EXPECT_EQ(PortEntryValue("65535"), 65535u);
  EXPECT_EQ(PortEntryValue("99999999999"), 4294967295u);
}

TEST(MaskContiguityCheckTest, NoOneBitAfterAZeroBit) {
  for (const std::uint32_t valid : {Ip(255, 255, 255, 0), Ip(255, 255, 254, 0),
                                    Ip(255, 255, 255, 254), Ip(128, 0, 0, 0), 0u, 0xFFFFFFFFu}) {
    EXPECT_TRUE(MaskContiguityCheck(valid)) << Ipv4Text(valid);
  }
  for (const std::uint32_t invalid : {Ip(255, 0, 255, 0), Ip(255, 255, 255, 1), Ip(0, 0, 0, 1)}) {
    EXPECT_FALSE(MaskContiguityCheck(invalid)) << Ipv4Text(invalid);
  }
}

TEST(Ipv4PageLeaveCheckTest, StaticAddressThenMaskThenGatewayThenContiguity) {
  struct Case {
    std::uint8_t mode;
    std::uint32_t address, mask, gateway;
    const char* message;
  };
  const std::uint32_t m24 = Ip(255, 255, 255, 0);
  const std::uint32_t gw = Ip(10, 0, 0, 1);
  const Case cases[] = {
      {0, Ip(10, 0, 0, 5), m24, gw, nullptr},
      {0, 0, 0, 0, "Invalid IP Address"},
      {0, Ip(0, 1, 2, 3), m24, gw, "Invalid IP Address"},
      {1, 0, m24, gw, nullptr},
      {1, 0, 0, gw, "Invalid Input Subnet Mask 0.0.0.0 or 255.255.255.255"},
      {0, Ip(10, 0, 0, 5), 0xFFFFFFFF, gw, "Invalid Input Subnet Mask 0.0.0.0 or 255.255.255.255"},
      {2, 0, m24, 0xFFFFFFFF, "Invalid Input Gateway Address 255.255.255.255"},
      {1, 0, m24, 0, "Invalid Gateway Address"},
      {0, Ip(10, 0, 0, 5), Ip(255, 255, 255, 1), 0, "Invalid Gateway Address"},
      {0, Ip(10, 0, 0, 5), Ip(255, 255, 255, 1), gw, "Invalid Subnet Mask"},
  };
  for (const Case& c : cases) {
    const CheckResult result = Ipv4PageLeaveCheck(c.mode, c.address, c.mask, c.gateway);
    if (!c.message) {
      EXPECT_FALSE(result) << Ipv4Text(c.address);
      continue;
    }
    ASSERT_TRUE(result) << c.message;
    EXPECT_EQ(result->message, c.message);
  }
  std::uint32_t mask = 0xFFFFFFFF;
  std::uint32_t gateway = 0xFFFFFFFF;
  NormaliseIpv4Members(mask, gateway);
  EXPECT_EQ(mask, m24);
  EXPECT_EQ(gateway, 0u);
  EXPECT_TRUE(BootpOffered(31, true));
  EXPECT_FALSE(BootpOffered(30, true));
  EXPECT_FALSE(BootpOffered(33, false));
}

TEST(Ipv6TextCheckTest, BracketsAndTheAllowedCharactersAlone) {
  for (const char* good : {"", "[2001:db8::1]", "[1.2.3.4]", "[FE80::A]"}) {
    EXPECT_TRUE(Ipv6TextCheck(good)) << good;
  }
  for (const char* bad : {"2001:db8::1", "[fe80::1%4]", "[2001:db8::1", "[]x", "[g::1]"}) {
    EXPECT_FALSE(Ipv6TextCheck(bad)) << bad;
  }
}

TEST(Ipv6EntriesCheckTest, ManualEntriesInTheirOrder) {
  const std::string max(44, '1');
  const std::string too_long = "[" + std::string(44, '1') + "]";
  struct Case {
    Ipv6Entries entries;
    const char* message;
    SettingsField field;
  };
  const Case cases[] = {
      {{0, "", "0", "junk"}, nullptr, SettingsField::kNone},
      {{3, "[2001:db8::1]", "64", ""}, nullptr, SettingsField::kNone},
      {{3, "[2001:db8::1]", "0", ""}, "Please Input an intger(1~127)", SettingsField::kIpv6Prefix},
      {{3, "[2001:db8::1]", "128", ""},
       "Please Input an intger(1~127)",
       SettingsField::kIpv6Prefix},
      {{3, "[2001:db8::1]", "", ""}, "Please Input an intger(1~127)", SettingsField::kIpv6Prefix},
      {{3, "", "64", ""}, "You must input an address.", SettingsField::kIpv6Address},
      {{3, "[" + std::string(42, '1') + "]", "64", ""}, nullptr, SettingsField::kNone},
      {{3, too_long, "64", ""},
       "IPv6 Address can not be longer than 44. ",
       SettingsField::kIpv6Address},
      {{3, "[1::1]", "64", too_long},
       "IPv6 Address can not be longer than 44. ",
       SettingsField::kIpv6Gateway},
      {{3, "2001:db8::1", "64", ""}, "Please input correct address!", SettingsField::kIpv6Address},
      {{3, "[1::1]", "64", "1::1"}, "Please input correct address!", SettingsField::kIpv6Gateway},
  };
  for (const Case& c : cases) {
    const CheckResult result = Ipv6EntriesCheck(c.entries);
    if (!c.message) {
      EXPECT_FALSE(result) << c.entries.address;
      continue;
    }
    ASSERT_TRUE(result) << c.message << " for " << c.entries.address;
    EXPECT_EQ(result->message, c.message);
    EXPECT_EQ(result->field, c.field);
  }
}

TEST(Ipv6EntriesTest, OtherMethodsKeepWhatTheCardReported) {
  NetworkSettings s;
  s.ipv6_method_index = 3;
  s.ipv6_address = "[2001:db8::1]";
  s.ipv6_prefix_length = 64;
  StoreIpv6Entries({0, "[9::9]", "12", "[9::1]"}, s);
  EXPECT_EQ(s.ipv6_method_index, 0);
  EXPECT_EQ(s.ipv6_address, "[2001:db8::1]");
  EXPECT_EQ(s.ipv6_prefix_length, 64);
  StoreIpv6Entries({3, "[9::9]", "12", "[9::1]"}, s);
  EXPECT_EQ(s.ipv6_address, "[9::9]");
  EXPECT_EQ(s.ipv6_gateway, "[9::1]");
  EXPECT_EQ(s.ipv6_prefix_length, 12);
}

// The sheet's order: password, port ranges | conflict question | address, mask, gateway, port
// conflicts, contiguity, IPv6.
TEST(SheetChecksTest, FirstFailureWinsInTheSheetsOrder) {
  SheetEntries e;
  e.settings = PortsAt(33);
  e.settings.has_ipv6 = true;
  e.settings.address = Ip(10, 0, 0, 5);
  e.settings.mask = Ip(255, 255, 255, 1);  // not contiguous
  e.settings.gateway = 0;                  // refused
  e.settings.https.port = 80;              // equal to HTTP
  e.opening_address = e.settings.address;
  e.password = {true, "a", "b"};
  e.ipv6 = Ipv6Entries{3, "", "0", ""};

  EXPECT_EQ(SheetChecksBeforeConflict(e)->message, kDifferent);
  e.password = {};
  e.settings.ssh.port = 0;
  EXPECT_EQ(SheetChecksBeforeConflict(e)->message, "SSH port should be in between 1 to 65534");
  e.settings.ssh.port = 22;
  EXPECT_FALSE(SheetChecksBeforeConflict(e));

  EXPECT_EQ(SheetChecksAfterConflict(e)->message, "Invalid Gateway Address");
  e.settings.gateway = Ip(10, 0, 0, 1);
  EXPECT_EQ(SheetChecksAfterConflict(e)->message, "Port numbers should not be same");
  e.settings.https.port = 443;
  EXPECT_EQ(SheetChecksAfterConflict(e)->message, "Invalid Subnet Mask");
  e.settings.mask = Ip(255, 255, 255, 0);
  EXPECT_EQ(SheetChecksAfterConflict(e)->message, "Please Input an intger(1~127)");
  e.ipv6.reset();  // the tab was never opened
  EXPECT_FALSE(SheetChecksAfterConflict(e));
}

TEST(SheetChecksTest, ConflictQuestionOnlyForAChangedStaticAddress) {
  SheetEntries e;
  e.settings.address = Ip(10, 0, 0, 5);
  e.opening_address = Ip(10, 0, 0, 5);
  EXPECT_FALSE(AddressConflictAsked(e));
  e.settings.address = Ip(10, 0, 0, 6);
  EXPECT_TRUE(AddressConflictAsked(e));
  e.settings.ipv4_mode = ipv4_mode::kDhcp;
  EXPECT_FALSE(AddressConflictAsked(e));
  EXPECT_EQ(AddressConflictQuestion(Ip(10, 0, 0, 6)),
            "IP address: 10.0.0.6 already exists on the LAN. Are you sure you want to continue?");
}

TEST(LenientSerialNumberTest, LeadingDigitsAfterWhiteSpaceSaturating) {
  struct Case {
    const char* text;
    std::uint32_t number;
  };
  const Case cases[] = {{"1358954496", 1358954496},
                        {"  1358954497", 1358954497},
                        {"12abc", 12},
                        {"abc12", 0},
                        {"", 0},
                        {"4294967295", 4294967295u},
                        {"99999999999999", 4294967295u}};
  for (const Case& c : cases) EXPECT_EQ(LenientSerialNumber(c.text), c.number) << c.text;
}

}  // namespace
}  // namespace quillon
