#include "sim/FleetFile.h"

#include <arpa/inet.h>

#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>

#include "sim/DemoFleet.h"

namespace quillon::sim {

namespace {

using nlohmann::json;

std::uint32_t ParseIpv4(const std::string& text) {
  in_addr address{};
  if (inet_pton(AF_INET, text.c_str(), &address) != 1) {
    throw std::invalid_argument("\"" + text + "\" is not an IPv4 address");
  }
  return ntohl(address.s_addr);
}

template <typename T>
T Get(const json& object, const char* key, T fallback) {
  return object.contains(key) ? object.at(key).get<T>() : fallback;
}

void ApplyIpv4(CardBuilder& card, const json& ipv4) {
  DeviceConfig& config = card.config;
  const std::string mode = Get<std::string>(ipv4, "mode", "static");
  if (mode == "static") {
    config.ipv4_mode = ipv4_mode::kStatic;
  } else if (mode == "dhcp") {
    config.ipv4_mode = ipv4_mode::kDhcp;
  } else if (mode == "bootp") {
    config.ipv4_mode = ipv4_mode::kBootp;
  } else {
    throw std::invalid_argument("ipv4 mode \"" + mode + "\" is not static, dhcp or bootp");
  }
  if (ipv4.contains("address")) config.ip_address = ParseIpv4(ipv4.at("address"));
  if (ipv4.contains("mask")) config.subnet_mask = ParseIpv4(ipv4.at("mask"));
  if (ipv4.contains("gateway")) config.gateway = ParseIpv4(ipv4.at("gateway"));
  config.current_address =
      ipv4.contains("current") ? ParseIpv4(ipv4.at("current")) : config.ip_address;
}

void ApplyPorts(CardBuilder& card, const json& ports) {
  DeviceConfig& c = card.config;
  card.Ports(Get(ports, "http", c.http_port), Get(ports, "telnet", c.telnet_port),
             Get(ports, "https", c.https_port), Get(ports, "ssh", c.ssh_port));
}

void ApplyIpv6(CardBuilder& card, const json& ipv6) {
  card.Ipv6(Get(ipv6, "mode", 1), Get<std::string>(ipv6, "address", ""),
            Get<std::string>(ipv6, "gateway", ""), Get<std::uint16_t>(ipv6, "prefix", 64),
            Get<std::string>(ipv6, "linkLocal", ""), Get<std::string>(ipv6, "second", ""));
}

void ApplyVersions(CardBuilder& card, const json& description) {
  if (description.contains("hardware")) {
    const json& hardware = description.at("hardware");
    if (hardware.is_string()) {
      card.HardwareText(hardware);
    } else {
      card.HardwareNumbers(hardware.at(0), hardware.at(1), hardware.at(2), hardware.at(3));
    }
  }
  if (description.contains("firmware")) {
    const json& firmware = description.at("firmware");
    if (firmware.is_string()) {
      card.FirmwareText(firmware);
    } else {
      card.FirmwareNumbers(firmware.at(0), firmware.at(1), firmware.at(2).get<std::string>().at(0),
                           firmware.at(3));
    }
  }
}

CardFaults ParseFaults(const json& faults) {
  CardFaults f;
  f.reply_delay = Millis{Get(faults, "replyDelayMs", 0)};
  f.drop_rate = Get(faults, "dropRate", 0.0);
  f.duplicate_replies = Get(faults, "duplicateReplies", false);
  const std::string decoy = Get<std::string>(faults, "decoy", "none");
  if (decoy == "wrong-version") {
    f.decoy = CardFaults::Decoy::kWrongVersion;
  } else if (decoy == "wrong-code") {
    f.decoy = CardFaults::Decoy::kWrongCode;
  } else if (decoy != "none") {
    throw std::invalid_argument("decoy \"" + decoy + "\" is not none, wrong-version or wrong-code");
  }
  f.busy = Get(faults, "busy", false);
  f.silent = Get(faults, "silent", false);
  f.silent_after_discovery = Get(faults, "silentAfterDiscovery", false);
  f.not_ready_first = Get(faults, "notReadyFirst", false);
  f.no_notice = Get(faults, "noNotice", false);
  if (faults.contains("silentFromBlock")) f.silent_from_block = faults.at("silentFromBlock");
  f.refused_blocks = Get(faults, "refusedBlocks", std::set<std::size_t>{});
  f.preparing_blocks = Get(faults, "preparingBlocks", std::set<std::size_t>{});
  return f;
}

FirmwareBehaviour ParseFirmwareSide(const json& side) {
  FirmwareBehaviour f;
  f.answers_identification = Get(side, "answersIdentification", f.answers_identification);
  if (side.contains("bootWord")) {
    const json& word = side.at("bootWord");
    f.boot_word = word.is_string()
                      ? static_cast<std::uint32_t>(std::stoul(word.get<std::string>(), nullptr, 0))
                      : word.get<std::uint32_t>();
  }
  f.programming_time =
      Millis{Get(side, "programmingMs", static_cast<int>(f.programming_time.count()))};
  return f;
}

std::uint32_t SerialOf(const json& description) {
  if (description.contains("serial")) return description.at("serial").get<std::uint32_t>();
  const auto mac = MacAddress::Parse(description.at("mac").get<std::string>());
  if (!mac) throw std::invalid_argument("\"mac\" is not a MAC address");
  if (mac->bytes[0] != 0x02 || mac->bytes[1] != 0x4B) {
    throw std::invalid_argument("\"mac\" must begin 02-4B, the maker's prefix");
  }
  return LoadBe32(mac->bytes, 2);
}

CardBuilder ParseCard(const json& description, std::uint32_t serial) {
  CardBuilder card(serial);
  if (description.contains("level")) card.Level(description.at("level"));
  if (description.contains("ipv4")) ApplyIpv4(card, description.at("ipv4"));
  if (description.contains("ports")) ApplyPorts(card, description.at("ports"));
  if (description.contains("ipv6")) ApplyIpv6(card, description.at("ipv6"));
  ApplyVersions(card, description);
  if (description.contains("password")) card.Password(description.at("password"));
  if (description.contains("faults")) card.Faults(ParseFaults(description.at("faults")));
  if (description.contains("firmwareSide")) {
    card.FirmwareSide(ParseFirmwareSide(description.at("firmwareSide")));
  }
  return card;
}

}  // namespace

FleetFile ReadFleet(std::istream& input) {
  FleetFile fleet;
  std::size_t index = 0;
  try {
    const json document = json::parse(input);
    for (const json& description : document.at("cards")) {
      const std::uint32_t first = SerialOf(description);
      const CardBuilder card = ParseCard(description, first);
      const auto count = Get<std::uint32_t>(description, "count", 1);
      for (std::uint32_t i = 0; i < count; ++i) {
        CardBuilder copy = card;
        copy.profile.mac = MakerAddress(first + i);
        fleet.cards.push_back(copy.Build());
      }
      ++index;
    }
  } catch (const std::exception& error) {
    fleet.cards.clear();
    fleet.error = "card " + std::to_string(index) + ": " + error.what();
  }
  return fleet;
}

}  // namespace quillon::sim
