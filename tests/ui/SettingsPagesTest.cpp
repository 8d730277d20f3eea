// The pages of the "Network Settings" sheet on their own, and the sheet's tabs, driven through
// their controls by object name: the enable rules, the defaults the pages put in, the members
// that follow every edit, and the pages that refuse to be left.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <functional>

#include "WidgetDriving.h"
#include "support/ScriptedPrompter.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/IpAddressEdit.h"
#include "ui/settings/AdvancedDlg.h"
#include "ui/settings/CfgSheet.h"
#include "ui/settings/IpV4Dlg.h"
#include "ui/settings/IpV6Dlg.h"
#include "ui/settings/PageDlg.h"
#include "ui/settings/PasswordPage.h"

namespace quillon {
namespace {

using testing::Child;
using testing::Click;
using testing::HasFocus;
using testing::Ip;
using testing::SetAddress;
using testing::SetText;

// Shows a page in a window of its own, active, as a person would see it.
template <typename Page>
class PageTest : public ::testing::Test {
 protected:
  PageTest() {
    page.show();
    page.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&page));
  }

  bool Enabled(const char* name) { return Child<QWidget>(page, name)->isEnabled(); }
  QWidget* Focused() { return QApplication::focusWidget(); }

  Page page;
};

// ---- IPv4 page

using IpV4PageTest = PageTest<IpV4Dlg>;

Ipv4Entries Static(int level) {
  return {ipv4_mode::kStatic, Ip(10, 0, 0, 5), Ip(255, 255, 255, 0), Ip(10, 0, 0, 1), level, false};
}

struct BootpCase {
  int level;
  bool firmware_k;
  bool offered;
};

void PrintTo(const BootpCase& c, std::ostream* out) {
  *out << "level " << c.level << (c.firmware_k ? " K" : "");
}

class IpV4BootpTest : public IpV4PageTest, public ::testing::WithParamInterface<BootpCase> {};

TEST_P(IpV4BootpTest, BootpOnlyWithVariantKAtTheFullLevel) {
  page.Open(Static(GetParam().level), GetParam().firmware_k);
  EXPECT_EQ(Enabled("bootpRadio"), GetParam().offered);
  EXPECT_TRUE(Enabled("dhcpRadio"));
  EXPECT_TRUE(Enabled("staticRadio"));
}

INSTANTIATE_TEST_SUITE_P(Levels, IpV4BootpTest,
                         ::testing::Values(BootpCase{31, true, true}, BootpCase{33, true, true},
                                           BootpCase{30, true, false},
                                           BootpCase{32, false, false}));

TEST_F(IpV4PageTest, ControlsAndTheirTexts) {
  page.Open(Static(32), false);
  EXPECT_EQ(page.Caption(), QStringLiteral("IPv4 Address"));
  EXPECT_EQ(Child<QGroupBox>(page, "methodGroup")->title(),
            QStringLiteral("Address Configuration"));
  EXPECT_EQ(Child<QRadioButton>(page, "dhcpRadio")->text(),
            QStringLiteral("Obtain IP address by &DHCP"));
  EXPECT_EQ(Child<QRadioButton>(page, "bootpRadio")->text(),
            QStringLiteral("Obtain IP address by &BOOTP"));
  EXPECT_EQ(Child<QRadioButton>(page, "staticRadio")->text(),
            QStringLiteral("Use following S&tatic IP address"));
  EXPECT_EQ(Child<QGroupBox>(page, "addressGroup")->title(), QStringLiteral("IP Address"));
  EXPECT_EQ(Child<QLabel>(page, "addressLabel")->text(), QStringLiteral("&IP Address:"));
  EXPECT_EQ(Child<QLabel>(page, "maskLabel")->text(), QStringLiteral("&Subnet Mask:"));
  EXPECT_EQ(Child<QLabel>(page, "gatewayLabel")->text(), QStringLiteral("&Gateway:"));
  auto* hidden = Child<QCheckBox>(page, "dhcpBox");
  EXPECT_EQ(hidden->text(), QStringLiteral("&Obtain an IP address via DHCP"));
  EXPECT_TRUE(hidden->isHidden());
  EXPECT_TRUE(Child<QRadioButton>(page, "staticRadio")->isChecked());
  EXPECT_EQ(Child<IpAddressEdit>(page, "gatewayEdit")->Text(), QStringLiteral("10.0.0.1"));
}

