// How the command line shows cards: aligned tables for people, JSON for scripts.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "flows/DeviceSearch.h"

namespace quillon::cli {

nlohmann::ordered_json DeviceSummaryJson(const FoundDevice& device, const AdapterInfo& adapter);
// The settings of a block: ipv4Settings, services, and ipv6 for IPv6-capable cards.
nlohmann::ordered_json SettingsJson(const DeviceConfig& config);
nlohmann::ordered_json DeviceDetailJson(const FoundDevice& device, const AdapterInfo& adapter);

void PrintDeviceTable(std::ostream& out, const SearchResult& result,
                      const std::vector<AdapterInfo>& adapters);
void PrintDeviceDetail(std::ostream& out, const FoundDevice& device, const AdapterInfo& adapter);

}  // namespace quillon::cli
