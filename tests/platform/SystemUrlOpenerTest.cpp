// The system opener against fake browsers and a fake xdg-open: scripts in a temporary directory
// that write down their arguments. No real browser is ever started.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/SystemUrlOpener.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr char kAddress[] = "http://192.168.1.21:80/";

class SystemUrlOpenerTest : public ::testing::Test {
 protected:
  SystemUrlOpenerTest() {
    std::string pattern = (fs::temp_directory_path() / "quillon-opener-XXXXXX").string();
    dir = mkdtemp(pattern.data());
    // No fallback unless a test makes one: a missing program, never the real xdg-open.
    commands.fallback = (dir / "no-xdg-open").string();
  }
  ~SystemUrlOpenerTest() override { fs::remove_all(dir); }

  // A program that writes its arguments, one a line, to `name`.args and its pid to `name`.pid,
  // runs `body`, and exits with `status`.
  std::string Script(const std::string& name, int status, const std::string& body = "") {
    const fs::path path = dir / name;
    std::ofstream(path) << "#!/bin/sh\n"
                        << "printf '%s\\n' \"$@\" > '" << (dir / (name + ".args")).string() << "'\n"
                        << "echo $$ > '" << (dir / (name + ".pid")).string() << "'\n"
                        << body << "\nexit " << status << "\n";
    fs::permissions(path, fs::perms::owner_all);
    return path.string();
  }
  // The arguments `name` was started with; empty when it never ran.
  std::vector<std::string> Arguments(const std::string& name) {
    std::ifstream file(dir / (name + ".args"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }
  bool Ran(const std::string& name) { return fs::exists(dir / (name + ".args")); }
  bool WaitFor(const fs::path& path) {
    for (int i = 0; i < 500 && !fs::exists(path); ++i) std::this_thread::sleep_for(10ms);
    return fs::exists(path);
  }
  int Open(const std::string& address = kAddress) {
    return SystemUrlOpener(commands).Open(address);
  }

  fs::path dir;
  SystemUrlOpener::Commands commands;
};

TEST_F(SystemUrlOpenerTest, BrowserGetsTheAddressAppended) {
  commands.browsers = Script("browser", 0);
  EXPECT_EQ(Open(), url_open::kOpened);
  ASSERT_TRUE(WaitFor(dir / "browser.pid"));
  EXPECT_EQ(Arguments("browser"), std::vector<std::string>{kAddress});
}

TEST_F(SystemUrlOpenerTest, PercentSStandsForTheAddress) {
  commands.browsers = Script("browser", 0) + " --new-tab=%s 100%%";
  EXPECT_EQ(Open(), url_open::kOpened);
  ASSERT_TRUE(WaitFor(dir / "browser.pid"));
  EXPECT_EQ(Arguments("browser"),
            (std::vector<std::string>{std::string("--new-tab=") + kAddress, "100%"}));
}

TEST_F(SystemUrlOpenerTest, FirstBrowserThatStartsWins) {
  commands.browsers =
      (dir / "missing").string() + "::" + Script("second", 0) + ":" + Script("third", 0);
  EXPECT_EQ(Open(), url_open::kOpened);
  ASSERT_TRUE(WaitFor(dir / "second.pid"));
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(Ran("third"));
}

TEST_F(SystemUrlOpenerTest, AddressIsOneArgumentAndNoShellSeesIt) {
  const std::string address = "http://card.example/?a=1;touch $HOME/x&b='2' \"3\"";
  commands.browsers = Script("browser", 0);
  EXPECT_EQ(Open(address), url_open::kOpened);
  ASSERT_TRUE(WaitFor(dir / "browser.pid"));
  EXPECT_EQ(Arguments("browser"), std::vector<std::string>{address});
}

TEST_F(SystemUrlOpenerTest, BrowserRunsOnDetachedAndIsReapedWhenItEnds) {
  // The browser waits for a word from the test: had Open waited for it, it would have given up
  // and said so.
  const fs::path go = dir / "go";
  commands.browsers = Script("browser", 0,
                             "i=0; while [ ! -e '" + go.string() +
                                 "' ]; do i=$((i+1)); [ $i -gt 1000 ] && echo timeout > '" +
                                 (dir / "gave-up").string() + "' && exit 1; sleep 0.01; done");
  EXPECT_EQ(Open(), url_open::kOpened);
  ASSERT_TRUE(WaitFor(dir / "browser.pid"));
  std::ofstream(go) << "go";
  pid_t pid = 0;
  std::ifstream(dir / "browser.pid") >> pid;
  ASSERT_GT(pid, 0);
  // A zombie keeps its /proc entry until it is reaped.
  const fs::path entry = "/proc/" + std::to_string(pid);
  for (int i = 0; i < 500 && fs::exists(entry); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_FALSE(fs::exists(entry)) << "the ended browser is still a zombie";
  EXPECT_FALSE(fs::exists(dir / "gave-up"));
}

TEST_F(SystemUrlOpenerTest, XdgOpenWhenNoBrowserStarts) {
  commands.browsers = (dir / "missing").string();
  commands.fallback = Script("xdg-open", 0);
  EXPECT_EQ(Open(), url_open::kOpened);
  EXPECT_EQ(Arguments("xdg-open"), std::vector<std::string>{kAddress});
}

TEST_F(SystemUrlOpenerTest, FallbackStillRunningAfterItsWaitCountsAsOpened) {
  commands.fallback = Script("xdg-open", 1, "sleep 1");
  commands.fallback_wait = 100ms;
  EXPECT_EQ(Open(), url_open::kOpened);
}

TEST_F(SystemUrlOpenerTest, EmptyAddressStartsNothing) {
  commands.browsers = Script("browser", 0);
  EXPECT_EQ(Open(""), url_open::kFileNotFound);
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(Ran("browser"));
}

TEST_F(SystemUrlOpenerTest, BrowserFromTheEnvironment) {
  const std::string browser = Script("browser", 0);
  ASSERT_EQ(setenv("BROWSER", browser.c_str(), 1), 0);
  const int result = SystemUrlOpener().Open(kAddress);
  unsetenv("BROWSER");
  EXPECT_EQ(result, url_open::kOpened);
  ASSERT_TRUE(WaitFor(dir / "browser.pid"));
  EXPECT_EQ(Arguments("browser"), std::vector<std::string>{kAddress});
}

// xdg-open's exit status, and the start's failure, in the label's codes.
struct FallbackCase {
  const char* what;
  int exit_status;      // of the fake xdg-open; -1: no script, see `program`
  const char* program;  // relative to the test directory, when exit_status is -1
  int code;
};

void PrintTo(const FallbackCase& c, std::ostream* out) {
  *out << c.what;
}

class FallbackFailure : public SystemUrlOpenerTest,
                        public ::testing::WithParamInterface<FallbackCase> {};

TEST_P(FallbackFailure, GivesItsCode) {
  const FallbackCase& c = GetParam();
  if (c.exit_status >= 0) {
    commands.fallback = Script("xdg-open", c.exit_status);
  } else {
    std::ofstream(dir / "plain-file") << "not a program\n";
    commands.fallback = (dir / c.program).string();
  }
  EXPECT_EQ(Open(), c.code);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FallbackFailure,
    ::testing::Values(FallbackCase{"AddressDoesNotExist", 2, "", url_open::kFileNotFound},
                      FallbackCase{"NoToolForIt", 3, "", url_open::kNoAssociation},
                      FallbackCase{"ToolFailed", 4, "", url_open::kUnknownFailure},
                      FallbackCase{"BadCommandLine", 1, "", url_open::kUnknownFailure},
                      FallbackCase{"Missing", -1, "missing", url_open::kFileNotFound},
                      FallbackCase{"NotExecutable", -1, "plain-file", url_open::kAccessDenied},
                      FallbackCase{"UnderAFile", -1, "plain-file/xdg-open",
                                   url_open::kPathNotFound}),
    [](const auto& test) { return std::string(test.param.what); });

TEST(BrowserArguments, SplitAtBlanks) {
  EXPECT_EQ(SystemUrlOpener::BrowserArguments("  firefox\t-new-window  ", "u"),
            (std::vector<std::string>{"firefox", "-new-window", "u"}));
  EXPECT_EQ(SystemUrlOpener::BrowserArguments("open %s%s", "u"),
            (std::vector<std::string>{"open", "uu"}));
  EXPECT_TRUE(SystemUrlOpener::BrowserArguments("   ", "u").empty());
}

}  // namespace
}  // namespace quillon
