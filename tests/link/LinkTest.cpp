#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>

#include "link/Link.h"
#include "link/NoticeBoard.h"
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

namespace quillon {
namespace {

// An adapter whose receive loop does not hear Stop() until the test lets it go.
class StuckDriver : public PacketDriver {
 public:
  class Port : public AdapterPort {
   public:
    explicit Port(StuckDriver& driver) : driver_(driver) {}
    std::optional<MacAddress> OwnAddress() const override { return std::nullopt; }
    bool Send(ByteView, std::string&) override { return true; }
    std::string ReceiveUntilStopped(const FrameSink& sink) override {
      std::unique_lock lock(driver_.mutex);
      driver_.changed.wait(lock, [&] { return driver_.released; });
      lock.unlock();
      sink(Bytes(60, 0));  // a frame for a link that has let go of it
      lock.lock();
      driver_.returned = true;
      driver_.changed.notify_all();
      return {};
    }
    void Stop() override {}

   private:
    StuckDriver& driver_;
  };

  AdapterList ListAdapters() override { return {{{"stuck0", "Stuck adapter"}}, {}}; }
  OpenedAdapter OpenAdapter(const std::string&) override {
    return {std::make_unique<Port>(*this), OpenFailure::kNone, {}};
  }
  void ReleaseAndWait() {
    std::unique_lock lock(mutex);
    released = true;
    changed.notify_all();
    changed.wait(lock, [&] { return returned; });
  }

  std::mutex mutex;
  std::condition_variable changed;
  bool released = false;
  bool returned = false;
};

TEST(LinkCloseTest, AReceiveThreadThatDoesNotEndIsLeftBehindAfterTheStopWait) {
  StuckDriver driver;
  std::vector<std::string> diagnostics;
  {
    Link link(driver, [&](const std::string& line) { diagnostics.push_back(line); },
              {Millis{20}, StartThread});
    ASSERT_TRUE(link.OpenLink("stuck0"));
    link.CloseLink();
    EXPECT_FALSE(link.IsOpen());
    EXPECT_FALSE(link.SendFrame(Bytes(60, 0)));
  }  // the link goes while its thread still runs
  EXPECT_EQ(diagnostics, std::vector<std::string>{"Receive thread did not end within 20 ms; "
                                                  "left behind\n"});
  driver.ReleaseAndWait();  // the thread hands its frame to nobody and ends
}

TEST(LinkOpenTest, AReceiveThreadThatCannotStartFailsTheOpen) {
  FakeDriver driver;
  std::vector<std::string> diagnostics;
  const ThreadStarter no_threads = [](std::function<void()>) -> std::thread {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
  };
  Link link(driver, [&](const std::string& line) { diagnostics.push_back(line); },
            {Millis{5000}, no_threads});
  EXPECT_FALSE(link.OpenLink("fake0"));
  EXPECT_FALSE(link.IsOpen());
  EXPECT_FALSE(link.SendFrame(Bytes(60, 0)));
  EXPECT_NE(link.LastOpenError().find("cannot start the receive thread"), std::string::npos);
  EXPECT_EQ(diagnostics, std::vector<std::string>{"Could Not Start Receive Thread\n"});
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

TEST(NoticeBoardTest, AnExpectedNoticeSurvivesAFloodOfStrangers) {
  NoticeBoard board;
  const MacAddress card{{0x02, 0x4B, 0x51, 0x00, 0x00, 0x2A}};
  board.Expect(card);
  board.Post(card);
  for (std::uint32_t i = 0; i < 3 * NoticeBoard::kMaxCards; ++i) {
    MacAddress stranger{{0x0A, 0, 0, 0, 0, 0}};
    StoreBe32(stranger.bytes, 2, i);
    board.Post(stranger);
  }
  EXPECT_TRUE(board.WaitFor(card, Millis{0}));
}

TEST(NoticeBoardTest, ExpectDropsWhatTheCardSentBefore) {
  NoticeBoard board;
  const MacAddress card{{0x02, 0x4B, 0x51, 0x00, 0x00, 0x2A}};
  board.Post(card);
  board.Expect(card);
  EXPECT_FALSE(board.WaitFor(card, Millis{0}));
  board.Post(card);
  EXPECT_TRUE(board.WaitFor(card, Millis{0})) << "a notice without Expect() is kept too";
}

}  // namespace
}  // namespace quillon
