#include <gtest/gtest.h>

#include <set>

#include "flows/SettingsFlow.h"
#include "flows/StandaloneFlows.h"
#include "protocol/DeviceCommands.h"
#include "support/ScriptedPrompter.h"
#include "support/SimFixture.h"

namespace quillon {
namespace {

using sim::CardBuilder;
using sim::CardFaults;

constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
  return (a << 24) | (b << 16) | (c << 8) | d;
}

// The segment, with a probe that answers for the addresses a test names.
class ProbingDriver : public PacketDriver {
 public:
  explicit ProbingDriver(PacketDriver& inner) : inner_(inner) {}
  AdapterList ListAdapters() override { return inner_.ListAdapters(); }
  OpenedAdapter OpenAdapter(const std::string& name) override { return inner_.OpenAdapter(name); }
  std::unique_ptr<AddressProbe> OpenAddressProbe(const std::string& name) override {
    struct Probe : AddressProbe {
      Probe(ProbingDriver& owner, std::string name) : driver(owner), adapter(std::move(name)) {}
      bool AddressAnswers(std::uint32_t address, Millis) override {
        driver.asked.emplace_back(adapter, address);
        return driver.answering.contains(address);
      }
      ProbingDriver& driver;
      std::string adapter;
    };
    return std::make_unique<Probe>(*this, name);
  }

  std::set<std::uint32_t> answering;
  std::vector<std::pair<std::string, std::uint32_t>> asked;

 private:
  PacketDriver& inner_;
};

class SettingsFlowTest : public testing::SimFixture {
 protected:
  SettingsFlowTest() {
    session = std::make_unique<Session>(probing, timing, nullptr);
    session->EnumerateAdapters();
  }

  // The flow on a card, its block read.
  std::unique_ptr<SettingsFlow> Open(const std::shared_ptr<sim::SimulatedCard>& card) {
    auto flow = std::make_unique<SettingsFlow>(*session, prompter, card->Record());
    EXPECT_TRUE(flow->Read());
    return flow;
  }

  // The request frames of a code the host sent on adapter 0.
  std::vector<Bytes> Sent(std::uint16_t code) const {
    std::vector<Bytes> frames;
    for (const Bytes& frame : segment.SentFrames(0)) {
      if (frame.size() >= frame::kData && LoadBe16(frame, frame::kCode) == code) {
        frames.push_back(frame);
      }
    }
    return frames;
  }
  static std::string RequestPassword(const Bytes& frame) {
    return FrameHeader::Decode(frame)->PasswordText();
  }

