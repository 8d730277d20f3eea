// What the main window knows about the cards after a search: the device table in the order the
// cards were found, and the key table that ties list rows to it. Rows are matched to devices by
// the first 10 characters of their serial number, never by position.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/MacAddress.h"
#include "flows/DeviceSearch.h"

namespace quillon {

class DeviceTables {
 public:
  static constexpr std::size_t kKeyLength = 10;

  struct KeyEntry {
    std::string key;  // the first kKeyLength characters of the serial number
    MacAddress mac;
  };

  void Load(std::vector<FoundDevice> devices);
  void Clear();

  int Count() const { return static_cast<int>(devices_.size()); }
  const FoundDevice& Device(int index) const {
    return devices_.at(static_cast<std::size_t>(index));
  }
  const KeyEntry& Key(int index) const { return keys_.at(static_cast<std::size_t>(index)); }
  // The firmware variant of a device whose version is in text form.
  std::optional<char> VariantLetter(int index) const;

  // The first device whose key equals the first kKeyLength characters of `row_key`; -1 if none.
  int IndexOfRowKey(std::string_view row_key) const;

 private:
  std::vector<FoundDevice> devices_;
  std::vector<KeyEntry> keys_;
};

}  // namespace quillon
