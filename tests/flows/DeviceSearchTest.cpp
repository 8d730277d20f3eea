#include <gtest/gtest.h>

#include "flows/DeviceSearch.h"
#include "support/SimFixture.h"

namespace quillon {
namespace {

using sim::CardBuilder;
using sim::CardFaults;
using sim::MakerAddress;

class DeviceSearchTest : public testing::SimFixture {
 protected:
  std::vector<std::string> ListedKeys(const SearchResult& result) {
    std::vector<std::string> keys;
    for (const RowText& row : result.rows) keys.push_back(row.key);
    return keys;
  }
  DeviceSearch search{*session};
};

TEST_F(DeviceSearchTest, ListsEveryAdapterSortedBySerialNumber) {
  AddCard(CardBuilder(kSerial + 2).Static(0x0A000002, 0xFFFFFF00, 0x0A000001));
  AddCard(CardBuilder(kSerial + 0));
  AddCard(CardBuilder(kSerial + 1), /*adapter=*/1);
  const SearchResult result = search.Run();
  ASSERT_FALSE(result.cancelled);
  EXPECT_EQ(ListedKeys(result),
            (std::vector<std::string>{"1358954496", "1358954497", "1358954498"}));
  EXPECT_EQ(result.rows[2].ipv4, "10.0.0.2");
  EXPECT_EQ(result.rows[2].mac, "02-4B-51-00-00-02");
  EXPECT_EQ(result.devices[result.rows[1].device].record.adapter_index, 1);
  EXPECT_EQ(RequestsSent(code::kDiscover, 0), 1);
  EXPECT_EQ(RequestsSent(code::kDiscover, 1), 1);
}

TEST_F(DeviceSearchTest, CardOnTwoAdaptersIsListedOnceWithTheFirstAdapter) {
  CardFaults late;
  late.reply_delay = Millis{40};  // the first adapter's answer comes last
  AddCard(CardBuilder(kSerial + 5).Faults(late), 0);
  AddCard(CardBuilder(kSerial + 5), 1);
  AddCard(CardBuilder(kSerial + 6), 1);
  const SearchResult result = search.Run();
  ASSERT_EQ(result.devices.size(), 2u);
  EXPECT_EQ(result.devices[0].record.adapter_index, 0);
  EXPECT_EQ(result.devices[1].record.mac, MakerAddress(kSerial + 6));
}

TEST_F(DeviceSearchTest, AddressShownFollowsModeAndLevel) {
  struct Case {
    std::uint16_t level;
    const char* shown;
  };
  std::uint32_t serial = kSerial;
  for (const Case c : {Case{750, "10.0.0.9"}, Case{751, "10.0.0.5"}}) {
    sim::CardBuilder builder(++serial);
    builder.Level(c.level).Dhcp(0x0A000005);
    builder.config.ip_address = 0x0A000009;
    AddCard(builder);
  }
  const SearchResult result = search.Run();
  ASSERT_EQ(result.rows.size(), 2u);
  EXPECT_EQ(result.rows[0].ipv4, "10.0.0.9");
  EXPECT_EQ(result.rows[1].ipv4, "10.0.0.5");
}

TEST_F(DeviceSearchTest, CardThatDoesNotAnswerShowsZeroAndNoDetails) {
  AddCard(CardBuilder(kSerial + 1).Level(33).Ipv6(4, "2001:db8::1", "", 64, "fe80::1"));
  CardFaults mute;
  mute.silent_after_discovery = true;
  AddCard(CardBuilder(kSerial + 2).Faults(mute));
  const SearchResult result = search.Run();
  ASSERT_EQ(result.rows.size(), 2u);
  const FoundDevice& answering = result.devices[result.rows[0].device];
  const FoundDevice& mute_card = result.devices[result.rows[1].device];
  EXPECT_EQ(answering.details.link_local, "fe80::1");
  EXPECT_FALSE(mute_card.answered);
  EXPECT_EQ(result.rows[1].ipv4, "0.0.0.0");
  EXPECT_EQ(mute_card.details.config_level, 0);
  EXPECT_TRUE(mute_card.details.link_local.empty()) << "nothing copied from the previous card";
}

TEST_F(DeviceSearchTest, PasswordStateComesFromTheConfigurationRead) {
  AddCard(CardBuilder(kSerial + 1).Password("pw"));
  const SearchResult result = search.Run();
  ASSERT_EQ(result.devices.size(), 1u);
  EXPECT_EQ(result.devices[0].read_status, status::kRefused);
}

TEST_F(DeviceSearchTest, RememberedPasswordSurvivesTheNextSearch) {
  AddCard(CardBuilder(kSerial + 1));
  SearchResult first = search.Run();
  ASSERT_EQ(first.devices.size(), 1u);
  // The upgrade stores an accepted password into the table it got from the search.
  search.Remember(first.devices[0].record.mac, "accepted");
  const SearchResult second = search.Run();
  EXPECT_EQ(second.devices[0].record.RememberedPassword(), "accepted");
}

TEST_F(DeviceSearchTest, CancelledBeforeItStartsSendsNothing) {
  AddCard(CardBuilder(kSerial + 1));
  std::stop_source cancel;
  cancel.request_stop();
  const SearchResult result = search.Run(cancel.get_token());
  EXPECT_TRUE(result.cancelled);
  EXPECT_TRUE(result.rows.empty());
  EXPECT_TRUE(segment.SentFrames(0).empty()) << "not even discovery went out";
}

TEST_F(DeviceSearchTest, CancelDuringDiscoveryEndsItBeforeAnyCardIsRead) {
  timing.discovery_window = Millis{60000};
  session = std::make_unique<Session>(segment, timing, nullptr);
  session->EnumerateAdapters();
  AddCard(CardBuilder(kSerial + 1), 0);
  AddCard(CardBuilder(kSerial + 2), 1);
  std::stop_source cancel;
  SearchEvents events;
  int answered = 0;
  events.answered = [&](int cards) {
    answered = cards;
    if (cards == 2) cancel.request_stop();
  };
  DeviceSearch fresh(*session);
  const SearchResult result = fresh.Run(cancel.get_token(), events);
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(answered, 2);
  EXPECT_EQ(RequestsSent(code::kCheckPassword, 0) + RequestsSent(code::kCheckPassword, 1), 0);
}

TEST_F(DeviceSearchTest, CancelWhileReadingStopsAtTheNextCard) {
  for (std::uint32_t i = 1; i <= 3; ++i) AddCard(CardBuilder(kSerial + i));
  std::stop_source cancel;
  SearchEvents events;
  int read = 0;
  events.device_read = [&](const FoundDevice&) {
    ++read;
    cancel.request_stop();
  };
  const SearchResult result = search.Run(cancel.get_token(), events);
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(read, 1);
  EXPECT_EQ(RequestsSent(code::kCheckPassword), 1);
}

// Every adapter has its own link, whatever its position in the table.
TEST(SearchManyAdaptersTest, CardsOnEveryAdapterAreFoundAndReadOnTheirOwn) {
  sim::SimulatedSegment segment;
  constexpr int kAdapters = 20;
  for (int i = 0; i < kAdapters; ++i) segment.AddAdapter("sim" + std::to_string(i), "");
  segment.AddCard(19, CardBuilder(1358954496 + 19).Static(0x0A000013, 0xFFFFFF00, 0).Build());
  segment.AddCard(3, CardBuilder(1358954496 + 3).Build());
  const Timing timing = Timing::Shortened();
  Session session(segment, timing, nullptr);
  session.EnumerateAdapters();
  DeviceSearch search(session);
  const SearchResult result = search.Run();
  ASSERT_EQ(result.rows.size(), 2u);
  const FoundDevice& far = result.devices[result.rows[1].device];
  EXPECT_EQ(far.record.adapter_index, 19);
  EXPECT_TRUE(far.answered);
  EXPECT_EQ(result.rows[1].ipv4, "10.0.0.19");
  for (int i = 0; i < kAdapters; ++i) {
    EXPECT_FALSE(segment.SentFrames(i).empty()) << "no discovery on adapter " << i;
  }
}

// A driver that refuses one adapter, as one that is down or not ours to open.
class RefusingDriver : public PacketDriver {
 public:
  RefusingDriver(PacketDriver& inner, std::string refused)
      : inner_(inner), refused_(std::move(refused)) {}
  AdapterList ListAdapters() override { return inner_.ListAdapters(); }
  OpenedAdapter OpenAdapter(const std::string& name) override {
    if (name == refused_) return {nullptr, OpenFailure::kOther, "the adapter is down"};
    return inner_.OpenAdapter(name);
  }

