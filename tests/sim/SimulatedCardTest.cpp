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
  EXPECT_EQ(transactions().CommandTransaction(mac, code::kWriteConfig, code::kConfigReply,
                                              DevicePassword("pw"), 0, corrupt),
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
