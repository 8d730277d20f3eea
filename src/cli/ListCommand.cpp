// quillon-cli list: every card on every adapter, sorted by serial number.
#include "cli/CliContext.h"
#include "cli/Command.h"
#include "cli/DeviceReport.h"

namespace quillon::cli {

namespace {

class ListCommand : public Command {
 public:
  explicit ListCommand(CLI::App& app) {
    subcommand = app.add_subcommand("list", "List the cards on every adapter, by serial number");
    subcommand->add_flag("--json", json_, "Print one JSON array");
  }

  int Run(CliEnvironment& env, const GlobalOptions& global) override {
    CliContext context(env, global, json_);
    if (!context.Ready()) return 1;
    const SearchResult result = context.Search();
    if (json_) {
      nlohmann::ordered_json devices = nlohmann::ordered_json::array();
      for (const RowText& row : result.rows) {
        const FoundDevice& device = result.devices[row.device];
        devices.push_back(DeviceSummaryJson(device, context.AdapterOf(device.record)));
      }
      env.out << devices.dump(2) << '\n';
      return 0;
    }
    if (result.rows.empty()) {
      env.out << "No device found\n";
      return 0;
    }
    PrintDeviceTable(env.out, result, context.session().adapters().Entries());
    return 0;
  }

 private:
  bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> AddListCommand(CLI::App& app) {
  return std::make_unique<ListCommand>(app);
}

}  // namespace quillon::cli
