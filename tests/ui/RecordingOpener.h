// A UrlOpener for tests: records every address and answers with a chosen result code.
#pragma once

#include <string>
#include <vector>

#include "flows/UrlOpener.h"

namespace quillon {

class RecordingOpener : public UrlOpener {
 public:
  explicit RecordingOpener(int answer = url_open::kOpened) : result(answer) {}

  int Open(const std::string& address) override {
    addresses.push_back(address);
    return result;
  }

  int result;
  std::vector<std::string> addresses;
};

}  // namespace quillon