  ProbingDriver probing{segment};
  testing::ScriptedPrompter prompter;
};

TEST_F(SettingsFlowTest, CardThatDoesNotAnswerGetsNoRespondAndNoSheet) {
  CardFaults mute;
  mute.silent_after_discovery = true;
  const auto card = AddCard(CardBuilder(kSerial + 1).Faults(mute));
  SettingsFlow flow(*session, prompter, card->Record());
  EXPECT_FALSE(flow.Read());
  EXPECT_EQ(prompter.Asked(), std::vector<std::string>{"message No respond!"});
}

TEST_F(SettingsFlowTest, OkWithoutChangesChecksThePasswordOnceAndWritesNothing) {
  const auto card = AddCard(CardBuilder(kSerial + 1));
  const auto flow = Open(card);
  const SheetEntries entries = flow->SheetOpening();
  EXPECT_FALSE(flow->Confirm(entries));
  const SettingsFlow::Applied applied = flow->Apply(entries);
  EXPECT_FALSE(applied.written);
  EXPECT_FALSE(applied.refresh);
  EXPECT_EQ(Sent(code::kCheckPassword).size(), 1u);
  EXPECT_TRUE(Sent(code::kWriteConfig).empty());
  EXPECT_TRUE(probing.asked.empty()) << "an unchanged address is not probed";
  EXPECT_TRUE(prompter.Asked().empty());
}

TEST_F(SettingsFlowTest, DhcpBelowTheFullFormWritesTheAddressInUseAsConfigured) {
  CardBuilder builder(kSerial + 1);
  builder.Level(30).Dhcp(Ip(10, 0, 0, 77));
  builder.config.ip_address = Ip(10, 0, 0, 5);
  const auto card = AddCard(builder);
  const auto flow = Open(card);
  const SheetEntries entries = flow->SheetOpening();
  EXPECT_EQ(entries.settings.address, Ip(10, 0, 0, 77));
  EXPECT_TRUE(flow->Changed(entries));
  EXPECT_FALSE(flow->Confirm(entries));
  EXPECT_TRUE(flow->Apply(entries).written);
  EXPECT_EQ(DeviceConfig::Decode(card->Config()).ip_address, Ip(10, 0, 0, 77));

  EXPECT_FALSE(flow->Changed(flow->AsConfigured())) << "as configured, nothing changed";
}

TEST_F(SettingsFlowTest, ChangedSettingsAreWrittenWithEverythingElseAsRead) {
  CardBuilder builder(kSerial + 1);
  builder.Level(33).Ipv6(4, "[2001:db8::5]", "[2001:db8::1]", 64, "fe80::5");
  builder.config.reserved_48[3] = 0x5A;  // nothing the program knows
  const auto card = AddCard(builder);
  const auto flow = Open(card);
  SheetEntries entries = flow->SheetOpening();
  entries.settings.mask = Ip(255, 255, 0, 0);
  entries.settings.https = {true, true, 8443};
  entries.settings.telnet.enabled = false;
  entries.ipv6 = Ipv6Entries{3, "[2001:db8::9]", "48", ""};
  ASSERT_FALSE(flow->Confirm(entries));
  const SettingsFlow::Applied applied = flow->Apply(entries);
  EXPECT_TRUE(applied.written);
  EXPECT_EQ(applied.write_status, status::kDone);
  EXPECT_TRUE(applied.refresh);

  const DeviceConfig now = DeviceConfig::Decode(card->Config());
  EXPECT_EQ(now.subnet_mask, Ip(255, 255, 0, 0));
  EXPECT_EQ(now.https_port, 8443);
  EXPECT_EQ(now.telnet_port, kPortDisabled);
  EXPECT_EQ(now.http_port, 80);
  EXPECT_EQ(now.Ipv6AddressText(), "[2001:db8::9]");
  EXPECT_EQ(now.Ipv6GatewayText(), "");
  EXPECT_EQ(now.ipv6_prefix_length, 48);
  EXPECT_EQ(now.reserved_48[3], 0x5A);
  EXPECT_EQ(now.ip_address, Ip(192, 168, 1, 100));
}

TEST_F(SettingsFlowTest, SecureServicesChangedOnALowLevelCardAreWritten) {
  const auto card = AddCard(CardBuilder(kSerial + 1).Level(30).Ports(80, 23, 443, 22));
  const auto flow = Open(card);
  SheetEntries entries = flow->SheetOpening();
  entries.settings.ssh.port = 2222;
  EXPECT_TRUE(flow->Changed(entries));
  ASSERT_FALSE(flow->Confirm(entries));
  flow->Apply(entries);
  EXPECT_EQ(DeviceConfig::Decode(card->Config()).ssh_port, 2222);
  EXPECT_EQ(DeviceConfig::Decode(card->Config()).http_port, 80) << "not this level's to write";
}

TEST_F(SettingsFlowTest, AFailedCheckIsShownAndNothingIsSent) {
  const auto card = AddCard(CardBuilder(kSerial + 1));
  const auto flow = Open(card);
  SheetEntries entries = flow->SheetOpening();
  entries.settings.gateway = Ip(255, 255, 255, 255);
  const CheckResult failure = flow->Confirm(entries);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->field, SettingsField::kGateway);
  EXPECT_EQ(prompter.Asked(),
            std::vector<std::string>{"message Invalid Input Gateway Address 255.255.255.255"});
  EXPECT_TRUE(Sent(code::kCheckPassword).empty());
}

