#include <gtest/gtest.h>

#include <mutex>

#include "protocol/DeviceCommands.h"
#include "support/SimFixture.h"

namespace quillon {
namespace {

class SessionTest : public testing::SimFixture {};

TEST_F(SessionTest, NoticesFromEveryAdapterReachTheOneWindow) {
  std::mutex mutex;
  std::vector<MacAddress> noticed;
  session->SetNotifyWindow([&](const MacAddress& card) {
    std::lock_guard lock(mutex);
    noticed.push_back(card);
  });
  for (int adapter : {0, 1}) {
    const MacAddress card = sim::MakerAddress(kSerial + static_cast<std::uint32_t>(adapter));
    FrameHeader notice;
    notice.code = code::kNotice;
    segment.InjectFrame(adapter, BuildReplyFrame(segment.HostAddress(adapter), card, notice, {}));
    EXPECT_TRUE(link(adapter).Notices().WaitFor(card, Millis{2000})) << adapter;
  }
  session->SetNotifyWindow(nullptr);
  std::lock_guard lock(mutex);
  EXPECT_EQ(noticed,
            (std::vector<MacAddress>{sim::MakerAddress(kSerial), sim::MakerAddress(kSerial + 1)}));
}

TEST_F(SessionTest, EveryAdapterHasItsOwnQueueAndStash) {
  const auto card = AddCard(sim::CardBuilder(kSerial + 1), 1);
  EXPECT_EQ(CheckPassword(transactions(0), card->Mac(), {}), status::kNoReply)
      << "not on the first adapter's segment";
  EXPECT_EQ(CheckPassword(transactions(1), card->Mac(), {}), status::kDone);
  EXPECT_NE(&link(0), &link(1));
  EXPECT_NE(link(0).OwnAddress(), link(1).OwnAddress());
}

}  // namespace
}  // namespace quillon
