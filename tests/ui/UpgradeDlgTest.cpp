// The "Firmware Upgrade" dialog on the simulated segment, and the Upgrade command that opens it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "MainWindowFixture.h"
#include "flows/UpgradeTexts.h"
#include "support/ScriptedPrompter.h"
#include "support/SimFixture.h"
#include "support/TestImages.h"
#include "ui/controls/DialogUnits.h"
#include "ui/main/DialogPrompter.h"
#include "ui/settings/PasswordDlg.h"
#include "ui/upgrade/UpgradeDlg.h"

namespace quillon {
namespace {

using sim::CardBuilder;
using sim::FirmwareBehaviour;
using Rows = std::vector<std::pair<std::string, std::string>>;

constexpr int kRunWaitMs = 20000;

template <typename T>
T* Child(QWidget& parent, const char* name) {
  return parent.findChild<T*>(QString::fromLatin1(name));
}

Rows RowsOf(QWidget& dialog) {
  Rows rows;
  auto* list = Child<QTreeWidget>(dialog, "statusList");
  for (int row = 0; row < list->topLevelItemCount(); ++row) {
    rows.emplace_back(list->topLevelItem(row)->text(0).toStdString(),
                      list->topLevelItem(row)->text(1).toStdString());
  }
  return rows;
}

std::string Key(std::uint32_t serial) {
  return std::to_string(serial);
}

class UpgradeDlgTest : public testing::SimFixture {
 protected:
  // A card that takes the test image and programs it at once.
  std::shared_ptr<sim::SimulatedCard> Card(std::uint32_t serial,
                                           const std::function<void(CardBuilder&)>& shape = {}) {
    FirmwareBehaviour firmware;
    firmware.programming_time = Millis{5};
    CardBuilder builder(serial);
    builder.FirmwareSide(firmware);
    if (shape) shape(builder);
    auto card = AddCard(builder);
    records.push_back(card->Record());
    return card;
  }

  // The dialog for the cards made so far, shown.
  void Open(Prompter& asking) {
    dialog = std::make_unique<UpgradeDlg>(*session, asking, records);
    dialog->show();
  }

  QLineEdit* FileName() { return Child<QLineEdit>(*dialog, "fileNameEdit"); }
  QPushButton* DownloadButton() { return Child<QPushButton>(*dialog, "downloadButton"); }
  QPushButton* CancelButton() { return Child<QPushButton>(*dialog, "cancelButton"); }
  QString StatusLine() { return Child<QLabel>(*dialog, "statusLine")->text(); }

  // Types the image's name and presses Download; false when Download was not enabled.
  bool StartRun(const std::string& image_path) {
    FileName()->setText(QString::fromStdString(image_path));
    if (!DownloadButton()->isEnabled()) return false;
    QTest::mouseClick(DownloadButton(), Qt::LeftButton);
    return dialog->Busy();
  }
  bool WaitUntilIdle() {
    return QTest::qWaitFor([&] { return !dialog->Busy(); }, kRunWaitMs);
  }

  const std::string image = testing::WriteImageFile("upgrade-dlg.bin", testing::MakeImage({}));
  std::vector<DeviceRecord> records;
  testing::ScriptedPrompter prompter;
  std::unique_ptr<UpgradeDlg> dialog;
};

TEST_F(UpgradeDlgTest, CutAtTheLineWithOneEmptyRowPerCard) {
  Card(kSerial + 25);
  Card(kSerial + 3);
  Card(kSerial + 1000);
  Open(prompter);
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Firmware Upgrade"));
  EXPECT_EQ(dialog->size(), dialog_units::Size(248, 211));
  EXPECT_EQ(RowsOf(*dialog),
            (Rows{{Key(kSerial + 25), ""}, {Key(kSerial + 3), ""}, {Key(kSerial + 1000), ""}}));

  auto* list = Child<QTreeWidget>(*dialog, "statusList");
  EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("Device"));
  EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("Download Status"));
  const int client = list->contentsRect().width();
  EXPECT_EQ(list->columnWidth(0), client / 3);
  EXPECT_EQ(list->columnWidth(1), client * 2 / 3);

