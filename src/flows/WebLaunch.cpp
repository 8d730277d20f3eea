#include "flows/WebLaunch.h"

#include <thread>

#include "protocol/DeviceCommands.h"

namespace quillon {

namespace {

std::string WebAddress(const std::string& scheme, const std::string& host, std::uint16_t port) {
  return scheme + "://" + host + ":" + std::to_string(port) + "/";
}

}  // namespace

std::optional<WebAddresses> WebAddressesOf(const DeviceConfig& config,
                                           const DeviceDetails& details) {
  const bool http = WebPortUsable(config.http_port);
  if (!http && !WebPortUsable(config.https_port)) return std::nullopt;
  const std::string scheme = http ? "http" : "https";
  const std::uint16_t port = http ? config.http_port : config.https_port;
  auto address = [&](const std::string& host) {
    return host.empty() ? std::string() : WebAddress(scheme, host, port);
  };
  WebAddresses addresses{address(Ipv4Text(config.ip_address)), {}, {}};
  // The link-local address is never offered: it is no address a browser can reach by name alone.
  if (details.config_level == kIpv6ConfigLevel) {
    addresses.ipv6_first = address(details.ipv6_address);
    addresses.ipv6_second = address(details.ipv6_address2);
  }
  return addresses;
}

CardLaunch WebLaunch::Look(const LaunchTarget& card) {
  CardLaunch launch{DeviceKey(card.record.mac), LaunchOutcome::kNoReply, std::nullopt, 0};
  Transactions& transactions = session_.ChannelOf(card.record).transactions();
  // Any answer will do: the web interface asks for the password itself.
  if (CheckPassword(transactions, card.record.mac, DevicePassword{}) == status::kNoReply) {
    return launch;
  }
  ConfigBlock block{};
  // A card that stops answering between the two requests is passed over rather than opened at an
  // address it may no longer have.
  if (ReadConfig(transactions, card.record.mac, DevicePassword{}, block) == status::kNoReply) {
    launch.outcome = LaunchOutcome::kNotRead;
    return launch;
  }
  launch.addresses = WebAddressesOf(DeviceConfig::Decode(block), card.details);
  if (!launch.addresses) {
    launch.outcome = LaunchOutcome::kNoWebPort;
  } else {
    launch.outcome = launch.addresses->HasIpv6() ? LaunchOutcome::kChooser : LaunchOutcome::kOpened;
  }
  return launch;
}

LaunchReport WebLaunch::Run(const std::vector<LaunchTarget>& cards) {
  LaunchReport report;
  for (std::size_t i = 0; i < cards.size(); ++i) {
    CardLaunch launch = Look(cards[i]);
    const LaunchOutcome outcome = launch.outcome;
    if (outcome == LaunchOutcome::kOpened)
      launch.open_result = opener_.Open(launch.addresses->ipv4);
    if (outcome == LaunchOutcome::kChooser) report.chooser = launch.addresses;
    report.cards.push_back(std::move(launch));
    if (outcome == LaunchOutcome::kNoReply || outcome == LaunchOutcome::kChooser) break;
    if (outcome == LaunchOutcome::kOpened && i + 1 < cards.size()) {
      std::this_thread::sleep_for(session_.timing().launch_pause);
    }
  }
  return report;
}

int WebLaunch::OpenInTurn(const std::vector<std::string>& addresses) {
  int result = url_open::kOpened;
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    if (i > 0) std::this_thread::sleep_for(session_.timing().launch_pause);
    const int opened = opener_.Open(addresses[i]);
    if (url_open::Opened(result)) result = opened;
  }
  return result;
}

}  // namespace quillon
