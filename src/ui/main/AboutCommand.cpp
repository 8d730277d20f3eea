// The About command: the About box, modal; the window gives the list the focus afterwards.
#include "ui/main/AboutDlg.h"
#include "ui/main/Commands.h"
#include "ui/main/KestrelDlg.h"

namespace quillon {

void RunAboutCommand(KestrelDlg& window, const CommandServices& services) {
  AboutDlg about(services.opener, &window);
  about.exec();
}

}  // namespace quillon
