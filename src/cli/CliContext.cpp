#include "cli/CliContext.h"

#include "cli/SearchProgress.h"

namespace quillon::cli {

CliContext::CliContext(CliEnvironment& env, const GlobalOptions& global, bool quiet)
    : env_(env), show_progress_(env.show_progress && !quiet) {
  driver_ = global.demo ? env.make_demo_driver() : env.make_system_driver();
  if (!driver_) {
    env.err << "quillon-cli: this build has no driver for real network adapters; "
               "use --demo to work with the simulated segment\n";
    return;
  }
  session_.emplace(*driver_, env.timing, [&env](const std::string& line) { env.err << line; });
  if (!FindAdapters(global) || !CanCapture(session_->OpenAll())) {
    session_.reset();
    return;
  }
  search_.emplace(*session_);
}

SearchResult CliContext::Search() {
  SearchProgress progress(env_.err, show_progress_);
  return search_->Run({}, progress.Events());
}

std::optional<SearchResult> CliContext::Find(const std::vector<CardName>& names) {
  SearchResult result;
  {
    SearchProgress progress(env_.err, show_progress_);
    result = search_->Find(names, {}, progress.Events());
  }
  for (const CardName& name : result.missing) {
    env_.err << "quillon-cli: no card " << name.Text() << " answered on any adapter\n";
  }
  if (!result.missing.empty()) return std::nullopt;
  return result;
}

const AdapterInfo& CliContext::AdapterOf(const DeviceRecord& record) const {
  static const AdapterInfo kUnknown{"?", "?"};
  const auto& table = session_->adapters().Entries();
  const auto index = static_cast<std::size_t>(record.adapter_index);
  return index < table.size() ? table[index] : kUnknown;
}

bool CliContext::FindAdapters(const GlobalOptions& global) {
  for (const std::string& name : session_->EnumerateAdapters(global.adapters)) {
    env_.err << "quillon-cli: there is no Ethernet adapter named " << name << '\n';
    return false;
  }
  if (session_->AdapterCount() > 0) return true;
  const std::string& why = session_->adapters().EnumerationError();
  env_.err << "quillon-cli: no network adapters found" << (why.empty() ? "" : ": " + why) << '\n';
  return false;
}

// An empty list would look like a segment without cards: say instead which adapters cannot be
// captured on, and how to allow it. Adapters that fail for other reasons are left out of the
// search, with a word on standard error.
bool CliContext::CanCapture(const std::vector<OpenProblem>& problems) {
  std::string refused;
  std::string reason;
  for (const OpenProblem& problem : problems) {
    const std::string& name = session_->adapters().Entry(problem.adapter).driver_name;
    if (problem.failure == OpenFailure::kPermissionDenied) {
      refused += (refused.empty() ? "" : ", ") + name;
      reason = problem.error;
    } else {
      env_.err << "quillon-cli: " << name << " cannot be searched: " << problem.error << '\n';
    }
  }
  if (refused.empty()) return true;
  env_.err << "quillon-cli: raw frames cannot be captured on " << refused << " (" << reason
           << ").\n"
           << driver_->PrivilegeAdvice() << '\n';
  return false;
}

}  // namespace quillon::cli
