#include "flows/DeviceSearch.h"

#include <algorithm>
#include <system_error>
#include <thread>

#include "protocol/DeviceCommands.h"

namespace quillon {

namespace {

bool Contains(const std::vector<FoundDevice>& devices, const MacAddress& mac) {
  return std::any_of(devices.begin(), devices.end(),
                     [&](const FoundDevice& d) { return d.record.mac == mac; });
}

DeviceDetails DetailsFrom(const DeviceConfig& config) {
  return {config.config_version, config.LinkLocalText(), config.Ipv6AddressText(),
          config.Ipv6Address2Text()};
}

// Passes the search's events on one at a time, whichever thread they come from.
class EventRelay {
 public:
  explicit EventRelay(const SearchEvents& events) : events_(events) {}

  void Searching(const std::vector<AdapterInfo>& adapters) {
    std::lock_guard lock(mutex_);
    if (events_.searching) events_.searching(adapters);
  }
  void Answered(int cards) {
    std::lock_guard lock(mutex_);
    if (events_.answered) events_.answered(cards);
  }
  void DeviceRead(const FoundDevice& device) {
    std::lock_guard lock(mutex_);
    if (events_.device_read) events_.device_read(device);
  }

 private:
  const SearchEvents& events_;
  std::mutex mutex_;
};

// A thread for the part of one adapter; when the system has none to give, the part runs here
// instead of failing the search (the adapters after it then start later).
void StartOrRun(std::vector<std::jthread>& threads, const std::function<void()>& part) {
  try {
    threads.emplace_back(part);
  } catch (const std::system_error&) {
    part();
  }
}

}  // namespace

// The discoveries of one search, one thread per open adapter, all sent at the same moment. They
// end together when the window closes, when the search is cancelled, or when every wanted card
// has answered.
class DeviceSearch::Discoveries {
 public:
  Discoveries(const std::vector<CardName>* wanted, EventRelay& relay)
      : wanted_(wanted), relay_(relay), heard_(wanted ? wanted->size() : 0, false) {}

  void Run(Session& session, std::vector<std::vector<DeviceRecord>>& tables,
           std::vector<int>& found, const std::stop_token& cancel) {
    const std::stop_callback forward(cancel, [this] { enough_.request_stop(); });
    std::vector<std::jthread> threads;
    for (int i = 0; i < session.AdapterCount(); ++i) {
      Link& link = session.Channel(i).link();
      if (!link.IsOpen()) continue;
      threads.emplace_back([&, i] {
        const DiscoveryControl control{enough_.get_token(),
                                       [this](const DeviceRecord& record) { Heard(record); }};
        found[static_cast<std::size_t>(i)] = DiscoverDevices(
            link, session.timing(), tables[static_cast<std::size_t>(i)], i, control);
      });
    }
  }

 private:
  void Heard(const DeviceRecord& record) {
    bool all_heard = false;
    {
      std::lock_guard lock(mutex_);
      relay_.Answered(++answered_);
      if (!wanted_) return;
      for (std::size_t n = 0; n < wanted_->size(); ++n) {
        if ((*wanted_)[n].Names(record.mac)) heard_[n] = true;
      }
      all_heard = std::all_of(heard_.begin(), heard_.end(), [](bool heard) { return heard; });
    }
    if (all_heard) enough_.request_stop();
  }

