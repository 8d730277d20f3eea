// The Settings command and the hidden commands on one card. (Being built.)
#include "ui/main/Commands.h"

namespace quillon {

void RunSettingsCommand(KestrelDlg&, int, const CommandServices&) {}
void RunIpSettingsCommand(KestrelDlg&, int, const CommandServices&) {}
void RunSetPasswordCommand(KestrelDlg&, int, const CommandServices&) {}
void RunSerialNumberCommand(KestrelDlg&, int, const CommandServices&) {}

}  // namespace quillon
