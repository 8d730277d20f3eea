// quillon-cli set CARD [options]: changes the settings its options name and nothing else, with
// the sheet's checks in the sheet's order, then reads the card's block again to verify.
#include <optional>

#include "cli/CardOption.h"
#include "cli/CliContext.h"
#include "cli/Command.h"
#include "cli/DeviceReport.h"
#include "cli/PasswordOption.h"
#include "cli/SettingOptions.h"
#include "cli/TerminalPrompter.h"
#include "flows/SettingsFlow.h"

namespace quillon::cli {

namespace {

struct PortOptions {
  std::optional<std::string> http, https, telnet, ssh;
};

const char* const kIpv6Methods[] = {"automatic", "stateless", "dhcpv6", "manual"};

// The card keeps its IPv6 texts in brackets; a bare address is given them.
std::string Bracketed(const std::string& text) {
  if (text.empty() || text.front() == '[') return text;
  return "[" + text + "]";
}

class SetCommand : public Command {
 public:
  explicit SetCommand(CLI::App& app) {
    subcommand = app.add_subcommand("set", "Change a card's network settings");
    subcommand->add_option("card", card_, kCardHelp)->required()->check(CardNameCheck());
    auto* dhcp = subcommand->add_flag("--dhcp", dhcp_, "Obtain the address by DHCP");
    auto* bootp = subcommand->add_flag("--bootp", bootp_, "Obtain the address by BOOTP");
    auto* fixed = subcommand->add_option("--static", static_, "Use this static IPv4 address")
                      ->check(Ipv4Check());
    dhcp->excludes(bootp)->excludes(fixed);
    bootp->excludes(fixed);
    subcommand->add_option("--mask", mask_, "Subnet mask of a static address")->check(Ipv4Check());
    subcommand->add_option("--gateway", gateway_, "Gateway of a static address")
        ->check(Ipv4Check());
    AddPort("--http", ports_.http, "HTTP");
    AddPort("--https", ports_.https, "HTTPS");
    AddPort("--telnet", ports_.telnet, "Telnet");
    AddPort("--ssh", ports_.ssh, "SSH");
    subcommand->add_option("--ipv6", ipv6_method_, "How the card obtains its IPv6 address")
        ->check(CLI::IsMember({"automatic", "stateless", "dhcpv6", "manual"}));
    subcommand->add_option("--ipv6-address", ipv6_address_,
                           "Manual IPv6 address, e.g. [2001:db8::21] (brackets added if missing)");
    subcommand->add_option("--ipv6-prefix", ipv6_prefix_, "Manual IPv6 prefix length (1-127)")
        ->check(DigitsCheck());
    subcommand->add_option("--ipv6-gateway", ipv6_gateway_, "Manual IPv6 gateway");
    password_.AddTo(*subcommand);
    subcommand->add_flag("-y,--yes", yes_,
                         "Answer yes to the question whether to take an address in use");
    subcommand->add_flag("--json", json_, "Print the settings before and after, and the outcome");
  }

  int Run(CliEnvironment& env, const GlobalOptions& global) override;

 private:
  void AddPort(const char* name, std::optional<std::string>& value, const std::string& service) {
    subcommand->add_option(name, value, service + " port, or off")->check(PortCheck());
  }
  bool ChangeIpv4(std::ostream& err, const SettingsFlow& flow, NetworkSettings& s) const;
  bool ChangePorts(std::ostream& err, NetworkSettings& s) const;
  bool ChangeIpv6(std::ostream& err, SheetEntries& entries) const;
  int Report(CliEnvironment& env, const FoundDevice& card, const DeviceConfig& before,
             const SettingsFlow::Applied* applied, const SettingsFlow::Verification* verification,
             const std::string& failure) const;

