// What every command of quillon-cli starts from: the packet driver, the session with its adapters
// found and open, and the two searches (every card, or the named ones).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "flows/DeviceSearch.h"
#include "flows/Session.h"

namespace quillon::cli {

// The session, its adapters enumerated and open to capture, or an error already reported.
class CliContext {
 public:
  // `quiet` keeps the search's progress off the terminal (for --json).
  CliContext(CliEnvironment& env, const GlobalOptions& global, bool quiet = false);

  bool Ready() const { return session_.has_value(); }
  Session& session() { return *session_; }
  DeviceSearch& search() { return *search_; }

  // Every card on every adapter.
  SearchResult Search();
  // Only the named cards, in the order of the names; nothing after a message naming each card
  // that did not answer.
  std::optional<SearchResult> Find(const std::vector<CardName>& names);

  const AdapterInfo& AdapterOf(const DeviceRecord& record) const;

 private:
  bool FindAdapters(const GlobalOptions& global);
  bool CanCapture(const std::vector<OpenProblem>& problems);

  CliEnvironment& env_;
  const bool show_progress_;
  std::unique_ptr<PacketDriver> driver_;
  std::optional<Session> session_;
  std::optional<DeviceSearch> search_;
};

}  // namespace quillon::cli