TEST_F(IpV4PageTest, BootpCardWithoutVariantKCannotGoBackToBootp) {
  Ipv4Entries bootp = Static(32);
  bootp.mode = ipv4_mode::kBootp;
  page.Open(bootp, /*firmware_k=*/false);
  EXPECT_TRUE(Child<QRadioButton>(page, "bootpRadio")->isChecked());
  EXPECT_FALSE(Enabled("bootpRadio"));
  for (const char* edit : {"addressEdit", "maskEdit", "gatewayEdit"}) EXPECT_FALSE(Enabled(edit));

  Click(page, "dhcpRadio");
  EXPECT_EQ(page.Entries().mode, ipv4_mode::kDhcp);
  Click(page, "bootpRadio");
  EXPECT_EQ(page.Entries().mode, ipv4_mode::kDhcp);
  EXPECT_TRUE(Child<QRadioButton>(page, "dhcpRadio")->isChecked());
}

TEST_F(IpV4PageTest, DhcpBelowTheFullLevelShowsOnlyTheAddress) {
  Ipv4Entries dhcp = Static(30);
  dhcp.mode = ipv4_mode::kDhcp;
  page.Open(dhcp, false);
  EXPECT_EQ(Child<IpAddressEdit>(page, "addressEdit")->Text(), QStringLiteral("10.0.0.5"));
  EXPECT_TRUE(Child<IpAddressEdit>(page, "maskEdit")->IsBlank());
  EXPECT_TRUE(Child<IpAddressEdit>(page, "gatewayEdit")->IsBlank());
  EXPECT_FALSE(Enabled("maskLabel"));
  EXPECT_FALSE(Enabled("gatewayLabel"));
  EXPECT_TRUE(Enabled("addressLabel"));
  EXPECT_EQ(page.Entries().mask, Ip(255, 255, 255, 0)) << "the members keep what was read";
  EXPECT_EQ(page.OpeningAddress(), Ip(10, 0, 0, 5));

  Click(page, "staticRadio");
  for (const char* name : {"addressGroup", "maskLabel", "maskEdit", "gatewayEdit"}) {
    EXPECT_TRUE(Enabled(name)) << name;
  }
  EXPECT_EQ(Child<IpAddressEdit>(page, "maskEdit")->Text(), QStringLiteral("255.255.255.0"));

  Click(page, "dhcpRadio");
  for (const char* name :
       {"addressGroup", "addressEdit", "maskLabel", "maskEdit", "gatewayLabel", "gatewayEdit"}) {
    EXPECT_FALSE(Enabled(name)) << name;
  }
  EXPECT_EQ(Focused(), Child<QRadioButton>(page, "dhcpRadio"));
}

TEST_F(IpV4PageTest, MembersFollowWhatIsTyped) {
  page.Open(Static(32), false);
  auto* address = Child<IpAddressEdit>(page, "addressEdit");
  address->Field(3)->setFocus();
  address->Field(3)->selectAll();
  QTest::keyClicks(address->Field(3), QStringLiteral("77"));
  EXPECT_EQ(page.Entries().address, Ip(10, 0, 0, 77));
  EXPECT_EQ(page.OpeningAddress(), Ip(10, 0, 0, 5));
}

TEST_F(IpV4PageTest, AMaskOfNothingBecomesTheUsualOneWhenEntered) {
  Ipv4Entries blank = Static(32);
  blank.mask = 0;
  page.Open(blank, false);
  auto* mask = Child<IpAddressEdit>(page, "maskEdit");
  EXPECT_EQ(mask->Text(), QStringLiteral("0.0.0.0"));
  mask->Field(0)->setFocus();
  EXPECT_EQ(mask->Text(), QStringLiteral("255.255.255.0"));
  EXPECT_EQ(page.Entries().mask, Ip(255, 255, 255, 0));
}

