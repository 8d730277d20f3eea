// Which adapters the machine has, and on which one the link is open. Cards may sit on the segment
// of any adapter; every command first moves the link to the adapter on which its card answered.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "base/Timing.h"
#include "link/Link.h"
#include "link/PacketDriver.h"

namespace quillon {

class AdapterSelection {
 public:
  static constexpr std::size_t kMaxAdapters = 256;
  // Stored adapter indexes above this count as 0 wherever a card's adapter is looked up.
  static constexpr int kHighestStoredIndex = 16;

  AdapterSelection(PacketDriver& driver, Link& link, const Timing& timing);

  // Lists the driver's adapters into the adapter table (once per run) and returns their number.
  int EnumerateAdapters();
  const std::vector<AdapterInfo>& AdapterTable() const { return table_; }
  // Keeps only the adapters with these driver names, in their enumeration order. Returns the
  // names that match no adapter.
  std::vector<std::string> RestrictTo(const std::vector<std::string>& names);
  int AdapterCount() const { return static_cast<int>(table_.size()); }
  // Why the driver could not list its adapters, when it could not.
  const std::string& EnumerationError() const { return enumeration_error_; }

  // The index of the adapter on which the link is open; -1 before the first open.
  int CurrentAdapter() const { return current_; }

  // Opens the link on adapter `index` (no pause) and records it as current. The search uses this.
  bool OpenAdapter(int index);

  // Makes sure the link is open on the adapter a card answered on, pausing after a switch so that
  // the adapter is ready before the first request.
  void UseCardAdapter(int adapter_index);

  static int NormalisedIndex(int adapter_index) {
    return adapter_index < 0 || adapter_index > kHighestStoredIndex ? 0 : adapter_index;
  }

 private:
  PacketDriver& driver_;
  Link& link_;
  const Timing& timing_;
  std::vector<AdapterInfo> table_;
  std::string enumeration_error_;
  std::atomic<int> current_{-1};
};

}  // namespace quillon
