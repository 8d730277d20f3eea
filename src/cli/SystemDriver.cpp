#include "cli/SystemDriver.h"

namespace quillon::cli {

std::unique_ptr<PacketDriver> MakeSystemDriver() {
  return nullptr;
}

}  // namespace quillon::cli
