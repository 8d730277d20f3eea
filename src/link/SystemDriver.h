// The packet driver for the machine's real adapters, when this build has one.
#pragma once

#include <memory>

#include "link/PacketDriver.h"

namespace quillon {

// The libpcap driver. Null when the build carries no driver for real adapters.
std::unique_ptr<PacketDriver> MakeSystemDriver();

}  // namespace quillon
