#include "app/StartupNotice.h"

namespace quillon {

std::optional<std::string> StartupNotice(PacketDriver* driver) {
  if (!driver) return kNoSystemDriverNotice;
  std::string problem = driver->PrivilegeProblem();
  if (problem.empty()) return std::nullopt;
  return problem;
}

}  // namespace quillon
