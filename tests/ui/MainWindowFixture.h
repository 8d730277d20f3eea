// The main window on a simulated segment, its commands tied to a prompter and a recording opener,
// for tests that run the commands the way a person would: select rows, press a button. Opened
// without a prompter, the window runs no command: its requests are left to the test to watch.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "flows/Prompter.h"
#include "sim/DemoFleet.h"
#include "sim/SimulatedSegment.h"
#include "support/RecordingOpener.h"
#include "ui/controls/EditCl.h"
#include "ui/controls/HoverButtonCl.h"
#include "ui/controls/ListCtrlCl.h"
#include "ui/main/Commands.h"
#include "ui/main/KestrelDlg.h"

namespace quillon::testing {

class MainWindowFixture : public ::testing::Test {
 public:
  static constexpr std::uint32_t kSerial = 1358954496;  // 02-4B-51-00-00-00
  static constexpr int kWaitMs = 15000;

 protected:
  // Adapters "sim0", "sim1", ... up to `adapters`; a test that brings its own asks for none.
  explicit MainWindowFixture(int adapters = 2) {
    for (int i = 0; i < adapters; ++i) {
      segment.AddAdapter("sim" + std::to_string(i), "Simulated adapter " + std::to_string(i));
    }
  }

  ~MainWindowFixture() override {
    window.reset();  // waits for a running search before the session goes
    session.reset();
  }

  std::shared_ptr<sim::SimulatedCard> AddCard(const sim::CardBuilder& builder, int adapter = 0) {
    return segment.AddCard(adapter, builder.Build());
  }

  // Opens the window, with its commands asking `prompter` when there is one; its first search
  // starts by itself.
  void Open(Prompter* prompter = nullptr) {
    session = std::make_unique<Session>(segment, timing, [](const std::string&) {});
    window = std::make_unique<KestrelDlg>(*session);
    if (prompter) ConnectCommands(*window, {*prompter, opener});
    finished = std::make_unique<QSignalSpy>(window.get(), &KestrelDlg::SearchFinished);
    window->show();
  }

  // Opens the window and waits for its first search.
  void OpenAndSearch(Prompter& prompter) {
    Open(&prompter);
    ASSERT_TRUE(WaitForSearches(1));
  }
  void OpenAndSearch() {
    Open();
    ASSERT_TRUE(WaitForSearches(1));
  }

  // At least `count` searches have finished since the window opened.
  bool WaitForSearches(int count) {
    return QTest::qWaitFor([&] { return finished->size() >= count; }, kWaitMs);
  }

  ListCtrlCl* list() { return window->findChild<ListCtrlCl*>(QStringLiteral("deviceList")); }
  QTimer* RefreshTimer() { return window->findChild<QTimer*>(QStringLiteral("refreshTimer")); }
  QString InfoBox() { return window->findChild<EditCl*>(QStringLiteral("deviceInfoBox"))->Text(); }
  QString CountBox() {
    return window->findChild<EditCl*>(QStringLiteral("selectionCountBox"))->Text();
  }

  QPoint RowCentre(int row) { return list()->visualItemRect(list()->topLevelItem(row)).center(); }
  void ClickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
    list()->scrollToItem(list()->topLevelItem(row));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers, RowCentre(row));
  }

  // Exactly these rows (in list order, sorted by serial number) are selected.
  void SelectRows(std::initializer_list<int> rows) {
    for (int row = 0; row < list()->RowCount(); ++row) list()->SelectRow(row, false);
    for (const int row : rows) list()->SelectRow(row, true);
  }

  HoverButtonCl* Button(const char* name) {
    return window->findChild<HoverButtonCl*>(QString::fromLatin1(name));
  }
  void Press(const char* button) { QTest::mouseClick(Button(button), Qt::LeftButton); }

  // Runs `inspect` on the modal window that `start` opens, once it is up; `inspect` closes it.
  // False when no modal window came.
  static bool WithModal(const std::function<void()>& start,
                        const std::function<void(QWidget&)>& inspect) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      seen = modal != nullptr;
      if (modal) inspect(*modal);
    });
    start();
    return seen;
  }

  Timing timing = Timing::Shortened();
  sim::SimulatedSegment segment;
  std::unique_ptr<Session> session;
  std::unique_ptr<KestrelDlg> window;
  std::unique_ptr<QSignalSpy> finished;  // the window's SearchFinished
  std::shared_ptr<RecordingOpener> opener = std::make_shared<RecordingOpener>();
};

}  // namespace quillon::testing
