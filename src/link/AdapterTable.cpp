#include "link/AdapterTable.h"

#include <algorithm>

namespace quillon {

int AdapterTable::EnumerateAdapters() {
  AdapterList list = driver_.ListAdapters();
  enumeration_error_ = std::move(list.error);
  entries_ = std::move(list.adapters);
  if (entries_.size() > kMaxAdapters) entries_.resize(kMaxAdapters);
  return Count();
}

std::vector<std::string> AdapterTable::RestrictTo(const std::vector<std::string>& names) {
  std::vector<std::string> unknown;
  for (const std::string& name : names) {
    const bool known = std::any_of(entries_.begin(), entries_.end(),
                                   [&](const AdapterInfo& a) { return a.driver_name == name; });
    if (!known) unknown.push_back(name);
  }
  std::erase_if(entries_, [&](const AdapterInfo& adapter) {
    return std::find(names.begin(), names.end(), adapter.driver_name) == names.end();
  });
  return unknown;
}

}  // namespace quillon
