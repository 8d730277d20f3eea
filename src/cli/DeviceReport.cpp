#include "cli/DeviceReport.h"

#include <algorithm>
#include <iomanip>
#include <vector>

#include "protocol/ConfigSettings.h"

namespace quillon::cli {

namespace {

const char* Ipv4ModeName(std::uint8_t mode) {
  switch (mode) {
    case ipv4_mode::kDhcp:
      return "dhcp";
    case ipv4_mode::kBootp:
      return "bootp";
    default:
      return "static";
  }
}

const char* Ipv6MethodName(int index) {
  static const char* const kNames[] = {"Automatic", "Stateless DHCPV6", "DHCPV6", "Manual"};
  return index >= 0 && index < 4 ? kNames[index] : "unknown";
}

nlohmann::ordered_json ServiceJson(const ServicePort& service, bool present) {
  if (!present || !service.exists) return nullptr;
  return {{"enabled", service.enabled}, {"port", service.port}};
}

std::string ServiceText(const ServicePort& service, bool present) {
  if (!present) return "not configurable at this level";
  if (!service.exists) return "not on this card";
  return (service.enabled ? "on, port " : "off (port ") + std::to_string(service.port) +
         (service.enabled ? "" : ")");
}

std::string AdapterText(const AdapterInfo& adapter) {
  if (adapter.display_text.empty() || adapter.display_text == adapter.driver_name) {
    return adapter.driver_name;
  }
  return adapter.driver_name + " (" + adapter.display_text + ")";
}

}  // namespace

nlohmann::ordered_json DeviceSummaryJson(const FoundDevice& device, const AdapterInfo& adapter) {
  const DeviceRecord& record = device.record;
  return {
      {"serial", device.Key()},
      {"mac", record.mac.ToString()},
      {"ipv4", Ipv4Text(device.ipv4)},
      {"adapter", adapter.driver_name},
      {"hardware", record.HardwareVersionText()},
      {"firmware", record.FirmwareVersionText()},
      {"configVersion", device.details.config_level},
      {"answered", device.answered},
      {"passwordProtected", device.read_status == status::kRefused},
  };
}

nlohmann::ordered_json SettingsJson(const DeviceConfig& config) {
  const NetworkSettings s = SettingsFromConfig(config);
  nlohmann::ordered_json json;
  json["ipv4Settings"] = {{"mode", Ipv4ModeName(s.ipv4_mode)},
                          {"address", Ipv4Text(s.address)},
                          {"mask", Ipv4Text(s.mask)},
                          {"gateway", Ipv4Text(s.gateway)},
                          {"currentAddress", Ipv4Text(config.current_address)}};
  json["services"] = {{"http", ServiceJson(s.http, s.has_http_telnet)},
                      {"telnet", ServiceJson(s.telnet, s.has_http_telnet)},
                      {"https", ServiceJson(s.https, true)},
                      {"ssh", ServiceJson(s.ssh, true)}};
  if (s.has_ipv6) {
    json["ipv6"] = {{"method", Ipv6MethodName(s.ipv6_method_index)},
                    {"address", s.ipv6_address},
                    {"gateway", s.ipv6_gateway},
                    {"prefixLength", s.ipv6_prefix_length},
                    {"secondAddress", config.Ipv6Address2Text()},
                    {"linkLocal", config.LinkLocalText()}};
  }
  return json;
}

nlohmann::ordered_json DeviceDetailJson(const FoundDevice& device, const AdapterInfo& adapter) {
  nlohmann::ordered_json json = DeviceSummaryJson(device, adapter);
  json["adapterDescription"] = adapter.display_text;
  if (!device.answered) return json;
  json.update(SettingsJson(DeviceConfig::Decode(device.config)));
  return json;
}

void PrintDeviceTable(std::ostream& out, const SearchResult& result,
                      const std::vector<AdapterInfo>& adapters) {
  const std::vector<std::string> titles{"Serial Number", "MAC Address", "IPv4 Address",
                                        "Level",         "Firmware",    "Adapter"};
  std::vector<std::vector<std::string>> lines;
  for (const RowText& row : result.rows) {
    const FoundDevice& device = result.devices[row.device];
    const auto adapter = static_cast<std::size_t>(device.record.adapter_index);
    lines.push_back({row.key, row.mac, row.ipv4,
                     device.answered ? std::to_string(device.details.config_level) : "-",
                     device.record.FirmwareVersionText(),
                     adapter < adapters.size() ? adapters[adapter].driver_name : "?"});
  }
  std::vector<std::size_t> widths(titles.size());
  for (std::size_t c = 0; c < titles.size(); ++c) {
    widths[c] = titles[c].size();
    for (const auto& line : lines) widths[c] = std::max(widths[c], line[c].size());
  }
  auto print = [&](const std::vector<std::string>& cells) {
    for (std::size_t c = 0; c < cells.size(); ++c) {
      out << (c ? "  " : "");
      if (c + 1 < cells.size()) {
        out << std::left << std::setw(static_cast<int>(widths[c])) << cells[c];
      } else {
        out << cells[c];
      }
    }
    out << '\n';
  };
  print(titles);
  for (const auto& line : lines) print(line);
}

void PrintDeviceDetail(std::ostream& out, const FoundDevice& device, const AdapterInfo& adapter) {
  const DeviceRecord& record = device.record;
  auto line = [&](const std::string& label, const std::string& value) {
    out << std::left << std::setw(18) << label << value << '\n';
  };
  line("Serial Number", device.Key());
  line("MAC Address", record.mac.ToString());
  line("Adapter", AdapterText(adapter));
  line("Hardware Version", record.HardwareVersionText());
  line("Firmware Version", record.FirmwareVersionText());
  if (!device.answered) {
    line("Configuration", "the card did not answer");
    return;
  }
  const DeviceConfig config = DeviceConfig::Decode(device.config);
  const NetworkSettings s = SettingsFromConfig(config);
  line("Configuration", "level " + std::to_string(config.config_version));
  line("Password", device.read_status == status::kRefused ? "set" : "none");
  line("IPv4 Method", Ipv4ModeName(s.ipv4_mode));
  line("IPv4 Address", Ipv4Text(s.address));
  line("Subnet Mask", Ipv4Text(s.mask));
  line("Gateway", Ipv4Text(s.gateway));
  if (config.ipv4_mode == ipv4_mode::kDhcp)
    line("Address in Use", Ipv4Text(config.current_address));
  line("HTTP", ServiceText(s.http, s.has_http_telnet));
  line("HTTPS", ServiceText(s.https, true));
  line("Telnet", ServiceText(s.telnet, s.has_http_telnet));
  line("SSH", ServiceText(s.ssh, true));
  if (s.has_ipv6) {
    line("IPv6 Method", Ipv6MethodName(s.ipv6_method_index));
    line("IPv6 Address", s.ipv6_address + "/" + std::to_string(s.ipv6_prefix_length));
    line("IPv6 Gateway", s.ipv6_gateway);
    line("IPv6 Address 2", config.Ipv6Address2Text());
    line("Link-local", config.LinkLocalText());
  }
}

}  // namespace quillon::cli
