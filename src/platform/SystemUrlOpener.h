// Opens addresses with what a POSIX system offers, without a desktop toolkit: the commands the
// BROWSER environment variable lists, then xdg-open. No shell is involved: the address is always
// one argument of its own, whatever characters it holds.
//
// Open may be called from any thread. It returns as soon as a browser has started (the browser is
// left running, and reaped when it ends, so that it leaves no zombie); xdg-open returns at once
// when it hands the address on, so its exit status is waited for, within a bound.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "flows/UrlOpener.h"

namespace quillon {

class SystemUrlOpener : public UrlOpener {
 public:
  struct Commands {
    // Colon-separated commands, tried in order until one starts. Each is split at blanks; "%s" in
    // a word stands for the address ("%%" for a "%"), and without any "%s" the address is
    // appended as the last argument.
    std::string browsers;
    // Run when no browser could be started.
    std::string fallback = "xdg-open";
    // How long the fallback may take; still running after that, it counts as having opened the
    // address (some set-ups run a browser in the foreground).
    std::chrono::milliseconds fallback_wait{10000};
  };

  // The browsers are read from BROWSER at each Open.
  SystemUrlOpener() = default;
  explicit SystemUrlOpener(Commands commands) : commands_(std::move(commands)) {}

  int Open(const std::string& address) override;

  // The argument vector of one browser command for `address`; empty for a blank command.
  static std::vector<std::string> BrowserArguments(const std::string& command,
                                                   const std::string& address);

 private:
  std::optional<Commands> commands_;
};

}  // namespace quillon
