#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QPointer>
#include <QTest>

#include "support/RecordingOpener.h"
#include "ui/controls/LinkLabelCl.h"
#include "ui/main/LaunchAddressDlg.h"

namespace quillon {
namespace {

constexpr char kIpv4[] = "http://192.168.1.21:80/";
constexpr char kIpv6[] = "http://2001:db8::21:80/";

class LaunchAddressDlgTest : public ::testing::Test {
 protected:
  // Shown as the launch command shows it: no parent, deleted when closed.
  QPointer<LaunchAddressDlg> Open(const char* ipv4, const char* ipv6_1, const char* ipv6_2) {
    auto* dialog = new LaunchAddressDlg(QString::fromLatin1(ipv4), QString::fromLatin1(ipv6_1),
                                        QString::fromLatin1(ipv6_2), opener);
    dialog->show();
    return dialog;
  }
  static LinkLabelCl* Link(QWidget* dialog, const char* name) {
    return dialog->findChild<LinkLabelCl*>(QString::fromLatin1(name));
  }
  static void WaitForDeletion() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  std::shared_ptr<RecordingOpener> opener = std::make_shared<RecordingOpener>();
};

TEST_F(LaunchAddressDlgTest, ThreeLinksEachABlankAndItsAddress) {
  QPointer<LaunchAddressDlg> dialog = Open(kIpv4, kIpv6, "");
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Launch Web User Interface"));
  EXPECT_EQ(dialog->size(), QSize(389, 140));
  EXPECT_FALSE(dialog->isModal());
  EXPECT_EQ(dialog->findChild<QGroupBox*>()->title(), QStringLiteral("Select the Address"));
  EXPECT_EQ(Link(dialog, "ipv4Link")->text(), QStringLiteral(" ") + kIpv4);
  EXPECT_EQ(Link(dialog, "ipv4Link")->Url(), QString::fromLatin1(kIpv4));
  EXPECT_EQ(Link(dialog, "ipv6Link1")->text(), QStringLiteral(" ") + kIpv6);
  EXPECT_EQ(Link(dialog, "ipv6Link1")->Url(), QString::fromLatin1(kIpv6));
  EXPECT_EQ(Link(dialog, "ipv6Link2")->text(), QStringLiteral(" "));
  EXPECT_EQ(Link(dialog, "ipv6Link2")->Url(), QString());
  EXPECT_EQ(Link(dialog, "ipv6Link1")->pos(), QPoint(24, 63));
  dialog->close();
}

TEST_F(LaunchAddressDlgTest, ClickOpensTheAddressAlone) {
  QPointer<LaunchAddressDlg> dialog = Open(kIpv4, kIpv6, "");
  QTest::mouseClick(Link(dialog, "ipv6Link1"), Qt::LeftButton, {}, QPoint(8, 4));
  EXPECT_EQ(opener->addresses, std::vector<std::string>{kIpv6});
  dialog->close();
}

TEST_F(LaunchAddressDlgTest, SeveralOpenAtOnceEachDeletedWhenClosed) {
  QPointer<LaunchAddressDlg> first = Open(kIpv4, kIpv6, "");
  QPointer<LaunchAddressDlg> second = Open("http://192.168.1.22:80/", "", kIpv6);
  EXPECT_TRUE(first->isVisible());
  EXPECT_TRUE(second->isVisible());
  first->close();
  WaitForDeletion();
  EXPECT_TRUE(first.isNull());
  ASSERT_FALSE(second.isNull());
  EXPECT_TRUE(second->isVisible());
  second->close();
  WaitForDeletion();
  EXPECT_TRUE(second.isNull());
}

}  // namespace
}  // namespace quillon
