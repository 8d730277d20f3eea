#include <gtest/gtest.h>

#include "flows/WebLaunch.h"
#include "support/RecordingOpener.h"
#include "support/SimFixture.h"

namespace quillon {
namespace {

using sim::CardBuilder;
using Outcome = LaunchOutcome;

constexpr std::uint16_t kOff = kPortDisabled;

// One selected card: its web ports, its level and the IPv6 texts its last search found.
struct CardShape {
  std::uint16_t http = 80;
  std::uint16_t https = 443;
  std::uint16_t level = 32;
  const char* ipv6 = "";
  const char* ipv6_second = "";
  bool silent = false;
};

struct LaunchCase {
  const char* name;
  std::vector<CardShape> cards;  // card i is 192.168.1.(21 + i)
  std::vector<Outcome> outcomes;
  std::vector<std::string> opened;
  std::optional<WebAddresses> chooser;
};

void PrintTo(const LaunchCase& c, std::ostream* out) {
  *out << c.name;
}

class WebLaunchTest : public testing::SimFixture {
 protected:
  LaunchTarget Add(std::uint32_t serial, const CardShape& shape) {
    CardBuilder builder(serial);
    builder.Level(shape.level)
        .Static(0xC0A80100 + 21 + (serial - kSerial), 0xFFFFFF00, 0xC0A80101)
        .Ports(shape.http, 23, shape.https, 22)
        .Ipv6(4, shape.ipv6, "", 64, "fe80::4b:51ff:fe00:1", shape.ipv6_second);
    sim::CardFaults faults;
    faults.silent = shape.silent;
    builder.Faults(faults);
    cards.push_back(AddCard(builder));
    // What the last search would have kept of the card.
    const DeviceConfig config = DeviceConfig::Decode(builder.Build().config);
    return {cards.back()->Record(),
            {config.config_version, config.LinkLocalText(), config.Ipv6AddressText(),
             config.Ipv6Address2Text()}};
  }

  std::vector<std::shared_ptr<sim::SimulatedCard>> cards;
  RecordingOpener opener;
};

class WebLaunchCases : public WebLaunchTest, public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(WebLaunchCases, OpensCardsInTurnUntilOneEndsTheLaunch) {
  const LaunchCase& c = GetParam();
  std::vector<LaunchTarget> targets;
  for (std::size_t i = 0; i < c.cards.size(); ++i) {
    targets.push_back(Add(kSerial + static_cast<std::uint32_t>(i), c.cards[i]));
  }
  const LaunchReport report = WebLaunch(*session, opener).Run(targets);

