#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <system_error>
#include <thread>

#include "flows/UpgradeRun.h"
#include "flows/UpgradeTexts.h"
#include "protocol/Checksum.h"
#include "protocol/FirmwareImage.h"
#include "support/ScriptedPrompter.h"
#include "support/SimFixture.h"
#include "support/TestImages.h"

namespace quillon {
namespace {

using sim::CardBuilder;
using sim::CardFaults;
using sim::FirmwareBehaviour;
using Choice = Prompter::Choice;

using testing::ImageShape;
using testing::kImage;
using testing::MakeImage;

class RecordingView : public UpgradeView {
 public:
  void SetBusy(bool busy) override { Log(busy ? "busy" : "idle"); }
  void SetRowText(const std::string& key, const std::string& text) override {
    Log("row " + key + " " + text);
  }
  void SetStatusLine(const std::string& text) override { Log("status " + text); }
  void SetProgress(int percent) override {
    std::lock_guard lock(mutex_);
    progress_.push_back(percent);
  }
  void ShowResults(const std::vector<std::pair<std::string, bool>>& results) override {
    std::lock_guard lock(mutex_);
    results_ = results;
  }

  std::vector<std::string> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }
  int Count(const std::string& event) const {
    const auto events = Events();
    return static_cast<int>(std::count(events.begin(), events.end(), event));
  }
  // Position of the first event, or -1.
  int IndexOf(const std::string& event) const {
    const auto events = Events();
    const auto it = std::find(events.begin(), events.end(), event);
    return it == events.end() ? -1 : static_cast<int>(it - events.begin());
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
    progress_.clear();
  }
  std::vector<int> Progress() const {
    std::lock_guard lock(mutex_);
    return progress_;
  }

 private:
  void Log(const std::string& event) {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
  }
  mutable std::mutex mutex_;
  std::vector<std::string> events_;
  std::vector<int> progress_;
  std::vector<std::pair<std::string, bool>> results_;
};

// Waits, a bounded time, for something another thread does.
bool WaitUntil(const std::function<bool()>& done) {
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (!done()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(Millis{2});
  }
  return true;
}

class UpgradeTest : public testing::SimFixture {
 protected:
  // A card that programs at once.
  CardBuilder Card(std::uint32_t serial) {
    FirmwareBehaviour firmware;
    firmware.programming_time = Millis{5};
    return std::move(CardBuilder(serial).FirmwareSide(firmware));
  }

  std::shared_ptr<sim::SimulatedCard> Add(CardBuilder builder) { return AddCard(builder); }

  // The card's record as discovery would have found it.
  DeviceRecord RecordOf(const std::shared_ptr<sim::SimulatedCard>& card) { return card->Record(); }

  UpgradeSummary Upgrade(std::vector<std::shared_ptr<sim::SimulatedCard>> cards, ByteView image,
                         UpgradeRun::Options options = {}) {
    std::vector<DeviceRecord> records;
    for (const auto& card : cards) records.push_back(RecordOf(card));
    UpgradeRun run(*session, prompter, view, options);
    return run.Run(image, records);
  }

  // Block numbers and sizes the host sent, in order.
  std::vector<std::pair<int, std::size_t>> BlocksSent() {
    std::vector<std::pair<int, std::size_t>> blocks;
    for (const Bytes& frame : segment.SentFrames(0)) {
      if (LoadBe16(frame, frame::kCode) != code::kImageBlock) continue;
      blocks.emplace_back(LoadBe16(frame, frame::kParameter), LoadBe16(frame, frame::kDataLength));
    }
    return blocks;
  }

  // The end-of-image data sent to a card.
  std::optional<std::pair<std::uint32_t, std::uint32_t>> EndSentTo(const MacAddress& card) {
    for (const Bytes& frame : segment.SentFrames(0)) {
      if (LoadBe16(frame, frame::kCode) == code::kImageEnd && DestinationOf(frame) == card) {
        return std::pair{LoadBe32(frame, frame::kData), LoadBe32(frame, frame::kData + 4)};
      }
    }
    return std::nullopt;
  }

