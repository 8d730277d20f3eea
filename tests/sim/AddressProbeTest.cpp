// The address probe of the simulated segment, and the session's conflict test on it: a card
// answers for the addresses its configuration holds now, on its own adapter only.
#include <gtest/gtest.h>

#include "protocol/DeviceCommands.h"
#include "support/SimFixture.h"

namespace quillon {
namespace {

using sim::CardBuilder;
using Question = sim::SimulatedSegment::AddressQuestion;

constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
  return (a << 24) | (b << 16) | (c << 8) | d;
}
constexpr std::uint32_t kMask = Ip(255, 255, 255, 0);

TEST(SimulatedCardAddressTest, ConfiguredAddressAndUnderDhcpOrBootpTheOneInUse) {
  struct Case {
    const char* what;
    std::uint8_t mode;
    std::uint32_t asked;
    bool uses;
  };
  // Configured 10.1.0.7, in use (current) 10.1.0.8.
  const Case cases[] = {
      {"static, configured", ipv4_mode::kStatic, Ip(10, 1, 0, 7), true},
      {"static, a stale address in use", ipv4_mode::kStatic, Ip(10, 1, 0, 8), false},
      {"DHCP, in use", ipv4_mode::kDhcp, Ip(10, 1, 0, 8), true},
      {"DHCP, configured", ipv4_mode::kDhcp, Ip(10, 1, 0, 7), true},
      {"BOOTP, in use", ipv4_mode::kBootp, Ip(10, 1, 0, 8), true},
      {"static, another address", ipv4_mode::kStatic, Ip(10, 1, 0, 9), false},
      {"DHCP, another address", ipv4_mode::kDhcp, Ip(10, 1, 0, 9), false},
  };
  for (const Case& c : cases) {
    CardBuilder builder(1358954497);
    builder.Static(Ip(10, 1, 0, 7), kMask, Ip(10, 1, 0, 1));
    builder.config.ipv4_mode = c.mode;
    builder.config.current_address = Ip(10, 1, 0, 8);
    EXPECT_EQ(sim::SimulatedCard(builder.Build()).UsesIpv4Address(c.asked), c.uses) << c.what;
  }
}

TEST(SimulatedCardAddressTest, NoCardHoldsZeroAndFaultsDoNotSilenceItsIpStack) {
  sim::CardFaults silent;
  silent.silent = true;
  sim::SimulatedCard card(CardBuilder(1358954497).Static(0, kMask, 0).Faults(silent).Build());
  EXPECT_FALSE(card.UsesIpv4Address(0));
  sim::SimulatedCard quiet(
      CardBuilder(1358954498).Static(Ip(10, 1, 0, 7), kMask, 0).Faults(silent).Build());
  EXPECT_TRUE(quiet.UsesIpv4Address(Ip(10, 1, 0, 7)));
}

class AddressProbeTest : public testing::SimFixture {
 protected:
  AddressProbeTest() {
    static_card = AddCard(CardBuilder(kSerial + 1).Static(Ip(10, 1, 0, 5), kMask, Ip(10, 1, 0, 1)));
    AddCard(CardBuilder(kSerial + 2).Dhcp(Ip(10, 2, 0, 8)), 1);
    segment.AddAnsweringAddress(0, Ip(10, 1, 0, 200));
  }

  bool Answers(const std::string& adapter, std::uint32_t address) {
    const std::unique_ptr<AddressProbe> probe = segment.OpenAddressProbe(adapter);
    return probe && probe->AddressAnswers(address, Millis{60000});
  }

  std::shared_ptr<sim::SimulatedCard> static_card;
};

TEST_F(AddressProbeTest, CardsAndAddedAddressesAnswerOnTheirOwnAdapterOnly) {
  EXPECT_TRUE(Answers("sim0", Ip(10, 1, 0, 5)));
  EXPECT_TRUE(Answers("sim0", Ip(10, 1, 0, 200)));
  EXPECT_FALSE(Answers("sim0", Ip(10, 1, 0, 6)));
  EXPECT_FALSE(Answers("sim0", Ip(10, 2, 0, 8))) << "that card is on sim1";
  EXPECT_TRUE(Answers("sim1", Ip(10, 2, 0, 8)));
  EXPECT_FALSE(Answers("sim1", Ip(10, 1, 0, 200)));
  EXPECT_EQ(segment.OpenAddressProbe("sim9"), nullptr);
  EXPECT_EQ(segment.AddressQuestions().size(), 6u);
}

TEST_F(AddressProbeTest, AddressJustWrittenCountsAtOnce) {
  DeviceConfig config = DeviceConfig::Decode(static_card->Config());
  config.ip_address = Ip(10, 1, 0, 99);
  ConfigBlock block = config.Encode();
  ASSERT_EQ(WriteConfig(transactions(), static_card->Mac(), {}, block, kConfigBlockSize),
            status::kDone);
  EXPECT_TRUE(Answers("sim0", Ip(10, 1, 0, 99)));
  EXPECT_FALSE(Answers("sim0", Ip(10, 1, 0, 5)));
}

TEST_F(AddressProbeTest, SessionAsksTheCardsAdapterWithTheProfilesWait) {
  const std::size_t sent_before = segment.SentFrames(1).size();
  EXPECT_TRUE(session->AddressInUse(1, Ip(10, 2, 0, 8)));
  EXPECT_FALSE(session->AddressInUse(0, Ip(10, 2, 0, 8)));
  EXPECT_EQ(segment.AddressQuestions(),
            (std::vector<Question>{{1, Ip(10, 2, 0, 8), timing.address_probe_wait},
                                   {0, Ip(10, 2, 0, 8), timing.address_probe_wait}}));
  EXPECT_EQ(segment.SentFrames(1).size(), sent_before) << "a probe is no frame of ours";
  EXPECT_TRUE(diagnostics.empty());
}

// A probe that could not be asked: no answer, and the reason in the session's diagnostics.
class BrokenProbe : public AddressProbe {
 public:
  bool AddressAnswers(std::uint32_t, Millis) override { return false; }
  std::string LastError() const override { return "cannot send the ARP probe on sim0: down"; }
};

class BrokenProbeSegment : public sim::SimulatedSegment {
 public:
  std::unique_ptr<AddressProbe> OpenAddressProbe(const std::string&) override {
    return std::make_unique<BrokenProbe>();
  }
};

TEST(SessionAddressProbeTest, ProbeThatFailsCountsAsNoAnswerAndSaysWhy) {
  BrokenProbeSegment segment;
  segment.AddAdapter("sim0", "Simulated adapter 0");
  std::vector<std::string> lines;
  Session session(segment, Timing::Shortened(),
                  [&](const std::string& line) { lines.push_back(line); });
  session.EnumerateAdapters();
  EXPECT_FALSE(session.AddressInUse(0, Ip(10, 1, 0, 5)));
  EXPECT_EQ(lines, std::vector<std::string>{
                       "Address probe failed: cannot send the ARP probe on sim0: down\n"});
}

}  // namespace
}  // namespace quillon
