// The desktop program: refuses a second copy, says once what keeps it from the adapters, then
// runs the main window until it closes. quillon and quillon-demo differ only in their driver and
// in what they say of themselves.
#pragma once

#include <functional>
#include <memory>

#include "app/ProgramInfo.h"
#include "base/Timing.h"
#include "link/PacketDriver.h"

namespace quillon {

using DriverFactory = std::function<std::unique_ptr<PacketDriver>()>;

// Returns the program's exit status. --help and --version are answered on standard output
// before anything else, without a window.
int RunKestrelApp(int& argc, char** argv, const ProgramInfo& program,
                  const DriverFactory& make_driver, const Timing& timing);

}  // namespace quillon
