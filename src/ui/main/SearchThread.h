// The search thread: runs one device search at a time away from the window, and hands the
// result over when it ends. Closing the program cancels it at its next check point.
#pragma once

#include <functional>
#include <stop_token>
#include <thread>

#include "flows/DeviceSearch.h"
#include "flows/Session.h"

namespace quillon {

class SearchThread {
 public:
  // Runs on the search thread; it must pass the result to the window's thread itself.
  using Finished = std::function<void(SearchResult result)>;

  explicit SearchThread(Session& session) : search_(session) {}
  // Cancels a running search and waits for it to reach its next check point.
  ~SearchThread();
  SearchThread(const SearchThread&) = delete;
  SearchThread& operator=(const SearchThread&) = delete;

  // Starts a search. The caller starts one only after the previous one has reported.
  void Start(Finished finished);
  // Cancels the search; it stays cancelled, as the program is closing.
  void Cancel() { cancel_.request_stop(); }

  // Keeps the passwords the cards accepted for the next search.
  DeviceSearch& Search() { return search_; }

 private:
  DeviceSearch search_;
  std::stop_source cancel_;  // CancelSearchEvent
  std::thread thread_;
};

}  // namespace quillon
