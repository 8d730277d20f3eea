#include <gtest/gtest.h>

#include <thread>

#include "protocol/DeviceCommands.h"
#include "protocol/Transactions.h"
#include "support/SimFixture.h"

namespace quillon {
namespace {

using sim::CardBuilder;
using sim::CardFaults;
using sim::MakerAddress;

class TransactionsTest : public testing::SimFixture {};

TEST_F(TransactionsTest, QueryReturnsStatusAndData) {
  auto card = AddCard(CardBuilder(kSerial + 1).Level(33).Password("secret"));
  ConfigBlock block{};
  EXPECT_EQ(ReadConfig(transactions(), card->Mac(), {}, block), status::kRefused)
      << "a card with a password answers 1 and still returns its block";
  EXPECT_EQ(block, card->Config());
  EXPECT_EQ(ReadConfig(transactions(), card->Mac(), DevicePassword("secret"), block),
            status::kDone);
}

TEST_F(TransactionsTest, EveryFaultOfTheCardStillEndsInTheRightStatus) {
  struct Case {
    const char* name;
    CardFaults faults;
    ReplyStatus expected;
    int requests;  // check-password requests it took
  };
  CardFaults late;
  late.reply_delay = Millis{40};
  CardFaults duplicates;
  duplicates.duplicate_replies = true;
  CardFaults wrong_version;
  wrong_version.decoy = CardFaults::Decoy::kWrongVersion;
  CardFaults wrong_code;
  wrong_code.decoy = CardFaults::Decoy::kWrongCode;
  CardFaults lost;
  lost.drop_rate = 1.0;
  CardFaults silent;
  silent.silent = true;
  const Case cases[] = {
      {"late", late, status::kDone, 1},
      {"duplicates", duplicates, status::kDone, 1},
      {"version 2 first", wrong_version, status::kDone, 1},
      {"other code first", wrong_code, status::kDone, 1},
      {"every reply lost", lost, status::kNoReply, 5},
      {"silent", silent, status::kNoReply, 5},
  };
  std::uint32_t serial = kSerial + 100;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto card = AddCard(CardBuilder(++serial).Faults(c.faults));
    const int before = RequestsSent(code::kCheckPassword);
    EXPECT_EQ(CheckPassword(transactions(), card->Mac(), {}), c.expected);
    EXPECT_EQ(RequestsSent(code::kCheckPassword) - before, c.requests);
  }
}

TEST_F(TransactionsTest, BusyCommandComesBackAsDone) {
  CardFaults busy;
  busy.busy = true;
  auto card = AddCard(CardBuilder(kSerial + 2).Faults(busy));
  ConfigBlock block = card->Config();
  EXPECT_EQ(WriteConfig(transactions(), card->Mac(), {}, block, kConfigBlockSize), status::kDone);
}

TEST_F(TransactionsTest, ReplyWithOtherVersionOrCodeIsIgnoredUntilTheWindowsEnd) {
  const MacAddress card = MakerAddress(kSerial + 3);  // no simulated card: the test answers
  for (const auto& [version, reply_code] :
       {std::pair<std::uint16_t, std::uint16_t>{2, code::kPasswordReply},
        {1, code::kConfigReply}}) {
    segment.InjectFrame(0, ReplyFrom(card, reply_code, status::kDone, {}, version));
    EXPECT_EQ(CheckPassword(transactions(), card, {}), status::kNoReply);
  }
}

TEST_F(TransactionsTest, ReplyTakenByAnotherTransactionArrivesWholeThroughTheStash) {
  auto other = AddCard(
      CardBuilder(kSerial + 4).Level(33).Ipv6(4, "2001:db8::4", "2001:db8::1", 64, "fe80::4"));
  const ConfigBlock full = other->Config();
  CardFaults silent;
  silent.silent = true;
  other->SetFaults(silent);

  // While the read waits, another transaction takes the card's reply off the queue and puts it
  // aside, as it does with any frame from a card it does not wait for.
  ConfigBlock block{};
  ReplyStatus status;
  std::thread reading([&] { status = ReadConfig(transactions(), other->Mac(), {}, block); });
  while (RequestsSent(code::kReadConfig) == 0) std::this_thread::sleep_for(Millis{1});
  transactions().stash().StashFrame(
      ReplyFrom(other->Mac(), code::kConfigReply, status::kDone, full));
  link().Arrivals().Notify(other->Mac());
  reading.join();
  EXPECT_EQ(status, status::kDone);
  EXPECT_EQ(block, full) << "every byte of the block, not only the first 60";
  EXPECT_EQ(DeviceConfig::Decode(block).LinkLocalText(), "fe80::4");
}

TEST_F(TransactionsTest, AFrameThatWaitedBeforeTheRequestIsNotItsReply) {
  auto card = AddCard(CardBuilder(kSerial + 6));
  CardFaults silent;
  silent.silent = true;
  card->SetFaults(silent);
  // A duplicate of an earlier read's reply: the same reply code as the write's.
  segment.InjectFrame(0, ReplyFrom(card->Mac(), code::kConfigReply, status::kDone));
  while (link().QueuedFrames() == 0) std::this_thread::sleep_for(Millis{1});
  ConfigBlock block{};
  EXPECT_EQ(WriteConfig(transactions(), card->Mac(), {}, block, kConfigBlockSize),
            status::kNoReply);
}

TEST_F(TransactionsTest, StashIsSearchedFromTheSecondNewestTowardsTheOldestThenTheNewest) {
  ReplyStash stash;
  const MacAddress a = MakerAddress(1);
  const MacAddress b = MakerAddress(2);
  auto frame = [&](const MacAddress& from, Byte tag) {
    Bytes f = ReplyFrom(from, code::kPasswordReply, status::kDone);
    f[59] = tag;
    return f;
  };
  stash.StashFrame(frame(a, 1));  // oldest
  stash.StashFrame(frame(a, 2));
  stash.StashFrame(frame(b, 3));
  stash.StashFrame(frame(a, 4));  // newest
  std::vector<Byte> order;
  while (auto f = stash.TakeStashedReply(a)) order.push_back((*f)[59]);
  EXPECT_EQ(order, (std::vector<Byte>{2, 1, 4}));
  EXPECT_FALSE(stash.TakeStashedReply(a).has_value());
  EXPECT_TRUE(stash.TakeStashedReply(b).has_value());
}

TEST_F(TransactionsTest, TransferIgnoresABroadcastReplyCommandTakesIt) {
  const MacAddress card = MakerAddress(kSerial + 6);
  auto answer_to_broadcast = [&] {
    FrameHeader header;
    header.code = code::kImageReply;
    header.status = status::kDone.value();
    return testing::InjectAfterNextSend(segment, 0,
                                        BuildReplyFrame(MacAddress::Broadcast(), card, header, {}));
  };
  {
    const std::jthread answer = answer_to_broadcast();
    EXPECT_EQ(transactions().CommandTransaction(card, exchange::kImageEnd, {}, 0, Bytes(8, 0)),
              status::kDone);
  }
  const std::jthread answer = answer_to_broadcast();
  EXPECT_EQ(transactions().TransferTransaction(card, exchange::kImageBlock, {}, 0, Bytes(16, 0)),
            status::kNoReply);
}

TEST_F(TransactionsTest, ManyThreadsTalkToManyCardsAtOnce) {
  CardFaults late;
  late.reply_delay = Millis{5};
  std::vector<std::shared_ptr<sim::SimulatedCard>> cards;
  for (std::uint32_t i = 0; i < 8; ++i)
    cards.push_back(AddCard(CardBuilder(kSerial + 10 + i).Faults(late)));
  std::vector<std::thread> threads;
  std::vector<int> done(cards.size(), 0);
  for (std::size_t i = 0; i < cards.size(); ++i) {
    threads.emplace_back([&, i] {
      for (int k = 0; k < 10; ++k) {
        ConfigBlock block{};
        if (ReadConfig(transactions(), cards[i]->Mac(), {}, block) == status::kDone &&
            block == cards[i]->Config()) {
          ++done[i];
        }
      }
    });
  }
  for (auto& t : threads) t.join();
  for (std::size_t i = 0; i < cards.size(); ++i) EXPECT_EQ(done[i], 10) << "card " << i;
}

TEST(TransactionTimingTest, StandardProfileKeepsTheWindowsAndTries) {
  const Timing t = Timing::Standard();
  EXPECT_EQ(t.query_window, Millis{1200});
  EXPECT_EQ(t.query_tries, 5);
  EXPECT_EQ(t.command_window, Millis{30000});
  EXPECT_EQ(t.command_tries, 5);
  EXPECT_EQ(t.command_send_pause, Millis{3});
  EXPECT_EQ(t.busy_pause, Millis{500});
  EXPECT_EQ(t.discovery_window, Millis{3600});
  EXPECT_EQ(t.address_probe_wait, Millis{1000});
  EXPECT_EQ(t.refresh_interval, Millis{120000});
  EXPECT_EQ(t.closing_wait, Millis{25000});
  EXPECT_EQ(t.launch_pause, Millis{920});
  EXPECT_EQ(t.notice_wait, Millis{120000});
}

}  // namespace
}  // namespace quillon
