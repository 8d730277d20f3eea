// The Upgrade command: the "Firmware Upgrade" dialog for the selected cards, modal over the main
// window. No refresh runs while it is open; the list refreshes soon after it closes.
#include <QWidget>

#include "ui/main/Commands.h"
#include "ui/main/KestrelDlg.h"
#include "ui/upgrade/UpgradeDlg.h"

namespace quillon {

void RunUpgradeCommand(KestrelDlg& window, const QList<int>& devices,
                       const CommandServices& services) {
  if (window.SearchBusy() || devices.isEmpty()) return;
  window.StopRefreshTimer();
  // In the order of the list; each card is reached on the adapter it answered on.
  std::vector<DeviceRecord> cards;
  for (const int device : devices) {
    if (device >= 0 && device < window.Tables().Count()) {
      cards.push_back(window.Tables().Device(device).record);
    }
  }
  {
    UpgradeDlg dialog(window.session(), services.prompter, std::move(cards), &window);
    DeviceSearch& search = window.Search();
    // Carried over to the cards' records by the next search.
    dialog.SetPasswordAccepted([&search](const MacAddress& card, const std::string& password) {
      search.Remember(card, password);
    });
    dialog.exec();
  }
  if (auto* list = window.findChild<QWidget*>(QStringLiteral("deviceList"))) list->setFocus();
  window.RestartRefreshTimer(window.session().timing().refresh_after_command);
}

}  // namespace quillon