TEST_F(SettingsFlowTest, AnAddressThatAnswersAsksFirstAndNoKeepsTheSheetOpen) {
  const auto card = AddCard(CardBuilder(kSerial + 1));
  probing.answering = {Ip(192, 168, 1, 50)};
  const auto flow = Open(card);
  SheetEntries entries = flow->SheetOpening();
  entries.settings.address = Ip(192, 168, 1, 50);

  prompter.yes_no = {false};
  const CheckResult no = flow->Confirm(entries);
  ASSERT_TRUE(no);
  EXPECT_EQ(no->message, "");
  EXPECT_EQ(no->field, SettingsField::kAddress);
  EXPECT_EQ(prompter.Asked().back(),
            "yes/no IP address: 192.168.1.50 already exists on the LAN. Are you sure you want to "
            "continue?");
  EXPECT_TRUE(Sent(code::kCheckPassword).empty());
  ASSERT_EQ(probing.asked.size(), 1u);
  EXPECT_EQ(probing.asked[0], (std::pair<std::string, std::uint32_t>{"sim0", Ip(192, 168, 1, 50)}));

  prompter.yes_no = {true};
  EXPECT_FALSE(flow->Confirm(entries));
  flow->Apply(entries);
  EXPECT_EQ(DeviceConfig::Decode(card->Config()).ip_address, Ip(192, 168, 1, 50));

  entries.settings.address = Ip(192, 168, 1, 51);  // nobody has it: no question
  const std::size_t questions = prompter.Asked().size();
  EXPECT_FALSE(flow->Confirm(entries));
  EXPECT_EQ(prompter.Asked().size(), questions);
}

TEST_F(SettingsFlowTest, TheSheetsPasswordTest) {
  struct Case {
    std::optional<std::string> typed;  // nothing: Cancel
    bool closes;
    std::vector<std::string> shown;
  };
  const Case cases[] = {
      {std::nullopt, false, {"password  []"}},
      {std::string("wrong"), false, {"password  []", "message Incorrect Password."}},
      {std::string("pw"), true, {"password  []"}},
  };
  const auto card = AddCard(CardBuilder(kSerial + 1).Password("pw"));
  for (const Case& c : cases) {
    testing::ScriptedPrompter asked;
    asked.passwords = {c.typed};
    SettingsFlow flow(*session, asked, card->Record());
    ASSERT_TRUE(flow.Read());
    SheetEntries entries = flow.SheetOpening();
    EXPECT_EQ(entries.password.new_password, kPasswordPlaceholder);
    EXPECT_EQ(!flow.Confirm(entries), c.closes) << c.typed.value_or("cancel");
    EXPECT_EQ(asked.Asked(), c.shown);
    if (!c.closes) continue;
    entries.settings.gateway = Ip(192, 168, 1, 254);
    flow.Apply(entries);
    ASSERT_FALSE(Sent(code::kWriteConfig).empty());
    EXPECT_EQ(RequestPassword(Sent(code::kWriteConfig).back()), "pw");
    EXPECT_TRUE(Sent(code::kChangePassword).empty()) << "the placeholder changes nothing";
  }
}

// What goes to the card after OK, by the password page's state.
TEST_F(SettingsFlowTest, PasswordChangeFollowsThePagesState) {
  struct Case {
    const char* card_password;  // "" none
    bool ticked;
    const char* new_text;
    bool sent;
    const char* request;   // the request's password when sent
    const char* password;  // the card's afterwards
  };
  const Case cases[] = {
      {"", true, "fresh", true, "", "fresh"},
      {"pw", true, "fresh", true, "pw", "fresh"},
      {"pw", true, kPasswordPlaceholder, false, "", "pw"},
      {"pw", false, "ignored", true, "", ""},
      {"", false, "ignored", false, "", ""},
  };
  std::uint32_t serial = kSerial;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.card_password) + (c.ticked ? " ticked " : " cleared ") + c.new_text);
    const auto card = AddCard(CardBuilder(++serial).Password(c.card_password));
    testing::ScriptedPrompter asked;
    asked.passwords = {std::string(c.card_password)};
    SettingsFlow flow(*session, asked, card->Record());
    ASSERT_TRUE(flow.Read());
    SheetEntries entries = flow.SheetOpening();
    entries.password = {c.ticked, c.new_text, c.new_text};
    ASSERT_FALSE(flow.Confirm(entries));
    const std::size_t before = Sent(code::kChangePassword).size();
    const SettingsFlow::Applied applied = flow.Apply(entries);
    EXPECT_EQ(applied.password_sent, c.sent);
    EXPECT_EQ(applied.refresh, c.sent);
    ASSERT_EQ(Sent(code::kChangePassword).size(), before + (c.sent ? 1 : 0));
    if (c.sent) {
      EXPECT_EQ(RequestPassword(Sent(code::kChangePassword).back()), c.request);
    }
    EXPECT_EQ(card->Password(), c.password);
  }
}

