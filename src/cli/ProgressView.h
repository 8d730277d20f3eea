// How an upgrade run looks on the command line. On a terminal, a line per card with its own bar,
// redrawn in place, and the overall bar below; otherwise a plain line whenever a card's status
// changes, which suits logs. While a question is open on the terminal the lines keep up with the
// run but are not drawn, so that nothing overwrites the person's answer and no card waits for it.
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
  ProgressView(std::ostream& out, bool live) : out_(out), live_(live) {}

  void SetBusy(bool) override {}
  void SetRowText(const std::string& key, const std::string& text) override;
  void SetStatusLine(const std::string& text) override;
  void SetProgress(int percent) override;
  void SetCardProgress(const std::string& key, int percent) override;
  void ShowResults(const std::vector<std::pair<std::string, bool>>& results) override;

  // A question is about to be asked below the lines: stop drawing until it has been answered.
  void PauseDrawing();
  // The question is answered: draw the lines again, below it.
  void ResumeDrawing();

  // Every card's result, over all runs, in the order the runs reported them. Once the run ends.
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
  const bool live_;
  std::mutex mutex_;
  bool paused_ = false;
  std::vector<Row> rows_;
  std::string status_line_;
  int overall_ = 0;
  std::size_t lines_drawn_ = 0;
  Clock::time_point last_drawn_{};
  std::vector<std::pair<std::string, bool>> results_;
};

}  // namespace quillon::cli
