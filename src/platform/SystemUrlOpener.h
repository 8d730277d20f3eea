// Opens addresses with what a POSIX system offers, without a desktop toolkit: the commands the
// BROWSER environment variable lists, then xdg-open. No shell is involved: the address is always
// one argument of its own, whatever characters it holds.
//
// Open may be called from any thread. It returns as soon as a browser has started (the browser is
// left running, and reaped when it ends, so that it leaves no zombie); xdg-open returns at once
// when it hands the address on, so its exit status is waited for, within a bound.
//
// Results, in the codes of UrlOpener.h:
//   a BROWSER command started, xdg-open ended with 0 or still runs after the bound   33, opened
//   xdg-open cannot be started: ENOENT 2, ENOTDIR/ELOOP/ENAMETOOLONG 3, EACCES/EPERM 5, ENOMEM 8,
//     EAGAIN/E2BIG 0, ENOEXEC 11, ETXTBSY 26, anything else 1 (shown as an unknown error)
//   xdg-open ended with 2 (no such file or address) 2, with 3 (no tool for it) 31, otherwise 1
//   an empty address                                                                  2
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
