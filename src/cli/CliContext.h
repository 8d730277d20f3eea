// What every command of quillon-cli starts from: its options, the packet driver, the session
// with its adapters found, and the search.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliApp.h"
#include "flows/DeviceSearch.h"
#include "flows/Session.h"

namespace quillon::cli {

struct CliOptions {
  bool demo = false;
  std::vector<std::string> adapters;  // search only these
  bool json = false;
  std::string target;  // serial number or MAC address

  // upgrade
  std::string image;
  bool all = false;
  std::vector<std::string> targets;
  std::optional<std::string> password;
  std::string password_file;
  bool yes = false;
  int parallel = 8;
};

// The session, its adapters enumerated and open to capture, or an error already reported.
class CliContext {
 public:
  CliContext(CliEnvironment& env, const CliOptions& options);

  bool Ready() const { return session_.has_value(); }
  Session& session() { return *session_; }
  DeviceSearch& search() { return *search_; }

  SearchResult Search();
  const AdapterInfo& AdapterOf(const DeviceRecord& record);

 private:
  bool FindAdapters(const CliOptions& options);
  bool CanCapture();

  CliEnvironment& env_;
  std::unique_ptr<PacketDriver> driver_;
  std::optional<Session> session_;
  std::optional<DeviceSearch> search_;
};

// Whether a card is the one a serial number or MAC address on the command line names.
bool Matches(const FoundDevice& device, const std::string& target);

}  // namespace quillon::cli
