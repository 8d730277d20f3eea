// The main window on a simulated segment with the shortened timing profile, driven through its
// controls by object name.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

#include "MainWindowFixture.h"
#include "flows/DeviceInfo.h"
#include "protocol/FrameFormat.h"
#include "sim/DemoFleet.h"
#include "sim/SimulatedSegment.h"
#include "ui/controls/HoverButtonCl.h"
#include "ui/controls/ListCtrlCl.h"
#include "ui/main/ClosingBox.h"
#include "ui/main/KestrelDlg.h"

namespace quillon {
namespace {

using sim::CardBuilder;

QString Key(std::uint32_t serial) {
  return QString::number(serial);
}

// The window alone: its command requests are watched, not run.
class KestrelDlgTest : public testing::MainWindowFixture {
 protected:
  void StartSearchAndWaitUntilBusy() {
    QTest::keyClick(list(), Qt::Key_F5);
    ASSERT_TRUE(window->SearchBusy());
  }

  QStringList Keys() {
    QStringList keys;
    for (int row = 0; row < list()->RowCount(); ++row) keys << list()->ItemText(row, 0);
    return keys;
  }
  // Ctrl+Space: the current row's selection toggles (a click on the last selected row would only
  // select it again). Ctrl+Up moves the current row without selecting.
  void ToggleCurrentRow() { QTest::keyClick(list(), Qt::Key_Space, Qt::ControlModifier); }
  void CurrentRowUp() { QTest::keyClick(list(), Qt::Key_Up, Qt::ControlModifier); }
  QString ExpectedInfo(int row) {
    const int device = window->Tables().IndexOfRowKey(list()->ItemText(row, 0).toStdString());
    QString text = QString::fromStdString(DeviceInfoText(window->Tables().Device(device)));
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  }

  // Right-clicks `row` (or the empty part of the list when -1) and hands the menu to `inspect`,
  // which closes it or triggers one of its actions.
  void RightClick(int row, const std::function<void(QMenu&)>& inspect) {
    const QPoint pos = row >= 0 ? RowCentre(row) : QPoint(20, list()->viewport()->height() - 5);
    QTest::mousePress(list()->viewport(), Qt::RightButton, {}, pos);
    QTest::mouseRelease(list()->viewport(), Qt::RightButton, {}, pos);
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      menu_seen = menu != nullptr;
      if (menu) inspect(*menu);
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, list()->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(list()->viewport(), &event);
  }

  static std::map<QString, bool> EnabledItems(QMenu& menu) {
    std::map<QString, bool> enabled;
    for (QAction* action : menu.actions()) {
      if (!action->isSeparator()) enabled[action->text()] = action->isEnabled();
    }
    return enabled;
  }

