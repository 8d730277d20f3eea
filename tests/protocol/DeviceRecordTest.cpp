#include <gtest/gtest.h>

#include "protocol/DeviceRecord.h"

namespace quillon {
namespace {

std::array<Byte, kDeviceRecordSize> RecordBytes() {
  std::array<Byte, kDeviceRecordSize> data{};
  StoreBe32(data, 0, 0x0A000001);
  MacAddress{{0x02, 0x4B, 0x51, 0x00, 0x00, 0x2A}}.StoreTo(data, 4);
  return data;
}

TEST(DeviceRecordTest, DecodesTheReplyAndRoundTrips) {
  auto data = RecordBytes();
  StoreFieldText(MutableSlice(MutableByteView(data), 12, 16), "QN-9100");
  StoreFieldText(MutableSlice(MutableByteView(data), 92, 32), "remembered");
  const DeviceRecord record = DeviceRecord::Decode(data);
  EXPECT_EQ(record.address_value, 0x0A000001u);
  EXPECT_EQ(record.mac.ToString(), "02-4B-51-00-00-2A");
  EXPECT_EQ(record.HardwareVersionText(), "QN-9100");
  EXPECT_EQ(record.RememberedPassword(), "remembered");
  EXPECT_EQ(record.Encode(), data);
}

TEST(DeviceRecordTest, VersionFieldsComeInTwoForms) {
  struct Case {
    std::array<Byte, 4> firmware_start;
    bool text;
    const char* shown;
  };
  const Case cases[] = {
      {{20, 1, 'K', 3}, false, "20.1K.3"},    // 20: still numbers
      {{1, 4, 'C', 9}, false, "1.4C.9"},      // major, minor, letter, build
      {{0xF0, 2, 0, 1}, false, "240.2.0.1"},  // negative as a signed byte: numbers
      {{21, 'a', 'b', 0},
       true,
       "\x15"
       "ab"},  // 21: text
      {{'v', '3', '.', '2'}, true, "v3.2"},
  };
  for (const Case& c : cases) {
    auto data = RecordBytes();
    std::copy(c.firmware_start.begin(), c.firmware_start.end(), data.begin() + 28);
    const DeviceRecord record = DeviceRecord::Decode(data);
    EXPECT_EQ(IsTextVersion(record.firmware_version), c.text);
    EXPECT_EQ(record.FirmwareVersionText(), c.shown);
  }
}

TEST(DeviceRecordTest, TextWithoutTerminatorIsReadNoFurtherThanItsField) {
  auto data = RecordBytes();
  std::fill(data.begin() + 12, data.begin() + 28, 'H');  // hardware: 16 characters, no NUL
  std::fill(data.begin() + 28, data.begin() + 60, 'F');  // firmware: 32 characters, no NUL
  const DeviceRecord record = DeviceRecord::Decode(data);
  EXPECT_EQ(record.HardwareVersionText(), std::string(16, 'H'));
  EXPECT_EQ(record.FirmwareVersionText(), std::string(32, 'F'));
}

TEST(DeviceKeyTest, IsTheLowerFourBytesInDecimal) {
  EXPECT_EQ(DeviceKey({{0x02, 0x4B, 0x51, 0x00, 0x00, 0x00}}), "1358954496");
  EXPECT_EQ(DeviceKey({{0x02, 0x4B, 0x00, 0x00, 0x00, 0x19}}), "25");
  EXPECT_EQ(DeviceKey({{0x02, 0x4B, 0xFF, 0xFF, 0xFF, 0xFF}}), "4294967295");
}

}  // namespace
}  // namespace quillon
