#include "ui/main/SearchThread.h"

namespace quillon {

SearchThread::~SearchThread() {
  Cancel();
  if (thread_.joinable()) thread_.join();
}

void SearchThread::Start(Finished finished) {
  if (thread_.joinable()) thread_.join();  // has reported already, so ends at once
  thread_ = std::thread(
      [this, finished = std::move(finished)] { finished(search_.Run(cancel_.get_token())); });
}

}  // namespace quillon
