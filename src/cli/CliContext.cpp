#include "cli/CliContext.h"

namespace quillon::cli {

CliContext::CliContext(CliEnvironment& env, const CliOptions& options) : env_(env) {
  driver_ = options.demo ? env.make_demo_driver() : env.make_system_driver();
  if (!driver_) {
    env.err << "quillon-cli: this build has no driver for real network adapters; "
               "use --demo to work with the simulated segment\n";
    return;
  }
  session_.emplace(*driver_, env.timing, [&env](const std::string& line) { env.err << line; });
  if (!FindAdapters(options) || !CanCapture()) {
    session_.reset();
    return;
  }
  search_.emplace(*session_);
}

SearchResult CliContext::Search() {
  SearchEvents events;
  if (env_.show_progress) {
    events.adapter_started = [this](int, const AdapterInfo& adapter) {
      env_.err << "Searching " << adapter.driver_name << "...\n";
    };
  }
  return search_->Run(nullptr, events);
}

const AdapterInfo& CliContext::AdapterOf(const DeviceRecord& record) {
  static const AdapterInfo kUnknown{"?", "?"};
  const auto& table = session_->adapters().AdapterTable();
  const auto index = static_cast<std::size_t>(record.adapter_index);
  return index < table.size() ? table[index] : kUnknown;
}

bool CliContext::FindAdapters(const CliOptions& options) {
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

// An empty list would look like a segment without cards: say instead which adapters cannot be
// captured on, and how to allow it.
bool CliContext::CanCapture() {
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

bool Matches(const FoundDevice& device, const std::string& target) {
  if (const auto mac = MacAddress::Parse(target)) return device.record.mac == *mac;
  return device.Key() == target;
}

}  // namespace quillon::cli