  for (const char* name : {"etchedLine", "autoCheckBox", "offsetEdit", "flashList",
                           "startAddressEdit", "lowerPanel"}) {
    EXPECT_FALSE(Child<QWidget>(*dialog, name)->isVisible()) << name;
  }
  EXPECT_TRUE(Child<QWidget>(*dialog, "progressBar")->isVisible());
  EXPECT_EQ(Child<QProgressBar>(*dialog, "progressBar")->value(), 0);
}

TEST_F(UpgradeDlgTest, LowerPanelKeepsItsRules) {
  Open(prompter);
  auto* auto_check = Child<QCheckBox>(*dialog, "autoCheckBox");
  auto* offset = Child<QLineEdit>(*dialog, "offsetEdit");
  auto* flash = Child<QComboBox>(*dialog, "flashList");
  auto* start = Child<QLineEdit>(*dialog, "startAddressEdit");
  EXPECT_TRUE(auto_check->isChecked());
  EXPECT_EQ(offset->text(), QStringLiteral("0x0"));
  EXPECT_FALSE(offset->isEnabled());
  EXPECT_EQ(flash->currentText(), QStringLiteral("0 None"));
  EXPECT_EQ(flash->count(), 3);
  EXPECT_EQ(start->text(), QStringLiteral("0x80000"));
  EXPECT_FALSE(start->isEnabled());

  auto_check->click();
  EXPECT_TRUE(offset->isEnabled());
  auto_check->click();
  EXPECT_FALSE(offset->isEnabled());
  flash->setCurrentIndex(flash->findText(QStringLiteral("0xA4 MX29F040")));
  EXPECT_TRUE(start->isEnabled());
  flash->setCurrentIndex(flash->findText(QStringLiteral("0x2258 MX29F800B")));
  EXPECT_TRUE(start->isEnabled());
  flash->setCurrentIndex(0);
  EXPECT_FALSE(start->isEnabled());
}

struct FileCase {
  const char* name;
  const char* file;  // in the test's directory; made with `bytes` unless empty
  int bytes;         // -1: not made
  bool enabled;
};

void PrintTo(const FileCase& c, std::ostream* out) {
  *out << c.name;
}

class DownloadRule : public UpgradeDlgTest, public ::testing::WithParamInterface<FileCase> {};

TEST_P(DownloadRule, EnabledForAReadableNonEmptyFile) {
  const FileCase& c = GetParam();
  const QString path = QString::fromStdString(::testing::TempDir()) + QString::fromLatin1(c.file);
  QFile::remove(path);
  if (c.bytes >= 0) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(c.bytes, 'x'));
  }
  Open(prompter);
  EXPECT_FALSE(DownloadButton()->isEnabled()) << "nothing typed yet";
  QTest::keyClicks(FileName(), path);
  EXPECT_EQ(DownloadButton()->isEnabled(), c.enabled);
  EXPECT_TRUE(CancelButton()->isEnabled());
  QFile::remove(path);
}

INSTANTIATE_TEST_SUITE_P(Files, DownloadRule,
                         ::testing::Values(FileCase{"Missing", "missing.bin", -1, false},
                                           FileCase{"Empty", "empty.bin", 0, false},
                                           FileCase{"OneByte", "one.bin", 1, true},
                                           FileCase{"Directory", "", -1, false}),
                         [](const ::testing::TestParamInfo<FileCase>& tested) {
                           return std::string(tested.param.name);
                         });

TEST_F(UpgradeDlgTest, AFileThatAppearsLaterEnablesDownloadWithoutAKeystroke) {
  const QString path = QString::fromStdString(::testing::TempDir()) + QStringLiteral("later.bin");
  QFile::remove(path);
  Open(prompter);
  FileName()->setText(path);
  ASSERT_FALSE(DownloadButton()->isEnabled());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("x");
  file.close();
  EXPECT_TRUE(QTest::qWaitFor([&] { return DownloadButton()->isEnabled(); },
                              UpgradeDlg::kIdleUpdateMs * 10));
  QFile::remove(path);
}

