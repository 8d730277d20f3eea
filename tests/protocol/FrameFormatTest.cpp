#include <gtest/gtest.h>

#include "protocol/Checksum.h"
#include "protocol/DeviceCommands.h"
#include "protocol/DeviceRecord.h"
#include "protocol/FrameFormat.h"

namespace quillon {
namespace {

const MacAddress kOwn{{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}};
const MacAddress kCard{{0x02, 0x4B, 0x51, 0x00, 0x00, 0x2A}};

TEST(FrameFormatTest, QueryForTheWholeBlockIs298BytesWithDataLengthZero) {
  const Bytes frame = BuildRequestFrame(
      kOwn, {kCard, code::kReadConfig, 0, DevicePassword("pw"), {}, kConfigBlockSize});
  ASSERT_EQ(frame.size(), 298u);
  EXPECT_EQ(MacAddress::From(frame, 0), kCard);
  EXPECT_EQ(MacAddress::From(frame, 6), kOwn);
  const Bytes header_bytes(frame.begin() + 12, frame.begin() + 22);
  EXPECT_EQ(header_bytes, (Bytes{0x4D, 0x45, 0x00, 0x01, 0x20, 0x02, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(FieldText(Slice(ByteView(frame), 22, 16)), "pw");
  EXPECT_EQ(LoadBe16(frame, 38), 0);
  EXPECT_TRUE(std::all_of(frame.begin() + 40, frame.end(), [](Byte b) { return b == 0; }));
}

TEST(FrameFormatTest, CommandCarriesItsDataAndTwoZeroBytesAfter) {
  const Bytes data{1, 2, 3};
  const Bytes frame = BuildRequestFrame(kOwn, {kCard, code::kImageBlock, 7, {}, data, 0});
  ASSERT_EQ(frame.size(), 45u);
  EXPECT_EQ(LoadBe16(frame, 18), 7);
  EXPECT_EQ(LoadBe16(frame, 38), 3);
  EXPECT_EQ(Bytes(frame.begin() + 40, frame.end()), (Bytes{1, 2, 3, 0, 0}));
}

TEST(FrameFormatTest, DataThatDoesNotFitOneFrameIsRefused) {
  const Bytes data(frame::kMaxRequestData + 1, 0);
  EXPECT_THROW(BuildRequestFrame(kOwn, {kCard, code::kImageBlock, 0, {}, data, 0}),
               std::invalid_argument);
}

TEST(FrameFormatTest, DiscoveryRequestIsExactly41Bytes) {
  const Bytes frame = BuildDiscoveryRequest(kOwn);
  ASSERT_EQ(frame.size(), 41u);
  EXPECT_EQ(MacAddress::From(frame, 0), MacAddress::Broadcast());
  EXPECT_EQ(LoadBe16(frame, 14), 1);
  EXPECT_EQ(LoadBe16(frame, 16), 0x1001);
}

TEST(FrameFormatTest, HeaderRoundTrips) {
  FrameHeader header;
  header.code = code::kPasswordReply;
  header.parameter = 0x1234;
  header.status = 2;
  header.SetPassword(DevicePassword("fifteen-chars!!"));
  header.data_length = 24;
  Bytes frame(60, 0);
  header.EncodeTo(frame);
  const auto decoded = FrameHeader::Decode(frame);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->code, header.code);
  EXPECT_EQ(decoded->parameter, 0x1234);
  EXPECT_EQ(decoded->status, 2);
  EXPECT_EQ(decoded->PasswordText(), "fifteen-chars!!");
  EXPECT_EQ(decoded->data_length, 24);
}

TEST(FrameFormatTest, HeaderOfARuntOrAForeignTypeIsNotDecoded) {
  EXPECT_FALSE(FrameHeader::Decode(Bytes(39, 0)).has_value());
  Bytes foreign(60, 0);
  foreign[12] = 0x08;
  EXPECT_FALSE(FrameHeader::Decode(foreign).has_value());
}

TEST(FrameFormatTest, ReplyTestNeedsVersionOneTheCodeAndTheData) {
  FrameHeader header;
  header.code = code::kConfigReply;
  Bytes reply(40 + 256, 0);
  header.EncodeTo(reply);
  EXPECT_TRUE(IsReply(reply, code::kConfigReply, 256));
  EXPECT_FALSE(IsReply(reply, code::kPasswordReply));
  EXPECT_FALSE(IsReply(Bytes(reply.begin(), reply.end() - 1), code::kConfigReply, 256))
      << "a block cut short is not taken for the block";
  header.version = 2;
  header.EncodeTo(reply);
  EXPECT_FALSE(IsReply(reply, code::kConfigReply, 256));
}

TEST(DevicePasswordTest, FifteenCharactersFitSixteenDoNot) {
  EXPECT_NO_THROW(DevicePassword(std::string(15, 'x')));
  EXPECT_THROW(DevicePassword(std::string(16, 'x')), std::invalid_argument);
  EXPECT_FALSE(DevicePassword::Problem(std::string(16, 'x')).empty());
  EXPECT_THROW(DevicePassword(std::string("a\0b", 3)), std::invalid_argument);
}

TEST(ChecksumTest, SumsBytesIntoThirtyTwoBitsWithWrapAround) {
  EXPECT_EQ(BlockChecksum(Bytes(248, 0xFF)), 0x0000F708u);
  EXPECT_EQ(BlockChecksum(Bytes(248, 0)), 0u);
  Bytes wraps(16843009, 0xFF);  // 255 x 16843009 = 0xFFFFFFFF
  wraps.push_back(1);
  EXPECT_EQ(BlockChecksum(wraps), 0u);
}

TEST(PasswordBlockTest, CarriesTextAndChecksum) {
  EXPECT_EQ(MakePasswordBlock(""), PasswordBlock{}) << "removing the password sends 24 zeros";
  const PasswordBlock block = MakePasswordBlock("abc");
  EXPECT_EQ(LoadBe32(block, 0), 0x61u + 0x62u + 0x63u);
  EXPECT_EQ(FieldText(Slice(ByteView(block), 4, 20)), "abc");
  EXPECT_TRUE(IsSealed(block));
  EXPECT_NO_THROW(MakePasswordBlock(std::string(19, 'x')));
  EXPECT_THROW(MakePasswordBlock(std::string(20, 'x')), std::invalid_argument);
}

TEST(FactoryBlockTest, HardwareTextOfSixteenCharactersHasNoTerminator) {
  std::array<Byte, 16> hardware{};
  std::fill(hardware.begin(), hardware.end(), 'H');
  const MacAddress mac = SerialNumberMac(1358954497);
  const FactoryBlock block = MakeFactoryBlock(mac, hardware);
  EXPECT_EQ(MacAddress::From(block, 4).ToString(), "02-4B-51-00-00-01");
  EXPECT_EQ(block[10], 0);
  EXPECT_EQ(block[11], 0);
  EXPECT_TRUE(std::all_of(block.begin() + 12, block.end(), [](Byte b) { return b == 'H'; }));
  EXPECT_TRUE(IsSealed(block));
}

TEST(FactoryBlockTest, SerialNumbersBecomeTheLowerFourBytes) {
  struct Case {
    std::uint32_t number;
    const char* mac;
  };
  for (const Case c : {Case{1358954496, "02-4B-51-00-00-00"}, Case{1358954497, "02-4B-51-00-00-01"},
                       Case{0, "02-4B-00-00-00-00"}, Case{4294967295, "02-4B-FF-FF-FF-FF"}}) {
    EXPECT_EQ(SerialNumberMac(c.number).ToString(), c.mac);
  }
}

}  // namespace
}  // namespace quillon
