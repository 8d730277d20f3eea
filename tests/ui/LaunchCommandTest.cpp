// The Launch command from the main window, with a recording opener in place of the browser.
#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "WidgetDriving.h"
#include "support/ScriptedPrompter.h"
#include "ui/controls/LinkLabelCl.h"
#include "ui/main/LaunchAddressDlg.h"

namespace quillon {
namespace {

using sim::CardBuilder;
using testing::Ip;

class LaunchCommandTest : public testing::MainWindowFixture {
 protected:
  // Card kSerial + n at 192.168.1.n.
  static CardBuilder Card(std::uint32_t n) {
    CardBuilder builder(kSerial + n);
    builder.Static(Ip(192, 168, 1, n), Ip(255, 255, 255, 0), Ip(192, 168, 1, 254));
    return builder;
  }

  LinkLabelCl* Link(QWidget& chooser, const char* name) {
    return chooser.findChild<LinkLabelCl*>(QString::fromLatin1(name));
  }

  testing::ScriptedPrompter prompter;
};

TEST_F(LaunchCommandTest, EachSelectedCardOpensAndOneWithBothPortsOffIsPassedOverSilently) {
  AddCard(Card(1));
  AddCard(Card(2).Ports(kPortDisabled, 23, 0, 22));
  AddCard(Card(3).Ports(kPortDisabled, 23, 443, 22), /*adapter=*/1);
  OpenAndSearch(prompter);
  SelectRows({0, 1, 2});
  Press("launchButton");

  EXPECT_EQ(opener->addresses,
            (std::vector<std::string>{"http://192.168.1.1:80/", "https://192.168.1.3:443/"}));
  EXPECT_TRUE(prompter.Asked().empty()) << "nothing is said";
  EXPECT_EQ(window->findChild<LaunchAddressDlg*>(), nullptr);
  EXPECT_TRUE(RefreshTimer()->isActive());
  EXPECT_EQ(RefreshTimer()->interval(), timing.refresh_after_command.count());
}

TEST_F(LaunchCommandTest, TheChooserOfAnIpv6CardStopsTheRest) {
  AddCard(Card(1));
  AddCard(Card(2).Level(33).Ipv6(4, "[2001:db8::2]", "", 64, "fe80::2"));
  auto third = AddCard(Card(3));
  OpenAndSearch(prompter);
  const int checks_before = third->RequestCount(code::kCheckPassword);
  SelectRows({0, 1, 2});
  Press("launchButton");

  EXPECT_EQ(opener->addresses, std::vector<std::string>{"http://192.168.1.1:80/"});
  EXPECT_EQ(third->RequestCount(code::kCheckPassword), checks_before) << "not asked at all";
  auto* chooser = window->findChild<LaunchAddressDlg*>();
  ASSERT_NE(chooser, nullptr);
  EXPECT_TRUE(chooser->isVisible());
  EXPECT_FALSE(chooser->isModal());
  EXPECT_EQ(Link(*chooser, "ipv4Link")->text(), QStringLiteral(" http://192.168.1.2:80/"));
  EXPECT_EQ(Link(*chooser, "ipv6Link1")->Url(), QStringLiteral("http://[2001:db8::2]:80/"));
  // One IPv6 address: the third link is a blank that opens nothing.
  EXPECT_EQ(Link(*chooser, "ipv6Link2")->text(), QStringLiteral(" "));
  EXPECT_EQ(Link(*chooser, "ipv6Link2")->Url(), QString());

  QTest::mouseClick(Link(*chooser, "ipv6Link1"), Qt::LeftButton, {}, QPoint(8, 4));
  EXPECT_EQ(opener->addresses.back(), "http://[2001:db8::2]:80/");
  chooser->close();
}

TEST_F(LaunchCommandTest, DoubleClickOpensTheCard) {
  AddCard(Card(7).Ports(kPortDisabled, 23, 8443, 22));
  OpenAndSearch(prompter);
  QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, RowCentre(0));
  EXPECT_EQ(opener->addresses, std::vector<std::string>{"https://192.168.1.7:8443/"});
}

TEST_F(LaunchCommandTest, RefusedWhileSearchingAndWithNothingSelected) {
  AddCard(Card(1));
  OpenAndSearch(prompter);
  const bool timer_was_active = RefreshTimer()->isActive();
  RunLaunchCommand(*window, {}, {prompter, opener});
  EXPECT_TRUE(opener->addresses.empty());
  EXPECT_EQ(RefreshTimer()->isActive(), timer_was_active) << "left as it was";

  window->Refresh();
  ASSERT_TRUE(window->SearchBusy());
  RunLaunchCommand(*window, {0}, {prompter, opener});
  EXPECT_TRUE(opener->addresses.empty());
}

}  // namespace
}  // namespace quillon