TEST_F(IpV4PageTest, LeaveCheckReadsTheMembers) {
  page.Open(Static(32), false);
  Child<IpAddressEdit>(page, "maskEdit")->SetText(QStringLiteral("255.0.255.0"));
  ASSERT_TRUE(page.LeaveCheck());
  EXPECT_EQ(page.LeaveCheck()->message, "Invalid Subnet Mask");
  EXPECT_EQ(page.LeaveCheck()->field, SettingsField::kMask);
}

// ---- IPv6 page

using IpV6PageTest = PageTest<IpV6Dlg>;

TEST_F(IpV6PageTest, ManualAloneOpensTheAddressFields) {
  page.Open({0, "[2001:db8::5]", "64", "[2001:db8::1]"});
  auto* method = Child<QComboBox>(page, "ipv6MethodList");
  ASSERT_EQ(method->count(), 4);
  EXPECT_EQ(method->itemText(1), QStringLiteral("Stateless DHCPV6"));
  EXPECT_EQ(method->currentText(), QStringLiteral("Automatic"));
  for (const char* name :
       {"ipv6AddressEdit", "ipv6PrefixEdit", "ipv6GatewayEdit", "ipv6PrefixLabel"}) {
    EXPECT_FALSE(Enabled(name)) << name;
  }

  method->setFocus();
  for (int i = 0; i < 3; ++i) QTest::keyClick(method, Qt::Key_Down);
  ASSERT_EQ(method->currentText(), QStringLiteral("Manual"));
  EXPECT_EQ(page.Entries().method_index, kIpv6ManualMethod);
  for (const char* name :
       {"ipv6AddressGroup", "ipv6AddressEdit", "ipv6PrefixEdit", "ipv6GatewayEdit"}) {
    EXPECT_TRUE(Enabled(name)) << name;
  }
  auto* prefix = Child<QLineEdit>(page, "ipv6PrefixEdit");
  prefix->selectAll();
  QTest::keyClicks(prefix, QStringLiteral("4x8"));
  EXPECT_EQ(page.Entries().prefix, "48") << "digits only";

  QTest::keyClick(method, Qt::Key_Up);
  EXPECT_FALSE(Enabled("ipv6AddressGroup"));
  EXPECT_FALSE(Enabled("ipv6AddressEdit"));
}

TEST_F(IpV6PageTest, TwoSettingsThatAreNeverSentStayHidden) {
  page.Open({3, "", "64", ""});
  EXPECT_EQ(Child<QComboBox>(page, "resendList")->currentText(), QStringLiteral("Yes"));
  EXPECT_EQ(Child<QComboBox>(page, "prefixCountList")->currentText(), QStringLiteral("8"));
  for (const char* name : {"resendList", "prefixCountList", "resendLabel", "prefixesLabel"}) {
    EXPECT_TRUE(Child<QWidget>(page, name)->isHidden()) << name;
  }
  EXPECT_EQ(Child<QLabel>(page, "resendLabel")->text(),
            QStringLiteral("&Router Discovery Autoresend:"));
}

// ---- Ports page

using AdvancedPageTest = PageTest<AdvancedDlg>;

NetworkSettings Ports(int level) {
  NetworkSettings s;
  s.level = level;
  s.has_http_telnet = level > 31;
  s.http = {true, s.has_http_telnet, 80};
  s.telnet = {true, s.has_http_telnet, 23};
  s.https = {true, true, 443};
  s.ssh = {true, false, 22};
  return s;
}

TEST_F(AdvancedPageTest, BelowLevel32HttpAndTelnetCannotBeChanged) {
  page.Open(Ports(30));
  EXPECT_FALSE(Enabled("httpBox"));
  EXPECT_FALSE(Enabled("telnetBox"));
  EXPECT_FALSE(Enabled("httpEdit"));
  EXPECT_TRUE(Enabled("httpsEdit"));
  EXPECT_TRUE(Enabled("sshBox"));
  EXPECT_FALSE(Enabled("sshEdit")) << "SSH is off";
  EXPECT_EQ(Child<QLineEdit>(page, "httpEdit")->text(), QStringLiteral("80"));
}

