#include <gtest/gtest.h>

#include "protocol/Discovery.h"
#include "support/SimFixture.h"

namespace quillon {
namespace {

using sim::CardBuilder;
using sim::CardFaults;

class DiscoveryTest : public testing::SimFixture {
 protected:
  int Discover(std::span<DeviceRecord> rows, int adapter = 0) {
    return DiscoverDevices(link(), timing, rows, adapter);
  }
  std::array<DeviceRecord, kMaxDevices> table{};
};

TEST_F(DiscoveryTest, KeepsTheFirstReplyOfEachCard) {
  CardFaults duplicates;
  duplicates.duplicate_replies = true;
  AddCard(CardBuilder(kSerial + 1).Faults(duplicates).HardwareText("first"));
  AddCard(CardBuilder(kSerial + 2));
  AddCard(CardBuilder(kSerial + 3), /*adapter=*/1);  // another segment

  ASSERT_EQ(Discover(table, 7), 2);
  EXPECT_EQ(table[0].mac, sim::MakerAddress(kSerial + 1));
  EXPECT_EQ(table[0].HardwareVersionText(), "first");
  EXPECT_EQ(table[0].adapter_index, 7);
  EXPECT_EQ(table[1].mac, sim::MakerAddress(kSerial + 2));

  const auto sent = segment.SentFrames(0);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].size(), 41u);
}

TEST_F(DiscoveryTest, CardAnsweringAfterTheWindowIsNotFound) {
  CardFaults late;
  late.reply_delay = timing.discovery_window + Millis{100};
  AddCard(CardBuilder(kSerial + 1).Faults(late));
  AddCard(CardBuilder(kSerial + 2));
  ASSERT_EQ(Discover(table), 1);
  EXPECT_EQ(table[0].mac, sim::MakerAddress(kSerial + 2));
}

TEST_F(DiscoveryTest, FrameFromAnotherCodeOrVersionIsDropped) {
  const MacAddress stranger = sim::MakerAddress(kSerial + 9);
  const Bytes record(kDeviceRecordSize, 0);
  segment.InjectFrame(
      0, ReplyFrom(stranger, code::kDiscoverReply, status::kNoReply, record, /*version=*/2));
  segment.InjectFrame(0, ReplyFrom(stranger, code::kConfigReply, status::kNoReply, record));
  segment.InjectFrame(
      0, ReplyFrom(stranger, code::kDiscoverReply, status::kNoReply, Bytes(20, 0)));  // cut short
  EXPECT_EQ(Discover(table), 0);
}

TEST_F(DiscoveryTest, RememberedPasswordCarriesOverToTheSameCard) {
  AddCard(CardBuilder(kSerial + 1));
  AddCard(CardBuilder(kSerial + 2));
  ASSERT_EQ(Discover(table), 2);
  table[1].SetRememberedPassword("kept");

  ASSERT_EQ(Discover(table), 2);
  EXPECT_EQ(table[1].mac, sim::MakerAddress(kSerial + 2));
  EXPECT_EQ(table[1].RememberedPassword(), "kept");
  EXPECT_EQ(table[0].RememberedPassword(), "") << "a card seen first keeps what its reply carried";
}

TEST_F(DiscoveryTest, StopsStoringAtTheTableBound) {
  for (std::uint32_t i = 0; i < 6; ++i) AddCard(CardBuilder(kSerial + i));
  std::array<DeviceRecord, 4> small{};
  EXPECT_EQ(Discover(small), 4);
}

}  // namespace
}  // namespace quillon
