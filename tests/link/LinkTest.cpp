#include <gtest/gtest.h>

#include <atomic>

#include "link/Link.h"
#include "support/FakeDriver.h"

namespace quillon {
namespace {

using testing::FakeDriver;

const MacAddress kCard{{0x02, 0x4B, 0x51, 0x00, 0x00, 0x2A}};

Bytes FrameOfLength(std::size_t length, std::uint16_t code = 0x2003) {
  Bytes frame(length, 0);
  if (length >= 18) {
    kCard.StoreTo(frame, 6);
    frame[12] = 0x4D;
    frame[13] = 0x45;
    StoreBe16(frame, 16, code);
  }
  return frame;
}

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(link.OpenLink("fake0")); }

  FakeDriver driver;
  std::vector<std::string> diagnostics;
  Link link{driver, [this](const std::string& line) { diagnostics.push_back(line); }};
};

TEST_F(LinkTest, LengthRulesHoldInBothDirections) {
  struct Case {
    std::size_t length;
    bool accepted;
  };
  for (const Case c : {Case{1600, true}, Case{1601, false}, Case{0, false}, Case{60, true}}) {
    SCOPED_TRACE(c.length);
    const std::size_t sent_before = driver.Sent().size();
    EXPECT_EQ(link.SendFrame(FrameOfLength(c.length)), c.accepted);
    EXPECT_EQ(driver.Sent().size(), sent_before + (c.accepted ? 1 : 0));

    driver.Deliver(FrameOfLength(c.length));
    const auto received = link.ReceiveFrame();
    ASSERT_EQ(received.has_value(), c.accepted);
    if (received) {
      EXPECT_EQ(received->size(), c.length);
    }
  }
}

TEST_F(LinkTest, NoticeGoesToTheWindowAndTheEventNeverToTheQueue) {
  std::vector<MacAddress> notified;
  link.SetNotifyWindow([&](const MacAddress& card) { notified.push_back(card); });

  driver.Deliver(FrameOfLength(60, kNoticeCode));

  EXPECT_FALSE(link.ReceiveFrame().has_value());
  ASSERT_EQ(notified.size(), 1u);
  EXPECT_EQ(notified[0], kCard);
  EXPECT_TRUE(link.FuseOk().WaitFor(Millis{0}));
  EXPECT_FALSE(link.FuseOk().WaitFor(Millis{0})) << "one notice sets the event once";
}

TEST_F(LinkTest, NoticeWithoutWindowStillSetsTheEvent) {
  driver.Deliver(FrameOfLength(60, kNoticeCode));
  EXPECT_FALSE(link.ReceiveFrame().has_value());
  EXPECT_TRUE(link.FuseOk().WaitFor(Millis{0}));
}

TEST_F(LinkTest, RuntTooShortForACodeIsQueuedNotTakenForANotice) {
  driver.Deliver(Bytes(17, 0));
  const auto frame = link.ReceiveFrame();
  ASSERT_TRUE(frame.has_value());
  EXPECT_EQ(frame->size(), 17u);
  EXPECT_FALSE(link.FuseOk().WaitFor(Millis{0}));
}

TEST_F(LinkTest, ReopeningDiscardsQueuedFrames) {
  driver.Deliver(FrameOfLength(60));
  ASSERT_TRUE(link.OpenLink("fake1"));
  EXPECT_TRUE(link.IsOpen());
  EXPECT_FALSE(link.ReceiveFrame().has_value());
  EXPECT_EQ(driver.LastOpened(), "fake1");

  driver.Deliver(FrameOfLength(60));
  EXPECT_TRUE(link.ReceiveFrame().has_value()) << "the reopened link receives again";
}

TEST_F(LinkTest, ClosedLinkRefusesAtOnce) {
  driver.Deliver(FrameOfLength(60));
  link.CloseLink();
  EXPECT_FALSE(link.IsOpen());
  EXPECT_FALSE(link.SendFrame(FrameOfLength(60)));
  EXPECT_FALSE(link.ReceiveFrame().has_value());
}

TEST_F(LinkTest, TakesTheAdapterAddressAsItsOwn) {
  EXPECT_EQ(link.OwnAddress(), driver.own);
}

TEST(LinkOpenTest, AdapterThatCannotBeOpenedLeavesTheLinkClosed) {
  FakeDriver driver;
  driver.refuse_with = OpenFailure::kPermissionDenied;
  Link link(driver, nullptr);
  EXPECT_FALSE(link.OpenLink("fake0"));
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(link.LastOpenFailure(), OpenFailure::kPermissionDenied);
  EXPECT_FALSE(link.SendFrame(Bytes(60, 0)));
}

}  // namespace
}  // namespace quillon