TEST_F(AdvancedPageTest, AServiceTheCardLacksCannotBeTicked) {
  NetworkSettings s = Ports(32);
  s.https = {false, false, 443};
  page.Open(s);
  auto* box = Child<QCheckBox>(page, "httpsBox");
  EXPECT_FALSE(box->isChecked());
  EXPECT_FALSE(box->isEnabled());
  EXPECT_FALSE(Enabled("httpsLabel"));
  EXPECT_EQ(box->text(), QStringLiteral("Enable HTTP&S Function"));
  EXPECT_EQ(Child<QLabel>(page, "httpsLabel")->text(),
            QStringLiteral("HTTPS p&ort number (1-65534):"));
}

TEST_F(AdvancedPageTest, AnEmptiedPortGetsItsServicesPortBackAtOnce) {
  page.Open(Ports(32));
  auto* edit = Child<QLineEdit>(page, "httpEdit");
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, QStringLiteral("8080"));
  NetworkSettings stored;
  page.StoreInto(stored);
  EXPECT_EQ(stored.http.port, 8080u);

  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_EQ(edit->text(), QStringLiteral("80"));
  page.StoreInto(stored);
  EXPECT_EQ(stored.http.port, 80u);
}

TEST_F(AdvancedPageTest, TickingAServiceWithoutAUsablePortGivesItsUsualOne) {
  NetworkSettings s = Ports(32);
  s.ssh = {true, false, 0};
  page.Open(s);
  Click(page, "sshBox");
  EXPECT_EQ(Child<QLineEdit>(page, "sshEdit")->text(), QStringLiteral("22"));
  EXPECT_TRUE(Enabled("sshEdit"));
  EXPECT_TRUE(Enabled("sshLabel"));
  NetworkSettings stored;
  page.StoreInto(stored);
  EXPECT_EQ(stored.ssh, (ServicePort{true, true, 22}));

  Click(page, "sshBox");
  EXPECT_FALSE(Enabled("sshEdit"));
  page.StoreInto(stored);
  EXPECT_FALSE(stored.ssh.enabled);
}

// ---- Password page

using PasswordPageTest = PageTest<PasswordPage>;

TEST_F(PasswordPageTest, TheBoxOpensTheFieldsAndTheMembersFollowThem) {
  page.Open({});
  EXPECT_FALSE(Enabled("newPasswordEdit"));
  EXPECT_FALSE(Enabled("confirmEdit"));
  EXPECT_EQ(Child<QLineEdit>(page, "newPasswordEdit")->echoMode(), QLineEdit::Password);

  Click(page, "enableBox");
  for (const char* name : {"newPasswordEdit", "confirmEdit", "newPasswordLabel", "confirmLabel"}) {
    EXPECT_TRUE(Enabled(name)) << name;
  }
  QTest::keyClicks(Child<QLineEdit>(page, "newPasswordEdit"), QStringLiteral("fresh"));
  QTest::keyClicks(Child<QLineEdit>(page, "confirmEdit"), QStringLiteral("fresh"));
  EXPECT_EQ(page.Entries(), (PasswordEntries{true, "fresh", "fresh"}));
  EXPECT_FALSE(page.LeaveCheck());
}

TEST_F(PasswordPageTest, PlaceholderStandsInBothFields) {
  page.Open({true, kPasswordPlaceholder, kPasswordPlaceholder});
  EXPECT_TRUE(Child<QCheckBox>(page, "enableBox")->isChecked());
  EXPECT_EQ(Child<QLineEdit>(page, "newPasswordEdit")->text(), QStringLiteral("********"));
  EXPECT_EQ(Child<QLineEdit>(page, "confirmEdit")->text(), QStringLiteral("********"));
  EXPECT_TRUE(Enabled("newPasswordEdit"));
  EXPECT_FALSE(page.LeaveCheck());
}

TEST_F(PasswordPageTest, AtMost30Characters) {
  page.Open({true, "", ""});
  QTest::keyClicks(Child<QLineEdit>(page, "newPasswordEdit"), QString(40, QLatin1Char('x')));
  EXPECT_EQ(page.Entries().new_password.size(), 30u);
}

