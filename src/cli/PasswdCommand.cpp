// quillon-cli passwd CARD: sets or removes a card's password, then checks that the card takes
// the new one. Without --new-password-file or --remove it asks twice on a terminal, like passwd.
#include "cli/CardOption.h"
#include "cli/CliContext.h"
#include "cli/Command.h"
#include "cli/PasswordOption.h"
#include "cli/TerminalPrompter.h"
#include "flows/StandaloneFlows.h"
#include "protocol/DeviceCommands.h"

namespace quillon::cli {

namespace {

class PasswdCommand : public Command {
 public:
  explicit PasswdCommand(CLI::App& app) {
    subcommand = app.add_subcommand("passwd", "Set or remove a card's password");
    subcommand->add_option("card", card_, kCardHelp)->required()->check(CardNameCheck());
    auto* file = subcommand->add_option("--new-password-file", new_password_file_,
                                        "Read the new password from the first line of F");
    auto* remove = subcommand->add_flag("--remove", remove_, "Remove the card's password");
    file->excludes(remove);
    password_.AddTo(*subcommand);
  }

  int Run(CliEnvironment& env, const GlobalOptions& global) override {
    std::optional<std::string> password;
    if (!password_.Read(env.err, password)) return 1;
    std::optional<std::string> new_password = NewPassword(env);
    if (!new_password) return 1;
    CliContext context(env, global);
    if (!context.Ready()) return 1;
    const std::optional<SearchResult> found = context.Find({CardNameOf(card_)});
    if (!found) return 1;
    const DeviceRecord& card = found->devices.front().record;

    TerminalPrompter prompter(env, password, false);
    SetPasswordFlow flow(context.session(), prompter, card);
    if (!flow.Begin()) return 1;
    if (flow.Finish({!remove_, *new_password, *new_password})) return 1;
    if (flow.ChangeStatus() != status::kDone) return 1;
    // The card must now take the new password, and refuse nothing with it.
    Transactions& tx = context.session().ChannelOf(card).transactions();
    if (CheckPassword(tx, card.mac, DevicePassword(*new_password)) != status::kDone) {
      env.err << "quillon-cli: " << DeviceKey(card.mac)
              << ": the card does not take the new password\n";
      return 1;
    }
    env.out << DeviceKey(card.mac) << ": " << (remove_ ? "password removed" : "password changed")
            << ", verified\n";
    return 0;
  }

 private:
  // The new password, checked by the password page's rules before anything is sent.
  std::optional<std::string> NewPassword(CliEnvironment& env) const {
    if (remove_) return std::string();
    std::string text;
    if (!new_password_file_.empty()) {
      if (!ReadFirstLine(env.err, new_password_file_, text)) return std::nullopt;
    } else if (!env.interactive || !env.read_password) {
      env.err << "quillon-cli: give the new password with --new-password-file, or --remove\n";
      return std::nullopt;
    } else {
      const auto first = env.read_password("New password: ");
      const auto again = env.read_password("Retype new password: ");
      if (!first || !again) return std::nullopt;
      if (const CheckResult failure = PasswordEntriesCheck({true, *first, *again})) {
        env.err << "quillon-cli: " << failure->message << '\n';
        return std::nullopt;
      }
      return *first;
    }
    if (const CheckResult failure = PasswordEntriesCheck({true, text, text})) {
      env.err << "quillon-cli: " << failure->message << '\n';
      return std::nullopt;
    }
    return text;
  }

  std::string card_;
  std::string new_password_file_;
  bool remove_ = false;
  PasswordOption password_;
};

}  // namespace

std::unique_ptr<Command> AddPasswdCommand(CLI::App& app) {
  return std::make_unique<PasswdCommand>(app);
}

}  // namespace quillon::cli
