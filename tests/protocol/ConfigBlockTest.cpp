#include <gtest/gtest.h>

#include <random>

#include "protocol/Checksum.h"
#include "protocol/ConfigSettings.h"
#include "protocol/DeviceConfig.h"

namespace quillon {
namespace {

ConfigBlock RandomBlock(std::uint16_t level, unsigned seed = 7) {
  std::mt19937 random(seed);
  ConfigBlock block;
  for (Byte& b : block) b = static_cast<Byte>(random());
  StoreBe16(block, 8, level);
  return block;
}

TEST(DeviceConfigTest, DecodeAndEncodeKeepEveryByte) {
  for (unsigned seed = 1; seed <= 5; ++seed) {
    const ConfigBlock block = RandomBlock(33, seed);
    EXPECT_EQ(DeviceConfig::Decode(block).Encode(), block);
  }
}

TEST(DeviceConfigTest, FieldsSitWhereTheCardPutsThem) {
  ConfigBlock block{};
  StoreBe16(block, 8, 33);
  block[23] = 1;
  StoreBe32(block, 28, 0xC0A80111);
  StoreBe16(block, 44, 8443);
  block[208] = 0x40;  // prefix 64, low byte first
  StoreFieldText(MutableSlice(MutableByteView(block), 210, 46), "fe80::1");
  const DeviceConfig config = DeviceConfig::Decode(block);
  EXPECT_EQ(config.config_version, 33);
  EXPECT_EQ(config.ipv4_mode, ipv4_mode::kDhcp);
  EXPECT_EQ(Ipv4Text(config.current_address), "192.168.1.17");
  EXPECT_EQ(config.https_port, 8443);
  EXPECT_EQ(config.ipv6_prefix_length, 64);
  EXPECT_EQ(config.LinkLocalText(), "fe80::1");
}

TEST(DeviceConfigTest, PrefixSixtyFourTravelsAsFortyZero) {
  DeviceConfig config;
  config.ipv6_prefix_length = 64;
  const ConfigBlock block = config.Encode();
  EXPECT_EQ(block[208], 0x40);
  EXPECT_EQ(block[209], 0x00);
}

TEST(DeviceConfigTest, WriteSetsMagicAndChecksumOverTheBytesSent) {
  ConfigBlock ones;
  ones.fill(0xFF);
  PrepareConfigWrite(ones, kConfigBlockSize);
  EXPECT_EQ(Bytes(ones.begin(), ones.begin() + 8),
            (Bytes{0x21, 0x47, 0x21, 0x74, 0x00, 0x00, 0xF7, 0x08}));

  ConfigBlock zeros{};
  PrepareConfigWrite(zeros, kConfigBlockSize);
  EXPECT_EQ(LoadBe32(zeros, 4), 0u);

  ConfigBlock short_form;
  short_form.fill(0xFF);
  PrepareConfigWrite(short_form, kShortConfigSize);
  EXPECT_EQ(LoadBe32(short_form, 4), 60u * 255u) << "68-byte write: offsets 8 to 67";

  EXPECT_THROW(PrepareConfigWrite(zeros, 100), std::invalid_argument);
}

TEST(DeviceConfigTest, TextFieldsWithoutTerminatorStopAtTheirSize) {
  ConfigBlock block{};
  std::fill(block.begin() + 118, block.begin() + 163, 'a');  // Ipv6Address, 45 bytes, no NUL
  std::fill(block.begin() + 163, block.end(), 'b');          // everything after it
  const DeviceConfig config = DeviceConfig::Decode(block);
  EXPECT_EQ(config.Ipv6AddressText(), std::string(45, 'a'));
  EXPECT_EQ(config.LinkLocalText(), std::string(46, 'b')) << "ends with the block";
}

// Settings read from a block, by configuration level.
TEST(ConfigSettingsTest, LevelDecidesWhatIsShown) {
  struct Case {
    std::uint16_t level;
    int effective;
    bool ports;
    bool ipv6;
    bool dhcp_shows_current;
  };
  const Case cases[] = {
      {30, 30, false, false, true}, {31, 31, false, false, false}, {32, 32, true, false, false},
      {33, 33, true, true, false},  {34, 34, true, false, false},  {750, 750, true, false, false},
      {751, 0, false, false, true}, {800, 0, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    DeviceConfig config;
    config.config_version = c.level;
    config.ipv4_mode = ipv4_mode::kDhcp;
    config.current_address = 0x0A000005;
    config.ip_address = 0x0A000009;
    config.http_port = 8080;
    const NetworkSettings s = SettingsFromConfig(config);
    EXPECT_EQ(s.level, c.effective);
    EXPECT_EQ(s.has_http_telnet, c.ports);
    EXPECT_EQ(s.has_ipv6, c.ipv6);
    EXPECT_EQ(s.address, c.dhcp_shows_current ? 0x0A000005u : 0x0A000009u);
    EXPECT_EQ(HasFullIpv4Form(s.level), c.level >= 31 && c.level <= 750);
  }
}

TEST(ConfigSettingsTest, PortValuesMeanOnOffOrAbsent) {
  struct Case {
    std::uint16_t value;
    ServicePort http;   // HTTP and Telnet: 0 is off
    ServicePort https;  // HTTPS and SSH: 0 is "no such service"
  };
  const Case cases[] = {
      {0xFFFF, {true, false, 80}, {true, false, 443}},
      {0, {true, false, 80}, {false, false, 443}},
      {8080, {true, true, 8080}, {true, true, 8080}},
  };
  for (const Case& c : cases) {
    DeviceConfig config;
    config.config_version = 32;
    config.http_port = c.value;
    config.https_port = c.value;
    const NetworkSettings s = SettingsFromConfig(config);
    EXPECT_EQ(s.http, c.http) << c.value;
    EXPECT_EQ(s.https, c.https) << c.value;
  }
}

TEST(ConfigSettingsTest, UnknownIpv4ModeIsShownAsStatic) {
  DeviceConfig config;
  config.ipv4_mode = 7;
  EXPECT_EQ(SettingsFromConfig(config).ipv4_mode, ipv4_mode::kStatic);
}

// Filling a block from unchanged settings writes back only what the level allows.
TEST(ConfigSettingsTest, UnchangedSettingsLeaveTheRestOfTheBlockAsRead) {
  struct Case {
    std::uint16_t level;
    bool ipv6_written;
  };
  for (const Case c : {Case{32, false}, Case{33, true}, Case{34, false}, Case{800, false}}) {
    SCOPED_TRACE(c.level);
    ConfigBlock read = RandomBlock(c.level);
    StoreBe16(read, 40, 80);  // HTTP on
    StoreBe16(read, 44, 0);   // no HTTPS on this card
    StoreBe16(read, 46, 0xFFFF);
    read[72] = 4;
    StoreFieldText(MutableSlice(MutableByteView(read), 73, 45), "2001:db8::1");
    StoreFieldText(MutableSlice(MutableByteView(read), 118, 45), "2001:db8::22");
    DeviceConfig config = DeviceConfig::Decode(read);
    const NetworkSettings settings = SettingsFromConfig(config);
    FillConfigFromSettings(config, settings);
    const ConfigBlock written = config.Encode();

    EXPECT_TRUE(std::equal(read.begin() + 72, read.end(), written.begin() + 72))
        << "IPv6 range unchanged (level 33 writes back what it read)";
    EXPECT_TRUE(std::equal(read.begin() + 10, read.begin() + 23, written.begin() + 10));
    EXPECT_TRUE(std::equal(read.begin() + 48, read.begin() + 72, written.begin() + 48));
    EXPECT_EQ(LoadBe16(written, 44), 0) << "a card without HTTPS keeps 0";
    EXPECT_EQ(LoadBe16(written, 46), 0xFFFF) << "SSH left off stays 0xFFFF";
    EXPECT_EQ(LoadBe32(written, 28), LoadBe32(read, 28)) << "CurrentAddress is never touched";
  }
}

TEST(ConfigSettingsTest, HttpReadAsZeroGoesBackAsDisabled) {
  DeviceConfig config;
  config.config_version = 32;
  config.http_port = 0;
  config.telnet_port = 23;
  FillConfigFromSettings(config, SettingsFromConfig(config));
  EXPECT_EQ(config.http_port, 0xFFFF);
  EXPECT_EQ(config.telnet_port, 23);
}

TEST(ConfigSettingsTest, PortsBelowLevel32AreCarriedThrough) {
  DeviceConfig config;
  config.config_version = 31;
  config.http_port = 0;
  NetworkSettings settings = SettingsFromConfig(config);
  settings.http = {true, true, 8080};
  FillConfigFromSettings(config, settings);
  EXPECT_EQ(config.http_port, 0);
}

TEST(ConfigSettingsTest, Level33WritesTheIpv6Settings) {
  DeviceConfig config;
  config.config_version = 33;
  NetworkSettings settings = SettingsFromConfig(config);
  settings.ipv6_method_index = 3;
  settings.ipv6_address = "2001:db8::5";
  settings.ipv6_gateway = "2001:db8::1";
  settings.ipv6_prefix_length = 64;
  FillConfigFromSettings(config, settings);
  const ConfigBlock block = config.Encode();
  EXPECT_EQ(block[72], 4);
  EXPECT_EQ(config.Ipv6AddressText(), "2001:db8::5");
  EXPECT_EQ(config.Ipv6GatewayText(), "2001:db8::1");
  EXPECT_EQ(block[208], 0x40);
}

TEST(ConfigSettingsTest, UnterminatedIpv6TextReadGoesBackUnchanged) {
  ConfigBlock block{};
  StoreBe16(block, 8, 33);
  std::fill(block.begin() + 118, block.begin() + 163, '1');  // 45 characters, no terminator
  DeviceConfig config = DeviceConfig::Decode(block);
  EXPECT_NO_THROW(FillConfigFromSettings(config, SettingsFromConfig(config)));
  const ConfigBlock written = config.Encode();
  EXPECT_TRUE(std::equal(block.begin() + 72, block.end(), written.begin() + 72));
}

TEST(ConfigSettingsTest, TooLongIpv6TextChangesNothing) {
  DeviceConfig config;
  config.config_version = 33;
  config.ip_address = 1;
  const ConfigBlock before = config.Encode();
  NetworkSettings settings = SettingsFromConfig(config);
  settings.address = 2;
  settings.ipv6_address = std::string(45, '1');
  EXPECT_THROW(FillConfigFromSettings(config, settings), std::invalid_argument);
  EXPECT_EQ(config.Encode(), before);
  settings.ipv6_address = std::string(44, '1');
  EXPECT_NO_THROW(FillConfigFromSettings(config, settings));
}

}  // namespace
}  // namespace quillon
