#include "cli/UpgradeCommand.h"

#include <fstream>
#include <map>

#include "cli/ProgressView.h"
#include "cli/TerminalPrompter.h"
#include "flows/UpgradeRun.h"
#include "flows/UpgradeTexts.h"

namespace quillon::cli {

namespace {

// The password from --password or the first line of --password-file; false after a message
// when there is none to be had or it cannot be a card's password.
bool ReadPasswordOption(CliEnvironment& env, const CliOptions& options,
                        std::optional<std::string>& password) {
  password = options.password;
  if (!options.password_file.empty()) {
    std::ifstream file(options.password_file);
    std::string line;
    if (!file || !std::getline(file, line)) {
      env.err << "quillon-cli: cannot read a password from " << options.password_file << '\n';
      return false;
    }
    password = line;
  }
  if (!password) return true;
  if (const std::string problem = DevicePassword::Problem(*password); !problem.empty()) {
    env.err << "quillon-cli: " << problem << '\n';
    return false;
  }
  return true;
}

// The cards named on the command line, or all; nothing after a message when one is missing.
std::optional<std::vector<DeviceRecord>> SelectCards(CliEnvironment& env, const CliOptions& options,
                                                     const SearchResult& result) {
  std::vector<DeviceRecord> cards;
  if (options.all) {
    for (const RowText& row : result.rows) cards.push_back(result.devices[row.device].record);
    return cards;
  }
  for (const std::string& target : options.targets) {
    const auto found = std::find_if(result.devices.begin(), result.devices.end(),
                                    [&](const FoundDevice& d) { return Matches(d, target); });
    if (found == result.devices.end()) {
      env.err << "quillon-cli: no card " << target << " answered on any adapter\n";
      return std::nullopt;
    }
    cards.push_back(found->record);
  }
  return cards;
}

// The link is open on one adapter at a time: the cards of each adapter are upgraded together.
std::map<int, std::vector<DeviceRecord>> ByAdapter(const std::vector<DeviceRecord>& cards) {
  std::map<int, std::vector<DeviceRecord>> groups;
  for (const DeviceRecord& card : cards) {
    groups[AdapterSelection::NormalisedIndex(card.adapter_index)].push_back(card);
  }
  return groups;
}

}  // namespace

int Upgrade(CliEnvironment& env, const CliOptions& options) {
  std::optional<std::string> password;
  if (!ReadPasswordOption(env, options, password)) return 1;
  Bytes image;
  if (const std::string problem = LoadImageFile(options.image, image); !problem.empty()) {
    env.err << "quillon-cli: " << problem << '\n';
    return 1;
  }
  CliContext context(env, options);
  if (!context.Ready()) return 1;
  const SearchResult result = context.Search();
  const auto cards = SelectCards(env, options, result);
  if (!cards) return 1;
  if (cards->empty()) {
    env.err << "quillon-cli: no card to upgrade\n";
    return 1;
  }

  std::mutex terminal;
  ProgressView view(env.out, terminal, env.live_output);
  TerminalPrompter prompter(env, terminal, password, options.yes);
  prompter.wrote = [&view] { view.Interrupted(); };
  int failures = 0;
  for (auto& [adapter, group] : ByAdapter(*cards)) {
    context.session().adapters().UseCardAdapter(adapter);
    UpgradeRun run(context.session(), prompter, view, {options.parallel, false});
    run.password_accepted = [&](const MacAddress& card, const std::string& accepted) {
      context.search().Remember(card, accepted);
    };
    failures += run.Run(image, group).failures;
  }
  for (const auto& [key, success] : view.Results()) {
    env.out << key << "  " << (success ? upgrade_text::kSucceeded : upgrade_text::kFailed) << '\n';
  }
  const int selected = static_cast<int>(cards->size());
  env.out << upgrade_text::Summary(selected - failures, failures) << '\n';
  return failures == 0 ? 0 : 1;
}

}  // namespace quillon::cli
