// The fault soak: many simulated cards with faults of every kind, the whole upgrade and a settings
// write over all of them, again and again. What matters is not the time but the outcome of every
// card: upgraded and verified (the image it programmed is the one made for it), reported failed,
// or reported successful wrongly, which must never happen. The same for the settings.
//
//   quillon_soak [--runs N] [--cards N]                   in-process, on the simulated segment
//   quillon_soak --write-fleet F [--cards N]              the fleet as a file for quillon-cardsim
//   quillon_soak --adapter IF --images DIR [--cards N]    over a real wire, to quillon-cardsim
//                                                         running that fleet (bench/run-soak.sh)
#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <thread>

#include "flows/SettingsFlow.h"
#include "flows/UpgradeRun.h"
#include "link/pcap/PcapDriver.h"
#include "protocol/Checksum.h"
#include "protocol/DeviceCommands.h"
#include "protocol/FirmwareImage.h"
#include "sim/DemoFleet.h"
#include "sim/FleetFile.h"
#include "sim/SimulatedSegment.h"

namespace quillon {
namespace {

constexpr std::uint32_t kFirstSerial = 1358956000;

// Every eighth card the same kind of trouble; the firmware faults take turns among the last kind.
nlohmann::json SoakFleet(int cards) {
  nlohmann::json fleet;
  for (int i = 0; i < cards; ++i) {
    nlohmann::json faults = nlohmann::json::object();
    nlohmann::json card = {{"serial", kFirstSerial + static_cast<std::uint32_t>(i)},
                           {"firmwareSide", {{"programmingMs", 20}}}};
    switch (i % 8) {
      case 1:
        faults["dropRate"] = 0.1;
        break;
      case 2:
        faults["duplicateReplies"] = true;
        break;
      case 3:
        faults = {{"replyDelayMs", 20}, {"dropRate", 0.1}};
        break;
      case 4:
        faults["decoy"] = "wrong-version";
        break;
      case 5:
        faults = {{"decoy", "wrong-code"}, {"dropRate", 0.1}};
        break;
      case 6:
        faults["busy"] = true;
        break;
      case 7:
        switch ((i / 8) % 3) {
          case 0:
            faults["silentFromBlock"] = 10;
            break;
          case 1:
            faults["noNotice"] = true;
            break;
          default:
            faults["refusedBlocks"] = {5, 20};
            break;
        }
        break;
      default:
        break;
    }
    card["faults"] = faults;
    fleet["cards"].push_back(card);
  }
  return fleet;
}

// Nobody to ask: a refused block is tried again twice, then the card is given up.
class SoakPrompter : public Prompter {
 public:
  std::optional<std::string> AskPassword(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  bool AskYesNo(const std::string&) override { return true; }
  Choice AskAbortRetryIgnore(const std::string&) override {
    thread_local int retries = 0;  // each card has a worker thread of its own
    return ++retries <= 2 ? Choice::kRetry : Choice::kAbort;
  }
  void ShowMessage(const std::string&) override {}
};

Timing SoakTiming() {
  Timing t = Timing::Shortened();
  t.query_window = Millis{200};
  t.command_window = Millis{300};
  t.notice_wait = Millis{3000};
  return t;
}

// What a run changes: the image's bytes and the cards' gateways, so that nothing from an earlier
// run can pass for this one's.
Bytes RunImage(int run) {
  Bytes image(64 * 1024 + 300);
  for (std::size_t i = 0; i < image.size(); ++i) {
    image[i] = static_cast<Byte>(i * 13 + static_cast<std::size_t>(run) * 7);
  }
  SealBlock(MutableSlice(image, kImageInfoBlockOffset, kImageInfoBlockSize));
  StoreBe32(image, kBootVersionWordOffset, 0x00010005);
  return image;
}

std::uint32_t RunGateway(int run, std::size_t card) {
  return (10u << 24) | (static_cast<std::uint32_t>(run % 250 + 1) << 16) |
         (static_cast<std::uint32_t>(card % 250) << 8) | 1u;
}

struct Tally {
  int verified = 0;
  int failed = 0;
  int failed_but_done = 0;  // reported failed, though the card took it (e.g. no notice)
  int wrong = 0;            // reported successful, but the card does not have it
};

// Where the truth about the cards is: the simulated cards themselves, or what quillon-cardsim
// saved and what the cards read back over the wire.
class Truth {
 public:
  virtual ~Truth() = default;
  virtual void Reset() = 0;
  virtual Bytes ProgrammedImage(const DeviceRecord& card) = 0;
  virtual std::optional<std::uint32_t> Gateway(Session& session, const DeviceRecord& card) = 0;
};

class SegmentTruth : public Truth {
 public:
  explicit SegmentTruth(sim::SimulatedSegment& segment) : segment_(segment) {}
  void Reset() override {}
  Bytes ProgrammedImage(const DeviceRecord& card) override {
    return segment_.FindCard(card.mac)->ProgrammedImage();
  }
  std::optional<std::uint32_t> Gateway(Session&, const DeviceRecord& card) override {
    return DeviceConfig::Decode(segment_.FindCard(card.mac)->Config()).gateway;
  }

