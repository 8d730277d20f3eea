// One press of Download: the image loaded once, one worker per selected card (at most eight at a
// time), the progress bar over all of them, the per-card results and the summary.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "base/Threads.h"
#include "flows/DeviceUpgrade.h"
#include "flows/NoticeRelay.h"
#include "flows/Prompter.h"
#include "flows/Session.h"

namespace quillon {

// What the run shows. Called from the run's threads (the thread that runs it, the card workers,
// several at once, and the notice relay), never from a link's receive thread; an implementation
// takes the calls over to wherever it draws, and never makes them wait for a person. This one
// shows nothing.
class UpgradeView {
 public:
  virtual ~UpgradeView() = default;
  virtual void SetBusy(bool /*busy*/) {}
  // The line of the card with this serial number; a line is added when there is none.
  virtual void SetRowText(const std::string& /*key*/, const std::string& /*text*/) {}
  virtual void SetStatusLine(const std::string& /*text*/) {}
  virtual void SetProgress(int /*percent*/) {}
  // How far one card has got, for views that show each card's progress.
  virtual void SetCardProgress(const std::string& /*key*/, int /*percent*/) {}
  // The final list, in the order of the serial numbers' text: serial number and success.
  virtual void ShowResults(const std::vector<std::pair<std::string, bool>>& /*results*/) {}
};

struct UpgradeSummary {
  int successes = 0;
  int failures = 0;
  std::string text;  // "%d unit success, %d unit fail. "
  // Why the run did not start (another run of this object is going, or too many cards); nothing
  // was sent then, and the counts are 0.
  std::string refusal;
};

class UpgradeRun {
 public:
  struct Options {
    int parallel = 8;           // cards upgraded at once
    bool fixed_batches = true;  // wait for a whole batch before the next, or start the next card
                                // as soon as one ends
    ThreadStarter start_worker = StartThread;
  };

  // Listens for the cards' notices while it exists.
  UpgradeRun(Session& session, Prompter& prompter, UpgradeView& view, Options options);
  UpgradeRun(Session& session, Prompter& prompter, UpgradeView& view)
      : UpgradeRun(session, prompter, view, Options{}) {}
  ~UpgradeRun();
  UpgradeRun(const UpgradeRun&) = delete;
  UpgradeRun& operator=(const UpgradeRun&) = delete;

  // Upgrades the cards (at most 256) with the image file and returns the summary; the cards'
  // remembered passwords are updated. A file that cannot be used fails every card with a message.
  // Safe from any thread but the workers'; one run at a time.
  UpgradeSummary Run(const std::string& image_path, std::vector<DeviceRecord>& cards);
  UpgradeSummary Run(ByteView image, std::vector<DeviceRecord>& cards);

  // Serial number and success of every card this run object has seen, in text order.
  std::vector<std::pair<std::string, bool>> Results() const;

  // Receives each password a card accepted (to carry over to the next search).
  std::function<void(const MacAddress& card, const std::string& password)> password_accepted;

 private:
  static constexpr std::size_t kMaxCards = 256;

  std::optional<UpgradeSummary> Refusal(std::size_t cards);

  bool UpgradeOne(std::size_t ordinal, DeviceRecord& card, ByteView image);
  void UpdateProgress(std::size_t ordinal, const std::string& key, std::int64_t bytes,
                      std::size_t image_size);
  // Runs `work` for each card on a worker of its own; a card whose worker cannot be created is
  // given to `not_started` instead, and counts as failed.
  int RunWorkers(std::size_t count, const std::function<bool(std::size_t)>& work,
                 const std::function<void(std::size_t)>& not_started) const;
  UpgradeSummary Finish(int selected, int failures);
  void OnNotice(const MacAddress& card);
  void SetResult(const std::string& key, bool success);

  Session& session_;
  Prompter& prompter_;
  UpgradeView& view_;
  const Options options_;
  std::atomic<bool> running_{false};
  std::mutex password_question_lock_;

  mutable std::mutex results_lock_;
  std::map<std::string, bool> result_map_;

  std::size_t selected_ = 0;
  std::vector<std::atomic<std::int64_t>> progress_;
  std::mutex progress_lock_;

  NoticeRelay relay_{[this](const MacAddress& card) { OnNotice(card); }};  // last: goes first
};

// The progress bar: (S / N) * 100 / L with integer divisions in that order, S the bytes accepted
// by all cards (a failed card counting as fully sent), N the cards, L the image length.
int UpgradeProgressPercent(std::int64_t bytes_sum, std::int64_t cards, std::int64_t image_length);

// Reads a whole image file; an empty text on success, else why not.
std::string LoadImageFile(const std::string& path, Bytes& image);

}  // namespace quillon
