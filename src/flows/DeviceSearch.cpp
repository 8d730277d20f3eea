#include "flows/DeviceSearch.h"

#include <algorithm>
#include <thread>

#include "protocol/DeviceCommands.h"

namespace quillon {

namespace {

bool Cancelled(const ManualResetEvent* cancel) {
  return cancel && cancel->IsSet();
}

SearchResult Interrupted(SearchResult partial) {
  partial.cancelled = true;
  return partial;
}

bool Contains(const std::vector<FoundDevice>& devices, const MacAddress& mac) {
  return std::any_of(devices.begin(), devices.end(),
                     [&](const FoundDevice& d) { return d.record.mac == mac; });
}

DeviceDetails DetailsFrom(const DeviceConfig& config) {
  return {config.config_version, config.LinkLocalText(), config.Ipv6AddressText(),
          config.Ipv6Address2Text()};
}

}  // namespace

std::vector<DeviceSearch::Snapshot> DeviceSearch::SnapshotByAdapter() const {
  std::vector<Snapshot> snapshots(kMaxSearchedAdapters);
  std::vector<std::size_t> used(kMaxSearchedAdapters, 0);
  for (const DeviceRecord& record : previous_) {
    const auto block =
        static_cast<std::size_t>(AdapterSelection::NormalisedIndex(record.adapter_index));
    if (used[block] < kMaxDevices) snapshots[block][used[block]++] = record;
  }
  return snapshots;
}

SearchResult DeviceSearch::Run(const ManualResetEvent* cancel, const SearchEvents& events) {
  AdapterSelection& adapters = session_.adapters();
  Link& link = session_.link();
  std::vector<Snapshot> snapshots = SnapshotByAdapter();
  SearchResult result;
  const int adapter_count = std::min(adapters.AdapterCount(), kMaxSearchedAdapters);

  for (int i = 0; i < adapter_count; ++i) {
    if (Cancelled(cancel)) return Interrupted(std::move(result));
    if (events.adapter_started) events.adapter_started(i, adapters.AdapterTable()[i]);
    // With a single adapter the link, once open, stays where it is.
    const bool keep_link = adapters.AdapterCount() == 1 && link.IsOpen();
    if (!keep_link) adapters.OpenAdapter(i);
    std::this_thread::sleep_for(session_.timing().adapter_switch_pause);

    Snapshot& found = snapshots[static_cast<std::size_t>(i)];
    const int n = DiscoverDevices(link, session_.timing(), found, i);
    const std::size_t first_new = result.devices.size();
    for (int k = 0; k < n && result.devices.size() < kMaxDevices; ++k) {
      if (Contains(result.devices, found[k].mac)) continue;  // listed from an earlier adapter
      FoundDevice device;
      device.record = found[k];
      StoreFieldText(device.record.device_key, device.Key());
      result.devices.push_back(device);
    }
    for (std::size_t r = first_new; r < result.devices.size(); ++r) {
      if (Cancelled(cancel)) return Interrupted(std::move(result));
      FoundDevice& device = result.devices[r];
      device.ipv4 = ReadDeviceAddress(device, kConfigBlockSize);
      result.rows.push_back({device.Key(), device.record.mac.ToString(), Ipv4Text(device.ipv4), r});
      if (events.device_read) events.device_read(device);
    }
  }

  SortRowTexts(result.rows);
  previous_.clear();
  for (const FoundDevice& device : result.devices) previous_.push_back(device.record);
  return result;
}

void DeviceSearch::Remember(const MacAddress& card, std::string_view password) {
  for (DeviceRecord& record : previous_) {
    if (record.mac == card) record.SetRememberedPassword(password);
  }
}

std::uint32_t DeviceSearch::ReadDeviceAddress(FoundDevice& device, std::size_t block_length) {
  Transactions& transactions = session_.transactions();
  const MacAddress& mac = device.record.mac;
  device.answered = CheckPassword(transactions, mac, DevicePassword{}) != status::kNoReply;
  if (!device.answered) return 0;

  device.config.fill(0);
  device.read_status = ReadConfig(transactions, mac, DevicePassword{},
                                  MutableSlice(MutableByteView(device.config), 0, block_length));
  const DeviceConfig config = DeviceConfig::Decode(device.config);
  device.details = DetailsFrom(config);
  const bool older_family_dhcp =
      config.ipv4_mode == ipv4_mode::kDhcp && config.config_version > 750;
  return older_family_dhcp ? config.current_address : config.ip_address;
}

void SortRowTexts(std::vector<RowText>& rows) {
  auto number = [](const RowText& row) { return std::stoul(row.key); };
  std::stable_sort(rows.begin(), rows.end(),
                   [&](const RowText& a, const RowText& b) { return number(a) < number(b); });
}

std::optional<char> FirmwareVariantLetter(const DeviceRecord& record) {
  if (!IsTextVersion(record.firmware_version)) return std::nullopt;
  return static_cast<char>(record.firmware_version[6]);
}

}  // namespace quillon
