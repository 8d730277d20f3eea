// The search behind the device list: discovery on every adapter, the results merged into one
// device table, then for each new card its password state and configuration, to learn the
// address to show. The desktop program and the command line both run this one search.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Events.h"
#include "flows/Session.h"
#include "protocol/DeviceConfig.h"
#include "protocol/DeviceRecord.h"
#include "protocol/Discovery.h"

namespace quillon {

// Configuration level and IPv6 texts of one card, as its configuration block gave them. Empty for
// a card that did not answer.
struct DeviceDetails {
  std::uint16_t config_level = 0;
  std::string link_local;
  std::string ipv6_address;
  std::string ipv6_address2;
};

struct FoundDevice {
  DeviceRecord record;
  bool answered = false;          // answered the password check, so its block was read
  std::uint16_t read_status = 0;  // of the configuration read: 1 when the card has a password
  ConfigBlock config{};           // as read; zero when the card did not answer
  std::uint32_t ipv4 = 0;         // the address to show
  DeviceDetails details;

  std::string Key() const { return DeviceKey(record.mac); }
};

// One line of the device list.
struct RowText {
  std::string key;
  std::string mac;
  std::string ipv4;
  std::size_t device = 0;  // index into SearchResult::devices
};

struct SearchResult {
  std::vector<FoundDevice> devices;  // the device table, in the order the cards were found
  std::vector<RowText> rows;         // one per device, sorted by serial number
  bool cancelled = false;
};

struct SearchEvents {
  std::function<void(int adapter_index, const AdapterInfo& adapter)> adapter_started;
  std::function<void(const FoundDevice& device)> device_read;
};

class DeviceSearch {
 public:
  // Adapters beyond this many are not searched: a stored adapter index above 16 counts as 0, so
  // their cards could not be addressed.
  static constexpr int kMaxSearchedAdapters = AdapterSelection::kHighestStoredIndex + 1;

  explicit DeviceSearch(Session& session) : session_(session) {}

  // Runs one search. `cancel`, when set, ends it at the next check point with a partial result.
  SearchResult Run(const ManualResetEvent* cancel = nullptr, const SearchEvents& events = {});

  // Keeps a password the card accepted, so that the next search carries it over to the card's
  // new record.
  void Remember(const MacAddress& card, std::string_view password);

  // The IPv4 address to show for a card; reads its block into `device` (block length 256 or 68).
  // 0 when the card does not answer the password check.
  std::uint32_t ReadDeviceAddress(FoundDevice& device, std::size_t block_length);

 private:
  using Snapshot = std::array<DeviceRecord, kMaxDevices>;
  std::vector<Snapshot> SnapshotByAdapter() const;

  Session& session_;
  std::vector<DeviceRecord> previous_;  // the table of the last search, for password carry-over
};

// Sorts rows by serial number read as an unsigned number; rows with equal numbers keep their order.
void SortRowTexts(std::vector<RowText>& rows);

// The seventh character of a firmware version in text form: the firmware's variant.
std::optional<char> FirmwareVariantLetter(const DeviceRecord& record);

}  // namespace quillon
