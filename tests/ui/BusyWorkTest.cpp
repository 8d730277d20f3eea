// Busy work and the prompter that shows its questions on the window's thread.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>

#include "ui/main/BusyWork.h"
#include "ui/main/DialogPrompter.h"

namespace quillon {
namespace {

TEST(BusyWorkTest, WorkRunsAwayFromTheWindowWithTheWaitCursor) {
  std::atomic<bool> waited{false};
  std::atomic<bool> on_window_thread{true};
  QTimer painter;  // the window's thread keeps running its timers meanwhile
  int ticks = 0;
  QObject::connect(&painter, &QTimer::timeout, [&] { ++ticks; });
  painter.start(5);
  const int result = RunBusy([&] {
    on_window_thread = QThread::currentThread() == qApp->thread();
    waited =
        QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    QThread::msleep(80);
    return 42;
  });
  EXPECT_EQ(result, 42);
  EXPECT_FALSE(on_window_thread);
  EXPECT_TRUE(waited);
  EXPECT_GT(ticks, 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_THROW(RunBusy([]() -> int { throw std::runtime_error("no"); }), std::runtime_error);
}

TEST(BusyWorkTest, AQuestionOfTheWorkIsShownOnTheWindowsThreadWithoutTheWaitCursor) {
  DialogPrompter prompter;
  bool shown_on_window_thread = false;
  bool cursor_lifted = false;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    shown_on_window_thread = box->thread() == qApp->thread();
    cursor_lifted = QApplication::overrideCursor() == nullptr;
    EXPECT_EQ(box->text(), QStringLiteral("IP address: 10.0.0.5 already exists"));
    box->button(QMessageBox::Yes)->click();
  });
  answer.start(10);
  const bool yes =
      RunBusy([&] { return prompter.AskYesNo("IP address: 10.0.0.5 already exists"); });
  EXPECT_TRUE(yes);
  EXPECT_TRUE(shown_on_window_thread);
  EXPECT_TRUE(cursor_lifted);
}

}  // namespace
}  // namespace quillon
