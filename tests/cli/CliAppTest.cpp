#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/CliApp.h"
#include "cli/ProgressView.h"
#include "cli/TerminalPrompter.h"
#include "sim/DemoFleet.h"
#include "support/RecordingOpener.h"
#include "support/TestImages.h"

namespace quillon {
namespace {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

// Shortened, but long enough for the demo fleet's slow card.
Timing DemoTiming() {
  Timing timing = Timing::Shortened();
  timing.discovery_window = Millis{600};
  timing.query_window = Millis{600};
  return timing;
}

CliRun RunCli(std::vector<const char*> args, bool with_demo = true, bool terminal = false,
              std::shared_ptr<UrlOpener> opener = nullptr) {
  std::ostringstream out;
  std::ostringstream err;
  cli::CliEnvironment env{.out = out,
                          .err = err,
                          .timing = DemoTiming(),
                          .make_demo_driver = with_demo ? cli::MakeDemoDriver : nullptr,
                          .make_system_driver = [] { return std::unique_ptr<PacketDriver>(); },
                          .show_progress = terminal,
                          .in = nullptr,
                          .interactive = false,
                          .read_password = nullptr,
                          .live_output = false,
                          .opener = std::move(opener)};
  args.insert(args.begin(), "quillon-cli");
  const int status = cli::RunCli(static_cast<int>(args.size()), args.data(), env);
  return {status, out.str(), err.str()};
}

TEST(CliAppTest, ListJsonHasOneEntryPerDemoCardInSerialOrder) {
  const CliRun run = RunCli({"--demo", "list", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto devices = nlohmann::json::parse(run.out);
  std::size_t fleet_size = 0;
  for (const auto& adapter : sim::DemoFleet()) fleet_size += adapter.cards.size();
  ASSERT_EQ(devices.size(), fleet_size);
  std::uint64_t previous = 0;
  for (const auto& device : devices) {
    for (const char* field :
         {"serial", "mac", "ipv4", "adapter", "hardware", "firmware", "configVersion"}) {
      EXPECT_TRUE(device.contains(field)) << field;
    }
    const std::uint64_t serial = std::stoull(device["serial"].get<std::string>());
    EXPECT_GT(serial, previous);
    previous = serial;
  }
  EXPECT_EQ(devices[0]["mac"], "02-4B-51-00-00-03");
  EXPECT_EQ(devices[0]["adapter"], "sim1");
}

TEST(CliAppTest, ListPrintsATableForPeople) {
  const CliRun run = RunCli({"--demo", "list"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("Serial Number  MAC Address", 0), 0u);
  EXPECT_NE(run.out.find("1358954538     02-4B-51-00-00-2A  192.168.1.21"), std::string::npos);
}

TEST(CliAppTest, ShowFindsACardBySerialOrMac) {
  for (const char* target : {"1358954503", "02-4B-51-00-00-07", "02:4b:51:00:00:07"}) {
    const CliRun run = RunCli({"--demo", "show", target, "--json"});
    ASSERT_EQ(run.status, 0) << target << run.err;
    const auto card = nlohmann::json::parse(run.out);
    EXPECT_EQ(card["serial"], "1358954503");
    EXPECT_EQ(card["configVersion"], 33);
    EXPECT_EQ(card["ipv6"]["linkLocal"], "fe80::4b:51ff:fe00:7");
    EXPECT_EQ(card["ipv6"]["prefixLength"], 64);
  }
  const CliRun text = RunCli({"--demo", "show", "1358954584"});
  EXPECT_NE(text.out.find("Password          set"), std::string::npos) << text.out;
}

TEST(CliAppTest, UnknownCardIsAnErrorOnStderr) {
  const CliRun run = RunCli({"--demo", "show", "12345"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find("no card 12345"), std::string::npos);
}

TEST(CliAppTest, ACardThatIsNeitherSerialNorMacIsRefusedBeforeAnySearch) {
  for (const char* card : {"card-7", "4294967296", "02-4B-51-00-00"}) {
    const CliRun run = RunCli({"--demo", "show", card}, /*with_demo=*/false);
    EXPECT_NE(run.status, 0) << card;
    EXPECT_NE(run.err.find("neither a serial number"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("no driver"), std::string::npos) << "refused before any search";
  }
  for (const char* card : {"card-7", "02-4B-51-00-00"}) {
    const CliRun run = RunCli({"--demo", "open", card, "--print"}, /*with_demo=*/false);
    EXPECT_NE(run.status, 0) << card;
    EXPECT_NE(run.err.find("neither a serial number"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("no driver"), std::string::npos) << "refused before any search";
  }
}

TEST(CliAppTest, OnATerminalTheSearchShowsItsAdaptersAndAnswersUnlessJson) {
  const CliRun table = RunCli({"--demo", "list"}, true, /*terminal=*/true);
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_NE(table.err.find("Searching sim0, sim1: 0 cards answered"), std::string::npos)
      << table.err;
  EXPECT_NE(table.err.find("12 cards answered"), std::string::npos) << table.err;
  EXPECT_EQ(table.err.substr(table.err.size() - 5), "\r\x1b[2K")
      << "the line is cleared at the end";

  const CliRun show = RunCli({"--demo", "show", "1358954503"}, true, /*terminal=*/true);
  EXPECT_NE(show.err.find("Searching sim0, sim1"), std::string::npos) << show.err;
  EXPECT_EQ(RunCli({"--demo", "list", "--json"}, true, /*terminal=*/true).err, "");
  EXPECT_EQ(RunCli({"--demo", "list"}).err, "") << "nothing off a terminal";
}

TEST(CliAppTest, WithoutARealDriverItSaysSo) {
  const CliRun run = RunCli({"list"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("no driver for real network adapters"), std::string::npos);
}

TEST(CliAppTest, CommandIsRequired) {
  EXPECT_NE(RunCli({"--demo"}).status, 0);
}

TEST(CliUpgradeTest, UpgradesTheNamedCardsAndSummarises) {
  const std::string image = testing::WriteImageFile("cli-ok.bin", testing::MakeImage({}));
  const CliRun run = RunCli(
      {"--demo", "--adapter", "sim0", "upgrade", image.c_str(), "1358954538", "02-4B-51-00-00-07"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("1358954503: Downloading..."), std::string::npos)
      << "plain lines off a terminal";
  EXPECT_NE(run.out.find("1358954503  Download Successfully\n1358954538  Download Successfully\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("2 unit success, 0 unit fail. "), std::string::npos);
}

TEST(CliUpgradeTest, CardsOnDifferentAdaptersAreUpgradedInOneRun) {
  const std::string image = testing::WriteImageFile("cli-two.bin", testing::MakeImage({}));
  const CliRun run =
      RunCli({"--demo", "upgrade", image.c_str(), "1358955496", "1358954538", "02-4B-51-00-00-2A"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("1358954538  Download Successfully\n1358955496  Download Successfully\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("2 unit success, 0 unit fail. "), std::string::npos)
      << "a card named twice is upgraded once";
}

TEST(CliUpgradeTest, QuestionWithoutAnAnswerFailsThatCardInsteadOfWaiting) {
  struct Case {
    std::vector<const char*> extra;
    int status;
    const char* err_mentions;
  };
  const std::string older =
      testing::WriteImageFile("cli-older.bin", testing::MakeImage({.boot_version = 0}));
  const Case cases[] = {
      {{"1358954538"}, 1, "(--yes answers yes)"},
      {{"1358954538", "--yes"}, 0, ""},
      {{"1358954584", "--yes"}, 1, "give it with --password"},
      {{"1358954584", "--yes", "--password", "wrong"}, 1, "Incorrect Password."},
      {{"1358954584", "--yes", "--password", "demo"}, 0, ""},
  };
  for (const Case& c : cases) {
    std::vector<const char*> args{"--demo", "--adapter", "sim0", "upgrade", older.c_str()};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.err_mentions), std::string::npos) << run.err;
  }
}

TEST(CliUpgradeTest, RefusesBadInputBeforeTouchingTheNetwork) {
  const std::string short_image =
      testing::WriteImageFile("cli-short.bin", Bytes(kMinimumImageSize - 1, 0));
  struct Case {
    std::vector<const char*> args;
    const char* err_mentions;
  };
  const Case cases[] = {
      {{"--demo", "upgrade", short_image.c_str(), "--all"}, "at least 65512"},
      {{"--demo", "upgrade", "/nonexistent.bin", "--all"}, "cannot open"},
      {{"--demo", "upgrade", short_image.c_str()}, "--all"},
      {{"--demo", "upgrade", short_image.c_str(), "--all", "--password", "sixteen-chars-xx"},
       "at most 15 characters"},
  };
  for (const Case& c : cases) {
    const CliRun run = RunCli(c.args, /*with_demo=*/false);  // a search would fail loudly
    EXPECT_NE(run.status, 0);
    EXPECT_NE((run.err + run.out).find(c.err_mentions), std::string::npos) << run.err << run.out;
    EXPECT_EQ(run.err.find("no driver"), std::string::npos) << "refused before any search";
  }
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

// While the person types a password, the other cards' lines keep up: nothing waits for them.
TEST(CliTerminalTest, AnOpenQuestionDoesNotStopTheProgressLines) {
  std::ostringstream out;
  std::ostringstream err;
  std::future_status others = std::future_status::timeout;
  cli::CliEnvironment env{.out = out,
                          .err = err,
                          .timing = DemoTiming(),
                          .make_demo_driver = nullptr,
                          .make_system_driver = nullptr,
                          .show_progress = false,
                          .in = nullptr,
                          .interactive = true,
                          .read_password = nullptr,
                          .live_output = true,
                          .opener = nullptr};
  cli::ProgressView view(out, /*live=*/true);
  env.read_password = [&](const std::string&) -> std::optional<std::string> {
    auto other_card = std::async(std::launch::async, [&] {
      view.SetRowText("1358954538", "Download Successfully");
      view.SetProgress(50);
    });
    others = other_card.wait_for(std::chrono::seconds(20));
    return "pw";
  };
  cli::TerminalPrompter prompter(env, std::nullopt, false);
  prompter.question_begins = [&] { view.PauseDrawing(); };
  prompter.question_ends = [&] { view.ResumeDrawing(); };
  view.SetRowText("1358954584", "");
  EXPECT_EQ(prompter.AskPassword("MAC:02-4B-51-00-00-58", ""), "pw");
  EXPECT_EQ(others, std::future_status::ready);
  const std::string drawn = out.str();
  const std::size_t question = drawn.find("1358954538");
  EXPECT_NE(drawn.find("1358954538  [........................]  0%  Download Successfully"),
            std::string::npos)
      << drawn;
  EXPECT_NE(drawn.find("overall     [############............] 50%", question), std::string::npos)
      << "drawn again once the question is answered: " << drawn;
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

TEST(CliSetTest, ChangesOnlyWhatItsOptionsNameAndVerifies) {
  const CliRun run = RunCli({"--demo", "set", "1358954538", "--static", "192.168.1.77", "--mask",
                             "255.255.0.0", "--https", "off", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["outcome"], "verified");
  const auto& before = json["before"];
  const auto& after = json["after"];
  EXPECT_EQ(after["ipv4Settings"]["address"], "192.168.1.77");
  EXPECT_EQ(after["ipv4Settings"]["mask"], "255.255.0.0");
  EXPECT_EQ(after["services"]["https"]["enabled"], false);
  EXPECT_EQ(after["ipv4Settings"]["gateway"], before["ipv4Settings"]["gateway"]);
  EXPECT_EQ(after["services"]["http"], before["services"]["http"]);
  EXPECT_EQ(after["services"]["telnet"], before["services"]["telnet"]);
  EXPECT_EQ(after["services"]["ssh"], before["services"]["ssh"]);
}

TEST(CliSetTest, RunsTheSheetsChecksInTheSheetsOrder) {
  struct Case {
    std::vector<const char*> options;
    const char* err_mentions;
    const char* card = "1358954538";
  };
  const Case cases[] = {
      {{"--http", "0", "--static", "0.1.2.3"}, "HTTP port should be in between 1 to 65534"},
      {{"--static", "0.1.2.3", "--mask", "255.0.255.0"}, "Invalid IP Address"},
      {{"--gateway", "255.255.255.255", "--mask", "255.0.255.0", "--static", "192.168.1.9"},
       "Invalid Input Gateway Address 255.255.255.255"},
      {{"--https", "23"}, "Port numbers should not be same"},
      {{"--ssh", "3478"}, "Invalid port: 3478"},
      {{"--static", "192.168.1.9", "--mask", "255.255.255.1"}, "Invalid Subnet Mask"},
      {{"--dhcp", "--mask", "255.255.0.0"}, "--mask and --gateway belong to a static address"},
      {{"--bootp"}, "cannot obtain its address by BOOTP", "1358954508"},
      {{"--ipv6", "manual"}, "no IPv6 settings"},
  };
  for (const Case& c : cases) {
    std::vector<const char*> args{"--demo", "set", c.card};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 1) << c.err_mentions;
    EXPECT_NE(run.err.find(c.err_mentions), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
  }
}

TEST(CliSetTest, Ipv6AndLevelRules) {
  const CliRun manual = RunCli({"--demo", "set", "1358954503", "--ipv6", "manual", "--ipv6-address",
                                "2001:db8::99", "--ipv6-prefix", "56", "--json"});
  ASSERT_EQ(manual.status, 0) << manual.err;
  const auto after = nlohmann::json::parse(manual.out)["after"]["ipv6"];
  EXPECT_EQ(after["address"], "[2001:db8::99]") << "given its brackets";
  EXPECT_EQ(after["prefixLength"], 56);

  const CliRun prefix = RunCli({"--demo", "set", "1358954503", "--ipv6-prefix", "0"});
  EXPECT_EQ(prefix.status, 1);
  EXPECT_NE(prefix.err.find("Please Input an intger(1~127)"), std::string::npos) << prefix.err;

  const CliRun low = RunCli({"--demo", "set", "1358954508", "--telnet", "2300"});
  EXPECT_EQ(low.status, 1);
  EXPECT_NE(low.err.find("no Telnet setting at its configuration level 30"), std::string::npos);

  const CliRun same = RunCli({"--demo", "set", "1358954538", "--http", "80"});
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_NE(same.out.find("nothing was written"), std::string::npos);
}

TEST(CliSetTest, APasswordProtectedCardNeedsItsPassword) {
  const CliRun without = RunCli({"--demo", "set", "1358954584", "--ssh", "2222"});
  EXPECT_EQ(without.status, 1);
  EXPECT_NE(without.err.find("the card asks for a password; give it with --password"),
            std::string::npos)
      << without.err;
  const CliRun wrong = RunCli({"--demo", "set", "1358954584", "--ssh", "2222", "--password", "x"});
  EXPECT_NE(wrong.err.find("Incorrect Password."), std::string::npos) << wrong.err;
  const CliRun right =
      RunCli({"--demo", "set", "1358954584", "--ssh", "2222", "--password", "demo"});
  EXPECT_EQ(right.status, 0) << right.err;
}

TEST(CliPasswdTest, SetsOrRemovesAndChecksTheNewPassword) {
  const std::string file = ::testing::TempDir() + "/new-password";
  std::ofstream(file) << "fresh\n";
  const CliRun set = RunCli({"--demo", "passwd", "1358954584", "--new-password-file", file.c_str(),
                             "--password", "demo"});
  EXPECT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.out, "1358954584: password changed, verified\n");
  const CliRun removed =
      RunCli({"--demo", "passwd", "1358954584", "--remove", "--password", "demo"});
  EXPECT_EQ(removed.out, "1358954584: password removed, verified\n");
}

TEST(CliPasswdTest, BadNewPasswordsAreRefusedBeforeAnySearch) {
  const std::string dir = ::testing::TempDir();
  std::ofstream(dir + "/empty-password") << "\n";
  std::ofstream(dir + "/long-password") << "sixteen-chars-xx\n";
  std::ofstream(dir + "/spaced-password") << "two words\n";
  struct Case {
    std::vector<const char*> options;
    const char* err_mentions;
  };
  const std::string empty = dir + "/empty-password";
  const std::string long_one = dir + "/long-password";
  const std::string spaced = dir + "/spaced-password";
  const Case cases[] = {
      {{"--new-password-file", "/nonexistent"}, "cannot read a password from /nonexistent"},
      {{"--new-password-file", empty.c_str()}, "is empty"},
      {{"--new-password-file", long_one.c_str()}, "could not be longer than 15 characters"},
      {{"--new-password-file", spaced.c_str()}, "could not have space"},
      {{}, "give the new password with --new-password-file, or --remove"},
      {{"--remove", "--password-file", "/nonexistent"}, "cannot read a password"},
  };
  for (const Case& c : cases) {
    std::vector<const char*> args{"--demo", "passwd", "1358954538"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const CliRun run = RunCli(args, /*with_demo=*/false);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(c.err_mentions), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("no driver"), std::string::npos) << "refused before any search";
  }
}

TEST(CliAssignSerialTest, AsksParsesStrictlyAndVerifiesTheNewAddress) {
  const CliRun asked = RunCli({"--demo", "assign-serial", "1358954538", "1358954999"});
  EXPECT_EQ(asked.status, 1);
  EXPECT_NE(asked.err.find("the serial number 1358954999, MAC address 02-4B-51-00-01-F7? No"),
            std::string::npos)
      << asked.err;
  const CliRun done = RunCli({"--demo", "assign-serial", "1358954538", "1358954999", "--yes"});
  EXPECT_EQ(done.status, 0) << done.err;
  EXPECT_EQ(done.out, "1358954538: now 1358954999 (02-4B-51-00-01-F7), verified\n");
  for (const char* bad : {"12x", "-1", "4294967296", " 7"}) {
    const CliRun run = RunCli({"--demo", "assign-serial", "1358954538", bad}, false);
    EXPECT_NE(run.status, 0) << bad;
    EXPECT_NE(run.err.find("is not a serial number"), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

TEST(CliSetTest, AnAddressInUseAsksAndWithoutAnAnswerRefuses) {
  // 192.168.1.22 is the address of another demo card on the same segment.
  const CliRun refused = RunCli({"--demo", "set", "1358954538", "--static", "192.168.1.22"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("IP address: 192.168.1.22 already exists on the LAN. Are you sure "
                             "you want to continue? No (--yes answers yes)"),
            std::string::npos)
      << refused.err;
  const CliRun yes = RunCli({"--demo", "set", "1358954538", "--static", "192.168.1.22", "--yes"});
  EXPECT_EQ(yes.status, 0) << yes.err;
  const CliRun free = RunCli({"--demo", "set", "1358954538", "--static", "192.168.1.99"});
  EXPECT_EQ(free.status, 0) << free.err;
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

// ---- open

struct OpenCase {
  const char* name;
  std::vector<const char*> args;  // after "open"
  int status;
  const char* out;
  const char* err_mentions;
};

void PrintTo(const OpenCase& c, std::ostream* out) {
  *out << c.name;
}

class CliOpenPrint : public ::testing::TestWithParam<OpenCase> {};

TEST_P(CliOpenPrint, PrintsTheAddressTheLaunchWouldOpen) {
  const OpenCase& c = GetParam();
  std::vector<const char*> args{"--demo", "open"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  args.push_back("--print");
  const CliRun run = RunCli(args);
  EXPECT_EQ(run.status, c.status) << run.err;
  EXPECT_EQ(run.out, c.out);
  EXPECT_NE(run.err.find(c.err_mentions), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cards, CliOpenPrint,
    ::testing::Values(
        OpenCase{"HttpBeforeHttps", {"1358954538"}, 0, "http://192.168.1.21:80/\n", ""},
        OpenCase{"HttpsWhenHttpIsOff", {"1358954584"}, 0, "https://192.168.1.30:8443/\n", ""},
        OpenCase{"Ipv4OfAnIpv6Card",
                 {"02-4B-51-00-00-07"},
                 0,
                 "http://192.168.1.22:80/\n",
                 "has IPv6 addresses as well (--ipv6)"},
        OpenCase{
            "OneIpv6Address", {"1358954503", "--ipv6"}, 0, "http://[2001:db8:10::22]:80/\n", ""},
        OpenCase{"OnlyTheSecondIpv6Address",
                 {"1358954807", "--ipv6"},
                 0,
                 "http://[2001:db8:10::137]:80/\n",
                 ""},
        OpenCase{"TwoIpv6Addresses",
                 {"1358954521", "--ipv6"},
                 0,
                 "http://[2001:db8:20::25]:80/\nhttp://[2001:db8:20::8025]:80/\n",
                 ""},
        OpenCase{"BothPortsOffIsAnError",
                 {"1358954501"},
                 1,
                 "",
                 "1358954501 has no web interface: its HTTP and HTTPS ports are both off"},
        OpenCase{"Ipv6OfACardWithoutIsAnError",
                 {"1358954538", "--ipv6"},
                 1,
                 "",
                 "1358954538 has no IPv6 address (a card of configuration level 32; only level "
                 "33 has them)"},
        OpenCase{"UnknownCard", {"12345"}, 1, "", "no card 12345"}),
    [](const ::testing::TestParamInfo<OpenCase>& tested) {
      return std::string(tested.param.name);
    });

TEST(CliOpenTest, HandsTheAddressesToTheOpener) {
  auto opener = std::make_shared<RecordingOpener>();
  const CliRun run = RunCli({"--demo", "open", "1358954521", "--ipv6"}, true, false, opener);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(opener->addresses, (std::vector<std::string>{"http://[2001:db8:20::25]:80/",
                                                         "http://[2001:db8:20::8025]:80/"}));
}

TEST(CliOpenTest, AnOpenerFailureIsExplainedOnOneLine) {
  auto opener = std::make_shared<RecordingOpener>(url_open::kNoAssociation);
  const CliRun run = RunCli({"--demo", "open", "1358954538"}, true, false, opener);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("quillon-cli: cannot open http://192.168.1.21:80/: There is no "
                         "application associated with the given filename extension.\n"),
            std::string::npos)
      << run.err;
}

TEST(CliOpenTest, WithoutAnOpenerOnlyPrintWorks) {
  const CliRun run = RunCli({"--demo", "open", "1358954538"}, /*with_demo=*/false);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("--print prints it"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("no driver"), std::string::npos) << "said before any search";
}

}  // namespace
}  // namespace quillon
