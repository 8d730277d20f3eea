// The Launch command: each selected card's web interface. (Being built.)
#include "ui/main/Commands.h"

namespace quillon {

void RunLaunchCommand(KestrelDlg&, const QList<int>&, const CommandServices&) {}

}  // namespace quillon