  testing::ScriptedPrompter prompter;
  RecordingView view;
};

TEST_F(UpgradeTest, ImageGoesOutInNumberedBlocksOf1024) {
  struct Case {
    std::size_t size;
    std::size_t blocks;
    std::size_t last;
  };
  for (const Case c :
       {Case{kImage, 64, 1024}, Case{kImage + 1, 65, 1}, Case{kImage + 1023, 65, 1023}}) {
    SCOPED_TRACE(c.size);
    auto card = Add(Card(kSerial + static_cast<std::uint32_t>(c.size)));
    const std::size_t before = BlocksSent().size();
    const Bytes image = MakeImage({.size = c.size});
    EXPECT_EQ(Upgrade({card}, image).successes, 1);
    const auto blocks = BlocksSent();
    ASSERT_EQ(blocks.size() - before, c.blocks);
    for (std::size_t n = 0; n < c.blocks; ++n) {
      EXPECT_EQ(blocks[before + n].first, static_cast<int>(n));
      EXPECT_EQ(blocks[before + n].second, n + 1 == c.blocks ? c.last : 1024u);
    }
    Bytes expected = image;
    PersonaliseInfoBlock(expected, card->Mac());
    EXPECT_EQ(card->ProgrammedImage(), expected);
  }
}

TEST_F(UpgradeTest, IdentificationDecidesWhetherTheImageFits) {
  struct Case {
    const char* name;
    bool answers;
    std::uint32_t card_word;
    ImageShape image;
    std::deque<bool> answer;
    bool succeeds;
    bool question;
  };
  const Case cases[] = {
      {"same version", true, 0x00010005, {}, {}, true, false},
      {"newer image", true, 0x00010005, {.boot_version = 2}, {}, true, false},
      {"older image, yes", true, 0x00020005, {}, {true}, true, true},
      {"older image, no", true, 0x00020005, {}, {false}, false, true},
      {"other compatibility", true, 0x00010006, {}, {}, false, false},
      {"compatibility above 0x0F never matches", true, 0x00010015, {}, {}, false, false},
      {"no identification: no checks", false, 0x00090006, {}, {}, true, false},
  };
  std::uint32_t serial = kSerial + 100;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FirmwareBehaviour firmware;
    firmware.programming_time = Millis{5};
    firmware.answers_identification = c.answers;
    firmware.boot_word = c.card_word;
    auto card = Add(CardBuilder(++serial).FirmwareSide(firmware));
    prompter.yes_no = c.answer;
    const std::size_t asked_before = prompter.Asked().size();
    const std::size_t blocks_before = BlocksSent().size();
    EXPECT_EQ(Upgrade({card}, MakeImage(c.image)).successes, c.succeeds ? 1 : 0);
    const auto asked = prompter.Asked();
    EXPECT_EQ(asked.size() - asked_before, c.question ? 1u : 0u) << "no message on failure";
    if (c.question) {
      EXPECT_EQ(asked.back(), std::string("yes/no ") + upgrade_text::kBootVersionOlder);
    }
    if (!c.succeeds) {
      EXPECT_EQ(BlocksSent().size(), blocks_before) << "no block sent";
    }
  }
}

TEST_F(UpgradeTest, ValidInfoBlockCarriesEachCardsOwnAddress) {
  auto a = Add(Card(kSerial + 1));
  auto b = Add(Card(kSerial + 2));
  EXPECT_EQ(Upgrade({a, b}, MakeImage({})).successes, 2);
  EXPECT_EQ(InfoBlockAddress(a->ProgrammedImage()), a->Mac());
  EXPECT_EQ(InfoBlockAddress(b->ProgrammedImage()), b->Mac());
  EXPECT_TRUE(InfoBlockValid(a->ProgrammedImage()));
  const auto end_a = EndSentTo(a->Mac());
  const auto end_b = EndSentTo(b->Mac());
  ASSERT_TRUE(end_a && end_b);
  EXPECT_NE(end_a->first, end_b->first) << "the checksum is taken after personalisation";
  EXPECT_EQ(end_a->second, kInfoBlockPersonalised);
}

TEST_F(UpgradeTest, InvalidInfoBlockGoesUnchangedExceptToCardsThatNeedAValidOne) {
  const Bytes image = MakeImage({.valid_info_block = false});
  auto ordinary = Add(Card(kSerial + 1));
  auto first_hardware = Add(Card(kSerial + 2).HardwareNumbers(1, 1, 0, 0));
  auto first_firmware = Add(Card(kSerial + 3).FirmwareNumbers(1, 4, 'C', 9));
  const UpgradeSummary summary = Upgrade({ordinary, first_hardware, first_firmware}, image);
  EXPECT_EQ(summary.successes, 1);
  EXPECT_EQ(ordinary->ProgrammedImage(), image);
  EXPECT_EQ(EndSentTo(ordinary->Mac())->second, kInfoBlockUnchanged);
  EXPECT_FALSE(EndSentTo(first_hardware->Mac()));
  EXPECT_FALSE(EndSentTo(first_firmware->Mac()));
  EXPECT_TRUE(prompter.Asked().empty()) << "they fail without a message";
}

