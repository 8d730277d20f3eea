#include "cli/CliApp.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <optional>

#include "cli/DeviceReport.h"
#include "flows/DeviceSearch.h"
#include "flows/Session.h"
#include "sim/DemoFleet.h"

namespace quillon::cli {

namespace {

struct Options {
  bool demo = false;
  std::vector<std::string> adapters;  // search only these
  bool json = false;
  std::string target;  // serial number or MAC address
};

// The session, its adapters enumerated, or an error already reported.
class Context {
 public:
  Context(CliEnvironment& env, const Options& options) : env_(env) {
    driver_ = options.demo ? env.make_demo_driver() : env.make_system_driver();
    if (!driver_) {
      env.err << "quillon-cli: this build has no driver for real network adapters; "
                 "use --demo to work with the simulated segment\n";
      return;
    }
    session_.emplace(*driver_, env.timing, [&env](const std::string& line) { env.err << line; });
    if (!FindAdapters(options) || !CanCapture()) session_.reset();
  }

  bool Ready() const { return session_.has_value(); }
  Session& session() { return *session_; }

  SearchResult Search() {
    DeviceSearch search(*session_);
    SearchEvents events;
    if (env_.show_progress) {
      events.adapter_started = [this](int, const AdapterInfo& adapter) {
        env_.err << "Searching " << adapter.driver_name << "...\n";
      };
    }
    return search.Run(nullptr, events);
  }

  const AdapterInfo& AdapterOf(const FoundDevice& device) {
    static const AdapterInfo kUnknown{"?", "?"};
    const auto& table = session_->adapters().AdapterTable();
    const auto index = static_cast<std::size_t>(device.record.adapter_index);
    return index < table.size() ? table[index] : kUnknown;
  }

 private:
  bool FindAdapters(const Options& options) {
    AdapterSelection& adapters = session_->adapters();
    adapters.EnumerateAdapters();
    if (!options.adapters.empty()) {
      for (const std::string& name : adapters.RestrictTo(options.adapters)) {
        env_.err << "quillon-cli: there is no Ethernet adapter named " << name << '\n';
        return false;
      }
    }
    if (adapters.AdapterCount() > 0) return true;
    const std::string& why = adapters.EnumerationError();
    env_.err << "quillon-cli: no network adapters found" << (why.empty() ? "" : ": " + why) << '\n';
    return false;
  }

  // An empty list would look like a segment without cards: say instead which adapters cannot
  // be captured on, and how to allow it.
  bool CanCapture() {
    std::vector<std::string> refused;
    std::string reason;
    for (const AdapterInfo& adapter : session_->adapters().AdapterTable()) {
      const OpenedAdapter probe = driver_->OpenAdapter(adapter.driver_name);
      if (probe.failure != OpenFailure::kPermissionDenied) continue;
      refused.push_back(adapter.driver_name);
      reason = probe.error;
    }
    if (refused.empty()) return true;
    env_.err << "quillon-cli: raw frames cannot be captured on ";
    for (std::size_t i = 0; i < refused.size(); ++i) env_.err << (i ? ", " : "") << refused[i];
    env_.err << " (" << reason << ").\n" << driver_->PrivilegeAdvice() << '\n';
    return false;
  }

  CliEnvironment& env_;
  std::unique_ptr<PacketDriver> driver_;
  std::optional<Session> session_;
};

int List(CliEnvironment& env, const Options& options) {
  Context context(env, options);
  if (!context.Ready()) return 1;
  const SearchResult result = context.Search();
  if (options.json) {
    nlohmann::ordered_json devices = nlohmann::ordered_json::array();
    for (const RowText& row : result.rows) {
      const FoundDevice& device = result.devices[row.device];
      devices.push_back(DeviceSummaryJson(device, context.AdapterOf(device)));
    }
    env.out << devices.dump(2) << '\n';
    return 0;
  }
  if (result.rows.empty()) {
    env.out << "No device found\n";
    return 0;
  }
  PrintDeviceTable(env.out, result, context.session().adapters().AdapterTable());
  return 0;
}

bool Matches(const FoundDevice& device, const std::string& target) {
  if (const auto mac = MacAddress::Parse(target)) return device.record.mac == *mac;
  return device.Key() == target;
}

int Show(CliEnvironment& env, const Options& options) {
  Context context(env, options);
  if (!context.Ready()) return 1;
  const SearchResult result = context.Search();
  const auto found = std::find_if(result.devices.begin(), result.devices.end(),
                                  [&](const FoundDevice& d) { return Matches(d, options.target); });
  if (found == result.devices.end()) {
    env.err << "quillon-cli: no card " << options.target << " answered on any adapter\n";
    return 1;
  }
  if (options.json) {
    env.out << DeviceDetailJson(*found, context.AdapterOf(*found)).dump(2) << '\n';
  } else {
    PrintDeviceDetail(env.out, *found, context.AdapterOf(*found));
  }
  return 0;
}

}  // namespace

std::unique_ptr<PacketDriver> MakeDemoDriver() {
  auto segment = std::make_unique<sim::SimulatedSegment>();
  sim::Populate(*segment, sim::DemoFleet());
  return segment;
}

int RunCli(int argc, const char* const argv[], CliEnvironment& env) {
  Options options;
  CLI::App app{"Finds and manages the network management cards on every adapter."};
  app.name("quillon-cli");
  app.add_flag("--demo", options.demo, "Work on the built-in simulated segment and its demo cards");
  app.add_option("--adapter", options.adapters,
                 "Search only this adapter (by name, as `ip link` shows it); repeatable");
  app.require_subcommand(1);

  CLI::App* list = app.add_subcommand("list", "List the cards on every adapter, by serial number");
  list->add_flag("--json", options.json, "Print one JSON array");

  CLI::App* show = app.add_subcommand("show", "Show one card's record and configuration");
  show->add_option("card", options.target, "Serial number or MAC address (02-4B-51-00-00-2A)")
      ->required();
  show->add_flag("--json", options.json, "Print one JSON object");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error, env.out, env.err);
  }
  if (list->parsed()) return List(env, options);
  if (show->parsed()) return Show(env, options);
  return 1;
}

}  // namespace quillon::cli
