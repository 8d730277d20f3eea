// One card found by discovery: the 128 data bytes of its reply, plus what the program adds.
//
//   offset  width  field
//        0      4  address value (big-endian on the wire, kept as a number)
//        4      6  MAC address
//       10      2  (not interpreted)
//       12     16  hardware version: four numbers, or text
//       28     32  firmware version: major, minor, letter, build, or text
//       60      4  (not interpreted)
//       64     11  DeviceKey text, filled when the card is listed
//       75     17  (not interpreted)
//       92     32  remembered password, NUL-terminated
//      124      4  adapter index, set by discovery
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/Bytes.h"
#include "base/MacAddress.h"

namespace quillon {

inline constexpr std::size_t kDeviceRecordSize = 128;

struct DeviceRecord {
  std::uint32_t address_value = 0;
  MacAddress mac;
  std::array<Byte, 2> reserved_10{};
  std::array<Byte, 16> hardware_version{};
  std::array<Byte, 32> firmware_version{};
  std::array<Byte, 4> reserved_60{};
  std::array<Byte, 11> device_key{};
  std::array<Byte, 17> reserved_75{};
  std::array<Byte, 32> remembered_password{};
  std::int32_t adapter_index = 0;

  // From the 128 data bytes of a discovery reply (the adapter index is the caller's to set).
  static DeviceRecord Decode(ByteView data);
  // The 128 bytes as a card sends them.
  std::array<Byte, kDeviceRecordSize> Encode() const;

  std::string HardwareVersionText() const;
  std::string FirmwareVersionText() const;
  std::string RememberedPassword() const { return FieldText(remembered_password); }
  // Stores a password the card accepted; longer texts than the field holds are a programming error.
  void SetRememberedPassword(std::string_view text);
};

// The serial number of a card: the decimal text of MAC bytes 2 to 5 read as an unsigned 32-bit
// big-endian number. 10 characters for every address of the maker's prefix 02-4B-51.
std::string DeviceKey(const MacAddress& mac);

// Version fields come in two forms, told apart by the first byte taken as a signed 8-bit value:
// at most 20, small numbers (one per byte); above 20, NUL-terminated text.
bool IsTextVersion(ByteView field);

}  // namespace quillon