TEST_F(UpgradeTest, PreparingIsWaitedForOncePerRun) {
  CardFaults preparing;
  preparing.preparing_blocks = {0, 5};
  auto card = Add(Card(kSerial + 1).Faults(preparing));
  EXPECT_EQ(Upgrade({card}, MakeImage({})).successes, 1);
  const std::string key = DeviceKey(card->Mac());
  EXPECT_EQ(view.Count("row " + key + " " + upgrade_text::kPreparing), 1);
  const auto blocks = BlocksSent();
  EXPECT_EQ(std::count(blocks.begin(), blocks.end(), std::pair<int, std::size_t>{0, 1024}), 2)
      << "the first block is sent again after the pause";
  EXPECT_EQ(std::count(blocks.begin(), blocks.end(), std::pair<int, std::size_t>{5, 1024}), 1)
      << "the second 3 counts as accepted";
}

TEST_F(UpgradeTest, RefusedBlockAsksAbortRetryIgnore) {
  struct Case {
    Choice choice;
    int succeeds;
    int block3_sent;
    int block0_sent;
  };
  std::uint32_t serial = kSerial + 10;
  for (const Case c : {Case{Choice::kAbort, 0, 1, 1}, Case{Choice::kRetry, 1, 2, 1},
                       Case{Choice::kIgnore, 1, 2, 2}}) {
    SCOPED_TRACE(static_cast<int>(c.choice));
    CardFaults refuse;
    refuse.refused_blocks = {3};
    auto card = Add(Card(++serial).Faults(refuse));
    const auto before = BlocksSent();
    const int identifications_before = RequestsSent(code::kIdentify);
    prompter.choices = {c.choice};
    EXPECT_EQ(Upgrade({card}, MakeImage({})).successes, c.succeeds);
    auto blocks = BlocksSent();
    blocks.erase(blocks.begin(), blocks.begin() + static_cast<std::ptrdiff_t>(before.size()));
    EXPECT_EQ(std::count(blocks.begin(), blocks.end(), std::pair<int, std::size_t>{3, 1024}),
              c.block3_sent);
    EXPECT_EQ(std::count(blocks.begin(), blocks.end(), std::pair<int, std::size_t>{0, 1024}),
              c.block0_sent);
    EXPECT_EQ(RequestsSent(code::kIdentify) - identifications_before,
              c.choice == Choice::kIgnore ? 2 : 1)
        << "Ignore starts again at the identification";
    EXPECT_EQ(view.Count("row " + DeviceKey(card->Mac()) + " " + upgrade_text::kAborted), 1);
    EXPECT_EQ(prompter.Asked().back(), std::string("abort/retry/ignore ") + upgrade_text::kFailed);
  }
}

TEST_F(UpgradeTest, PasswordIsAskedWithTheCardsAddressAndRemembered) {
  auto card = Add(Card(kSerial + 1).Password("secret"));
  prompter.passwords = {std::string(16, 'x'), std::string("wrong"), std::string("secret")};
  std::vector<DeviceRecord> records{RecordOf(card)};
  UpgradeRun run(*session, prompter, view);
  std::string remembered;
  run.password_accepted = [&](const MacAddress&, const std::string& p) { remembered = p; };
  // A password too long for the field is refused at the prompt; "wrong" is refused by the card.
  EXPECT_EQ(run.Run(MakeImage({}), records).successes, 0);
  const auto asked = prompter.Asked();
  ASSERT_GE(asked.size(), 3u);
  EXPECT_EQ(asked[0], "password MAC:" + card->Mac().ToString() + " []");
  EXPECT_NE(asked[1].find("at most 15 characters"), std::string::npos);
  EXPECT_EQ(asked.back(), std::string("message ") + upgrade_text::kIncorrectPassword);

  // The next run asks again; the accepted password is kept with the card.
  EXPECT_EQ(run.Run(MakeImage({}), records).successes, 1);
  EXPECT_EQ(records[0].RememberedPassword(), "secret");
  EXPECT_EQ(remembered, "secret");
  // A third run is prefilled from the remembered password and needs no prompt.
  const std::size_t asked_before = prompter.Asked().size();
  EXPECT_EQ(run.Run(MakeImage({}), records).successes, 1);
  EXPECT_EQ(prompter.Asked().size(), asked_before);
}

