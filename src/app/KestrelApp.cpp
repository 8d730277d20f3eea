#include "app/KestrelApp.h"

#include <QApplication>
#include <QIcon>
#include <cstdlib>
#include <iostream>

#include "app/SingleInstanceLock.h"
#include "app/StartupNotice.h"
#include "flows/Session.h"
#include "ui/controls/DesktopUrlOpener.h"
#include "ui/main/Commands.h"
#include "ui/main/DialogPrompter.h"
#include "ui/main/KestrelDlg.h"
#include "ui/main/StringTable.h"

namespace quillon {

int RunKestrelApp(int& argc, char** argv, const ProgramInfo& program,
                  const DriverFactory& make_driver, const Timing& timing) {
  if (const std::optional<int> status = AnswerInfoOption(argc, argv, program, std::cout)) {
    return *status;
  }
  // A second copy ends before it shows anything; the running one is not touched.
  // NOLINTNEXTLINE(concurrency-mt-unsafe): read before any thread of the program starts.
  const SingleInstanceLock lock(LockDirectory(std::getenv("XDG_RUNTIME_DIR")));
  if (!lock.Acquired()) return 0;

  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(strings::kTitle));
  QApplication::setDesktopFileName(QString::fromLatin1(program.desktop_file));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quillon.svg")));

  std::unique_ptr<PacketDriver> driver = make_driver();
  DialogPrompter prompter;
  if (const std::optional<std::string> notice = StartupNotice(driver.get())) {
    prompter.ShowMessage(*notice);
  }
  if (!driver) driver = std::make_unique<NoAdapterDriver>();

  // Destroyed in reverse: the window (waiting for its search), the session (closing the link),
  // then the driver.
  Session session(*driver, timing);
  KestrelDlg window(session);
  DialogPrompter questions(&window);
  ConnectCommands(window, {questions, std::make_shared<DesktopUrlOpener>()});
  window.exec();
  return 0;
}

}  // namespace quillon
