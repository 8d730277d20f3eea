// What a search shows on standard error while a person watches a terminal: the adapters being
// searched and how many cards have answered so far, on one line redrawn in place and cleared when
// the search ends.
#pragma once

#include <mutex>
#include <ostream>
#include <string>

#include "flows/DeviceSearch.h"

namespace quillon::cli {

class SearchProgress {
 public:
  // Shows nothing unless `shown`.
  SearchProgress(std::ostream& err, bool shown) : err_(err), shown_(shown) {}
  ~SearchProgress() { Clear(); }
  SearchProgress(const SearchProgress&) = delete;
  SearchProgress& operator=(const SearchProgress&) = delete;

  // The events to give the search.
  SearchEvents Events();
  // Removes the line.
  void Clear();

 private:
  void Draw();

  std::ostream& err_;
  const bool shown_;
  std::mutex mutex_;
  std::string adapters_;
  int answered_ = 0;
  bool drawn_ = false;
};

}  // namespace quillon::cli
