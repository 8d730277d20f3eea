#include "ui/main/BusyWork.h"

#include <QApplication>
#include <QEventLoop>
#include <exception>
#include <thread>

namespace quillon {

void RunBusyWork(const std::function<void()>& work) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QEventLoop loop;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  // Paints, runs the timers and shows the work's questions; what the person types or clicks
  // waits until the work is done.
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  QApplication::restoreOverrideCursor();
  if (failure) std::rethrow_exception(failure);
}

WaitCursorLifted::WaitCursorLifted() {
  while (QApplication::overrideCursor()) {
    QApplication::restoreOverrideCursor();
    ++lifted_;
  }
}

WaitCursorLifted::~WaitCursorLifted() {
  for (int i = 0; i < lifted_; ++i) QApplication::setOverrideCursor(Qt::WaitCursor);
}

}  // namespace quillon