  const std::vector<CardName>* wanted_;
  EventRelay& relay_;
  std::stop_source enough_;
  std::mutex mutex_;
  int answered_ = 0;
  std::vector<bool> heard_;
};

std::vector<std::vector<DeviceRecord>> DeviceSearch::SnapshotByAdapter() const {
  std::vector<std::vector<DeviceRecord>> snapshots(
      static_cast<std::size_t>(session_.AdapterCount()), std::vector<DeviceRecord>(kMaxDevices));
  std::vector<std::size_t> used(snapshots.size(), 0);
  std::lock_guard lock(previous_lock_);
  for (const DeviceRecord& record : previous_) {
    const auto block = static_cast<std::size_t>(record.adapter_index);
    if (block < snapshots.size() && used[block] < kMaxDevices) {
      snapshots[block][used[block]++] = record;
    }
  }
  return snapshots;
}

SearchResult DeviceSearch::Run(const std::stop_token& cancel, const SearchEvents& events) {
  return Search(nullptr, cancel, events);
}

SearchResult DeviceSearch::Find(const std::vector<CardName>& names, const std::stop_token& cancel,
                                const SearchEvents& events) {
  return Search(&names, cancel, events);
}

SearchResult DeviceSearch::Search(const std::vector<CardName>* wanted,
                                  const std::stop_token& cancel, const SearchEvents& events) {
  SearchResult result;
  result.cancelled = true;  // until the search has run to its end
  if (cancel.stop_requested()) return result;
  result.unopened = session_.OpenAll();

  EventRelay relay(events);
  std::vector<AdapterInfo> searched;
  for (int i = 0; i < session_.AdapterCount(); ++i) {
    if (session_.Channel(i).link().IsOpen()) searched.push_back(session_.adapters().Entry(i));
  }
  relay.Searching(searched);

  std::vector<std::vector<DeviceRecord>> tables = SnapshotByAdapter();
  std::vector<int> found(tables.size(), 0);
  Discoveries(wanted, relay).Run(session_, tables, found, cancel);
  if (cancel.stop_requested()) return result;

  // Adapter by adapter: a card that answered on two adapters keeps the first.
  for (std::size_t i = 0; i < tables.size(); ++i) {
    for (int k = 0; k < found[i]; ++k) {
      const DeviceRecord& record = tables[i][static_cast<std::size_t>(k)];
      if (Contains(result.devices, record.mac)) continue;
      if (wanted && std::none_of(wanted->begin(), wanted->end(),
                                 [&](const CardName& n) { return n.Names(record.mac); })) {
        continue;
      }
      FoundDevice device;
      device.record = record;
      StoreFieldText(device.record.device_key, device.Key());
      result.devices.push_back(device);
    }
  }
  if (wanted) {
    // In the order of the names; a name nobody answered to is missing.
    std::vector<FoundDevice> named;
    for (const CardName& name : *wanted) {
      const auto card =
          std::find_if(result.devices.begin(), result.devices.end(),
                       [&](const FoundDevice& d) { return name.Names(d.record.mac); });
      if (card == result.devices.end()) {
        result.missing.push_back(name);
      } else if (!Contains(named, card->record.mac)) {
        named.push_back(*card);
      }
    }
    result.devices = std::move(named);
  }

  ReadAll(result.devices, cancel, [&](const FoundDevice& device) { relay.DeviceRead(device); });
  if (cancel.stop_requested()) return result;

  for (std::size_t r = 0; r < result.devices.size(); ++r) {
    const FoundDevice& device = result.devices[r];
    result.rows.push_back({device.Key(), device.record.mac.ToString(), Ipv4Text(device.ipv4), r});
  }
  SortRowTexts(result.rows);
  if (!wanted) {
    std::lock_guard lock(previous_lock_);
    previous_.clear();
    for (const FoundDevice& device : result.devices) previous_.push_back(device.record);
  }
  result.cancelled = false;
  return result;
}

// The cards of each adapter are read on a thread of that adapter, one card and one transaction
// at a time, as a search of that adapter alone would read them.
void DeviceSearch::ReadAll(std::vector<FoundDevice>& devices, const std::stop_token& cancel,
                           const std::function<void(const FoundDevice&)>& read) {
  std::vector<std::vector<FoundDevice*>> by_adapter(
      static_cast<std::size_t>(session_.AdapterCount()));
  for (FoundDevice& device : devices) {
    by_adapter.at(static_cast<std::size_t>(device.record.adapter_index)).push_back(&device);
  }
  std::vector<std::jthread> readers;
  for (const std::vector<FoundDevice*>& cards : by_adapter) {
    if (cards.empty()) continue;
    StartOrRun(readers, [&, &cards = cards] {
      for (FoundDevice* device : cards) {
        if (cancel.stop_requested()) return;  // check point
        device->ipv4 = ReadDeviceAddress(*device, kConfigBlockSize);
        read(*device);
      }
    });
  }
}

void DeviceSearch::Remember(const MacAddress& card, std::string_view password) {
  std::lock_guard lock(previous_lock_);
  for (DeviceRecord& record : previous_) {
    if (record.mac == card) record.SetRememberedPassword(password);
  }
}

std::uint32_t DeviceSearch::ReadDeviceAddress(FoundDevice& device, std::size_t block_length) {
  Transactions& transactions = session_.ChannelOf(device.record).transactions();
  const MacAddress& mac = device.record.mac;
  device.answered = CheckPassword(transactions, mac, DevicePassword{}) != status::kNoReply;
  if (!device.answered) return 0;

  device.config.fill(0);
  device.read_status = ReadConfig(transactions, mac, DevicePassword{},
                                  MutableSlice(MutableByteView(device.config), 0, block_length));
  const DeviceConfig config = DeviceConfig::Decode(device.config);
  device.details = DetailsFrom(config);
  // The list's rule, not the settings' rule: only the older family under DHCP shows the address
  // in use.
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
