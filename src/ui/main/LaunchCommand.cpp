// The Launch command (the button, the menu and a double-click on the list): each selected card's
// web interface in the browser, or the address chooser for the first card that has IPv6
// addresses. The cards are asked on a worker thread while the window shows the wait cursor.
#include "flows/WebLaunch.h"
#include "ui/controls/DesktopUrlOpener.h"
#include "ui/main/BusyWork.h"
#include "ui/main/Commands.h"
#include "ui/main/KestrelDlg.h"
#include "ui/main/LaunchAddressDlg.h"

namespace quillon {

void RunLaunchCommand(KestrelDlg& window, const QList<int>& devices,
                      const CommandServices& services) {
  if (window.SearchBusy() || devices.isEmpty()) return;
  std::vector<LaunchTarget> cards;
  for (const int device : devices) {
    if (device < 0 || device >= window.Tables().Count()) continue;
    const FoundDevice& found = window.Tables().Device(device);
    cards.push_back({found.record, found.details});
  }
  const std::shared_ptr<UrlOpener> opener =
      services.opener ? services.opener : std::make_shared<DesktopUrlOpener>();

  // No refresh may start a search while the cards are asked.
  window.StopRefreshTimer();
  const LaunchReport report =
      RunBusy([&] { return WebLaunch(window.session(), *opener).Run(cards); });
  if (report.chooser) {
    // Owned by the main window (it goes with it), deleted when closed; shown centred over it.
    auto* chooser =
        new LaunchAddressDlg(QString::fromStdString(report.chooser->ipv4),
                             QString::fromStdString(report.chooser->ipv6_first),
                             QString::fromStdString(report.chooser->ipv6_second), opener, &window);
    chooser->show();
    chooser->activateWindow();
  }
  window.RestartRefreshTimer(window.session().timing().refresh_after_command);
}

}  // namespace quillon
