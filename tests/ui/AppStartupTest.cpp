#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/SingleInstanceLock.h"
#include "app/StartupNotice.h"
#include "sim/SimulatedSegment.h"

namespace quillon {
namespace {

TEST(SingleInstanceLock, SecondCopyIsRefusedUntilTheFirstEnds) {
  QTemporaryDir directory;
  const std::filesystem::path path = directory.path().toStdString();
  auto first = std::make_unique<SingleInstanceLock>(path);
  ASSERT_TRUE(first->Acquired());
  EXPECT_FALSE(SingleInstanceLock(path).Acquired());
  EXPECT_TRUE(std::filesystem::exists(path / SingleInstanceLock::kName));
  first.reset();
  EXPECT_TRUE(SingleInstanceLock(path).Acquired());
}

TEST(SingleInstanceLock, UnusableDirectoryMeansNoRun) {
  EXPECT_FALSE(SingleInstanceLock("/nonexistent/quillon").Acquired());
}

TEST(SingleInstanceLock, LivesInTheRuntimeDirectoryElseTheTemporaryOne) {
  EXPECT_EQ(LockDirectory("/run/user/1000"), std::filesystem::path("/run/user/1000"));
  EXPECT_EQ(LockDirectory(""), std::filesystem::temp_directory_path());
  EXPECT_EQ(LockDirectory(nullptr), std::filesystem::temp_directory_path());
}

class PrivilegeLackingDriver : public NoAdapterDriver {
 public:
  std::string PrivilegeProblem() override { return "no capture; run as root"; }
};

TEST(StartupNotice, SaysWhatKeepsTheProgramFromTheAdapters) {
  EXPECT_EQ(StartupNotice(nullptr), std::string(kNoSystemDriverNotice));
  PrivilegeLackingDriver lacking;
  EXPECT_EQ(StartupNotice(&lacking), std::string("no capture; run as root"));
  sim::SimulatedSegment segment;
  EXPECT_EQ(StartupNotice(&segment), std::nullopt);
}

}  // namespace
}  // namespace quillon