TEST_F(UpgradeDlgTest, BrowseOffersTheImagesAndAllFiles) {
  Open(prompter);
  QStringList filters;
  QTimer::singleShot(0, [&] {
    auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (chooser == nullptr) return;
    filters = chooser->nameFilters();
    chooser->selectFile(QString::fromStdString(image));
    QDialog* as_dialog = chooser;
    as_dialog->accept();
  });
  QTest::mouseClick(Child<QPushButton>(*dialog, "browseButton"), Qt::LeftButton);
  ASSERT_EQ(filters.size(), 2);
  EXPECT_EQ(filters[0], QStringLiteral("*.bin"));
  EXPECT_TRUE(filters[1].startsWith(QStringLiteral("All Files (*.*)"))) << filters[1].toStdString();
  EXPECT_EQ(FileName()->text(), QDir::cleanPath(QString::fromStdString(image)));
  EXPECT_TRUE(DownloadButton()->isEnabled());
}

// One card needs a password, one takes no image of this kind: the run goes to its summary, and a
// second run in the same dialog asks no password again.
TEST_F(UpgradeDlgTest, RunGoesToItsSummaryAndASecondRunWorks) {
  Card(kSerial + 2);
  Card(kSerial + 10, [](CardBuilder& b) { b.Password("pw"); });
  Card(kSerial + 1);
  Card(kSerial + 3, [](CardBuilder& b) {
    FirmwareBehaviour other;
    other.programming_time = Millis{5};
    other.boot_word = 0x00010007;  // another compatibility code: refused without a word
    b.FirmwareSide(other);
  });
  prompter.passwords = {std::string("pw")};
  std::vector<std::string> remembered;
  std::mutex remembered_lock;
  Open(prompter);
  dialog->SetPasswordAccepted([&](const MacAddress& card, const std::string& password) {
    const std::lock_guard lock(remembered_lock);
    remembered.push_back(card.ToString() + " " + password);
  });

  ASSERT_TRUE(StartRun(image));
  ASSERT_TRUE(WaitUntilIdle());
  const Rows results{{Key(kSerial + 1), "Download Successfully"},
                     {Key(kSerial + 2), "Download Successfully"},
                     {Key(kSerial + 3), "Download Failed"},
                     {Key(kSerial + 10), "Download Successfully"}};
  EXPECT_EQ(RowsOf(*dialog), results) << "the final list, in the order of the keys";
  EXPECT_EQ(StatusLine(), QStringLiteral("3 unit success, 1 unit fail. "));
  EXPECT_EQ(Child<QProgressBar>(*dialog, "progressBar")->value(), 100);
  EXPECT_EQ(prompter.Asked(), std::vector<std::string>{"password MAC:02-4B-51-00-00-0A []"});
  EXPECT_NE(std::find(remembered.begin(), remembered.end(), "02-4B-51-00-00-0A pw"),
            remembered.end());
  EXPECT_EQ(dialog->Cards()[1].RememberedPassword(), "pw");
  EXPECT_TRUE(DownloadButton()->isEnabled());
  EXPECT_TRUE(CancelButton()->isEnabled());
  EXPECT_TRUE(dialog->isVisible()) << "the results stay";

  ASSERT_TRUE(StartRun(image));
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(RowsOf(*dialog), results);
  EXPECT_EQ(prompter.Asked().size(), 1u) << "the remembered password is taken";
}