 private:
  sim::SimulatedSegment& segment_;
};

class WireTruth : public Truth {
 public:
  explicit WireTruth(std::string images) : images_(std::move(images)) {}
  void Reset() override {
    for (const auto& entry : std::filesystem::directory_iterator(images_)) {
      std::filesystem::remove(entry.path());
    }
  }
  Bytes ProgrammedImage(const DeviceRecord& card) override {
    std::ifstream file(images_ + "/" + DeviceKey(card.mac) + ".bin", std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  // Read back patiently: a card with a lossy line may need several tries.
  std::optional<std::uint32_t> Gateway(Session& session, const DeviceRecord& card) override {
    for (int attempt = 0; attempt < 5; ++attempt) {
      ConfigBlock block{};
      if (ReadConfig(session.ChannelOf(card).transactions(), card.mac, {}, block) !=
          status::kNoReply) {
        return DeviceConfig::Decode(block).gateway;
      }
    }
    return std::nullopt;
  }

 private:
  std::string images_;
};

Tally SoakUpgrade(Session& session, Truth& truth, std::vector<DeviceRecord> cards, int run) {
  truth.Reset();
  const Bytes image = RunImage(run);
  SoakPrompter prompter;
  UpgradeView view;
  UpgradeRun upgrade(session, prompter, view, {8, false});
  upgrade.Run(image, cards);
  const std::vector<std::pair<std::string, bool>> results = upgrade.Results();
  std::map<std::string, bool> reported(results.begin(), results.end());
  Tally tally;
  for (const DeviceRecord& card : cards) {
    Bytes expected = image;
    PersonaliseInfoBlock(expected, card.mac);
    const bool programmed = truth.ProgrammedImage(card) == expected;
    if (reported[DeviceKey(card.mac)]) {
      ++(programmed ? tally.verified : tally.wrong);
    } else {
      ++tally.failed;
      if (programmed) ++tally.failed_but_done;
    }
  }
  return tally;
}

Tally SoakSettings(Session& session, Truth& truth, const std::vector<DeviceRecord>& cards,
                   int run) {
  Tally tally;
  std::mutex mutex;
  std::vector<std::jthread> writers;
  const std::size_t parallel = 8;
  for (std::size_t w = 0; w < parallel; ++w) {
    writers.emplace_back([&, w] {
      SoakPrompter prompter;
      for (std::size_t k = w; k < cards.size(); k += parallel) {
        const std::uint32_t gateway = RunGateway(run, k);
        SettingsFlow flow(session, prompter, cards[k]);
        bool reported = false;
        if (flow.Read()) {
          SheetEntries entries = flow.AsConfigured();
          entries.settings.gateway = gateway;
          if (!flow.Confirm(entries)) {
            const SettingsFlow::Applied applied = flow.Apply(entries);
            reported = applied.written && applied.write_status == status::kDone;
          }
        }
        const std::optional<std::uint32_t> held = truth.Gateway(session, cards[k]);
        const bool took = held == gateway;
        std::lock_guard lock(mutex);
        if (reported && !took) {
          std::cout << "  " << DeviceKey(cards[k].mac) << ": reported written, holds "
                    << (held ? Ipv4Text(*held) : std::string("(no answer)")) << " instead of "
                    << Ipv4Text(gateway) << std::endl;
        }
        if (reported) {
          ++(took ? tally.verified : tally.wrong);
        } else {
          ++tally.failed;
          if (took) ++tally.failed_but_done;
        }
      }
    });
  }
  writers.clear();
  return tally;
}

std::vector<DeviceRecord> Records(const std::vector<sim::CardProfile>& profiles) {
  std::vector<DeviceRecord> records;
  for (const sim::CardProfile& profile : profiles) {
    DeviceRecord record = sim::SimulatedCard(profile).Record();
    record.adapter_index = 0;
    records.push_back(record);
  }
  return records;
}

int Soak(Session& session, Truth& truth, const std::vector<DeviceRecord>& cards, int runs) {
  int wrong = 0;
  for (int run = 1; run <= runs; ++run) {
    const Tally upgrade = SoakUpgrade(session, truth, cards, run);
    const Tally settings = SoakSettings(session, truth, cards, run);
    std::cout << "run " << run << ": upgrade " << upgrade.verified << " verified, "
              << upgrade.failed << " reported failed (" << upgrade.failed_but_done
              << " of them programmed all the same), " << upgrade.wrong
              << " reported successful wrongly; settings " << settings.verified
              << " written and read back, " << settings.failed << " reported failed ("
              << settings.failed_but_done << " written all the same), " << settings.wrong
              << " reported successful wrongly" << std::endl;
    wrong += upgrade.wrong + settings.wrong;
  }
  std::cout << (wrong == 0 ? "no wrong success in " : "WRONG SUCCESSES in ") << runs << " runs of "
            << cards.size() << " cards" << std::endl;
  return wrong == 0 ? 0 : 1;
}

}  // namespace
}  // namespace quillon

int main(int argc, char* argv[]) {
  using namespace quillon;
  int runs = 3;
  int cards = 64;
  std::string write_fleet, adapter, images;
  CLI::App app{"Upgrades and configures many faulty simulated cards, again and again"};
  app.add_option("--runs", runs, "How many times")->capture_default_str();
  app.add_option("--cards", cards, "How many cards")->capture_default_str();
  app.add_option("--write-fleet", write_fleet, "Write the fleet for quillon-cardsim and end");
  app.add_option("--adapter", adapter, "Over this interface, to quillon-cardsim");
  app.add_option("--images", images, "quillon-cardsim's --save-images folder (with --adapter)");
  CLI11_PARSE(app, argc, argv);

  const nlohmann::json fleet_json = SoakFleet(cards);
  if (!write_fleet.empty()) {
    std::ofstream(write_fleet) << fleet_json.dump(1) << '\n';
    return 0;
  }
  std::istringstream text(fleet_json.dump());
  const sim::FleetFile fleet = sim::ReadFleet(text);
  const Timing timing = SoakTiming();
  if (adapter.empty()) {
    sim::SimulatedSegment segment;
    segment.AddAdapter("sim0", "soak");
    for (const sim::CardProfile& profile : fleet.cards) segment.AddCard(0, profile);
    Session session(segment, timing, nullptr);
    session.EnumerateAdapters();
    SegmentTruth truth(segment);
    std::cout << "in-process, " << fleet.cards.size() << " cards" << std::endl;
    return Soak(session, truth, Records(fleet.cards), runs);
  }
  if (images.empty()) {
    std::cerr << "quillon_soak: --adapter needs --images\n";
    return 2;
  }
  pcap::PcapDriver driver;
  Session session(driver, timing, nullptr);
  session.EnumerateAdapters({adapter});
  if (session.AdapterCount() != 1 || !session.OpenAll().empty()) {
    std::cerr << "quillon_soak: cannot open " << adapter << '\n';
    return 2;
  }
  WireTruth truth(images);
  std::cout << "over " << adapter << ", " << fleet.cards.size() << " cards" << std::endl;
  return Soak(session, truth, Records(fleet.cards), runs);
}
