// quillon-cli: finds the cards on every adapter and shows them. The same core flows as the
// desktop program; tables for people by default, --json for scripts, diagnostics on stderr.
#pragma once

#include <functional>
#include <memory>
#include <ostream>

#include "base/Timing.h"
#include "link/PacketDriver.h"

namespace quillon::cli {

struct CliEnvironment {
  std::ostream& out;
  std::ostream& err;
  Timing timing = Timing::Standard();
  std::function<std::unique_ptr<PacketDriver>()> make_demo_driver;
  std::function<std::unique_ptr<PacketDriver>()> make_system_driver;
  bool show_progress = false;  // progress lines on err, for a person watching a terminal
};

// The segment behind --demo: the demonstration fleet on two simulated adapters.
std::unique_ptr<PacketDriver> MakeDemoDriver();

// Runs one command line and returns the exit status.
int RunCli(int argc, const char* const argv[], CliEnvironment& env);

}  // namespace quillon::cli
