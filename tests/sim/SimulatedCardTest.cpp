#include <gtest/gtest.h>

#include "protocol/DeviceCommands.h"
#include "sim/SimulatedCard.h"
#include "support/SimFixture.h"

namespace quillon {
namespace {

using sim::CardBuilder;
using sim::CardFaults;

class SimulatedCardTest : public testing::SimFixture {};

TEST_F(SimulatedCardTest, WriteNeedsMagicChecksumAndAccess) {
  auto card = AddCard(CardBuilder(kSerial + 1).Password("pw"));
  const MacAddress mac = card->Mac();
  ConfigBlock block = card->Config();
  StoreBe32(block, 32, 0x0A000063);

  // A block whose checksum does not match what it carries is refused.
  PrepareConfigWrite(block, kConfigBlockSize);
  ConfigBlock corrupt = block;
  corrupt[100] ^= 1;
  EXPECT_EQ(transactions().CommandTransaction(mac, exchange::kWriteConfig, DevicePassword("pw"), 0,
                                              corrupt),
            status::kRefused);
  // Without the password, and no password check passed: refused.
  EXPECT_EQ(WriteConfig(transactions(), mac, {}, block, kConfigBlockSize), status::kRefused);
  // With it: written.
  EXPECT_EQ(WriteConfig(transactions(), mac, DevicePassword("pw"), block, kConfigBlockSize),
            status::kDone);
  EXPECT_EQ(DeviceConfig::Decode(card->Config()).ip_address, 0x0A000063u);
}

TEST_F(SimulatedCardTest, SenderThatPassedThePasswordCheckMayWriteWithoutIt) {
  auto card = AddCard(CardBuilder(kSerial + 1).Password("pw"));
  EXPECT_EQ(CheckPassword(transactions(), card->Mac(), DevicePassword("wrong")), status::kRefused);
  EXPECT_EQ(CheckPassword(transactions(), card->Mac(), DevicePassword("pw")), status::kDone);
  // Removing the password goes out with the empty request password.
  EXPECT_EQ(ChangePassword(transactions(), card->Mac(), {}, MakePasswordBlock("")), status::kDone);
  EXPECT_EQ(card->Password(), "");
}

TEST_F(SimulatedCardTest, PasswordChangeWithABrokenChecksumIsRefused) {
  auto card = AddCard(CardBuilder(kSerial + 1));
  PasswordBlock block = MakePasswordBlock("new");
  block[3] ^= 1;
  EXPECT_EQ(ChangePassword(transactions(), card->Mac(), {}, block), status::kRefused);
  EXPECT_EQ(card->Password(), "");
  EXPECT_EQ(ChangePassword(transactions(), card->Mac(), {}, MakePasswordBlock("new")),
            status::kDone);
  EXPECT_EQ(card->Password(), "new");
}

TEST_F(SimulatedCardTest, ShortWriteChangesOnlyTheFirst68Bytes) {
  auto card = AddCard(CardBuilder(kSerial + 1).Level(33).Ipv6(4, "2001:db8::9", "", 64, "fe80::9"));
  ConfigBlock block = card->Config();
  StoreBe32(block, 32, 0x0A000001);
  block[200] = 'x';  // beyond the short form: not sent
  EXPECT_EQ(WriteConfig(transactions(), card->Mac(), {}, block, kShortConfigSize), status::kDone);
  const DeviceConfig after = DeviceConfig::Decode(card->Config());
  EXPECT_EQ(after.ip_address, 0x0A000001u);
  EXPECT_EQ(after.Ipv6AddressText(), "2001:db8::9");
  EXPECT_EQ(card->LastWrite().size(), kShortConfigSize);
}

TEST_F(SimulatedCardTest, FactoryCommandMayAskForPatienceThenTakesTheNewAddress) {
  CardFaults not_ready;
  not_ready.not_ready_first = true;
  auto card = AddCard(CardBuilder(kSerial + 1).Faults(not_ready));
  const MacAddress old_mac = card->Mac();
  const FactoryBlock block = MakeFactoryBlock(SerialNumberMac(kSerial + 77), {});
  EXPECT_EQ(SetHardwareAddress(transactions(), old_mac, {}, block), status::kNotReady);
  EXPECT_EQ(card->Mac(), old_mac);
  EXPECT_EQ(SetHardwareAddress(transactions(), old_mac, {}, block), status::kDone);
  EXPECT_EQ(card->Mac(), SerialNumberMac(kSerial + 77));
}

}  // namespace
}  // namespace quillon

