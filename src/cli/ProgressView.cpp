#include "cli/ProgressView.h"

#include <algorithm>

#include "flows/UpgradeTexts.h"

namespace quillon::cli {

namespace {

constexpr Millis kRedrawEvery{100};
constexpr int kBarWidth = 24;

std::string Bar(int percent) {
  const int filled = std::clamp(percent, 0, 100) * kBarWidth / 100;
  return "[" + std::string(static_cast<std::size_t>(filled), '#') +
         std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "]";
}

std::string Percent(int percent) {
  const std::string text = std::to_string(std::clamp(percent, 0, 100)) + "%";
  return std::string(4 - std::min<std::size_t>(4, text.size()), ' ') + text;
}

}  // namespace

ProgressView::Row& ProgressView::RowOf(const std::string& key) {
  const auto row =
      std::find_if(rows_.begin(), rows_.end(), [&](const Row& r) { return r.key == key; });
  if (row != rows_.end()) return *row;
  rows_.push_back({key, "", 0});
  return rows_.back();
}

void ProgressView::PauseDrawing() {
  std::lock_guard lock(mutex_);
  paused_ = true;
  lines_drawn_ = 0;  // the question goes below what is drawn
}

void ProgressView::ResumeDrawing() {
  std::lock_guard lock(mutex_);
  paused_ = false;
  if (live_) Redraw(true);
}

void ProgressView::SetRowText(const std::string& key, const std::string& text) {
  std::lock_guard lock(mutex_);
  Row& row = RowOf(key);
  const bool changed = row.text != text;
  row.text = text;
  if (!live_) {
    if (changed && !text.empty()) out_ << key << ": " << text << std::endl;
    return;
  }
  Redraw(changed);
}

void ProgressView::SetStatusLine(const std::string& text) {
  std::lock_guard lock(mutex_);
  const bool changed = status_line_ != text;
  status_line_ = text;
  if (live_) Redraw(changed);
}

void ProgressView::SetProgress(int percent) {
  std::lock_guard lock(mutex_);
  overall_ = percent;
  if (live_) Redraw(false);
}

void ProgressView::SetCardProgress(const std::string& key, int percent) {
  std::lock_guard lock(mutex_);
  RowOf(key).percent = percent;
  if (live_) Redraw(false);
}

void ProgressView::ShowResults(const std::vector<std::pair<std::string, bool>>& results) {
  std::lock_guard lock(mutex_);
  if (live_) Redraw(true);
  for (const auto& result : results) {
    const auto known = std::find_if(results_.begin(), results_.end(),
                                    [&](const auto& r) { return r.first == result.first; });
    if (known == results_.end()) {
      results_.push_back(result);
    } else {
      known->second = result.second;
    }
  }
}

// Moves up over the block drawn last and draws it again; at most every 100 ms unless `now`.
void ProgressView::Redraw(bool now) {
  if (paused_) return;
  const Clock::time_point time = Clock::now();
  if (!now && lines_drawn_ > 0 && time - last_drawn_ < kRedrawEvery) return;
  last_drawn_ = time;
  if (lines_drawn_ > 0) out_ << "\x1b[" << lines_drawn_ << "A";
  for (const Row& row : rows_) {
    out_ << "\r\x1b[2K" << row.key << "  " << Bar(row.percent) << Percent(row.percent) << "  "
         << row.text << '\n';
  }
  out_ << "\r\x1b[2K"
       << "overall     " << Bar(overall_) << Percent(overall_) << "  " << status_line_ << '\n'
       << std::flush;
  lines_drawn_ = rows_.size() + 1;
}

}  // namespace quillon::cli
