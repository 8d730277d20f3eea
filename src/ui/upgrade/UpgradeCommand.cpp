// The Upgrade command: the "Firmware Upgrade" dialog for the selected cards. (Being built.)
#include "ui/main/Commands.h"

namespace quillon {

void RunUpgradeCommand(KestrelDlg&, const QList<int>&, const CommandServices&) {}

}  // namespace quillon
