// Starting threads through a function the owner is given, so that a thread that cannot be
// created is a case its owner handles (and tests can make happen), not an exception that ends
// the program.
#pragma once

#include <functional>
#include <thread>

namespace quillon {

// Starts `body` on a new thread; throws std::system_error when the system has no thread to give.
using ThreadStarter = std::function<std::thread(std::function<void()> body)>;

inline std::thread StartThread(std::function<void()> body) {
  return std::thread(std::move(body));
}

}  // namespace quillon