// The desktop prompter's password question stays open on the window's thread while the other
// cards load and are shown as done; the dialog cannot be closed meanwhile.
TEST_F(UpgradeDlgTest, AnOpenQuestionHoldsUpOnlyItsCardAndTheDialogStaysOpen) {
  Card(kSerial + 1, [](CardBuilder& b) { b.Password("pw"); });
  Card(kSerial + 2);
  Card(kSerial + 3);
  DialogPrompter desktop;
  Open(desktop);

  bool asked = false;
  bool others_done_while_asked = false;
  bool closed_while_busy = true;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* question = qobject_cast<PasswordDlg*>(QApplication::activeModalWidget());
    if (question == nullptr || asked) return;
    asked = true;
    EXPECT_EQ(Child<QLabel>(*question, "informationLine")->text(),
              QStringLiteral("MAC:02-4B-51-00-00-01"));
    others_done_while_asked = QTest::qWaitFor(
        [&] {
          const Rows rows = RowsOf(*dialog);
          return rows[1].second == upgrade_text::kSucceeded &&
                 rows[2].second == upgrade_text::kSucceeded;
        },
        kRunWaitMs);
    EXPECT_TRUE(dialog->Busy());
    EXPECT_FALSE(CancelButton()->isEnabled());
    EXPECT_FALSE(DownloadButton()->isEnabled());
    EXPECT_EQ(dialog->cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(FileName()->cursor().shape(), Qt::WaitCursor);
    closed_while_busy = dialog->close();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QTest::keyClick(FileName(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible()) << "neither the close button, Escape nor Enter end it";
    QTest::keyClicks(Child<QLineEdit>(*question, "passwordEdit"), QStringLiteral("pw"));
    QTest::mouseClick(Child<QPushButton>(*question, "okButton"), Qt::LeftButton);
  });
  answer.start(10);

  ASSERT_TRUE(StartRun(image));
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_TRUE(asked);
  EXPECT_TRUE(others_done_while_asked);
  EXPECT_FALSE(closed_while_busy);
  EXPECT_EQ(StatusLine(), QStringLiteral("3 unit success, 0 unit fail. "));
  EXPECT_NE(dialog->cursor().shape(), Qt::WaitCursor);
  EXPECT_EQ(FileName()->cursor().shape(), Qt::IBeamCursor);
  EXPECT_TRUE(dialog->close()) << "closes once the run has ended";
}

// ---- The Upgrade command

class UpgradeCommandTest : public testing::MainWindowFixture {
 protected:
  testing::ScriptedPrompter prompter;
};

TEST_F(UpgradeCommandTest, ThreeSelectedCardsGiveThreeRowsAndTheRefreshWaitsForTheDialog) {
  AddCard(CardBuilder(kSerial + 1));
  AddCard(CardBuilder(kSerial + 2), /*adapter=*/1);
  AddCard(CardBuilder(kSerial + 3));
  AddCard(CardBuilder(kSerial + 4));
  OpenAndSearch(prompter);
  SelectRows({0, 2, 3});
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  window->findChild<HoverButtonCl*>(QStringLiteral("upgradeButton"))->setFocus();

  Rows rows;
  bool refresh_running = true;
  const bool opened = WithModal([&] { Press("upgradeButton"); },
                                [&](QWidget& modal) {
                                  EXPECT_EQ(modal.objectName(), QStringLiteral("upgradeDlg"));
                                  rows = RowsOf(modal);
                                  refresh_running = RefreshTimer()->isActive();
                                  modal.close();
                                });
  ASSERT_TRUE(opened);
  EXPECT_EQ(rows, (Rows{{Key(kSerial + 1), ""}, {Key(kSerial + 3), ""}, {Key(kSerial + 4), ""}}));
  EXPECT_FALSE(refresh_running);
  EXPECT_EQ(window->focusWidget(), list()) << "the list has the focus when the window is active";
  EXPECT_TRUE(RefreshTimer()->isActive());
  EXPECT_EQ(RefreshTimer()->interval(), timing.refresh_after_command.count());
}

TEST_F(UpgradeCommandTest, NothingOpensWithoutASelectionOrDuringASearch) {
  AddCard(CardBuilder(kSerial + 1));
  OpenAndSearch(prompter);
  const int interval = RefreshTimer()->interval();
  EXPECT_FALSE(WithModal(
      [&] {
        RunUpgradeCommand(*window, {}, {prompter, opener});
      },
      [](QWidget& modal) { modal.close(); }));
  EXPECT_EQ(RefreshTimer()->interval(), interval) << "the refresh is left alone";

  window->Refresh();
  ASSERT_TRUE(window->SearchBusy());
  EXPECT_FALSE(WithModal(
      [&] {
        RunUpgradeCommand(*window, {0}, {prompter, opener});
      },
      [](QWidget& modal) { modal.close(); }));
}

}  // namespace
}  // namespace quillon
