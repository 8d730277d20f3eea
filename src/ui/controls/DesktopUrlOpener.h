// Opens addresses the way the desktop would: through its URL handler (QDesktopServices), and
// when that fails, or the address is no URL Qt accepts (an IPv6 address without brackets), with
// the system opener. May be called from any thread: the desktop's handler is always asked on the
// windows' thread, and a caller on another thread waits for it there (the windows' thread must be
// running its event loop then, as it does while a command's busy work runs).
//
// The desktop's handler only says whether it opened the address (33 when it did); its failures
// have no code, so the code is the system opener's (see SystemUrlOpener.h).
#pragma once

#include <memory>

#include "flows/UrlOpener.h"

namespace quillon {

class DesktopUrlOpener : public UrlOpener {
 public:
  // Without a fallback, the system opener reading BROWSER.
  explicit DesktopUrlOpener(std::unique_ptr<UrlOpener> fallback = nullptr);
  ~DesktopUrlOpener() override;

  int Open(const std::string& address) override;

 private:
  std::unique_ptr<UrlOpener> fallback_;
};

}  // namespace quillon
