#include "ui/main/DeviceTables.h"

namespace quillon {

void DeviceTables::Load(std::vector<FoundDevice> devices) {
  devices_ = std::move(devices);
  keys_.clear();
  for (const FoundDevice& device : devices_) {
    keys_.push_back({device.Key().substr(0, kKeyLength), device.record.mac});
  }
}

void DeviceTables::Clear() {
  devices_.clear();
  keys_.clear();
}

std::optional<char> DeviceTables::VariantLetter(int index) const {
  return FirmwareVariantLetter(Device(index).record);
}

int DeviceTables::IndexOfRowKey(std::string_view row_key) const {
  const std::string_view key = row_key.substr(0, kKeyLength);
  for (std::size_t i = 0; i < keys_.size(); ++i) {
    if (keys_[i].key == key) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace quillon
