#include "protocol/DevicePassword.h"

#include <stdexcept>

namespace quillon {

std::string DevicePassword::Problem(std::string_view text) {
  if (text.size() > kMaxLength) {
    return "a device password has at most " + std::to_string(kMaxLength) +
           " characters (this one has " + std::to_string(text.size()) + ")";
  }
  if (text.find('\0') != std::string_view::npos) return "a device password cannot contain a NUL";
  return {};
}

DevicePassword::DevicePassword(std::string_view text) {
  if (std::string problem = Problem(text); !problem.empty()) throw std::invalid_argument(problem);
  text_ = std::string(text);
}

}  // namespace quillon
