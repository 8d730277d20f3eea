#include <gtest/gtest.h>

#include <future>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/CliApp.h"
#include "cli/ProgressView.h"
#include "cli/TerminalPrompter.h"
#include "sim/DemoFleet.h"
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

CliRun RunCli(std::vector<const char*> args, bool with_demo = true, bool terminal = false) {
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
                          .live_output = false};
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
                          .live_output = true};
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
