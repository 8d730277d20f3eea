// A command's transactions away from the window: the work runs on a thread of its own while the
// window shows the wait cursor and takes no input, but keeps painting, so that a card that answers
// slowly never freezes it. Questions the work asks through a DialogPrompter are shown meanwhile.
#pragma once

#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

namespace quillon {

// Runs `work` and returns once it is done; rethrows what it threw. On the window's thread.
void RunBusyWork(const std::function<void()>& work);

template <typename Work>
auto RunBusy(Work&& work) -> std::invoke_result_t<Work> {
  using Result = std::invoke_result_t<Work>;
  if constexpr (std::is_void_v<Result>) {
    RunBusyWork(std::forward<Work>(work));
  } else {
    std::optional<Result> result;
    RunBusyWork([&] { result.emplace(work()); });
    return std::move(*result);
  }
}

// Takes the wait cursor away while it lives (for a question shown during busy work) and puts it
// back afterwards.
class WaitCursorLifted {
 public:
  WaitCursorLifted();
  ~WaitCursorLifted();
  WaitCursorLifted(const WaitCursorLifted&) = delete;
  WaitCursorLifted& operator=(const WaitCursorLifted&) = delete;

 private:
  int lifted_ = 0;
};

}  // namespace quillon