#include "protocol/Checksum.h"
#include "protocol/FirmwareImage.h"
#include "support/TestImages.h"

namespace quillon {
namespace {

class SimulatedCardFirmwareTest : public testing::SimFixture {
 protected:
  ReplyStatus Block(const MacAddress& card, std::uint16_t number, std::size_t size) {
    return transactions().TransferTransaction(card, exchange::kImageBlock, {}, number,
                                              Bytes(size, 0x11));
  }
};

TEST_F(SimulatedCardFirmwareTest, BlocksMustComeInOrderAndWhole) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::uint16_t, std::size_t>> blocks;
    ReplyStatus last_status;
  };
  const Case cases[] = {
      {"in order", {{0, 1024}, {1, 1024}, {2, 10}}, status::kDone},
      {"a gap", {{0, 1024}, {2, 1024}}, status::kRefused},
      {"not starting at 0", {{1, 1024}}, status::kRefused},
      {"the same block again", {{0, 1024}, {1, 1024}, {1, 1024}}, status::kDone},
      {"after the short last block", {{0, 1024}, {1, 5}, {2, 1024}}, status::kRefused},
      {"longer than a block", {{0, 1025}}, status::kRefused},
  };
  std::uint32_t serial = kSerial;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MacAddress card = AddCard(sim::CardBuilder(++serial))->Mac();
    ReplyStatus status;
    for (const auto& [number, size] : c.blocks) status = Block(card, number, size);
    EXPECT_EQ(status, c.last_status);
  }
}

TEST_F(SimulatedCardFirmwareTest, ImageThatDoesNotMatchItsEndIsNotProgrammed) {
  struct Case {
    const char* name;
    std::int64_t checksum_offset;
    std::uint32_t mode;
    bool programmed;
  };
  const Case cases[] = {
      {"as sent", 0, kInfoBlockPersonalised, true},
      {"checksum off by one", 1, kInfoBlockPersonalised, false},
      {"mode says unchanged, block is valid", 0, kInfoBlockUnchanged, false},
      {"unknown mode", 0, 0x00020000, false},
  };
  std::uint32_t serial = kSerial + 50;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto card = AddCard(sim::CardBuilder(++serial));
    Bytes image = testing::MakeImage({});
    PersonaliseInfoBlock(image, card->Mac());
    for (std::size_t n = 0; n < BlockCount(image.size()); ++n) {
      ASSERT_EQ(transactions().TransferTransaction(card->Mac(), exchange::kImageBlock, {},
                                                   static_cast<std::uint16_t>(n),
                                                   Slice(ByteView(image), n * 1024, 1024)),
                status::kDone);
    }
    const auto end = EndOfImageData(
        static_cast<std::uint32_t>(BlockChecksum(image) + c.checksum_offset), c.mode);
    EXPECT_EQ(transactions().CommandTransaction(card->Mac(), exchange::kImageEnd, {}, 0, end),
              c.programmed ? status::kDone : status::kRefused);
    EXPECT_EQ(card->ProgrammedImage().empty(), !c.programmed);
    EXPECT_EQ(link().Notices().WaitFor(card->Mac(), Millis{c.programmed ? 3000 : 50}),
              c.programmed);
  }
}

}  // namespace
}  // namespace quillon