  std::string card_;
  bool dhcp_ = false;
  bool bootp_ = false;
  std::optional<std::string> static_;
  std::optional<std::string> mask_, gateway_;
  PortOptions ports_;
  std::optional<std::string> ipv6_method_, ipv6_address_, ipv6_prefix_, ipv6_gateway_;
  PasswordOption password_;
  bool yes_ = false;
  bool json_ = false;
};

// What the IPv4 page would let a person change: the method (BOOTP only where the page offers
// it), and the address, mask and gateway of a static address.
bool SetCommand::ChangeIpv4(std::ostream& err, const SettingsFlow& flow, NetworkSettings& s) const {
  if (bootp_ && !BootpOffered(s.level, flow.FirmwareK())) {
    err << "quillon-cli: this card cannot obtain its address by BOOTP\n";
    return false;
  }
  if (dhcp_) s.ipv4_mode = ipv4_mode::kDhcp;
  if (bootp_) s.ipv4_mode = ipv4_mode::kBootp;
  if (static_) {
    s.ipv4_mode = ipv4_mode::kStatic;
    s.address = *ParseIpv4Text(*static_);
  }
  if ((mask_ || gateway_) && s.ipv4_mode != ipv4_mode::kStatic) {
    err << "quillon-cli: --mask and --gateway belong to a static address (give --static)\n";
    return false;
  }
  if (mask_) s.mask = *ParseIpv4Text(*mask_);
  if (gateway_) s.gateway = *ParseIpv4Text(*gateway_);
  return true;
}

bool SetCommand::ChangePorts(std::ostream& err, NetworkSettings& s) const {
  struct Port {
    const std::optional<std::string>& option;
    ServicePort& service;
    const char* name;
    bool configurable;
  };
  const Port ports[] = {{ports_.http, s.http, "HTTP", s.has_http_telnet},
                        {ports_.telnet, s.telnet, "Telnet", s.has_http_telnet},
                        {ports_.https, s.https, "HTTPS", s.https.exists},
                        {ports_.ssh, s.ssh, "SSH", s.ssh.exists}};
  for (const Port& port : ports) {
    if (!port.option) continue;
    if (!port.configurable) {
      err << "quillon-cli: this card has no " << port.name << " setting"
          << (s.has_http_telnet ? "" : " at its configuration level " + std::to_string(s.level))
          << '\n';
      return false;
    }
    port.service.enabled = *port.option != "off";
    if (port.service.enabled) port.service.port = *ParseSerialNumber(*port.option);
  }
  return true;
}

bool SetCommand::ChangeIpv6(std::ostream& err, SheetEntries& entries) const {
  const bool manual_texts = ipv6_address_ || ipv6_prefix_ || ipv6_gateway_;
  if (!ipv6_method_ && !manual_texts) return true;
  NetworkSettings& s = entries.settings;
  if (!s.has_ipv6) {
    err << "quillon-cli: this card has no IPv6 settings (configuration level " << s.level << ")\n";
    return false;
  }
  Ipv6Entries ipv6 = Ipv6EntriesOf(s);
  if (ipv6_method_) {
    for (int i = 0; i < 4; ++i) {
      if (*ipv6_method_ == kIpv6Methods[i]) ipv6.method_index = i;
    }
  }
  if (manual_texts && ipv6.method_index != kIpv6ManualMethod) {
    err << "quillon-cli: --ipv6-address, --ipv6-prefix and --ipv6-gateway belong to "
           "--ipv6 manual\n";
    return false;
  }
  if (ipv6_address_) ipv6.address = Bracketed(*ipv6_address_);
  if (ipv6_prefix_) ipv6.prefix = *ipv6_prefix_;
  if (ipv6_gateway_) ipv6.gateway = Bracketed(*ipv6_gateway_);
  entries.ipv6 = ipv6;
  return true;
}

int SetCommand::Run(CliEnvironment& env, const GlobalOptions& global) {
  std::optional<std::string> password;
  if (!password_.Read(env.err, password)) return 1;
  CliContext context(env, global, json_);
  if (!context.Ready()) return 1;
  const std::optional<SearchResult> found = context.Find({CardNameOf(card_)});
  if (!found) return 1;
  const FoundDevice& card = found->devices.front();

  TerminalPrompter prompter(env, password, yes_);
  SettingsFlow flow(context.session(), prompter, card.record);
  if (!flow.Read()) return 1;
  const DeviceConfig before = flow.Config();
  SheetEntries entries = flow.AsConfigured();
  if (!ChangeIpv4(env.err, flow, entries.settings) || !ChangePorts(env.err, entries.settings) ||
      !ChangeIpv6(env.err, entries)) {
    return Report(env, card, before, nullptr, nullptr, "option not applicable");
  }
  if (const CheckResult failure = flow.Confirm(entries)) {
    return Report(env, card, before, nullptr, nullptr,
                  failure->message.empty() ? "not confirmed" : failure->message);
  }
  const SettingsFlow::Applied applied = flow.Apply(entries);
  if (!applied.written) return Report(env, card, before, &applied, nullptr, {});
  const SettingsFlow::Verification verification = flow.Verify(applied);
  return Report(env, card, before, &applied, &verification, {});
}

int SetCommand::Report(CliEnvironment& env, const FoundDevice& card, const DeviceConfig& before,
                       const SettingsFlow::Applied* applied,
                       const SettingsFlow::Verification* verification,
                       const std::string& failure) const {
  std::string outcome = "failed";
  std::string text = failure;
  if (applied && !applied->written) {
    outcome = "unchanged";
    text = "the card's settings are so already; nothing was written";
  } else if (applied && applied->write_status == status::kNoReply) {
    outcome = "unanswered";
    text = "the card did not answer the write";
  } else if (applied && applied->write_status == status::kRefused) {
    outcome = "refused";
    text = "the card refused the write";
  } else if (verification && !verification->answered) {
    outcome = "not verified";
    text = "written, but the card did not answer when it was read again";
  } else if (verification && !verification->differing.empty()) {
    outcome = "differs";
    text = "written, but the card reads back otherwise:";
    for (const std::string& name : verification->differing) text += " " + name;
  } else if (verification) {
    outcome = "verified";
    text = "written and read back: verified";
  }
  const bool success = outcome == "verified" || outcome == "unchanged";
  if (json_) {
    nlohmann::ordered_json json = {{"serial", card.Key()}, {"mac", card.record.mac.ToString()}};
    json["before"] = SettingsJson(before);
    json["after"] = verification && verification->answered
                        ? SettingsJson(verification->read)
                        : (outcome == "unchanged" ? SettingsJson(before) : nullptr);
    json["outcome"] = outcome;
    json["message"] = text;
    if (verification) json["differing"] = verification->differing;
    env.out << json.dump(2) << '\n';
  } else if (success) {
    env.out << card.Key() << ": " << text << '\n';
  }
  if (!success && outcome != "failed")
    env.err << "quillon-cli: " << card.Key() << ": " << text << '\n';
  return success ? 0 : 1;
}

}  // namespace

std::unique_ptr<Command> AddSetCommand(CLI::App& app) {
  return std::make_unique<SetCommand>(app);
}

}  // namespace quillon::cli
