// Opening the cards' web interfaces. For each card: the password check with the empty password
// (only to learn that the card answers: the web pages ask for their own password), a fresh read of
// its settings, and from them the address of its web server, HTTP when that port is on, else
// HTTPS. A card of configuration level 33 that has IPv6 addresses is not opened: its addresses go
// to the person to choose from, and the cards after it are left alone. The desktop program's
// Launch command and the command line's `open` run this flow.
//
// Threads: runs on the thread that calls it, and calls the opener there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "flows/DeviceSearch.h"
#include "flows/Session.h"
#include "flows/UrlOpener.h"

namespace quillon {

// A web port is in use from 1 to 65534; 0 and 65535 mean switched off (or no such service).
constexpr bool WebPortUsable(std::uint16_t port) {
  return port >= 1 && port <= 65534;
}

// The web addresses of one card: "http://%s:%d/" or "https://%s:%d/". The IPv6 ones are made only
// for a card of level 33, from its address texts as they are stored (with their brackets); an
// empty text gives an empty address.
struct WebAddresses {
  std::string ipv4;
  std::string ipv6_first;
  std::string ipv6_second;

  bool HasIpv6() const { return !ipv6_first.empty() || !ipv6_second.empty(); }
  friend bool operator==(const WebAddresses&, const WebAddresses&) = default;
};

// From the settings just read (address and ports) and the level and IPv6 texts the last search
// found. Nothing when neither web port is usable.
std::optional<WebAddresses> WebAddressesOf(const DeviceConfig& config,
                                           const DeviceDetails& details);

// A card to open: its record and what the last search learnt about it.
struct LaunchTarget {
  DeviceRecord record;
  DeviceDetails details;
};

// What became of one card.
enum class LaunchOutcome {
  kNoReply,    // no answer to the password check: the launch ends here
  kNotRead,    // answered the check but not the read of its settings: passed over
  kNoWebPort,  // both web ports off: passed over, silently
  kChooser,    // has IPv6 addresses: offered to choose from; the launch ends here
  kOpened,     // its address was handed to the opener (which may have failed: `open_result`)
};

struct CardLaunch {
  std::string key;  // serial number
  LaunchOutcome outcome = LaunchOutcome::kNoReply;
  std::optional<WebAddresses> addresses;
  int open_result = 0;  // the opener's code, for kOpened
};

struct LaunchReport {
  // The cards handled, in order; the ones after a card that ended the launch are not there.
  std::vector<CardLaunch> cards;
  // The addresses to offer when a card with IPv6 addresses ended the launch.
  std::optional<WebAddresses> chooser;
};

class WebLaunch {
 public:
  WebLaunch(Session& session, UrlOpener& opener) : session_(session), opener_(opener) {}

  // The password check and the read of one card, and its addresses; nothing is opened.
  CardLaunch Look(const LaunchTarget& card);

  // The whole launch over the cards, in order. Between two opened addresses it pauses (the
  // timing profile's launch pause), so that a browser is not handed a burst of them.
  LaunchReport Run(const std::vector<LaunchTarget>& cards);

  // Opens addresses one after the other with the same pause between them. Returns the first
  // failure code, or the last success.
  int OpenInTurn(const std::vector<std::string>& addresses);

 private:
  Session& session_;
  UrlOpener& opener_;
};

}  // namespace quillon