  bool menu_seen = false;
};

// ---- Search

TEST_F(KestrelDlgTest, FirstSearchListsEveryAdapterBySerialAndSelectsTheFirstRow) {
  AddCard(CardBuilder(kSerial + 2).Static(0x0A000002, 0xFFFFFF00, 0x0A000001));
  AddCard(CardBuilder(kSerial + 0), /*adapter=*/1);
  AddCard(CardBuilder(kSerial + 1));
  OpenAndSearch();

  EXPECT_EQ(Keys(), (QStringList{Key(kSerial), Key(kSerial + 1), Key(kSerial + 2)}));
  EXPECT_EQ(list()->ItemText(2, 1), QStringLiteral("02-4B-51-00-00-02"));
  EXPECT_EQ(list()->ItemText(2, 2), QStringLiteral("10.0.0.2"));
  EXPECT_EQ(list()->SelectedRows(), std::vector<int>{0});
  EXPECT_EQ(CountBox(), QStringLiteral("Select 1 of 3"));
  EXPECT_EQ(InfoBox(), ExpectedInfo(0));
  EXPECT_TRUE(InfoBox().startsWith("Hardware Version: QN-9100 rev B\nFirmware Version: "));
  EXPECT_TRUE(Button("refreshButton")->isEnabled());
  EXPECT_TRUE(RefreshTimer()->isActive());
  EXPECT_EQ(RefreshTimer()->intervalAsDuration(), timing.refresh_interval);
}

TEST_F(KestrelDlgTest, NoCardsMeansNoDeviceFoundAndAnEmptyCount) {
  OpenAndSearch();
  EXPECT_EQ(list()->RowCount(), 0);
  EXPECT_EQ(InfoBox(), QStringLiteral("No device found"));
  EXPECT_EQ(CountBox(), QString());
}

TEST_F(KestrelDlgTest, InformationOfAnIpv6CardShowsItsAddresses) {
  AddCard(CardBuilder(kSerial + 7).Level(33).Ipv6(4, "2001:db8::7", "", 64, "fe80::7"));
  OpenAndSearch();
  EXPECT_TRUE(InfoBox().endsWith("\nLocalLink Addr:fe80::7\nIPv6 Addr:2001:db8::7"))
      << InfoBox().toStdString();
}

TEST_F(KestrelDlgTest, WhileSearchingCommandsAreRefusedAndSelectionIsOnlyCounted) {
  for (std::uint32_t i = 0; i < 3; ++i) AddCard(CardBuilder(kSerial + i));
  OpenAndSearch();
  QSignalSpy launches(window.get(), &KestrelDlg::LaunchRequested);
  QSignalSpy settings(window.get(), &KestrelDlg::SettingsRequested);

  StartSearchAndWaitUntilBusy();
  // Nothing below spins the event loop, so the search cannot report in between.
  EXPECT_EQ(InfoBox(), QStringLiteral("Searching device..."));
  EXPECT_EQ(CountBox(), QString());
  for (const char* name : {"launchButton", "settingsButton", "upgradeButton", "refreshButton"}) {
    EXPECT_FALSE(Button(name)->isEnabled()) << name;
  }
  EXPECT_TRUE(Button("aboutButton")->isEnabled());
  EXPECT_FALSE(RefreshTimer()->isActive());

  ClickRow(1);
  EXPECT_EQ(CountBox(), QStringLiteral("Select 1 item"));
  EXPECT_EQ(InfoBox(), QStringLiteral("Searching device..."));
  ClickRow(2, Qt::ControlModifier);
  EXPECT_EQ(CountBox(), QStringLiteral("Select 2 items"));

  QTest::keyClick(list(), Qt::Key_Return);
  QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, RowCentre(1));
  RightClick(1, [](QMenu& menu) { menu.close(); });
  EXPECT_FALSE(menu_seen);
  window->RunCommand(CommandId::kLaunch);

  ASSERT_TRUE(WaitForSearches(2));
  EXPECT_EQ(launches.size(), 0);
  EXPECT_EQ(settings.size(), 0);
  EXPECT_FALSE(window->SearchBusy());
}

TEST_F(KestrelDlgTest, RefreshSelectsTheRememberedCardWhereverSortingPutsIt) {
  AddCard(CardBuilder(kSerial + 10));
  AddCard(CardBuilder(kSerial + 20));
  AddCard(CardBuilder(kSerial + 30), /*adapter=*/1);
  OpenAndSearch();
  ClickRow(1);
  ASSERT_EQ(list()->ItemText(1, 0), Key(kSerial + 20));

  AddCard(CardBuilder(kSerial + 5), /*adapter=*/1);
  QTest::keyClick(list(), Qt::Key_F5);
  ASSERT_TRUE(WaitForSearches(2));

  EXPECT_EQ(list()->SelectedRows(), std::vector<int>{2});
  EXPECT_EQ(list()->ItemText(2, 0), Key(kSerial + 20));
  EXPECT_EQ(CountBox(), QStringLiteral("Select 1 of 4"));
  EXPECT_EQ(InfoBox(), ExpectedInfo(2));
  EXPECT_EQ(window->SelectedDevice(),
            window->Tables().IndexOfRowKey(Key(kSerial + 20).toStdString()));
}

TEST_F(KestrelDlgTest, RefreshSelectsTheFirstRowWhenTheRememberedCardIsGone) {
  AddCard(CardBuilder(kSerial + 10));
  auto leaving = AddCard(CardBuilder(kSerial + 20));
  OpenAndSearch();
  ClickRow(1);

  sim::CardFaults silent;
  silent.silent = true;
  leaving->SetFaults(silent);
  QTest::keyClick(list(), Qt::Key_F5);
  ASSERT_TRUE(WaitForSearches(2));
  EXPECT_EQ(Keys(), QStringList{Key(kSerial + 10)});
  EXPECT_EQ(list()->SelectedRows(), std::vector<int>{0});
}

// ---- Selection

TEST_F(KestrelDlgTest, DeselectingEverythingCountsZeroAndClickingTheEmptyPartSelectsAll) {
  AddCard(CardBuilder(kSerial + 1));
  AddCard(CardBuilder(kSerial + 2));
  OpenAndSearch();

  ClickRow(0, Qt::ControlModifier);
  EXPECT_EQ(list()->SelectedRows(), std::vector<int>{0}) << "the only selected row stays";
  ToggleCurrentRow();
  EXPECT_TRUE(list()->SelectedRows().empty());
  EXPECT_EQ(CountBox(), QStringLiteral("Select 0 of 2"));
  EXPECT_EQ(InfoBox(), QString());

  QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                    QPoint(20, list()->viewport()->height() - 5));
  EXPECT_EQ(list()->SelectedRows(), (std::vector<int>{0, 1}));
  EXPECT_EQ(CountBox(), QStringLiteral("Select 2 of 2"));
  EXPECT_EQ(InfoBox(), QString());
}