TEST_F(UpgradeTest, NoticeFromAnotherCardDoesNotReleaseThisCardsWait) {
  CardFaults quiet;
  quiet.no_notice = true;
  auto mute = Add(Card(kSerial + 1).Faults(quiet));
  auto talking = Add(Card(kSerial + 2));
  const UpgradeSummary summary = Upgrade({mute, talking}, MakeImage({}));
  EXPECT_EQ(summary.successes, 1);
  EXPECT_EQ(summary.failures, 1);
  EXPECT_FALSE(mute->ProgrammedImage().empty()) << "it did program, but never said so";
  EXPECT_EQ(view.Count("row " + DeviceKey(talking->Mac()) + " " + upgrade_text::kSucceeded), 1);
  EXPECT_EQ(view.Count("row " + DeviceKey(mute->Mac()) + " " + upgrade_text::kSucceeded), 0);
}

TEST_F(UpgradeTest, NineCardsGoInABatchOfEightThenOne) {
  struct Case {
    bool fixed_batches;
    bool ninth_waits_for_the_slowest;
  };
  for (const Case c : {Case{true, true}, Case{false, false}}) {
    SCOPED_TRACE(c.fixed_batches);
    std::vector<std::shared_ptr<sim::SimulatedCard>> cards;
    const std::uint32_t base = kSerial + (c.fixed_batches ? 1000 : 2000);
    for (std::uint32_t i = 0; i < 9; ++i) {
      FirmwareBehaviour firmware;
      firmware.programming_time = Millis{i == 0 ? 400 : 5};  // the first card is slow
      cards.push_back(Add(CardBuilder(base + i).FirmwareSide(firmware)));
    }
    view.Clear();
    EXPECT_EQ(Upgrade(cards, MakeImage({}), {8, c.fixed_batches}).successes, 9);
    const int slowest_done =
        view.IndexOf("row " + DeviceKey(cards[0]->Mac()) + " " + upgrade_text::kSucceeded);
    const int ninth_starts =
        view.IndexOf("row " + DeviceKey(cards[8]->Mac()) + " " + upgrade_text::kDownloading);
    ASSERT_GE(slowest_done, 0);
    ASSERT_GE(ninth_starts, 0);
    EXPECT_EQ(ninth_starts > slowest_done, c.ninth_waits_for_the_slowest);
  }
}

TEST_F(UpgradeTest, ProgressBarDividesInTheOriginalOrder) {
  struct Case {
    std::int64_t sum, cards, length;
    int percent;
  };
  for (const Case c : {Case{5, 2, 3, 66}, Case{0, 0, 100, 0}, Case{300, 3, 100, 100},
                       Case{256LL * 64 * 1024 * 1024, 256, 64 * 1024 * 1024, 100}}) {
    EXPECT_EQ(UpgradeProgressPercent(c.sum, c.cards, c.length), c.percent);
  }
  auto ok = Add(Card(kSerial + 1));
  auto refused = Add(Card(kSerial + 2).Password("pw"));  // fails at once: no password given
  Upgrade({ok, refused}, MakeImage({}));
  const auto progress = view.Progress();
  ASSERT_FALSE(progress.empty());
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  EXPECT_EQ(progress.back(), 100) << "a failed card counts as fully sent";
}

TEST_F(UpgradeTest, ResultsAreInTextOrderAndTheSummaryCountsWorkers) {
  auto a = Add(Card(1000));
  auto b = Add(Card(25));
  auto c = Add(Card(3).Password("pw"));
  std::vector<DeviceRecord> records{RecordOf(c), RecordOf(a), RecordOf(b)};
  UpgradeRun run(*session, prompter, view);
  const UpgradeSummary summary = run.Run(MakeImage({}), records);
  EXPECT_EQ(summary.text, "2 unit success, 1 unit fail. ");
  const std::vector<std::pair<std::string, bool>> expected{
      {"1000", true}, {"25", true}, {"3", false}};
  EXPECT_EQ(run.Results(), expected);
  EXPECT_EQ(view.Events().back(), "idle");
  EXPECT_EQ(view.IndexOf("status 2 unit success, 1 unit fail. ") + 1,
            static_cast<int>(view.Events().size()) - 1);

  // A notice from a card nobody selected is listed, and counted nowhere else.
  FrameHeader notice;
  notice.code = code::kNotice;
  segment.InjectFrame(0,
                      BuildReplyFrame(segment.HostAddress(0), sim::MakerAddress(77), notice, {}));
  ASSERT_TRUE(link().Notices().WaitFor(sim::MakerAddress(77), Millis{1000}));
  const std::string stranger = std::string("row 77 ") + upgrade_text::kSucceeded;
  EXPECT_TRUE(WaitUntil([&] { return view.Count(stranger) == 1; }));
  EXPECT_EQ(run.Results().size(), 4u);

  // Another run starts the selected cards from "not successful" again.
  std::vector<DeviceRecord> again{RecordOf(c)};
  EXPECT_EQ(run.Run(MakeImage({}), again).failures, 1);
  EXPECT_EQ(run.Results()[2], (std::pair<std::string, bool>{"3", false}));
}

