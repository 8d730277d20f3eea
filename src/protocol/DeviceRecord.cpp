#include "protocol/DeviceRecord.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace quillon {

DeviceRecord DeviceRecord::Decode(ByteView data) {
  RequireRange(data, 0, kDeviceRecordSize);
  DeviceRecord record;
  record.address_value = LoadBe32(data, 0);
  record.mac = MacAddress::From(data, 4);
  LoadArray(data, 10, record.reserved_10);
  LoadArray(data, 12, record.hardware_version);
  LoadArray(data, 28, record.firmware_version);
  LoadArray(data, 60, record.reserved_60);
  LoadArray(data, 64, record.device_key);
  LoadArray(data, 75, record.reserved_75);
  LoadArray(data, 92, record.remembered_password);
  return record;
}

std::array<Byte, kDeviceRecordSize> DeviceRecord::Encode() const {
  std::array<Byte, kDeviceRecordSize> data{};
  StoreBe32(data, 0, address_value);
  mac.StoreTo(data, 4);
  StoreArray(data, 10, reserved_10);
  StoreArray(data, 12, hardware_version);
  StoreArray(data, 28, firmware_version);
  StoreArray(data, 60, reserved_60);
  StoreArray(data, 64, device_key);
  StoreArray(data, 75, reserved_75);
  StoreArray(data, 92, remembered_password);
  StoreBe32(data, 124, static_cast<std::uint32_t>(adapter_index));
  return data;
}

bool IsTextVersion(ByteView field) {
  return !field.empty() && static_cast<std::int8_t>(field[0]) > 20;
}

std::string DeviceRecord::HardwareVersionText() const {
  if (IsTextVersion(hardware_version)) return FieldText(hardware_version);
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", hardware_version[0], hardware_version[1],
                hardware_version[2], hardware_version[3]);
  return text;
}

std::string DeviceRecord::FirmwareVersionText() const {
  if (IsTextVersion(firmware_version)) return FieldText(firmware_version);
  const Byte letter = firmware_version[2];
  char text[40];
  if (std::isalpha(letter)) {
    std::snprintf(text, sizeof text, "%u.%u%c.%u", firmware_version[0], firmware_version[1], letter,
                  firmware_version[3]);
  } else {
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", firmware_version[0], firmware_version[1],
                  letter, firmware_version[3]);
  }
  return text;
}

void DeviceRecord::SetRememberedPassword(std::string_view text) {
  StoreFieldText(remembered_password, text);
}

std::string DeviceKey(const MacAddress& mac) {
  return std::to_string(LoadBe32(mac.bytes, 2));
}

}  // namespace quillon
