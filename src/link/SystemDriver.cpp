#include "link/SystemDriver.h"

namespace quillon {

std::unique_ptr<PacketDriver> MakeSystemDriver() {
  return nullptr;
}

}  // namespace quillon
