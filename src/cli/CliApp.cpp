#include "cli/CliApp.h"

#include <CLI/CLI.hpp>

#include "base/Version.h"
#include "cli/Command.h"
#include "sim/DemoFleet.h"
#include "sim/SimulatedSegment.h"

namespace quillon::cli {

std::unique_ptr<PacketDriver> MakeDemoDriver() {
  auto segment = std::make_unique<sim::SimulatedSegment>();
  sim::Populate(*segment, sim::DemoFleet());
  return segment;
}

int RunCli(int argc, const char* const argv[], CliEnvironment& env) {
  GlobalOptions global;
  CLI::App app{"Finds and manages the network management cards on every adapter."};
  app.name("quillon-cli");
  app.set_version_flag("--version", VersionLine("quillon-cli"));
  app.add_flag("--demo", global.demo, "Work on the built-in simulated segment and its demo cards");
  app.add_option("--adapter", global.adapters,
                 "Search only this adapter (by name, as `ip link` shows it); repeatable");
  app.require_subcommand(1);

  std::vector<std::unique_ptr<Command>> commands;
  commands.push_back(AddListCommand(app));
  commands.push_back(AddShowCommand(app));
  commands.push_back(AddUpgradeCommand(app));
  commands.push_back(AddSetCommand(app));
  commands.push_back(AddPasswdCommand(app));
  commands.push_back(AddAssignSerialCommand(app));
  commands.push_back(AddOpenCommand(app));

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error, env.out, env.err);
  }
  for (const auto& command : commands) {
    if (command->subcommand->parsed()) return command->Run(env, global);
  }
  return 1;
}

}  // namespace quillon::cli
