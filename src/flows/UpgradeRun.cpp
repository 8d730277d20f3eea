#include "flows/UpgradeRun.h"

#include <condition_variable>
#include <fstream>
#include <iterator>
#include <system_error>
#include <thread>

#include "flows/UpgradeTexts.h"
#include "protocol/FirmwareImage.h"

namespace quillon {

std::string LoadImageFile(const std::string& path, Bytes& image) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return "cannot open " + path;
  image.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (file.bad()) return "cannot read " + path;
  if (std::string problem = ImageProblem(image); !problem.empty()) return path + ": " + problem;
  return {};
}

UpgradeRun::UpgradeRun(Session& session, Prompter& prompter, UpgradeView& view, Options options)
    : session_(session),
      prompter_(prompter),
      view_(view),
      options_(std::move(options)),
      progress_(kMaxCards) {
  // On the receive thread: only recorded there, shown from the relay's thread.
  session_.SetNotifyWindow([this](const MacAddress& card) { relay_.Record(card); });
}

UpgradeRun::~UpgradeRun() {
  session_.SetNotifyWindow(nullptr);
}

std::optional<UpgradeSummary> UpgradeRun::Refusal(std::size_t cards) {
  UpgradeSummary refused;
  if (running_) {
    refused.refusal = "an upgrade is running already";
  } else if (cards > kMaxCards) {
    refused.refusal = "one upgrade takes at most " + std::to_string(kMaxCards) + " cards, not " +
                      std::to_string(cards);
  } else {
    return std::nullopt;
  }
  return refused;
}

UpgradeSummary UpgradeRun::Run(const std::string& image_path, std::vector<DeviceRecord>& cards) {
  if (auto refused = Refusal(cards.size())) return *refused;
  Bytes image;
  if (const std::string problem = LoadImageFile(image_path, image); !problem.empty()) {
    view_.SetBusy(true);
    prompter_.ShowMessage("The image cannot be used: " + problem + ".");
    for (const DeviceRecord& card : cards) SetResult(DeviceKey(card.mac), false);
    UpgradeSummary summary = Finish(static_cast<int>(cards.size()), static_cast<int>(cards.size()));
    view_.SetBusy(false);
    return summary;
  }
  return Run(image, cards);
}

UpgradeSummary UpgradeRun::Run(ByteView image, std::vector<DeviceRecord>& cards) {
  if (auto refused = Refusal(cards.size())) return *refused;
  if (running_.exchange(true)) return *Refusal(cards.size());  // started meanwhile elsewhere
  view_.SetBusy(true);
  selected_ = cards.size();
  for (auto& slot : progress_) slot = 0;
  for (const DeviceRecord& card : cards) {
    SetResult(DeviceKey(card.mac), false);
    view_.SetRowText(DeviceKey(card.mac), "");
  }
  const int failures = RunWorkers(
      cards.size(), [&](std::size_t k) { return UpgradeOne(k, cards[k], image); },
      [&](std::size_t k) {
        const std::string key = DeviceKey(cards[k].mac);
        prompter_.ShowMessage("No worker could be started for card " + key + "; it was not " +
                              "upgraded.");
        UpdateProgress(k, key, static_cast<std::int64_t>(image.size()), image.size());
      });
  UpgradeSummary summary = Finish(static_cast<int>(cards.size()), failures);
  view_.SetBusy(false);
  running_ = false;
  return summary;
}

bool UpgradeRun::UpgradeOne(std::size_t ordinal, DeviceRecord& card, ByteView image) {
  const std::string key = DeviceKey(card.mac);
  DeviceUpgradeHooks hooks;
  hooks.status = [&](const std::string& text, StatusPlace where) {
    if (where == StatusPlace::kStatusLineAndRow) view_.SetStatusLine(text);
    view_.SetRowText(key, text);
  };
  hooks.progress = [&](std::int64_t bytes) { UpdateProgress(ordinal, key, bytes, image.size()); };
  hooks.password_accepted = [&](const std::string& password) {
    if (password_accepted) password_accepted(card.mac, password);
  };
  DeviceUpgrade upgrade(session_, prompter_, password_question_lock_, card, image,
                        std::move(hooks));
  return upgrade.Run();
}

int UpgradeProgressPercent(std::int64_t bytes_sum, std::int64_t cards, std::int64_t image_length) {
  const std::int64_t per_card = cards == 0 ? 0 : bytes_sum / cards;
  return image_length == 0 ? 0 : static_cast<int>(per_card * 100 / image_length);
}

void UpgradeRun::UpdateProgress(std::size_t ordinal, const std::string& key, std::int64_t bytes,
                                std::size_t image_size) {
  std::lock_guard lock(progress_lock_);
  progress_[ordinal] = bytes;
  std::int64_t sum = 0;
  for (const auto& slot : progress_) sum += slot;
  const auto length = static_cast<std::int64_t>(image_size);
  view_.SetProgress(UpgradeProgressPercent(sum, static_cast<std::int64_t>(selected_), length));
  view_.SetCardProgress(key, UpgradeProgressPercent(bytes, 1, length));
}

int UpgradeRun::RunWorkers(std::size_t count, const std::function<bool(std::size_t)>& work,
                           const std::function<void(std::size_t)>& not_started) const {
  std::mutex mutex;
  std::condition_variable finished;
  int failures = 0;
  std::size_t running = 0;
  std::vector<std::thread> workers;
  const auto parallel = static_cast<std::size_t>(std::max(1, options_.parallel));
  auto join_all = [&] {
    for (auto& worker : workers) worker.join();
    workers.clear();
  };
  for (std::size_t k = 0; k < count; ++k) {
    {
      std::unique_lock lock(mutex);
      finished.wait(lock, [&] { return running < parallel; });
      ++running;
    }
    try {
      workers.push_back(options_.start_worker([&, k] {
        const bool ok = work(k);
        std::lock_guard lock(mutex);
        if (!ok) ++failures;
        --running;
        finished.notify_all();
      }));
    } catch (const std::system_error&) {
      not_started(k);
      std::lock_guard lock(mutex);
      ++failures;
      --running;
    }
    if (options_.fixed_batches && workers.size() == parallel) join_all();
  }
  join_all();
  return failures;
}

UpgradeSummary UpgradeRun::Finish(int selected, int failures) {
  relay_.Flush();  // the notices that came before the end are in the list
  UpgradeSummary summary{
      selected - failures, failures, upgrade_text::Summary(selected - failures, failures), {}};
  view_.ShowResults(Results());
  view_.SetStatusLine(summary.text);
  return summary;
}

void UpgradeRun::OnNotice(const MacAddress& card) {
  const std::string key = DeviceKey(card);
  SetResult(key, true);
  view_.SetRowText(key, upgrade_text::kSucceeded);
}

void UpgradeRun::SetResult(const std::string& key, bool success) {
  std::lock_guard lock(results_lock_);
  result_map_[key] = success;
}

std::vector<std::pair<std::string, bool>> UpgradeRun::Results() const {
  std::lock_guard lock(results_lock_);
  return {result_map_.begin(), result_map_.end()};
}

}  // namespace quillon
