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
  EXPECT_EQ(session->adapters().CurrentAdapter(), 1) << "the link stays on the last adapter";
}

TEST_F(DeviceSearchTest, CardOnTwoAdaptersIsListedOnceWithTheFirst) {
  AddCard(CardBuilder(kSerial + 5), 0);
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

TEST_F(DeviceSearchTest, CancelledSearchEndsAtTheNextCheckPoint) {
  AddCard(CardBuilder(kSerial + 1));
  ManualResetEvent cancel;
  cancel.Set();
  const SearchResult result = search.Run(&cancel);
  EXPECT_TRUE(result.cancelled);
  EXPECT_TRUE(result.rows.empty());
  EXPECT_TRUE(segment.SentFrames(0).empty()) << "not even discovery went out";
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
    explicit CountingDriver(PacketDriver& inner) : inner(inner) {}
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
  session.adapters().EnumerateAdapters();
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
