// quillon-cli assign-serial CARD NUMBER: gives a card of the factory range its serial number, that
// is, the MAC address 02-4B followed by NUMBER; asks first, as it changes the card's identity.
#include "cli/CardOption.h"
#include "cli/CliContext.h"
#include "cli/Command.h"
#include "cli/PasswordOption.h"
#include "cli/TerminalPrompter.h"
#include "flows/StandaloneFlows.h"
#include "protocol/DeviceCommands.h"

namespace quillon::cli {

namespace {

class AssignSerialCommand : public Command {
 public:
  explicit AssignSerialCommand(CLI::App& app) {
    subcommand = app.add_subcommand(
        "assign-serial", "Give a card of the factory range its serial number (and MAC address)");
    subcommand->add_option("card", card_, kCardHelp)->required()->check(CardNameCheck());
    subcommand->add_option("number", number_, "The serial number, 0 to 4294967295")
        ->required()
        ->check(CLI::Validator(
            [](const std::string& text) -> std::string {
              if (ParseSerialNumber(text)) return {};
              return "'" + text + "' is not a serial number (a whole number, 0 to 4294967295)";
            },
            "NUMBER"));
    password_.AddTo(*subcommand);
    subcommand->add_flag("-y,--yes", yes_, "Change the card's identity without asking");
  }

  int Run(CliEnvironment& env, const GlobalOptions& global) override {
    std::optional<std::string> password;
    if (!password_.Read(env.err, password)) return 1;
    const std::uint32_t number = *ParseSerialNumber(number_);
    CliContext context(env, global);
    if (!context.Ready()) return 1;
    const std::optional<SearchResult> found = context.Find({CardNameOf(card_)});
    if (!found) return 1;
    const DeviceRecord& card = found->devices.front().record;
    if (!SerialNumberCommandOffered(card.mac)) {
      env.err << "quillon-cli: " << DeviceKey(card.mac) << " (" << card.mac.ToString()
              << ") is not in the factory range 02-4B-51-00-00-00 to 02-4B-51-00-01-FF\n";
      return 1;
    }
    const MacAddress new_mac = SerialNumberMac(number);
    TerminalPrompter prompter(env, password, yes_);
    if (!prompter.AskYesNo("Give card " + DeviceKey(card.mac) + " (" + card.mac.ToString() +
                           ") the serial number " + std::to_string(number) + ", MAC address " +
                           new_mac.ToString() + "?")) {
      return 1;
    }
    SerialNumberFlow flow(context.session(), prompter, card);
    if (!flow.Begin()) return 1;
    if (flow.Assign(number) != SerialNumberFlow::Outcome::kDone) return 1;
    // The card answers at its new address from now on.
    if (CheckPassword(context.session().ChannelOf(card).transactions(), new_mac, {}) ==
        status::kNoReply) {
      env.err << "quillon-cli: the card does not answer at " << new_mac.ToString() << '\n';
      return 1;
    }
    env.out << DeviceKey(card.mac) << ": now " << std::to_string(number) << " ("
            << new_mac.ToString() << "), verified\n";
    return 0;
  }

 private:
  std::string card_;
  std::string number_;
  PasswordOption password_;
  bool yes_ = false;
};

}  // namespace

std::unique_ptr<Command> AddAssignSerialCommand(CLI::App& app) {
  return std::make_unique<AssignSerialCommand>(app);
}

}  // namespace quillon::cli
