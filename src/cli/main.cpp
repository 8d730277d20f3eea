#include <termios.h>
#include <unistd.h>

#include <iostream>

#include "cli/CliApp.h"
#include "link/SystemDriver.h"
#include "platform/SystemUrlOpener.h"

namespace {

// Reads a line from the terminal without echoing it.
std::optional<std::string> ReadHidden(const std::string& prompt) {
  std::cerr << prompt << std::flush;
  termios saved{};
  const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
  if (terminal) {
    termios quiet = saved;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
  }
  std::string line;
  const bool read = static_cast<bool>(std::getline(std::cin, line));
  if (terminal) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  std::cerr << '\n';
  if (!read) return std::nullopt;
  return line;
}

}  // namespace

int main(int argc, char* argv[]) {
  quillon::cli::CliEnvironment env{.out = std::cout,
                                   .err = std::cerr,
                                   .timing = quillon::Timing::Standard(),
                                   .make_demo_driver = quillon::cli::MakeDemoDriver,
                                   .make_system_driver = quillon::MakeSystemDriver,
                                   .show_progress = isatty(STDERR_FILENO) == 1,
                                   .in = &std::cin,
                                   .interactive = isatty(STDIN_FILENO) == 1,
                                   .read_password = ReadHidden,
                                   .live_output = isatty(STDOUT_FILENO) == 1,
                                   .opener = std::make_shared<quillon::SystemUrlOpener>()};
  return quillon::cli::RunCli(argc, argv, env);
}