 private:
  PacketDriver& inner_;
  std::string refused_;
};

TEST_F(DeviceSearchTest, AdapterThatCannotBeOpenedIsLeftOutWhileTheOthersWork) {
  AddCard(CardBuilder(kSerial + 1), 0);
  AddCard(CardBuilder(kSerial + 2), 1);
  RefusingDriver driver(segment, "sim1");
  Session refusing(driver, timing, nullptr);
  refusing.EnumerateAdapters();
  DeviceSearch partial(refusing);
  std::vector<std::string> searched;
  SearchEvents events;
  events.searching = [&](const std::vector<AdapterInfo>& adapters) {
    for (const AdapterInfo& adapter : adapters) searched.push_back(adapter.driver_name);
  };
  const SearchResult result = partial.Run({}, events);
  ASSERT_EQ(result.rows.size(), 1u);
  EXPECT_EQ(result.rows[0].key, "1358954497");
  ASSERT_EQ(result.unopened.size(), 1u);
  EXPECT_EQ(result.unopened[0].adapter, 1);
  EXPECT_EQ(result.unopened[0].error, "the adapter is down");
  EXPECT_EQ(searched, std::vector<std::string>{"sim0"});
}

class FindTest : public DeviceSearchTest {
 protected:
  static CardName Name(const std::string& text) { return *CardName::Parse(text); }
};

TEST_F(FindTest, ReturnsTheNamedCardsInTheOrderOfTheNamesEachOnce) {
  AddCard(CardBuilder(kSerial + 1), 0);
  AddCard(CardBuilder(kSerial + 2), 1);
  AddCard(CardBuilder(kSerial + 3), 1);
  const SearchResult result =
      search.Find({Name("1358954499"), Name("02-4B-51-00-00-01"), Name("02:4b:51:00:00:03")});
  EXPECT_TRUE(result.missing.empty());
  ASSERT_EQ(result.devices.size(), 2u);
  EXPECT_EQ(result.devices[0].Key(), "1358954499");
  EXPECT_EQ(result.devices[0].record.adapter_index, 1);
  EXPECT_EQ(result.devices[1].Key(), "1358954497");
  EXPECT_TRUE(result.devices[1].answered) << "the named cards are read";
  EXPECT_EQ(RequestsSent(code::kCheckPassword, 1), 1) << "the other card is not";
}

TEST_F(FindTest, StopsListeningOnceEveryNamedCardHasAnswered) {
  timing.discovery_window = Millis{60000};
  session = std::make_unique<Session>(segment, timing, nullptr);
  session->EnumerateAdapters();
  AddCard(CardBuilder(kSerial + 1), 0);
  CardFaults late;
  late.reply_delay = Millis{1500};
  AddCard(CardBuilder(kSerial + 2).Faults(late), 1);
  int answered = 0;
  SearchEvents events;
  events.answered = [&](int cards) { answered = cards; };
  DeviceSearch fresh(*session);
  const SearchResult result = fresh.Find({Name("1358954497")}, {}, events);
  ASSERT_EQ(result.devices.size(), 1u);
  EXPECT_EQ(answered, 1) << "the late card's answer was no longer waited for";
}

TEST_F(FindTest, NamedCardThatNeverAnswersIsMissingByName) {
  AddCard(CardBuilder(kSerial + 1));
  const SearchResult result = search.Find({Name("1358954497"), Name("4000000000")});
  EXPECT_FALSE(result.cancelled);
  ASSERT_EQ(result.missing.size(), 1u);
  EXPECT_EQ(result.missing[0].Text(), "4000000000");
  ASSERT_EQ(result.devices.size(), 1u);
}

TEST(CardNameTest, IsASerialNumberOrAMacAddress) {
  const MacAddress card = sim::MakerAddress(1358954538);
  struct Case {
    const char* text;
    bool valid;
    bool names_card;
  };
  const Case cases[] = {
      {"1358954538", true, true},
      {"02-4B-51-00-00-2A", true, true},
      {"02:4b:51:00:00:2a", true, true},
      {"0", true, false},
      {"4294967295", true, false},
      {"4294967296", false, false},
      {"-1", false, false},
      {"+5", false, false},
      {"13589 54538", false, false},
      {"", false, false},
      {"card", false, false},
      {"02-4B-51-00-00", false, false},
  };
  for (const Case& c : cases) {
    const std::optional<CardName> name = CardName::Parse(c.text);
    EXPECT_EQ(name.has_value(), c.valid) << c.text;
    if (name) {
      EXPECT_EQ(name->Names(card), c.names_card) << c.text;
    }
  }
}

TEST(CardNameTest, ASerialNumberNamesTheCardWhateverItsFirstTwoBytes) {
  const CardName serial = *CardName::Parse("1358954538");
  EXPECT_TRUE(serial.Names(*MacAddress::Parse("0A-0B-51-00-00-2A")));
}

TEST(SortRowTextsTest, SortsByNumberAndKeepsEqualKeysInOrder) {
  std::vector<RowText> rows{
      {"12", "a", "", 0}, {"3", "b", "", 1}, {"12", "c", "", 2}, {"1000", "d", "", 3}};
  SortRowTexts(rows);
  std::string order;
  for (const RowText& row : rows) order += row.mac;
  EXPECT_EQ(order, "bacd");
}

TEST(SearchOneAdapterTest, LinkIsOpenedOnceAndReused) {
  sim::SimulatedSegment segment;
  segment.AddAdapter("only", "The only adapter");
  segment.AddCard(0, CardBuilder(1358954496).Build());
  struct CountingDriver : PacketDriver {
    explicit CountingDriver(PacketDriver& wrapped) : inner(wrapped) {}
    AdapterList ListAdapters() override { return inner.ListAdapters(); }
    OpenedAdapter OpenAdapter(const std::string& name) override {
      ++opens;
      return inner.OpenAdapter(name);
    }
    PacketDriver& inner;
    int opens = 0;
  } driver(segment);
  const Timing timing = Timing::Shortened();
  Session session(driver, timing, nullptr);
  session.EnumerateAdapters();
  DeviceSearch search(session);
  EXPECT_EQ(search.Run().rows.size(), 1u);
  EXPECT_EQ(search.Run().rows.size(), 1u);
  EXPECT_EQ(driver.opens, 1);
}

TEST(FirmwareVariantLetterTest, IsTheSeventhCharacterOfTheTextForm) {
  DeviceRecord record;
  StoreFieldText(record.firmware_version, "v3.2.0K build 41");
  EXPECT_EQ(FirmwareVariantLetter(record), 'K');
  record.firmware_version = {2, 1, 'K', 3};
  EXPECT_EQ(FirmwareVariantLetter(record), std::nullopt);
}

}  // namespace
}  // namespace quillon

