// quillon-cli: finds the cards on every adapter and shows them. The same core flows as the
// desktop program; tables for people by default, --json for scripts, diagnostics on stderr.
#pragma once

#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "base/Timing.h"
#include "flows/UrlOpener.h"
#include "link/PacketDriver.h"

namespace quillon::cli {

struct CliEnvironment {
  std::ostream& out;
  std::ostream& err;
  Timing timing = Timing::Standard();
  std::function<std::unique_ptr<PacketDriver>()> make_demo_driver;
  std::function<std::unique_ptr<PacketDriver>()> make_system_driver;
  bool show_progress = false;  // progress lines on err, for a person watching a terminal

  // Questions: answered on `in` when a person is there to answer them, never asked otherwise.
  std::istream* in = nullptr;
  bool interactive = false;
  // Reads a password without showing it.
  std::function<std::optional<std::string>(const std::string& prompt)> read_password;
  // Standard output is a terminal: progress is redrawn in place.
  bool live_output = false;
  // Opens web addresses for `open`; without one, `open` can only print them.
  std::shared_ptr<UrlOpener> opener;
};

// The segment behind --demo: the demonstration fleet on two simulated adapters.
std::unique_ptr<PacketDriver> MakeDemoDriver();

// Runs one command line and returns the exit status.
int RunCli(int argc, const char* const argv[], CliEnvironment& env);

}  // namespace quillon::cli