TEST_F(KestrelDlgTest, SelectedDevicesAreTableIndexesInListOrder) {
  AddCard(CardBuilder(kSerial + 3));  // found first: table index 0
  AddCard(CardBuilder(kSerial + 1), /*adapter=*/1);
  OpenAndSearch();
  ClickRow(1, Qt::ControlModifier);

  EXPECT_EQ(window->SelectedDeviceAt(0), 1);
  EXPECT_EQ(window->SelectedMac(), sim::MakerAddress(kSerial + 1));
  EXPECT_EQ(window->SelectedDeviceAt(1), 0);
  EXPECT_EQ(window->SelectedMac(), sim::MakerAddress(kSerial + 3));
  EXPECT_EQ(window->SelectedDeviceAt(2), -1);
  EXPECT_EQ(CountBox(), QStringLiteral("Select 2 of 2"));

  QSignalSpy launches(window.get(), &KestrelDlg::LaunchRequested);
  QSignalSpy upgrades(window.get(), &KestrelDlg::UpgradeRequested);
  QTest::mouseClick(Button("launchButton"), Qt::LeftButton);
  QTest::mouseClick(Button("upgradeButton"), Qt::LeftButton);
  ASSERT_EQ(launches.size(), 1);
  EXPECT_EQ(launches[0][0].value<QList<int>>(), (QList<int>{1, 0}));
  ASSERT_EQ(upgrades.size(), 1);
  EXPECT_EQ(upgrades[0][0].value<QList<int>>(), (QList<int>{1, 0}));
}

TEST_F(KestrelDlgTest, EnterOpensSettingsOnlyForExactlyOneRow) {
  AddCard(CardBuilder(kSerial + 1));
  AddCard(CardBuilder(kSerial + 2));
  OpenAndSearch();
  QSignalSpy settings(window.get(), &KestrelDlg::SettingsRequested);

  QTest::keyClick(list(), Qt::Key_Return);
  ASSERT_EQ(settings.size(), 1);
  EXPECT_EQ(settings[0][0].toInt(), window->Tables().IndexOfRowKey(Key(kSerial + 1).toStdString()));

  ClickRow(1, Qt::ControlModifier);
  QTest::keyClick(list(), Qt::Key_Return);
  ToggleCurrentRow();
  CurrentRowUp();
  ToggleCurrentRow();
  ASSERT_TRUE(list()->SelectedRows().empty());
  QTest::keyClick(list(), Qt::Key_Enter);
  EXPECT_EQ(settings.size(), 1);
}

TEST_F(KestrelDlgTest, DoubleClickLaunches) {
  AddCard(CardBuilder(kSerial + 1));
  OpenAndSearch();
  QSignalSpy launches(window.get(), &KestrelDlg::LaunchRequested);
  QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, RowCentre(0));
  EXPECT_EQ(launches.size(), 1);
}

// ---- Right-click menu

