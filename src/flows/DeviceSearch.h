// The search behind the device list: discovery on every adapter at once, the results merged into
// one device table, then for each new card its password state and configuration, to learn the
// address to show. The desktop program and the command line both run this one search; the
// command line's commands on named cards run its targeted form, which stops listening as soon as
// every named card has answered.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "flows/CardName.h"
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
  bool answered = false;    // answered the password check, so its block was read
  ReplyStatus read_status;  // of the configuration read: kRefused when the card has a password
  ConfigBlock config{};     // as read; zero when the card did not answer
  std::uint32_t ipv4 = 0;   // the address to show
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
  std::vector<FoundDevice> devices;   // the device table: adapter by adapter, in answering order
  std::vector<RowText> rows;          // one per device, sorted by serial number
  std::vector<CardName> missing;      // of a targeted search: the named cards that did not answer
  std::vector<OpenProblem> unopened;  // adapters that could not be searched
  bool cancelled = false;
};

// What a search reports while it runs. Called from the search's own threads, one call at a time.
struct SearchEvents {
  // Discovery has gone out on these adapters.
  std::function<void(const std::vector<AdapterInfo>& adapters)> searching;
  // How many cards have answered discovery so far, on all adapters together.
  std::function<void(int cards)> answered;
  // A card's password state and configuration have been read.
  std::function<void(const FoundDevice& device)> device_read;
};

class DeviceSearch {
 public:
  explicit DeviceSearch(Session& session) : session_(session) {}

  // Runs one search of every adapter. A stop request on `cancel` ends it at its next check point
  // (the discovery window included) with a partial result marked cancelled.
  SearchResult Run(const std::stop_token& cancel = {}, const SearchEvents& events = {});

  // Looks for the named cards only: discovery ends as soon as each of them has answered, or when
  // the window closes, and only they are read. The devices come in the order of the names, each
  // card once however many names it has; the names nobody answered to are `missing`.
  SearchResult Find(const std::vector<CardName>& names, const std::stop_token& cancel = {},
                    const SearchEvents& events = {});

  // Keeps a password the card accepted, so that the next search carries it over to the card's
  // new record. Safe from any thread.
  void Remember(const MacAddress& card, std::string_view password);

  // The IPv4 address to show for a card; reads its block into `device` (block length 256 or 68).
  // 0 when the card does not answer the password check.
  std::uint32_t ReadDeviceAddress(FoundDevice& device, std::size_t block_length);

 private:
  class Discoveries;

  SearchResult Search(const std::vector<CardName>* wanted, const std::stop_token& cancel,
                      const SearchEvents& events);
  std::vector<std::vector<DeviceRecord>> SnapshotByAdapter() const;
  void ReadAll(std::vector<FoundDevice>& devices, const std::stop_token& cancel,
               const std::function<void(const FoundDevice&)>& read);

  Session& session_;
  mutable std::mutex previous_lock_;
  std::vector<DeviceRecord> previous_;  // the table of the last search, for password carry-over
};

// Sorts rows by serial number read as an unsigned number; rows with equal numbers keep their order.
void SortRowTexts(std::vector<RowText>& rows);

// The seventh character of a firmware version in text form: the firmware's variant.
std::optional<char> FirmwareVariantLetter(const DeviceRecord& record);

}  // namespace quillon