  std::vector<Outcome> outcomes;
  for (const CardLaunch& card : report.cards) outcomes.push_back(card.outcome);
  EXPECT_EQ(outcomes, c.outcomes);
  EXPECT_EQ(opener.addresses, c.opened);
  EXPECT_EQ(report.chooser, c.chooser);
  for (std::size_t i = c.outcomes.size(); i < cards.size(); ++i) {
    EXPECT_EQ(cards[i]->RequestCount(code::kCheckPassword), 0) << "card " << i << " is left alone";
  }
}

const CardShape kPlain{};
const CardShape kIpv6First{.level = 33, .ipv6 = "[2001:db8::22]"};

INSTANTIATE_TEST_SUITE_P(
    Cases, WebLaunchCases,
    ::testing::Values(
        LaunchCase{"HttpWinsOverHttps",
                   {kPlain},
                   {Outcome::kOpened},
                   {"http://192.168.1.21:80/"},
                   std::nullopt},
        LaunchCase{"HttpsWhenHttpIsOff",
                   {{.http = kOff, .https = 443}},
                   {Outcome::kOpened},
                   {"https://192.168.1.21:443/"},
                   std::nullopt},
        LaunchCase{"HttpZeroIsOffToo",
                   {{.http = 0, .https = 8443}},
                   {Outcome::kOpened},
                   {"https://192.168.1.21:8443/"},
                   std::nullopt},
        LaunchCase{"HttpOnTheHighestUsablePort",
                   {{.http = 65534, .https = kOff}},
                   {Outcome::kOpened},
                   {"http://192.168.1.21:65534/"},
                   std::nullopt},
        LaunchCase{"BothOffIsPassedOverSilentlyAndTheNextOpened",
                   {{.http = kOff, .https = 0}, kPlain},
                   {Outcome::kNoWebPort, Outcome::kOpened},
                   {"http://192.168.1.22:80/"},
                   std::nullopt},
        LaunchCase{"TheChooserEndsTheLaunch",
                   {kPlain, kIpv6First, kPlain},
                   {Outcome::kOpened, Outcome::kChooser},
                   {"http://192.168.1.21:80/"},
                   WebAddresses{"http://192.168.1.22:80/", "http://[2001:db8::22]:80/", ""}},
        LaunchCase{"OnlyTheSecondIpv6Address",
                   {{.level = 33, .ipv6_second = "[2001:db8::137]"}},
                   {Outcome::kChooser},
                   {},
                   WebAddresses{"http://192.168.1.21:80/", "", "http://[2001:db8::137]:80/"}},
        LaunchCase{"TheChooserKeepsTheSchemeAndPort",
                   {{.http = kOff,
                     .https = 443,
                     .level = 33,
                     .ipv6 = "[2001:db8::21]",
                     .ipv6_second = "[2001:db8::8021]"}},
                   {Outcome::kChooser},
                   {},
                   WebAddresses{"https://192.168.1.21:443/", "https://[2001:db8::21]:443/",
                                "https://[2001:db8::8021]:443/"}},
        LaunchCase{"Level33WithoutIpv6TextsOpensByIpv4NeverByLinkLocal",
                   {{.level = 33}},
                   {Outcome::kOpened},
                   {"http://192.168.1.21:80/"},
                   std::nullopt},
        LaunchCase{"Ipv6TextsBelowLevel33AreNotOffered",
                   {{.level = 32, .ipv6 = "[2001:db8::21]"}},
                   {Outcome::kOpened},
                   {"http://192.168.1.21:80/"},
                   std::nullopt},
        LaunchCase{"BothOffWithIpv6OffersNothing",
                   {{.http = kOff, .https = kOff, .level = 33, .ipv6 = "[2001:db8::21]"}, kPlain},
                   {Outcome::kNoWebPort, Outcome::kOpened},
                   {"http://192.168.1.22:80/"},
                   std::nullopt},
        LaunchCase{"NoAnswerEndsTheLaunch",
                   {{.silent = true}, kPlain},
                   {Outcome::kNoReply},
                   {},
                   std::nullopt}),
    [](const ::testing::TestParamInfo<LaunchCase>& tested) {
      return std::string(tested.param.name);
    });

// A card that answers the password check but not the read of its settings: its address is not
// known, so it is passed over and the next card opened.
TEST_F(WebLaunchTest, ACardThatDoesNotAnswerTheReadIsPassedOver) {
  LaunchTarget vanishing = Add(kSerial, kPlain);
  vanishing.record.mac = sim::MakerAddress(kSerial + 100);  // no card has this address
  const LaunchTarget next = Add(kSerial + 1, kPlain);
  const std::jthread check_answer = testing::InjectAfterNextSend(
      segment, 0, ReplyFrom(vanishing.record.mac, code::kPasswordReply, status::kRefused));

  const LaunchReport report = WebLaunch(*session, opener).Run({vanishing, next});
  ASSERT_EQ(report.cards.size(), 2u);
  EXPECT_EQ(report.cards[0].outcome, Outcome::kNotRead);
  EXPECT_EQ(opener.addresses, std::vector<std::string>{"http://192.168.1.22:80/"});
}

TEST_F(WebLaunchTest, OpenedAddressesArePacedByTheLaunchPause) {
  const LaunchReport report =
      WebLaunch(*session, opener).Run({Add(kSerial, kPlain), Add(kSerial + 1, kPlain)});
  ASSERT_EQ(opener.times.size(), 2u);
  EXPECT_GE(opener.times[1] - opener.times[0], timing.launch_pause);

  opener.times.clear();
  WebLaunch(*session, opener).OpenInTurn({"http://a.example/", "http://b.example/"});
  ASSERT_EQ(opener.times.size(), 2u);
  EXPECT_GE(opener.times[1] - opener.times[0], timing.launch_pause);
}

TEST_F(WebLaunchTest, AFailedOpenIsReportedAndTheLaunchGoesOn) {
  opener.result = url_open::kNoAssociation;
  const LaunchReport report =
      WebLaunch(*session, opener).Run({Add(kSerial, kPlain), Add(kSerial + 1, kPlain)});
  ASSERT_EQ(report.cards.size(), 2u);
  EXPECT_EQ(report.cards[0].open_result, url_open::kNoAssociation);
  EXPECT_EQ(opener.addresses.size(), 2u);
  EXPECT_EQ(WebLaunch(*session, opener).OpenInTurn({"http://a.example/"}),
            url_open::kNoAssociation);
}

}  // namespace
}  // namespace quillon