TEST_F(KestrelDlgTest, MenuGraysWhatTheSelectionDoesNotAllow) {
  AddCard(CardBuilder(kSerial + 1));
  AddCard(CardBuilder(kSerial + 2));
  OpenAndSearch();

  std::map<QString, bool> one;
  RightClick(0, [&](QMenu& menu) {
    one = EnabledItems(menu);
    menu.close();
  });
  ASSERT_TRUE(menu_seen);
  EXPECT_EQ(one, (std::map<QString, bool>{{"&Launch Device...", true},
                                          {"&Settings...", true},
                                          {"Upgrade &Firmware...", true},
                                          {"&Refresh List\tF5", true},
                                          {"&About", true}}));

  ClickRow(1, Qt::ControlModifier);
  std::map<QString, bool> two;
  RightClick(1, [&](QMenu& menu) {
    two = EnabledItems(menu);
    menu.close();
  });
  EXPECT_FALSE(two["&Settings..."]);
  EXPECT_TRUE(two["&Launch Device..."]);
  EXPECT_TRUE(two["Upgrade &Firmware..."]);
}

TEST_F(KestrelDlgTest, MenuWithNothingSelectedGraysTheDeviceCommandsAndReselectsTheCurrentRow) {
  for (std::uint32_t i = 1; i <= 3; ++i) AddCard(CardBuilder(kSerial + i));
  OpenAndSearch();
  RightClick(1, [](QMenu& menu) { menu.close(); });  // row 1 becomes the current row
  ToggleCurrentRow();
  ASSERT_TRUE(list()->SelectedRows().empty());

  std::map<QString, bool> none;
  RightClick(-1, [&](QMenu& menu) {
    none = EnabledItems(menu);
    menu.close();
  });
  EXPECT_FALSE(none["&Launch Device..."]);
  EXPECT_FALSE(none["&Settings..."]);
  EXPECT_FALSE(none["Upgrade &Firmware..."]);
  EXPECT_TRUE(none["&Refresh List\tF5"]);
  EXPECT_EQ(list()->SelectedRows(), std::vector<int>{1});
}

TEST_F(KestrelDlgTest, MenuCommandRunsOnTheSelection) {
  AddCard(CardBuilder(kSerial + 1));
  OpenAndSearch();
  QSignalSpy launches(window.get(), &KestrelDlg::LaunchRequested);
  RightClick(0, [](QMenu& menu) {
    menu.setActiveAction(menu.actions().front());
    QTest::keyClick(&menu, Qt::Key_Return);
  });
  ASSERT_EQ(launches.size(), 1);
  EXPECT_EQ(launches[0][0].value<QList<int>>(), QList<int>{0});
}

// ---- Closing

TEST_F(KestrelDlgTest, ClosingWithoutASearchGoesAtOnce) {
  timing.startup_delay = Millis{60000};
  Open();
  window->close();
  EXPECT_TRUE(window->isVisible()) << "the closing box shows first";
  EXPECT_EQ(window->findChild<ClosingBox*>()->Text(),
            QStringLiteral("Quillon Utility is closing, please wait..."));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, kWaitMs));
  EXPECT_EQ(window->findChild<ClosingBox*>(), nullptr);
}

TEST_F(KestrelDlgTest, ClosingDuringASearchWaitsForItToEnd) {
  timing.closing_wait = Millis{60000};
  sim::CardFaults slow;
  slow.reply_delay = Millis{100};
  for (std::uint32_t i = 0; i < 4; ++i) AddCard(CardBuilder(kSerial + i).Faults(slow));
  Open();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->SearchBusy(); }, kWaitMs));
  window->close();
  ASSERT_NE(window->findChild<ClosingBox*>(), nullptr);
  EXPECT_TRUE(window->findChild<ClosingBox*>()->isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, kWaitMs));
  EXPECT_TRUE(window->SearchBusy()) << "the cancelled search leaves the window as it was";
  EXPECT_EQ(finished->size(), 0);
}

TEST_F(KestrelDlgTest, ClosingGoesAfterTheClosingWaitWhenTheSearchDoesNotEnd) {
  timing.closing_wait = Millis{20};
  timing.query_window = Millis{1000};
  sim::CardFaults mute;
  mute.silent_after_discovery = true;
  AddCard(CardBuilder(kSerial).Faults(mute));
  Open();
  // A cancelled search ends at its next check point, but not inside a transaction: the mute
  // card's password check lasts 5 s.
  auto checking = [&] {
    for (const Bytes& frame : segment.SentFrames(0)) {
      if (LoadBe16(frame, frame::kCode) == code::kCheckPassword) return true;
    }
    return false;
  };
  ASSERT_TRUE(QTest::qWaitFor(checking, kWaitMs));
  window->close();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 1000));
}

}  // namespace
}  // namespace quillon