// ---- The sheet

SheetEntries SheetOpening(int level) {
  SheetEntries entries;
  entries.settings = Ports(level);
  entries.settings.ipv4_mode = ipv4_mode::kStatic;
  entries.settings.address = Ip(10, 0, 0, 5);
  entries.settings.mask = Ip(255, 255, 255, 0);
  entries.settings.gateway = Ip(10, 0, 0, 1);
  entries.settings.has_ipv6 = level == 33;
  entries.settings.ipv6_method_index = 0;
  entries.settings.ipv6_prefix_length = 64;
  entries.opening_address = entries.settings.address;
  return entries;
}

class SheetTest : public ::testing::Test {
 protected:
  void Open(bool ipv6) {
    sheet = std::make_unique<CfgSheet>(prompter, ipv6);
    sheet->Open(SheetOpening(ipv6 ? 33 : 32), false);
    sheet->show();
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
  }
  QTabWidget* Tabs() { return testing::Tabs(*sheet); }
  void ClickTab(int index) { testing::ClickTab(*sheet, index); }
  template <typename T>
  T* Find(const char* name) {
    return Child<T>(*sheet, name);
  }

  testing::ScriptedPrompter prompter;
  std::unique_ptr<CfgSheet> sheet;
};

class SheetTabsTest : public SheetTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SheetTabsTest, PagesInTheirOrderWithOkAndCancelAtTheRightEnd) {
  Open(GetParam());
  QStringList texts;
  for (int i = 0; i < Tabs()->count(); ++i) texts << Tabs()->tabText(i);
  const QStringList expected =
      GetParam() ? QStringList{"IPv4 Address", "IPv6 Address", "Advanced", "Password"}
                 : QStringList{"IPv4 Address", "Advanced", "Password"};
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Network Settings"));
  EXPECT_FALSE(sheet->windowIcon().isNull());

  QStringList buttons;
  for (const QPushButton* button : sheet->findChildren<QPushButton*>()) buttons << button->text();
  buttons.sort();
  EXPECT_EQ(buttons, (QStringList{"Cancel", "OK"})) << "no Apply, no Help";
  auto* ok = Find<QPushButton>("okButton");
  auto* cancel = Find<QPushButton>("cancelButton");
  EXPECT_LT(ok->geometry().right(), cancel->geometry().left());
  EXPECT_GT(ok->geometry().left(), sheet->width() / 2);
  EXPECT_GE(cancel->geometry().right(), Tabs()->geometry().right() - 2);
  EXPECT_TRUE(ok->isDefault());
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutIpv6, SheetTabsTest, ::testing::Bool(),
                         [](const auto& test) { return test.param ? "Level33" : "Level32"; });

struct LeaveCase {
  const char* name;
  int tab;                               // the page being left
  std::function<void(CfgSheet&)> enter;  // what the person enters there
  const char* message;                   // nullptr: the page may be left
  const char* focused;                   // the control that gets the focus, if any
};

void PrintTo(const LeaveCase& c, std::ostream* out) {
  *out << c.name;
}

