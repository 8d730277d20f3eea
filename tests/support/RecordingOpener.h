// A UrlOpener for tests: records every address, and when it came, and answers with a chosen
// result code.
#pragma once

#include <string>
#include <vector>

#include "base/Timing.h"
#include "flows/UrlOpener.h"

namespace quillon {

class RecordingOpener : public UrlOpener {
 public:
  explicit RecordingOpener(int answer = url_open::kOpened) : result(answer) {}

  int Open(const std::string& address) override {
    addresses.push_back(address);
    times.push_back(Clock::now());
    return result;
  }

  int result;
  std::vector<std::string> addresses;
  std::vector<Clock::time_point> times;
};

}  // namespace quillon
