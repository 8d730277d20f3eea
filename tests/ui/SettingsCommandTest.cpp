// The Settings command and the hidden commands, from the main window down to simulated cards:
// the sheet and the pages shown alone are driven by object name while they are open, the
// prompter's answers are scripted, and what the cards were sent is read back from them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "MainWindowFixture.h"
#include "WidgetDriving.h"
#include "protocol/DeviceCommands.h"
#include "protocol/FrameFormat.h"
#include "sim/DemoFleet.h"
#include "sim/SimulatedSegment.h"
#include "support/ScriptedPrompter.h"
#include "ui/controls/IpAddressEdit.h"
#include "ui/controls/ListCtrlCl.h"
#include "ui/main/ClosingBox.h"
#include "ui/main/Commands.h"
#include "ui/main/KestrelDlg.h"
#include "ui/main/SerialNumberDlg.h"
#include "ui/settings/CfgSheet.h"
#include "ui/settings/PageDlg.h"

namespace quillon {
namespace {

using sim::CardBuilder;
using sim::CardProfile;

using testing::Child;
using testing::Click;
using testing::ClickTab;
using testing::CurrentTab;
using testing::HasFocus;
using testing::Ip;
using testing::SetAddress;
using testing::SetText;

constexpr std::uint32_t kSerial = testing::MainWindowFixture::kSerial;

DeviceConfig ConfigOf(const sim::SimulatedCard& card) {
  return DeviceConfig::Decode(card.Config());
}

class SettingsCommandTest : public testing::MainWindowFixture {
 protected:
  // One adapter, unless the test brings its own.
  explicit SettingsCommandTest(int adapters = 1) : MainWindowFixture(adapters) {
    // Told apart from the search's own interval.
    timing.refresh_after_command = Millis{45000};
  }

  // Runs `act` on the dialog of type T once it shows, modal, during the command that follows.
  template <typename T>
  void WhenShown(std::function<void(T&)> act) {
    shown = false;
    auto* poll = new QTimer(window.get());
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, window.get(), [this, poll, act] {
      auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
      if (!dialog || !dialog->isVisible() || shown) return;
      shown = true;
      poll->stop();
      poll->deleteLater();
      act(*dialog);
    });
    poll->start();
  }

  // The Settings command on the selected card, with the sheet in the hands of `act`.
  void Settings(std::function<void(CfgSheet&)> act) {
    WhenShown<CfgSheet>(std::move(act));
    window->RunCommand(CommandId::kSettings);
  }

  QPushButton* Hidden(const char* name) { return window->findChild<QPushButton*>(name); }
  bool TimerRestartedAfterCommand() {
    return RefreshTimer()->isActive() &&
           RefreshTimer()->intervalAsDuration() == timing.refresh_after_command;
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> messages;
    for (const std::string& asked : prompter.Asked()) {
      if (asked.starts_with("message ")) messages.push_back(asked.substr(8));
    }
    return messages;
  }

