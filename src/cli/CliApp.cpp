#include "cli/CliApp.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <optional>

#include "base/Version.h"
#include "cli/CliContext.h"
#include "cli/DeviceReport.h"
#include "cli/UpgradeCommand.h"
#include "flows/DeviceSearch.h"
#include "flows/Session.h"
#include "sim/DemoFleet.h"

namespace quillon::cli {

namespace {

int List(CliEnvironment& env, const CliOptions& options) {
  CliContext context(env, options);
  if (!context.Ready()) return 1;
  const SearchResult result = context.Search();
  if (options.json) {
    nlohmann::ordered_json devices = nlohmann::ordered_json::array();
    for (const RowText& row : result.rows) {
      const FoundDevice& device = result.devices[row.device];
      devices.push_back(DeviceSummaryJson(device, context.AdapterOf(device.record)));
    }
    env.out << devices.dump(2) << '\n';
    return 0;
  }
  if (result.rows.empty()) {
    env.out << "No device found\n";
    return 0;
  }
  PrintDeviceTable(env.out, result, context.session().adapters().AdapterTable());
  return 0;
}

int Show(CliEnvironment& env, const CliOptions& options) {
  CliContext context(env, options);
  if (!context.Ready()) return 1;
  const SearchResult result = context.Search();
  const auto found = std::find_if(result.devices.begin(), result.devices.end(),
                                  [&](const FoundDevice& d) { return Matches(d, options.target); });
  if (found == result.devices.end()) {
    env.err << "quillon-cli: no card " << options.target << " answered on any adapter\n";
    return 1;
  }
  if (options.json) {
    env.out << DeviceDetailJson(*found, context.AdapterOf(found->record)).dump(2) << '\n';
  } else {
    PrintDeviceDetail(env.out, *found, context.AdapterOf(found->record));
  }
  return 0;
}

}  // namespace

std::unique_ptr<PacketDriver> MakeDemoDriver() {
  auto segment = std::make_unique<sim::SimulatedSegment>();
  sim::Populate(*segment, sim::DemoFleet());
  return segment;
}

int RunCli(int argc, const char* const argv[], CliEnvironment& env) {
  CliOptions options;
  CLI::App app{"Finds and manages the network management cards on every adapter."};
  app.name("quillon-cli");
  app.set_version_flag("--version", VersionLine("quillon-cli"));
  app.add_flag("--demo", options.demo, "Work on the built-in simulated segment and its demo cards");
  app.add_option("--adapter", options.adapters,
                 "Search only this adapter (by name, as `ip link` shows it); repeatable");
  app.require_subcommand(1);

  CLI::App* list = app.add_subcommand("list", "List the cards on every adapter, by serial number");
  list->add_flag("--json", options.json, "Print one JSON array");

  CLI::App* show = app.add_subcommand("show", "Show one card's record and configuration");
  show->add_option("card", options.target, "Serial number or MAC address (02-4B-51-00-00-2A)")
      ->required();
  show->add_flag("--json", options.json, "Print one JSON object");

  CLI::App* upgrade =
      app.add_subcommand("upgrade", "Load a firmware image into cards, several at a time");
  upgrade->add_option("image", options.image, "The firmware image (*.bin)")->required();
  upgrade->add_option("cards", options.targets, "Serial numbers or MAC addresses of the cards");
  upgrade->add_flag("--all", options.all, "Every card found");
  upgrade->add_option("--password", options.password, "The cards' password, when they have one");
  upgrade->add_option("--password-file", options.password_file,
                      "Read the password from the first line of this file");
  upgrade->add_flag("-y,--yes", options.yes,
                    "Answer yes to questions (an image older than the card's boot version)");
  upgrade->add_option("--parallel", options.parallel, "Cards upgraded at once")
      ->check(CLI::Range(1, 256))
      ->capture_default_str();
  upgrade->callback([&] {
    if (options.all == !options.targets.empty()) {
      throw CLI::ValidationError("cards", "name the cards to upgrade, or give --all");
    }
    if (options.password && !options.password_file.empty()) {
      throw CLI::ValidationError("--password", "give --password or --password-file, not both");
    }
  });

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error, env.out, env.err);
  }
  if (list->parsed()) return List(env, options);
  if (show->parsed()) return Show(env, options);
  if (upgrade->parsed()) return Upgrade(env, options);
  return 1;
}

}  // namespace quillon::cli