TEST_F(SettingsFlowTest, ACardThatStopsAnsweringBeforeThePasswordChangeGetsTheAbort) {
  const auto card = AddCard(CardBuilder(kSerial + 1));
  const auto flow = Open(card);
  SheetEntries entries = flow->SheetOpening();
  entries.password = {true, "fresh", "fresh"};
  ASSERT_FALSE(flow->Confirm(entries));
  CardFaults mute;
  mute.silent = true;
  card->SetFaults(mute);
  const SettingsFlow::Applied applied = flow->Apply(entries);
  EXPECT_EQ(applied.password_status, status::kNoReply);
  EXPECT_EQ(prompter.Asked().back(), "message Set Password Abort");
}

// ---- The hidden commands

TEST_F(SettingsFlowTest, Ipv4SettingsAloneReadAndWriteTheShortBlock) {
  const auto card =
      AddCard(CardBuilder(kSerial + 1).Level(30).Dhcp(Ip(10, 0, 0, 9)).Password("pw"));
  prompter.passwords = {std::string("pw")};
  Ipv4SettingsFlow flow(*session, prompter, card->Record());
  ASSERT_TRUE(flow.Begin());
  Ipv4Entries page = flow.Page();
  EXPECT_EQ(page.mode, ipv4_mode::kDhcp);
  EXPECT_TRUE(page.dhcp_box);
  EXPECT_EQ(page.level, 30);
  EXPECT_EQ(Sent(code::kReadConfig).back().size(), 42u + kShortConfigSize);

  page.mask = Ip(255, 255, 255, 1);
  ASSERT_TRUE(flow.Finish(page));
  EXPECT_EQ(prompter.Asked().back(), "message Invalid Subnet Mask");
  page = {ipv4_mode::kStatic, Ip(10, 0, 0, 20), Ip(255, 255, 255, 0), Ip(10, 0, 0, 1), 30, false};
  EXPECT_FALSE(flow.Finish(page));
  EXPECT_EQ(flow.WriteStatus(), status::kDone);
  EXPECT_EQ(card->LastWrite().size(), kShortConfigSize);
  EXPECT_EQ(RequestPassword(Sent(code::kWriteConfig).back()), "pw");
  EXPECT_EQ(DeviceConfig::Decode(card->Config()).ip_address, Ip(10, 0, 0, 20));
}

TEST_F(SettingsFlowTest, StandaloneCommandsEndOnTheirStatusRules) {
  const auto card = AddCard(CardBuilder(kSerial + 1).Password("pw"));
  struct Case {
    std::optional<std::string> typed;
    bool begins;
    std::vector<std::string> shown;
  };
  const Case cases[] = {
      {std::nullopt, false, {"password  []"}},
      {std::string("wrong"), false, {"password  []", "message Incorrect Password."}},
      {std::string("pw"), true, {"password  []"}},
  };
  for (const Case& c : cases) {
    testing::ScriptedPrompter ipv4_asked;
    ipv4_asked.passwords = {c.typed};
    EXPECT_EQ(Ipv4SettingsFlow(*session, ipv4_asked, card->Record()).Begin(), c.begins);
    EXPECT_EQ(ipv4_asked.Asked(), c.shown);

    testing::ScriptedPrompter password_asked;
    password_asked.passwords = {c.typed};
    EXPECT_EQ(SetPasswordFlow(*session, password_asked, card->Record()).Begin(), c.begins);
    EXPECT_EQ(password_asked.Asked(), c.shown);
  }
  CardFaults mute;
  mute.silent_after_discovery = true;
  const auto silent = AddCard(CardBuilder(kSerial + 2).Faults(mute));
  EXPECT_FALSE(Ipv4SettingsFlow(*session, prompter, silent->Record()).Begin());
  EXPECT_FALSE(SerialNumberFlow(*session, prompter, silent->Record()).Begin());
  EXPECT_TRUE(prompter.Asked().empty()) << "no answer ends them silently";
}

