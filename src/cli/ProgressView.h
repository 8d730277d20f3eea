// How an upgrade run looks on the command line. On a terminal, a line per card with its own bar,
// redrawn in place, and the overall bar below; otherwise a plain line whenever a card's status
// changes, which suits logs.
#pragma once

#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "base/Timing.h"
#include "flows/UpgradeRun.h"

namespace quillon::cli {

class ProgressView : public UpgradeView {
 public:
  ProgressView(std::ostream& out, std::mutex& terminal, bool live)
      : out_(out), terminal_(terminal), live_(live) {}

  void SetBusy(bool) override {}
  void SetRowText(const std::string& key, const std::string& text) override;
  void SetStatusLine(const std::string& text) override;
  void SetProgress(int percent) override;
  void SetCardProgress(const std::string& key, int percent) override;
  void ShowResults(const std::vector<std::pair<std::string, bool>>& results) override;

  // Something else was written to the terminal: draw the next block below it. Called with the
  // terminal held.
  void Interrupted() { lines_drawn_ = 0; }

  // Every card's result, over all runs, in the order the runs reported them.
  const std::vector<std::pair<std::string, bool>>& Results() const { return results_; }

 private:
  struct Row {
    std::string key;
    std::string text;
    int percent = 0;
  };

  Row& RowOf(const std::string& key);
  void Redraw(bool now);

  std::ostream& out_;
  std::mutex& terminal_;
  const bool live_;
  std::vector<Row> rows_;
  std::string status_line_;
  int overall_ = 0;
  std::size_t lines_drawn_ = 0;
  Clock::time_point last_drawn_{};
  std::vector<std::pair<std::string, bool>> results_;
};

}  // namespace quillon::cli
