#include <gtest/gtest.h>

#include <sstream>

#include "protocol/DeviceConfig.h"
#include "protocol/DeviceRecord.h"
#include "sim/FleetFile.h"

namespace quillon {
namespace {

sim::FleetFile Read(const std::string& text) {
  std::istringstream input(text);
  return sim::ReadFleet(input);
}

TEST(FleetFileTest, ReadsEveryFieldOfACard) {
  const sim::FleetFile fleet = Read(R"({"cards": [{
      "mac": "02-4B-51-00-00-2A", "count": 2, "level": 33,
      "ipv4": {"mode": "dhcp", "address": "10.0.0.5", "mask": "255.0.0.0", "gateway": "10.0.0.1",
               "current": "10.0.0.6"},
      "ports": {"http": 8080, "https": 0},
      "ipv6": {"mode": 4, "address": "2001:db8::5", "prefix": 48, "linkLocal": "fe80::5"},
      "hardware": [1, 1, 0, 0], "firmware": [1, 4, "C", 9], "password": "pw",
      "faults": {"replyDelayMs": 30, "decoy": "wrong-code", "busy": true}}]})");
  ASSERT_EQ(fleet.error, "");
  ASSERT_EQ(fleet.cards.size(), 2u);
  EXPECT_EQ(DeviceKey(fleet.cards[1].mac), "1358954539");
  const sim::CardProfile& card = fleet.cards[0];
  const DeviceConfig config = DeviceConfig::Decode(card.config);
  EXPECT_EQ(config.config_version, 33);
  EXPECT_EQ(config.ipv4_mode, ipv4_mode::kDhcp);
  EXPECT_EQ(Ipv4Text(config.current_address), "10.0.0.6");
  EXPECT_EQ(config.http_port, 8080);
  EXPECT_EQ(config.https_port, 0);
  EXPECT_EQ(config.telnet_port, 23) << "left out: the default";
  EXPECT_EQ(config.LinkLocalText(), "fe80::5");
  EXPECT_EQ(config.ipv6_prefix_length, 48);
  EXPECT_EQ(card.hardware_version[1], 1);
  EXPECT_EQ(card.firmware_version[2], 'C');
  EXPECT_EQ(card.password, "pw");
  EXPECT_EQ(card.faults.reply_delay, Millis{30});
  EXPECT_EQ(card.faults.decoy, sim::CardFaults::Decoy::kWrongCode);
  EXPECT_TRUE(card.faults.busy);
}

TEST(FleetFileTest, SaysWhatIsWrongAndKeepsNoCards) {
  struct Case {
    const char* json;
    const char* mentions;
  };
  const Case cases[] = {
      {R"({"cards": [{"serial": 1}, {"ipv4": {"mode": "static"}}]})", "card 1"},
      {R"({"cards": [{"serial": 1, "ipv4": {"mode": "rarp"}}]})", "rarp"},
      {R"({"cards": [{"serial": 1, "ipv4": {"address": "10.0.0.300"}}]})", "10.0.0.300"},
      {R"({"cards": [{"mac": "00-11-22-33-44-55"}]})", "02-4B"},
      {R"({"cards": [{"serial": 1, "faults": {"decoy": "loud"}}]})", "loud"},
      {R"({"cards": [)", "card 0"},
  };
  for (const Case& c : cases) {
    const sim::FleetFile fleet = Read(c.json);
    EXPECT_TRUE(fleet.cards.empty()) << c.json;
    EXPECT_NE(fleet.error.find(c.mentions), std::string::npos) << fleet.error;
  }
}

}  // namespace
}  // namespace quillon
