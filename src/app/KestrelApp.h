// The desktop program: refuses a second copy, says once what keeps it from the adapters, then
// runs the main window until it closes. quillon and quillon-demo differ only in their driver.
#pragma once

#include <functional>
#include <memory>

#include "base/Timing.h"
#include "link/PacketDriver.h"

namespace quillon {

using DriverFactory = std::function<std::unique_ptr<PacketDriver>()>;

// Returns the program's exit status.
int RunKestrelApp(int& argc, char** argv, const DriverFactory& make_driver, const Timing& timing);

}  // namespace quillon
