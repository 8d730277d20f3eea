// The machine's adapters, listed once per run in the driver's order. A card is addressed on the
// adapter it answered on, by that adapter's position in this table.
#pragma once

#include <string>
#include <vector>

#include "link/PacketDriver.h"

namespace quillon {

class AdapterTable {
 public:
  // Beyond this many, adapters are not listed: each open adapter holds a receive thread and a
  // kernel buffer.
  static constexpr std::size_t kMaxAdapters = 256;

  explicit AdapterTable(PacketDriver& driver) : driver_(driver) {}

  // Lists the driver's adapters and returns their number.
  int EnumerateAdapters();
  // Keeps only the adapters with these driver names, in their enumeration order. Returns the
  // names that match no adapter.
  std::vector<std::string> RestrictTo(const std::vector<std::string>& names);

  const std::vector<AdapterInfo>& Entries() const { return entries_; }
  const AdapterInfo& Entry(int index) const { return entries_.at(static_cast<std::size_t>(index)); }
  int Count() const { return static_cast<int>(entries_.size()); }
  // Why the driver could not list its adapters, when it could not.
  const std::string& EnumerationError() const { return enumeration_error_; }

 private:
  PacketDriver& driver_;
  std::vector<AdapterInfo> entries_;
  std::string enumeration_error_;
};

}  // namespace quillon