TEST_F(SettingsFlowTest, SetPasswordAloneChecksTwiceAndSendsThePagesText) {
  const auto card = AddCard(CardBuilder(kSerial + 1));
  SetPasswordFlow flow(*session, prompter, card->Record());
  ASSERT_TRUE(flow.Begin());
  EXPECT_EQ(Sent(code::kCheckPassword).size(), 2u) << "the second check goes out without a prompt";
  ASSERT_TRUE(flow.Finish({true, "a", "b"}));
  EXPECT_TRUE(Sent(code::kChangePassword).empty());
  EXPECT_FALSE(flow.Finish({false, "unticked", "whatever"}));
  EXPECT_EQ(card->Password(), "unticked") << "sent whatever the box says";

  testing::ScriptedPrompter asked;
  asked.passwords = {std::string("unticked")};
  SetPasswordFlow again(*session, asked, card->Record());
  ASSERT_TRUE(again.Begin());
  card->SetFaults([] {
    CardFaults silent;
    silent.silent = true;
    return silent;
  }());
  EXPECT_FALSE(again.Finish({true, "next", "next"}));
  EXPECT_EQ(asked.Asked().back(), "message Set Password Abort");
}

TEST_F(SettingsFlowTest, SerialNumberStatusRules) {
  struct Case {
    std::optional<ReplyStatus> status;  // of every factory command; nothing: the card's own
    bool not_ready_first;
    SerialNumberFlow::Outcome outcome;
    const char* shown;  // the last message, or ""
    std::size_t sent;
  };
  using Outcome = SerialNumberFlow::Outcome;
  const Case cases[] = {
      {std::nullopt, false, Outcome::kDone, "", 1},
      {std::nullopt, true, Outcome::kDone, "", 2},
      {ReplyStatus{3}, false, Outcome::kBusyTwice, "Download Failed", 2},
      {ReplyStatus{1}, false, Outcome::kRefused, "Write Abort", 1},
      {ReplyStatus{0x8002}, false, Outcome::kEnded, "", 1},
      {ReplyStatus{7}, false, Outcome::kDone, "", 1},
  };
  std::uint32_t serial = kSerial + 10;
  for (const Case& c : cases) {
    CardFaults faults;
    faults.factory_status = c.status;
    faults.not_ready_first = c.not_ready_first;
    const auto card = AddCard(CardBuilder(++serial).HardwareText("QN-9100 rev B").Faults(faults));
    testing::ScriptedPrompter asked;
    SerialNumberFlow flow(*session, asked, card->Record());
    ASSERT_TRUE(flow.Begin());
    const std::size_t before = Sent(code::kSetHardwareAddress).size();
    EXPECT_EQ(flow.Assign(1358954497), c.outcome);
    EXPECT_EQ(Sent(code::kSetHardwareAddress).size() - before, c.sent);
    EXPECT_EQ(asked.Asked().empty() ? "" : asked.Asked().back(),
              std::string(*c.shown ? "message " : "") + c.shown);
  }
  const Bytes block = Sent(code::kSetHardwareAddress).front();
  EXPECT_EQ(MacAddress::From(block, frame::kData + 4).ToString(), "02-4B-51-00-00-01");
  EXPECT_EQ(FieldText(Slice(block, frame::kData + 12, 16)), "QN-9100 rev B");
}

TEST_F(SettingsFlowTest, SerialNumberGoesOnWithTheEmptyPasswordWhenThePromptIsCancelled) {
  const auto card = AddCard(CardBuilder(kSerial + 1).Password("pw"));
  SerialNumberFlow flow(*session, prompter, card->Record());
  EXPECT_TRUE(flow.Begin());
  EXPECT_EQ(flow.Assign(0), SerialNumberFlow::Outcome::kRefused) << "the card wants its password";
  EXPECT_EQ(RequestPassword(Sent(code::kSetHardwareAddress).back()), "");
}

TEST(SerialNumberCommandOfferedTest, OnlyForTheFactoryRange) {
  struct Case {
    const char* mac;
    bool offered;
  };
  const Case cases[] = {{"02-4B-51-00-00-00", true},  {"02-4B-51-00-01-FF", true},
                        {"02-4B-51-00-02-00", false}, {"02-4B-51-01-00-00", false},
                        {"02-4B-52-00-00-00", false}, {"03-4B-51-00-00-00", false}};
  for (const Case& c : cases) {
    EXPECT_EQ(SerialNumberCommandOffered(*MacAddress::Parse(c.mac)), c.offered) << c.mac;
  }
}

}  // namespace
}  // namespace quillon
