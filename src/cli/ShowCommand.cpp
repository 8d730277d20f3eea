// quillon-cli show CARD: one card's record and configuration. Discovery ends as soon as the card
// has answered.
#include "cli/CardOption.h"
#include "cli/CliContext.h"
#include "cli/Command.h"
#include "cli/DeviceReport.h"

namespace quillon::cli {

namespace {

class ShowCommand : public Command {
 public:
  explicit ShowCommand(CLI::App& app) {
    subcommand = app.add_subcommand("show", "Show one card's record and configuration");
    subcommand->add_option("card", card_, kCardHelp)->required()->check(CardNameCheck());
    subcommand->add_flag("--json", json_, "Print one JSON object");
  }

  int Run(CliEnvironment& env, const GlobalOptions& global) override {
    CliContext context(env, global, json_);
    if (!context.Ready()) return 1;
    const std::optional<SearchResult> result = context.Find({CardNameOf(card_)});
    if (!result) return 1;
    const FoundDevice& device = result->devices.front();
    if (json_) {
      env.out << DeviceDetailJson(device, context.AdapterOf(device.record)).dump(2) << '\n';
    } else {
      PrintDeviceDetail(env.out, device, context.AdapterOf(device.record));
    }
    return 0;
  }

 private:
  std::string card_;
  bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> AddShowCommand(CLI::App& app) {
  return std::make_unique<ShowCommand>(app);
}

}  // namespace quillon::cli