#include "flows/DeviceInfo.h"

namespace quillon {
namespace {

TEST(DeviceInfoTextTest, FormDependsOnLevelAndIpv6Texts) {
  struct Case {
    std::uint16_t level;
    DeviceDetails details;
    const char* tail;
  };
  const char* head =
      "Hardware Version: QN\r\nFirmware Version: 1.4C.9\r\nMAC Address: 02-4B-51-00-00-2A";
  const Case cases[] = {
      {32, {32, "fe80::1", "2001::1", ""}, "\r\n"},
      {33, {33, "", "2001::1", "2001::2"}, "\r\n"},
      {33, {33, "fe80::1", "", ""}, "\r\nLocalLink Addr:fe80::1\r\nIPv6 Addr:"},
      {33, {33, "fe80::1", "2001::1", ""}, "\r\nLocalLink Addr:fe80::1\r\nIPv6 Addr:2001::1"},
      {33,
       {33, "fe80::1", "2001::1", "2001::2"},
       "\r\nLocalLink Addr:fe80::1\r\nIPv6 Addr1:2001::1\r\nIPv6 Addr2:2001::2"},
  };
  for (const Case& c : cases) {
    FoundDevice device;
    device.record.mac = sim::MakerAddress(1358954538);
    StoreFieldText(device.record.hardware_version, "QN");
    device.record.firmware_version = {1, 4, 'C', 9};
    device.details = c.details;
    EXPECT_EQ(DeviceInfoText(device), std::string(head) + c.tail);
  }
}

}  // namespace
}  // namespace quillon