  testing::ScriptedPrompter prompter;
  bool shown = false;
};

// ---- The sheet

struct LevelCase {
  std::uint16_t level;
  QStringList tabs;
};

void PrintTo(const LevelCase& c, std::ostream* out) {
  *out << "level " << c.level;
}

class CommandSheetTabsTest : public SettingsCommandTest,
                             public ::testing::WithParamInterface<LevelCase> {};

TEST_P(CommandSheetTabsTest, TheCardsLevelDecidesWhetherTheIpv6PageIsThere) {
  AddCard(CardBuilder(kSerial + 1).Level(GetParam().level));
  OpenAndSearch(prompter);
  QStringList tabs;
  Settings([&](CfgSheet& sheet) {
    const QTabWidget* pages = Child<QTabWidget>(sheet, "pageTabs");
    for (int i = 0; i < pages->count(); ++i) tabs << pages->tabText(i);
    sheet.reject();
  });
  ASSERT_TRUE(shown);
  EXPECT_EQ(tabs, GetParam().tabs);
}

const QStringList kFourTabs{"IPv4 Address", "IPv6 Address", "Advanced", "Password"};
const QStringList kThreeTabs{"IPv4 Address", "Advanced", "Password"};

INSTANTIATE_TEST_SUITE_P(Levels, CommandSheetTabsTest,
                         ::testing::Values(LevelCase{33, kFourTabs}, LevelCase{32, kThreeTabs},
                                           LevelCase{30, kThreeTabs}, LevelCase{800, kThreeTabs}),
                         [](const auto& test) {
                           return "Level" + std::to_string(test.param.level);
                         });

TEST_F(SettingsCommandTest, OkWithoutChangesChecksThePasswordOnceAndWritesNothing) {
  auto card = AddCard(CardBuilder(kSerial + 1));
  OpenAndSearch(prompter);
  const int checks = card->RequestCount(code::kCheckPassword);
  bool timer_stopped = false;
  Settings([&](CfgSheet& sheet) {
    timer_stopped = !RefreshTimer()->isActive();
    Click(sheet, "okButton");
  });
  ASSERT_TRUE(shown);
  EXPECT_TRUE(timer_stopped);
  EXPECT_EQ(card->RequestCount(code::kCheckPassword), checks + 1);
  EXPECT_EQ(card->RequestCount(code::kWriteConfig), 0);
  EXPECT_EQ(card->RequestCount(code::kChangePassword), 0);
  EXPECT_TRUE(prompter.Asked().empty());
  EXPECT_FALSE(window->SearchBusy()) << "nothing was written, so nothing is searched again";
  EXPECT_TRUE(TimerRestartedAfterCommand());
  EXPECT_EQ(window->focusWidget(), list());
}

TEST_F(SettingsCommandTest, ChangesAreWrittenAndTheListShowsThem) {
  auto card = AddCard(CardBuilder(kSerial + 1).Level(33).Ipv6(1, "", "", 64, "fe80::1"));
  OpenAndSearch(prompter);
  Settings([&](CfgSheet& sheet) {
    SetAddress(sheet, "addressEdit", "192.168.1.50");
    SetAddress(sheet, "gatewayEdit", "192.168.1.254");
    ClickTab(sheet, "IPv6 Address");
    auto* method = Child<QComboBox>(sheet, "ipv6MethodList");
    method->setFocus();
    QTest::keyClick(method, Qt::Key_End);
    SetText(sheet, "ipv6AddressEdit", "[2001:db8::50]");
    SetText(sheet, "ipv6PrefixEdit", "48");
    ClickTab(sheet, "Advanced");
    Click(sheet, "telnetBox");
    SetText(sheet, "httpEdit", "8080");
    Click(sheet, "okButton");
  });
  ASSERT_TRUE(shown);
  EXPECT_TRUE(window->SearchBusy()) << "the list is searched again after a write";
  ASSERT_TRUE(WaitForSearches(2));

  const DeviceConfig written = ConfigOf(*card);
  EXPECT_EQ(written.ip_address, Ip(192, 168, 1, 50));
  EXPECT_EQ(written.gateway, Ip(192, 168, 1, 254));
  EXPECT_EQ(written.http_port, 8080);
  EXPECT_EQ(written.telnet_port, kPortDisabled);
  EXPECT_EQ(written.ipv6_mode, 4);
  EXPECT_EQ(written.Ipv6AddressText(), "[2001:db8::50]");
  EXPECT_EQ(written.ipv6_prefix_length, 48);
  EXPECT_EQ(list()->ItemText(0, 2), QStringLiteral("192.168.1.50"));
  EXPECT_TRUE(InfoBox().contains(QStringLiteral("[2001:db8::50]"))) << InfoBox().toStdString();
}

struct FailureCase {
  const char* name;
  std::uint16_t level;
  std::function<void(CfgSheet&)> enter;
  const char* message;
  const char* tab;      // where the sheet shows the fault
  const char* focused;  // the control that gets the focus; nullptr: none in particular
  const char* kept;     // a field that still holds what was entered ...
  const char* text;     // ... and its text
};

void PrintTo(const FailureCase& c, std::ostream* out) {
  *out << c.name;
}

class CommandSheetFailureTest : public SettingsCommandTest,
                                public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CommandSheetFailureTest, TheSheetStaysOpenWithTheEntriesAndTheFocusOnTheField) {
  const FailureCase& c = GetParam();
  auto card = AddCard(CardBuilder(kSerial + 1).Level(c.level).Ipv6(1, "", "", 64, "fe80::1"));
  OpenAndSearch(prompter);
  bool still_open = false;
  QString tab;
  bool focused = false;
  QString kept;
  Settings([&](CfgSheet& sheet) {
    c.enter(sheet);
    Click(sheet, "okButton");
    still_open = sheet.isVisible();
    tab = CurrentTab(sheet);
    focused = !c.focused || HasFocus(sheet, c.focused);
    if (auto* line = sheet.findChild<QLineEdit*>(QString::fromLatin1(c.kept))) {
      kept = line->text();
    } else {
      kept = Child<IpAddressEdit>(sheet, c.kept)->Text();
    }
    sheet.reject();
  });
  ASSERT_TRUE(shown);
  EXPECT_TRUE(still_open);
  EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
  EXPECT_EQ(tab, QString::fromLatin1(c.tab));
  EXPECT_TRUE(focused) << c.focused;
  EXPECT_EQ(kept, QString::fromLatin1(c.text));
  EXPECT_EQ(card->RequestCount(code::kWriteConfig), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, CommandSheetFailureTest,
    ::testing::Values(
        FailureCase{"PasswordsDiffer", 32,
                    [](CfgSheet& s) {
                      ClickTab(s, "Password");
                      Click(s, "enableBox");
                      SetText(s, "newPasswordEdit", "secret");
                      SetText(s, "confirmEdit", "secrets");
                    },
                    "New Password and Confirm Password are different. Please check again.",
                    "Password", "newPasswordEdit", "confirmEdit", "secrets"},
        FailureCase{"HttpsOutOfRange", 32,
                    [](CfgSheet& s) {
                      ClickTab(s, "Advanced");
                      SetText(s, "httpsEdit", "65535");
                      ClickTab(s, "Password");
                    },
                    "HTTPS port should be in between 1 to 65534", "Advanced", "httpsEdit",
                    "httpsEdit", "65535"},
        FailureCase{
            "StaticAddress", 32, [](CfgSheet& s) { SetAddress(s, "addressEdit", "0.168.1.7"); },
            "Invalid IP Address", "IPv4 Address", "addressEdit", "addressEdit", "0.168.1.7"},
        FailureCase{"Mask", 32, [](CfgSheet& s) { SetAddress(s, "maskEdit", "255.255.255.1"); },
                    "Invalid Subnet Mask", "IPv4 Address", "maskEdit", "maskEdit", "255.255.255.1"},
        FailureCase{"Gateway", 32, [](CfgSheet& s) { SetAddress(s, "gatewayEdit", "0.0.0.0"); },
                    "Invalid Gateway Address", "IPv4 Address", "gatewayEdit", "gatewayEdit",
                    "0.0.0.0"},
        FailureCase{"HttpsOnTheDisabledHttpPort", 32,
                    [](CfgSheet& s) {
                      ClickTab(s, "Advanced");
                      Click(s, "httpBox");
                      SetText(s, "httpsEdit", "80");
                    },
                    "Port numbers should not be same", "Advanced", nullptr, "httpsEdit", "80"},
        FailureCase{"ReservedPort", 32,
                    [](CfgSheet& s) {
                      ClickTab(s, "Advanced");
                      SetText(s, "sshEdit", "161");
                    },
                    "Invalid port: 161", "Advanced", nullptr, "sshEdit", "161"},
        FailureCase{"Ipv6Prefix", 33,
                    [](CfgSheet& s) {
                      ClickTab(s, "IPv6 Address");
                      auto* method = Child<QComboBox>(s, "ipv6MethodList");
                      method->setFocus();
                      QTest::keyClick(method, Qt::Key_End);
                      SetText(s, "ipv6AddressEdit", "[2001:db8::9]");
                      SetText(s, "ipv6PrefixEdit", "128");
                      ClickTab(s, "Password");
                    },
                    "Please Input an intger(1~127)", "IPv6 Address", "ipv6PrefixEdit",
                    "ipv6PrefixEdit", "128"},
        FailureCase{"Ipv6AddressForm", 33,
                    [](CfgSheet& s) {
                      ClickTab(s, "IPv6 Address");
                      auto* method = Child<QComboBox>(s, "ipv6MethodList");
                      method->setFocus();
                      QTest::keyClick(method, Qt::Key_End);
                      SetText(s, "ipv6AddressEdit", "2001:db8::9");
                    },
                    "Please input correct address!", "IPv6 Address", "ipv6AddressEdit",
                    "ipv6AddressEdit", "2001:db8::9"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(SettingsCommandTest, AnIpv6TabNeverOpenedIsNotChecked) {
  // "Manual" with an address the page would refuse, left alone.
  auto card = AddCard(CardBuilder(kSerial + 1).Level(33).Ipv6(4, "2001:db8::9", "", 64, ""));
  OpenAndSearch(prompter);
  Settings([](CfgSheet& sheet) { Click(sheet, "okButton"); });
  ASSERT_TRUE(shown);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(card->RequestCount(code::kWriteConfig), 0);
}

TEST_F(SettingsCommandTest, ConflictQuestionAnsweredNoKeepsTheNewAddressAndYesTakesIt) {
  auto card = AddCard(CardBuilder(kSerial + 1));
  segment.AddAnsweringAddress(0, Ip(192, 168, 1, 77));
  OpenAndSearch(prompter);
  bool open_after_no = false;
  QString kept;
  Settings([&](CfgSheet& sheet) {
    SetAddress(sheet, "addressEdit", "192.168.1.77");
    Click(sheet, "okButton");
    open_after_no = sheet.isVisible();
    kept = Child<IpAddressEdit>(sheet, "addressEdit")->Text();
    prompter.yes_no.push_back(true);
    Click(sheet, "okButton");
  });
  ASSERT_TRUE(shown);
  EXPECT_TRUE(open_after_no);
  EXPECT_EQ(kept, QStringLiteral("192.168.1.77"));
  const std::string question =
      "yes/no IP address: 192.168.1.77 already exists on the LAN. Are you sure you want to "
      "continue?";
  EXPECT_EQ(prompter.Asked(), (std::vector<std::string>{question, question}));
  EXPECT_EQ(ConfigOf(*card).ip_address, Ip(192, 168, 1, 77));
  ASSERT_TRUE(WaitForSearches(2));
}

struct PasswordCase {
  const char* name;
  std::function<void(CfgSheet&)> enter;
  int changes;  // password commands sent
  const char* password_after;
};

void PrintTo(const PasswordCase& c, std::ostream* out) {
  *out << c.name;
}

class CommandSheetPasswordTest : public SettingsCommandTest,
                                 public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(CommandSheetPasswordTest, PlaceholderChangesNothingAndTheBoxDecides) {
  auto card = AddCard(CardBuilder(kSerial + 1).Password("demo"));
  OpenAndSearch(prompter);
  prompter.passwords = {"demo"};
  PasswordEntries opened;
  Settings([&](CfgSheet& sheet) {
    opened = sheet.Entries().password;
    ClickTab(sheet, "Password");
    GetParam().enter(sheet);
    Click(sheet, "okButton");
  });
  ASSERT_TRUE(shown);
  EXPECT_EQ(opened, (PasswordEntries{true, "********", "********"}));
  EXPECT_EQ(prompter.Asked(), std::vector<std::string>{"password  []"}) << "asked once";
  EXPECT_EQ(card->RequestCount(code::kChangePassword), GetParam().changes);
  EXPECT_EQ(card->Password(), GetParam().password_after);
  EXPECT_EQ(card->RequestCount(code::kWriteConfig), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandSheetPasswordTest,
    ::testing::Values(PasswordCase{"PlaceholderLeft", [](CfgSheet&) {}, 0, "demo"},
                      PasswordCase{"BoxCleared", [](CfgSheet& s) { Click(s, "enableBox"); }, 1, ""},
                      PasswordCase{"NewPassword",
                                   [](CfgSheet& s) {
                                     SetText(s, "newPasswordEdit", "fresh");
                                     SetText(s, "confirmEdit", "fresh");
                                   },
                                   1, "fresh"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(SettingsCommandTest, WrongPasswordKeepsTheSheetOpenAndAskingAgainWorks) {
  auto card = AddCard(CardBuilder(kSerial + 1).Password("demo"));
  OpenAndSearch(prompter);
  prompter.passwords = {"wrong", "demo"};
  bool open_after_wrong = false;
  Settings([&](CfgSheet& sheet) {
    SetAddress(sheet, "gatewayEdit", "192.168.1.2");
    Click(sheet, "okButton");
    open_after_wrong = sheet.isVisible();
    Click(sheet, "okButton");
  });
  ASSERT_TRUE(shown);
  EXPECT_TRUE(open_after_wrong);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Incorrect Password."});
  EXPECT_EQ(ConfigOf(*card).gateway, Ip(192, 168, 1, 2));
}

TEST_F(SettingsCommandTest, ACardThatDoesNotAnswerTheReadGetsNoSheet) {
  sim::CardFaults mute;
  mute.silent_after_discovery = true;
  auto card = AddCard(CardBuilder(kSerial + 1));
  OpenAndSearch(prompter);
  card->SetFaults(mute);
  WhenShown<CfgSheet>([](CfgSheet& sheet) { sheet.reject(); });
  window->RunCommand(CommandId::kSettings);
  EXPECT_FALSE(shown);
  EXPECT_EQ(Messages(), std::vector<std::string>{"No respond!"});
  EXPECT_TRUE(TimerRestartedAfterCommand());
}

TEST_F(SettingsCommandTest, CancelRestartsTheRefreshTimerWithTheShorterDelay) {
  AddCard(CardBuilder(kSerial + 1));
  OpenAndSearch(prompter);
  ASSERT_EQ(RefreshTimer()->intervalAsDuration(), timing.refresh_interval);
  bool active_while_open = true;
  Settings([&](CfgSheet& sheet) {
    active_while_open = RefreshTimer()->isActive();
    Click(sheet, "cancelButton");
  });
  ASSERT_TRUE(shown);
  EXPECT_FALSE(active_while_open);
  EXPECT_TRUE(TimerRestartedAfterCommand());
}

// Every card of the demonstration fleet, whatever its level, method, services and password,
// can be given a new static address through the sheet.
class DemoFleetSheetTest : public SettingsCommandTest,
                           public ::testing::WithParamInterface<std::size_t> {
 protected:
  DemoFleetSheetTest() : SettingsCommandTest(/*adapters=*/0) {
    std::vector<sim::FleetAdapter> fleet = sim::DemoFleet();
    for (sim::FleetAdapter& adapter : fleet) {
      // At the tests' pace: a card that answers late would miss the shortened windows.
      for (CardProfile& card : adapter.cards) card.faults = {};
      cards.insert(cards.end(), adapter.cards.begin(), adapter.cards.end());
    }
    sim::Populate(segment, fleet);
  }

  std::vector<CardProfile> cards;
};

TEST_P(DemoFleetSheetTest, EveryDemoCardTakesANewStaticAddress) {
  OpenAndSearch(prompter);
  const CardProfile& profile = cards.at(GetParam());
  const QString key = QString::fromStdString(DeviceKey(profile.mac));
  int row = 0;
  while (row < list()->RowCount() && list()->ItemText(row, 0) != key) ++row;
  ASSERT_LT(row, list()->RowCount()) << key.toStdString();
  ClickRow(row);
  ASSERT_EQ(list()->SelectedRows(), std::vector<int>{row});
  prompter.passwords = {"demo"};  // asked only by the card that has it

  const std::uint32_t address = Ip(172, 16, 0, static_cast<unsigned>(10 + GetParam()));
  const QString text = QString::fromStdString(Ipv4Text(address));
  Settings([&](CfgSheet& sheet) {
    Click(sheet, "staticRadio");
    Child<IpAddressEdit>(sheet, "addressEdit")->SetValue(address);
    Click(sheet, "okButton");
  });
  ASSERT_TRUE(shown);
  EXPECT_TRUE(Messages().empty()) << Messages().front();
  ASSERT_TRUE(WaitForSearches(2));
  const auto card = segment.FindCard(profile.mac);
  EXPECT_EQ(ConfigOf(*card).ip_address, address);
  EXPECT_EQ(ConfigOf(*card).ipv4_mode, ipv4_mode::kStatic);
  EXPECT_EQ(list()->ItemText(list()->SelectedRows().front(), 0), key);
  EXPECT_EQ(list()->ItemText(list()->SelectedRows().front(), 2), text);
}

std::size_t DemoCardCount() {
  std::size_t count = 0;
  for (const sim::FleetAdapter& adapter : sim::DemoFleet()) count += adapter.cards.size();
  return count;
}

INSTANTIATE_TEST_SUITE_P(Cards, DemoFleetSheetTest,
                         ::testing::Range<std::size_t>(0, DemoCardCount()));

// ---- The hidden buttons

TEST_F(SettingsCommandTest, HiddenButtonsAreNeverShownAndFollowTheSelection) {
  AddCard(CardBuilder(kSerial + 1));
  AddCard(CardBuilder(kSerial + 2));
  OpenAndSearch(prompter);
  const std::map<const char*, QString> texts = {
      {"macButton", "MAC"},   {"ipSettingsButton", "&IP Settings..."},
      {"runButton", "RUN"},   {"setPasswordButton", "Set &Password..."},
      {"minimiseButton", ""}, {"serialNumberButton", "Serial &Number..."},
      {"endButton", ""}};
  for (const auto& [name, text] : texts) {
    ASSERT_NE(Hidden(name), nullptr) << name;
    EXPECT_TRUE(Hidden(name)->isHidden()) << name;
    EXPECT_EQ(Hidden(name)->text(), text) << name;
  }
  for (const char* name :
       {"macButton", "ipSettingsButton", "setPasswordButton", "runButton", "serialNumberButton"}) {
    EXPECT_TRUE(Hidden(name)->isEnabled()) << name;
  }

  ClickRow(1, Qt::ControlModifier);
  for (const char* name : {"macButton", "ipSettingsButton", "setPasswordButton"}) {
    EXPECT_FALSE(Hidden(name)->isEnabled()) << name;
  }
  EXPECT_TRUE(Hidden("runButton")->isEnabled());
  EXPECT_TRUE(Hidden("serialNumberButton")->isEnabled()) << "it looks at the first card alone";

  QSignalSpy ip(window.get(), &KestrelDlg::IpSettingsRequested);
  QSignalSpy password(window.get(), &KestrelDlg::SetPasswordRequested);
  window->RunCommand(CommandId::kIpSettings);
  window->RunCommand(CommandId::kSetPassword);
  EXPECT_EQ(ip.size() + password.size(), 0) << "not with two cards selected";
}

struct SerialRangeCase {
  std::uint32_t serial;
  bool offered;
};

void PrintTo(const SerialRangeCase& c, std::ostream* out) {
  *out << "serial " << c.serial;
}

class SerialNumberRangeTest : public SettingsCommandTest,
                              public ::testing::WithParamInterface<SerialRangeCase> {};

TEST_P(SerialNumberRangeTest, OfferedFromTheFirstFactoryAddressToTheLast) {
  AddCard(CardBuilder(GetParam().serial));
  OpenAndSearch(prompter);
  EXPECT_EQ(Hidden("serialNumberButton")->isEnabled(), GetParam().offered);
  QObject::disconnect(window.get(), &KestrelDlg::SerialNumberRequested, nullptr, nullptr);
  QSignalSpy requested(window.get(), &KestrelDlg::SerialNumberRequested);
  window->RunCommand(CommandId::kSerialNumber);
  EXPECT_EQ(requested.size(), GetParam().offered ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, SerialNumberRangeTest,
    ::testing::Values(SerialRangeCase{kSerial, true},            // 02-4B-51-00-00-00
                      SerialRangeCase{kSerial + 0x1FF, true},    // 02-4B-51-00-01-FF
                      SerialRangeCase{kSerial + 0x200, false},   // 02-4B-51-00-02-00
                      SerialRangeCase{kSerial - 1, false},       // 02-4B-50-FF-FF-FF
                      SerialRangeCase{kSerial + 0x10000, false}  // 02-4B-51-01-00-00
                      ),
    [](const auto& test) { return "Serial" + std::to_string(test.param.serial); });

TEST_F(SettingsCommandTest, MacAndRunDoNothing) {
  AddCard(CardBuilder(kSerial + 1));
  OpenAndSearch(prompter);
  const std::size_t frames = segment.SentFrames(0).size();
  window->RunCommand(CommandId::kMac);
  window->RunCommand(CommandId::kRun);
  EXPECT_EQ(segment.SentFrames(0).size(), frames);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(RefreshTimer()->intervalAsDuration(), timing.refresh_interval);
}

TEST_F(SettingsCommandTest, MinimiseButtonMinimises) {
  OpenAndSearch(prompter);
  window->RunCommand(CommandId::kMinimise);
  EXPECT_TRUE(window->windowState() & Qt::WindowMinimized);
}

TEST_F(SettingsCommandTest, EndButtonEndsAsWithOkWithoutTheClosingBox) {
  OpenAndSearch(prompter);
  window->RunCommand(CommandId::kEnd);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->result(), QDialog::Accepted);
  EXPECT_EQ(window->findChild<ClosingBox*>(), nullptr);
  EXPECT_FALSE(RefreshTimer()->isActive());
}

// ---- The standalone commands

TEST_F(SettingsCommandTest, IpSettingsAloneWritesTheShortBlockAndDoesNotSearchAgain) {
  auto card = AddCard(CardBuilder(kSerial + 1).Level(30).Dhcp(Ip(10, 0, 0, 9)));
  OpenAndSearch(prompter);
  QString title;
  bool mask_shown = true;
  WhenShown<PageDlg>([&](PageDlg& dialog) {
    title = dialog.windowTitle();
    mask_shown = !Child<IpAddressEdit>(dialog, "maskEdit")->IsBlank();
    Click(dialog, "staticRadio");
    SetAddress(dialog, "addressEdit", "10.0.0.33");
    Click(dialog, "okButton");
  });
  window->RunCommand(CommandId::kIpSettings);
  ASSERT_TRUE(shown);
  EXPECT_EQ(title, QStringLiteral("IPv4 Address"));
  EXPECT_FALSE(mask_shown) << "the page assumes the card's own level: DHCP below 31";
  EXPECT_EQ(card->LastWrite().size(), kShortConfigSize);
  EXPECT_EQ(ConfigOf(*card).ip_address, Ip(10, 0, 0, 33));
  EXPECT_EQ(ConfigOf(*card).ipv4_mode, ipv4_mode::kStatic);
  EXPECT_TRUE(Messages().empty());
  EXPECT_FALSE(window->SearchBusy());
  EXPECT_TRUE(TimerRestartedAfterCommand());
}

struct StandaloneCase {
  const char* name;
  CommandId command;
  const char* card_password;
  std::deque<std::optional<std::string>> typed;
  bool silent;
  bool page_shown;
  std::vector<std::string> messages;
};

void PrintTo(const StandaloneCase& c, std::ostream* out) {
  *out << c.name;
}

class StandaloneStatusTest : public SettingsCommandTest,
                             public ::testing::WithParamInterface<StandaloneCase> {};

TEST_P(StandaloneStatusTest, ThePasswordDecidesWhetherThePageOpens) {
  const StandaloneCase& c = GetParam();
  auto card = AddCard(CardBuilder(kSerial + 1).Password(c.card_password));
  OpenAndSearch(prompter);
  if (c.silent) {
    sim::CardFaults mute;
    mute.silent_after_discovery = true;
    card->SetFaults(mute);
  }
  prompter.passwords = c.typed;
  auto cancel = [](QDialog& dialog) { dialog.reject(); };
  WhenShown<QDialog>(cancel);
  window->RunCommand(c.command);
  EXPECT_EQ(shown, c.page_shown);
  EXPECT_EQ(Messages(), c.messages);
  EXPECT_TRUE(TimerRestartedAfterCommand());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StandaloneStatusTest,
    ::testing::Values(
        StandaloneCase{"IpNoPassword", CommandId::kIpSettings, "", {}, false, true, {}},
        StandaloneCase{
            "IpRightPassword", CommandId::kIpSettings, "demo", {"demo"}, false, true, {}},
        StandaloneCase{"IpWrongPassword",
                       CommandId::kIpSettings,
                       "demo",
                       {"nope"},
                       false,
                       false,
                       {"Incorrect Password."}},
        StandaloneCase{"IpPromptCancelled", CommandId::kIpSettings, "demo", {}, false, false, {}},
        StandaloneCase{"IpNoAnswer", CommandId::kIpSettings, "", {}, true, false, {}},
        StandaloneCase{"PasswordWrong",
                       CommandId::kSetPassword,
                       "demo",
                       {"nope"},
                       false,
                       false,
                       {"Incorrect Password."}},
        StandaloneCase{"PasswordRight", CommandId::kSetPassword, "demo", {"demo"}, false, true, {}},
        StandaloneCase{
            "SerialPromptCancelledGoesOn", CommandId::kSerialNumber, "demo", {}, false, true, {}},
        StandaloneCase{"SerialWrong",
                       CommandId::kSerialNumber,
                       "demo",
                       {"nope"},
                       false,
                       false,
                       {"Incorrect Password."}},
        StandaloneCase{"SerialNoAnswer", CommandId::kSerialNumber, "", {}, true, false, {}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(SettingsCommandTest, SetPasswordAloneSendsTheNewTextWhateverTheBox) {
  auto card = AddCard(CardBuilder(kSerial + 1).Password("demo"));
  OpenAndSearch(prompter);
  prompter.passwords = {"demo"};
  bool fields_closed = false;
  WhenShown<PageDlg>([&](PageDlg& dialog) {
    fields_closed = !Child<QLineEdit>(dialog, "newPasswordEdit")->isEnabled();
    Click(dialog, "okButton");  // unticked and empty: the password goes
  });
  window->RunCommand(CommandId::kSetPassword);
  ASSERT_TRUE(shown);
  EXPECT_TRUE(fields_closed);
  EXPECT_EQ(card->Password(), "");

  prompter.passwords.clear();
  WhenShown<PageDlg>([&](PageDlg& dialog) {
    Click(dialog, "enableBox");
    SetText(dialog, "newPasswordEdit", "a b");
    SetText(dialog, "confirmEdit", "a b");
    Click(dialog, "okButton");
    EXPECT_TRUE(dialog.isVisible());
    SetText(dialog, "newPasswordEdit", "ab");
    SetText(dialog, "confirmEdit", "ab");
    Click(dialog, "okButton");
  });
  window->RunCommand(CommandId::kSetPassword);
  ASSERT_TRUE(shown);
  EXPECT_EQ(Messages(), std::vector<std::string>{
                            "Password could not have space or left empty. \nPlease input a valid "
                            "password."});
  EXPECT_EQ(card->Password(), "ab");
}

TEST_F(SettingsCommandTest, SerialNumberGivesTheCardItsAddress) {
  auto card = AddCard(CardBuilder(kSerial + 5));
  OpenAndSearch(prompter);
  QString prefilled;
  WhenShown<SerialNumberDlg>([&](SerialNumberDlg& dialog) {
    prefilled = dialog.NumberText();
    auto* edit = Child<QLineEdit>(dialog, "serialNumberEdit");
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("1358954497"));
    QTest::keyClick(edit, Qt::Key_Return);
  });
  window->RunCommand(CommandId::kSerialNumber);
  ASSERT_TRUE(shown);
  EXPECT_EQ(prefilled, QStringLiteral("1358954496"));
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return card->Mac() == sim::MakerAddress(kSerial + 1); }, kWaitMs));
  EXPECT_TRUE(Messages().empty());
  EXPECT_FALSE(window->SearchBusy()) << "the list is not searched again";
}

TEST_F(SettingsCommandTest, SerialNumberRefusedIsWriteAbortAndEscapeSendsNothing) {
  sim::CardFaults refusing;
  refusing.factory_status = status::kRefused;
  auto card = AddCard(CardBuilder(kSerial + 5).Faults(refusing));
  OpenAndSearch(prompter);
  WhenShown<SerialNumberDlg>([](SerialNumberDlg& dialog) {
    QTest::keyClick(Child<QLineEdit>(dialog, "serialNumberEdit"), Qt::Key_Escape);
  });
  window->RunCommand(CommandId::kSerialNumber);
  ASSERT_TRUE(shown);
  EXPECT_EQ(card->RequestCount(code::kSetHardwareAddress), 0);

  WhenShown<SerialNumberDlg>([](SerialNumberDlg& dialog) { dialog.accept(); });
  window->RunCommand(CommandId::kSerialNumber);
  ASSERT_TRUE(shown);
  EXPECT_EQ(card->RequestCount(code::kSetHardwareAddress), 1);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Write Abort"});
}

// ---- After a refresh that finds nothing

TEST_F(SettingsCommandTest, ARefreshThatFindsNoCardLeavesTheSelectionBoxEmpty) {
  auto first = AddCard(CardBuilder(kSerial + 1));
  auto second = AddCard(CardBuilder(kSerial + 2));
  OpenAndSearch(prompter);
  ClickRow(1, Qt::ControlModifier);
  ASSERT_EQ(CountBox(), QStringLiteral("Select 2 of 2"));
  sim::CardFaults silent;
  silent.silent = true;
  first->SetFaults(silent);
  second->SetFaults(silent);
  window->RunCommand(CommandId::kRefresh);
  ASSERT_TRUE(WaitForSearches(2));
  EXPECT_EQ(list()->RowCount(), 0);
  EXPECT_EQ(InfoBox(), QStringLiteral("No device found"));
  EXPECT_EQ(CountBox(), QString());
  EXPECT_FALSE(Hidden("serialNumberButton")->isEnabled());
  EXPECT_FALSE(Hidden("ipSettingsButton")->isEnabled());
}

}  // namespace
}  // namespace quillon
