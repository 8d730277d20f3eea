// quillon-cli open CARD [--ipv6] [--print]: the card's web interface in the browser, at the
// address the desktop program's Launch command would open (HTTP when its port is on, else HTTPS),
// or printed for scripts and for machines without a desktop.
#include <algorithm>

#include "cli/CardOption.h"
#include "cli/CliContext.h"
#include "cli/Command.h"
#include "flows/WebLaunch.h"

namespace quillon::cli {

namespace {

std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

class OpenCommand : public Command {
 public:
  explicit OpenCommand(CLI::App& app) {
    subcommand = app.add_subcommand("open", "Open a card's web interface in the browser");
    subcommand->add_option("card", card_, kCardHelp)->required()->check(CardNameCheck());
    subcommand->add_flag("--ipv6", ipv6_,
                         "The card's IPv6 addresses instead of its IPv4 one (configuration "
                         "level 33)");
    subcommand->add_flag("--print", print_, "Print the address instead of opening it");
  }

  int Run(CliEnvironment& env, const GlobalOptions& global) override {
    if (!print_ && !env.opener) {
      env.err << "quillon-cli: nothing here can open a web address; --print prints it\n";
      return 1;
    }
    CliContext context(env, global);
    if (!context.Ready()) return 1;
    const std::optional<SearchResult> result = context.Find({CardNameOf(card_)});
    if (!result) return 1;
    const FoundDevice& device = result->devices.front();

    UrlOpener& opener = print_ ? printer_ : *env.opener;
    WebLaunch launch(context.session(), opener);
    const CardLaunch card = launch.Look({device.record, device.details});
    const std::optional<std::vector<std::string>> addresses = Chosen(env, card, device.details);
    if (!addresses) return 1;

    if (print_) {
      for (const std::string& address : *addresses) env.out << address << '\n';
      return 0;
    }
    const int opened = launch.OpenInTurn(*addresses);
    if (!url_open::Opened(opened)) {
      env.err << "quillon-cli: cannot open " << addresses->front() << ": "
              << OneLine(UrlOpenFailureText(opened)) << '\n';
      return 1;
    }
    return 0;
  }

 private:
  // Stands in for the browser with --print, where nothing is opened.
  class Printer : public UrlOpener {
   public:
    int Open(const std::string&) override { return url_open::kOpened; }
  };

  // The addresses to open, or nothing after saying why there are none.
  std::optional<std::vector<std::string>> Chosen(CliEnvironment& env, const CardLaunch& card,
                                                 const DeviceDetails& details) const {
    const std::string& key = card.key;
    switch (card.outcome) {
      case LaunchOutcome::kNoReply:
        env.err << "quillon-cli: " << key << " does not answer\n";
        return std::nullopt;
      case LaunchOutcome::kNotRead:
        env.err << "quillon-cli: " << key << " did not send its settings\n";
        return std::nullopt;
      case LaunchOutcome::kNoWebPort:
        env.err << "quillon-cli: " << key
                << " has no web interface: its HTTP and HTTPS ports are both off\n";
        return std::nullopt;
      case LaunchOutcome::kOpened:
      case LaunchOutcome::kChooser:
        break;
    }
    const WebAddresses& addresses = *card.addresses;
    if (!ipv6_) {
      if (addresses.HasIpv6()) {
        env.err << "quillon-cli: " << key << " has IPv6 addresses as well (--ipv6)\n";
      }
      return std::vector<std::string>{addresses.ipv4};
    }
    if (!addresses.HasIpv6()) {
      env.err << "quillon-cli: " << key << " has no IPv6 address";
      if (details.config_level != kIpv6ConfigLevel) {
        env.err << " (a card of configuration level " << details.config_level
                << "; only level 33 has them)";
      }
      env.err << '\n';
      return std::nullopt;
    }
    std::vector<std::string> chosen;
    for (const std::string& address : {addresses.ipv6_first, addresses.ipv6_second}) {
      if (!address.empty()) chosen.push_back(address);
    }
    return chosen;
  }

  std::string card_;
  bool ipv6_ = false;
  bool print_ = false;
  Printer printer_;
};

}  // namespace

std::unique_ptr<Command> AddOpenCommand(CLI::App& app) {
  return std::make_unique<OpenCommand>(app);
}

}  // namespace quillon::cli