// A password question that nobody answers for a while: the other cards load, are programmed and
// are shown as done meanwhile.
class HeldPrompter : public testing::ScriptedPrompter {
 public:
  std::optional<std::string> AskPassword(const std::string& information,
                                         const std::string& prefill) override {
    std::unique_lock lock(mutex_);
    asking_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return released_; });
    lock.unlock();
    return ScriptedPrompter::AskPassword(information, prefill);
  }
  bool WaitUntilAsking() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(20), [this] { return asking_; });
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool asking_ = false;
  bool released_ = false;
};

TEST_F(UpgradeTest, AnOpenQuestionHoldsUpOnlyItsOwnCard) {
  auto locked = Add(Card(kSerial + 1).Password("pw"));
  auto others = {Add(Card(kSerial + 2)), Add(Card(kSerial + 3))};
  HeldPrompter held;
  held.passwords = {std::string("pw")};
  std::vector<DeviceRecord> records{RecordOf(locked)};
  for (const auto& card : others) records.push_back(RecordOf(card));
  UpgradeRun run(*session, held, view);
  UpgradeSummary summary;
  std::thread running([&] { summary = run.Run(MakeImage({}), records); });

  ASSERT_TRUE(held.WaitUntilAsking());
  std::vector<DeviceRecord> second{RecordOf(locked)};
  EXPECT_EQ(run.Run(MakeImage({}), second).refusal, "an upgrade is running already");
  for (const std::string key : {"1358954498", "1358954499"}) {
    EXPECT_TRUE(WaitUntil([&] { return view.Count("row " + key + " Download Successfully") == 1; }))
        << key << " is done while the question is open";
  }
  EXPECT_TRUE(locked->ProgrammedImage().empty());
  held.Release();
  running.join();
  EXPECT_EQ(summary.text, "3 unit success, 0 unit fail. ");
}

TEST_F(UpgradeTest, ACardWhoseWorkerCannotBeCreatedFailsAndTheOthersGoOn) {
  std::vector<std::shared_ptr<sim::SimulatedCard>> cards{
      Add(Card(kSerial + 1)), Add(Card(kSerial + 2)), Add(Card(kSerial + 3))};
  int started = 0;
  UpgradeRun::Options options;
  options.start_worker = [&](std::function<void()> body) -> std::thread {
    if (++started == 2) {
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
    return std::thread(std::move(body));
  };
  const UpgradeSummary summary = Upgrade(cards, MakeImage({}), options);
  EXPECT_EQ(summary.text, "2 unit success, 1 unit fail. ");
  EXPECT_TRUE(cards[1]->ProgrammedImage().empty());
  EXPECT_FALSE(cards[2]->ProgrammedImage().empty());
  EXPECT_EQ(view.Progress().back(), 100) << "the card counts as fully sent";
  EXPECT_EQ(prompter.Asked(), std::vector<std::string>{"message No worker could be started for "
                                                       "card 1358954498; it was not upgraded."});
}

TEST_F(UpgradeTest, MoreCardsThanARunHoldsAreRefusedBeforeAnyFrame) {
  std::vector<DeviceRecord> records(257);
  for (std::uint32_t i = 0; i < records.size(); ++i)
    records[i].mac = sim::MakerAddress(kSerial + i);
  UpgradeRun run(*session, prompter, view);
  const UpgradeSummary summary = run.Run(MakeImage({}), records);
  EXPECT_EQ(summary.refusal, "one upgrade takes at most 256 cards, not 257");
  EXPECT_EQ(summary.successes + summary.failures, 0);
  EXPECT_TRUE(segment.SentFrames(0).empty());
}

TEST_F(UpgradeTest, ImageTooShortIsRefusedBeforeAnyFrame) {
  auto card = Add(Card(kSerial + 1));
  const std::string path = ::testing::TempDir() + "/short.bin";
  std::ofstream(path, std::ios::binary) << std::string(kMinimumImageSize - 1, 'x');
  std::vector<DeviceRecord> records{RecordOf(card)};
  UpgradeRun run(*session, prompter, view);
  const UpgradeSummary summary = run.Run(path, records);
  EXPECT_EQ(summary.text, "0 unit success, 1 unit fail. ");
  EXPECT_TRUE(segment.SentFrames(0).empty());
  ASSERT_EQ(prompter.Asked().size(), 1u);
  EXPECT_NE(prompter.Asked()[0].find("at least 65512"), std::string::npos);
}

}  // namespace
}  // namespace quillon
