// One subcommand of quillon-cli. Each lives in a file of its own with its options: Add...()
// registers the subcommand on the application and binds its options to the command's fields;
// Run() does the work once the command line has been parsed.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliApp.h"

namespace quillon::cli {

// The options given before the subcommand.
struct GlobalOptions {
  bool demo = false;
  std::vector<std::string> adapters;  // search only these
};

class Command {
 public:
  virtual ~Command() = default;
  // Returns the exit status.
  virtual int Run(CliEnvironment& env, const GlobalOptions& global) = 0;

  CLI::App* subcommand = nullptr;
};

std::unique_ptr<Command> AddListCommand(CLI::App& app);
std::unique_ptr<Command> AddShowCommand(CLI::App& app);
std::unique_ptr<Command> AddUpgradeCommand(CLI::App& app);
std::unique_ptr<Command> AddSetCommand(CLI::App& app);
std::unique_ptr<Command> AddPasswdCommand(CLI::App& app);
std::unique_ptr<Command> AddAssignSerialCommand(CLI::App& app);
std::unique_ptr<Command> AddOpenCommand(CLI::App& app);

}  // namespace quillon::cli
