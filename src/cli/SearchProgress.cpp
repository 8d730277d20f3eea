#include "cli/SearchProgress.h"

namespace quillon::cli {

SearchEvents SearchProgress::Events() {
  SearchEvents events;
  if (!shown_) return events;
  events.searching = [this](const std::vector<AdapterInfo>& adapters) {
    std::lock_guard lock(mutex_);
    adapters_.clear();
    for (const AdapterInfo& adapter : adapters) {
      adapters_ += (adapters_.empty() ? "" : ", ") + adapter.driver_name;
    }
    Draw();
  };
  events.answered = [this](int cards) {
    std::lock_guard lock(mutex_);
    answered_ = cards;
    Draw();
  };
  return events;
}

void SearchProgress::Draw() {
  err_ << "\r\x1b[2KSearching " << (adapters_.empty() ? "no adapter" : adapters_) << ": "
       << answered_ << (answered_ == 1 ? " card" : " cards") << " answered" << std::flush;
  drawn_ = true;
}

void SearchProgress::Clear() {
  std::lock_guard lock(mutex_);
  if (!drawn_) return;
  err_ << "\r\x1b[2K" << std::flush;
  drawn_ = false;
}

}  // namespace quillon::cli
