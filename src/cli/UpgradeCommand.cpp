// quillon-cli upgrade IMAGE (--all | CARD...): loads a firmware image into cards, several at a
// time, whichever adapters they sit on.
#include <map>

#include "cli/CardOption.h"
#include "cli/CliContext.h"
#include "cli/Command.h"
#include "cli/PasswordOption.h"
#include "cli/ProgressView.h"
#include "cli/TerminalPrompter.h"
#include "flows/UpgradeRun.h"
#include "flows/UpgradeTexts.h"

namespace quillon::cli {

namespace {

class UpgradeCommand : public Command {
 public:
  explicit UpgradeCommand(CLI::App& app) {
    subcommand =
        app.add_subcommand("upgrade", "Load a firmware image into cards, several at a time");
    subcommand->add_option("image", image_, "The firmware image (*.bin)")->required();
    CLI::Option* cards = subcommand->add_option("cards", cards_, kCardHelp)->check(CardNameCheck());
    CLI::Option* all = subcommand->add_flag("--all", all_, "Every card found");
    all->excludes(cards);
    password_.AddTo(*subcommand);
    subcommand->add_flag("-y,--yes", yes_,
                         "Answer yes to questions (an image older than the card's boot version)");
    subcommand->add_option("--parallel", parallel_, "Cards upgraded at once")
        ->check(CLI::Range(1, 256))
        ->capture_default_str();
    subcommand->callback([this] {
      if (!all_ && cards_.empty()) {
        throw CLI::ValidationError("cards", "name the cards to upgrade, or give --all");
      }
    });
  }

  int Run(CliEnvironment& env, const GlobalOptions& global) override {
    std::optional<std::string> password;
    if (!password_.Read(env.err, password)) return 1;
    Bytes image;
    if (const std::string problem = LoadImageFile(image_, image); !problem.empty()) {
      env.err << "quillon-cli: " << problem << '\n';
      return 1;
    }
    CliContext context(env, global);
    if (!context.Ready()) return 1;
    std::optional<std::vector<DeviceRecord>> cards = SelectCards(context);
    if (!cards) return 1;
    if (cards->empty()) {
      env.err << "quillon-cli: no card to upgrade\n";
      return 1;
    }

    ProgressView view(env.out, env.live_output);
    TerminalPrompter prompter(env, password, yes_);
    prompter.question_begins = [&view] { view.PauseDrawing(); };
    prompter.question_ends = [&view] { view.ResumeDrawing(); };
    UpgradeRun run(context.session(), prompter, view, {parallel_, false});
    run.password_accepted = [&](const MacAddress& card, const std::string& accepted) {
      context.search().Remember(card, accepted);
    };
    const UpgradeSummary summary = run.Run(image, *cards);
    if (!summary.refusal.empty()) {
      env.err << "quillon-cli: " << summary.refusal << '\n';
      return 1;
    }
    for (const auto& [key, success] : view.Results()) {
      env.out << key << "  " << (success ? upgrade_text::kSucceeded : upgrade_text::kFailed)
              << '\n';
    }
    env.out << summary.text << '\n';
    return summary.failures == 0 ? 0 : 1;
  }

 private:
  // Every card found, or the named ones (each once, however many names it has).
  std::optional<std::vector<DeviceRecord>> SelectCards(CliContext& context) {
    std::vector<DeviceRecord> cards;
    if (all_) {
      const SearchResult result = context.Search();
      for (const RowText& row : result.rows) cards.push_back(result.devices[row.device].record);
      return cards;
    }
    const std::optional<SearchResult> result = context.Find(CardNames(cards_));
    if (!result) return std::nullopt;
    for (const FoundDevice& device : result->devices) cards.push_back(device.record);
    return cards;
  }

  std::string image_;
  std::vector<std::string> cards_;
  bool all_ = false;
  PasswordOption password_;
  bool yes_ = false;
  int parallel_ = 8;
};

}  // namespace

std::unique_ptr<Command> AddUpgradeCommand(CLI::App& app) {
  return std::make_unique<UpgradeCommand>(app);
}

}  // namespace quillon::cli