class SheetLeaveTest : public SheetTest, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(SheetLeaveTest, APageWithAFaultKeepsItsTab) {
  const LeaveCase& c = GetParam();
  Open(false);
  ClickTab(c.tab);
  ASSERT_EQ(Tabs()->currentIndex(), c.tab);
  c.enter(*sheet);
  const int target = c.tab == 0 ? 1 : 0;
  ClickTab(target);
  if (!c.message) {
    EXPECT_EQ(Tabs()->currentIndex(), target);
    EXPECT_TRUE(prompter.Asked().empty());
    return;
  }
  EXPECT_EQ(Tabs()->currentIndex(), c.tab);
  EXPECT_EQ(prompter.Asked(), std::vector<std::string>{std::string("message ") + c.message});
  if (!c.focused) return;
  EXPECT_TRUE(HasFocus(*sheet, c.focused))
      << QApplication::focusWidget()->objectName().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SheetLeaveTest,
    ::testing::Values(
        LeaveCase{"Ipv4Fine", 0, [](CfgSheet&) {}, nullptr, nullptr},
        LeaveCase{"Ipv4Mask", 0, [](CfgSheet& s) { SetAddress(s, "maskEdit", "255.0.255.0"); },
                  "Invalid Subnet Mask", "maskEdit"},
        LeaveCase{"Ipv4Address", 0, [](CfgSheet& s) { SetAddress(s, "addressEdit", "0.1.2.3"); },
                  "Invalid IP Address", "addressEdit"},
        LeaveCase{"Ipv4Gateway", 0,
                  [](CfgSheet& s) { SetAddress(s, "gatewayEdit", "255.255.255.255"); },
                  "Invalid Input Gateway Address 255.255.255.255", "gatewayEdit"},
        LeaveCase{"PortsEqual", 1, [](CfgSheet& s) { SetText(s, "sshEdit", "23"); },
                  "Port numbers should not be same", nullptr},
        LeaveCase{"PortsRange", 1, [](CfgSheet& s) { SetText(s, "httpEdit", "65535"); },
                  "Please enter an integer between 1 and 65534.", "httpEdit"},
        LeaveCase{"PasswordsDiffer", 2,
                  [](CfgSheet& s) {
                    Click(s, "enableBox");
                    SetText(s, "newPasswordEdit", "one");
                    SetText(s, "confirmEdit", "two");
                  },
                  "New Password and Confirm Password are different. Please check again.",
                  "newPasswordEdit"},
        LeaveCase{"PasswordBlank", 2,
                  [](CfgSheet& s) {
                    Click(s, "enableBox");
                    SetText(s, "newPasswordEdit", "a b");
                    SetText(s, "confirmEdit", "a b");
                  },
                  "Password could not have space or left empty. \nPlease input a valid password.",
                  "newPasswordEdit"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(SheetTest, Ipv6EntriesCountOnlyOnceTheirTabHasBeenOpened) {
  Open(true);
  EXPECT_FALSE(sheet->Entries().ipv6);
  ClickTab(1);
  ClickTab(3);
  ASSERT_TRUE(sheet->Entries().ipv6);
  EXPECT_EQ(sheet->Entries().ipv6->prefix, "64");
}

TEST_F(SheetTest, EntriesGatherEveryPage) {
  Open(false);
  SetAddress(*sheet, "addressEdit", "10.0.0.9");
  ClickTab(1);
  SetText(*sheet, "httpsEdit", "8443");
  ClickTab(2);
  Click(*sheet, "enableBox");
  SetText(*sheet, "newPasswordEdit", "pw");
  const SheetEntries entries = sheet->Entries();
  EXPECT_EQ(entries.settings.address, Ip(10, 0, 0, 9));
  EXPECT_EQ(entries.opening_address, Ip(10, 0, 0, 5));
  EXPECT_EQ(entries.settings.https.port, 8443u);
  EXPECT_EQ(entries.password, (PasswordEntries{true, "pw", ""}));
}

// ---- A page shown alone

TEST(PageDlgTest, ThePageAloneGetsTheSheetsOkAndCancel) {
  auto* page = new PasswordPage;
  page->Open({});
  int confirmations = 0;
  PageDlg dialog(*page, [&] {
    ++confirmations;
    return CheckResult{};
  });
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_EQ(dialog.windowTitle(), page->Caption());
  auto* ok = Child<QPushButton>(dialog, "okButton");
  auto* cancel = Child<QPushButton>(dialog, "cancelButton");
  EXPECT_TRUE(ok->isDefault());
  EXPECT_FALSE(cancel->isDefault());
  EXPECT_EQ(ok->size(), dialog_units::Size(50, 14));
  EXPECT_EQ(cancel->size(), dialog_units::Size(50, 14));
  EXPECT_LT(ok->geometry().right(), cancel->geometry().left());
  EXPECT_GT(ok->geometry().top(), page->geometry().bottom());
  EXPECT_GE(cancel->geometry().right(), page->geometry().right() - 2);

  QTest::mouseClick(cancel, Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(confirmations, 0) << "Cancel confirms nothing";

  dialog.show();
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(confirmations, 1);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace quillon
