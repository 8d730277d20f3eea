#include "link/AdapterSelection.h"

#include <algorithm>
#include <thread>

namespace quillon {

AdapterSelection::AdapterSelection(PacketDriver& driver, Link& link, const Timing& timing)
    : driver_(driver), link_(link), timing_(timing) {}

int AdapterSelection::EnumerateAdapters() {
  AdapterList list = driver_.ListAdapters();
  enumeration_error_ = std::move(list.error);
  table_ = std::move(list.adapters);
  if (table_.size() > kMaxAdapters) table_.resize(kMaxAdapters);
  return AdapterCount();
}

std::vector<std::string> AdapterSelection::RestrictTo(const std::vector<std::string>& names) {
  std::vector<std::string> unknown;
  for (const std::string& name : names) {
    const bool known = std::any_of(table_.begin(), table_.end(),
                                   [&](const AdapterInfo& a) { return a.driver_name == name; });
    if (!known) unknown.push_back(name);
  }
  std::erase_if(table_, [&](const AdapterInfo& adapter) {
    return std::find(names.begin(), names.end(), adapter.driver_name) == names.end();
  });
  return unknown;
}

bool AdapterSelection::OpenAdapter(int index) {
  if (index < 0 || index >= AdapterCount()) return false;
  const bool opened = link_.OpenLink(table_[static_cast<std::size_t>(index)].driver_name);
  current_ = index;
  return opened;
}

void AdapterSelection::UseCardAdapter(int adapter_index) {
  const int index = NormalisedIndex(adapter_index);
  if (index == current_) return;
  OpenAdapter(index);
  std::this_thread::sleep_for(timing_.adapter_switch_pause);
}

}  // namespace quillon
