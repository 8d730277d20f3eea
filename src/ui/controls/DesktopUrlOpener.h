// Opens addresses the way the desktop would: through its URL handler (QDesktopServices), and
// when that fails, or the address is no URL Qt accepts (an IPv6 address without brackets), with
// the system opener. Called on the thread of the windows.
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
