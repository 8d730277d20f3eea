#include <unistd.h>

#include <iostream>

#include "cli/CliApp.h"
#include "link/SystemDriver.h"

int main(int argc, char* argv[]) {
  quillon::cli::CliEnvironment env{.out = std::cout,
                                   .err = std::cerr,
                                   .timing = quillon::Timing::Standard(),
                                   .make_demo_driver = quillon::cli::MakeDemoDriver,
                                   .make_system_driver = quillon::MakeSystemDriver,
                                   .show_progress = isatty(STDERR_FILENO) == 1};
  return quillon::cli::RunCli(argc, argv, env);
}
