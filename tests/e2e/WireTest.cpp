// The real libpcap driver against quillon-cardsim over veth pairs. run-e2e.sh makes the network
// namespaces and runs this binary in the host one; these tests start and stop the simulated
// cards in the cards namespace.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "flows/DeviceSearch.h"
#include "flows/UpgradeRun.h"
#include "link/ArpFrame.h"
#include "link/pcap/PcapCapture.h"
#include "link/pcap/PcapDriver.h"
#include "protocol/DeviceCommands.h"
#include "protocol/FirmwareImage.h"
#include "sim/DemoFleet.h"
#include "support/TestImages.h"

extern char** environ;

namespace quillon {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// A program started in the background and stopped, whatever happens, when this goes.
class Child {
 public:
  explicit Child(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    if (posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
  }
  ~Child() { Stop(); }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool Started() const { return pid_ > 0; }
  int Stop() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    return Wait();
  }
  int Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
};

struct Card {
  std::uint32_t serial;
  std::string ipv4;
};

constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
  return (a << 24) | (b << 16) | (c << 8) | d;
}

class WireTest : public ::testing::Test {
 protected:
  static constexpr std::uint32_t kSerial = 1358954496;

  void SetUp() override {
    cards_ns_ = Env("QUILLON_E2E_CARDS_NS");
    if (cards_ns_.empty()) GTEST_SKIP() << "run through run-e2e.sh, which makes the namespaces";
    timing_ = Timing::Shortened();
    session_ = std::make_unique<Session>(driver_, timing_, nullptr);
    session_->EnumerateAdapters();
    ASSERT_EQ(session_->AdapterCount(), 2) << "expected the host ends qh0, qh1";
  }

  void TearDown() override {
    cardsims_.clear();
    std::filesystem::remove_all(directory_);
  }

  // Starts quillon-cardsim with these cards on the cards' end of pair `pair`.
  void StartCards(int pair, const std::vector<Card>& cards,
                  const nlohmann::json& extra = nlohmann::json::object(),
                  const std::vector<std::string>& options = {}) {
    nlohmann::json fleet;
    for (const Card& card : cards) {
      nlohmann::json description = {{"serial", card.serial},
                                    {"ipv4", {{"mode", "static"}, {"address", card.ipv4}}}};
      if (extra.is_object()) description.update(extra);
      fleet["cards"].push_back(description);
    }
    std::filesystem::create_directories(directory_);
    const std::string path = directory_ + "/fleet" + std::to_string(pair) + ".json";
    std::ofstream(path) << fleet.dump();
    std::vector<std::string> args{"ip",
                                  "netns",
                                  "exec",
                                  cards_ns_,
                                  Env("QUILLON_CARDSIM"),
                                  "-i",
                                  "qc" + std::to_string(pair),
                                  "--fleet",
                                  path};
    args.insert(args.end(), options.begin(), options.end());
    cardsims_.push_back(std::make_unique<Child>(args));
    ASSERT_TRUE(cardsims_.back()->Started());
    WaitUntilAnswering(pair, cards.front().serial);
  }

  // The simulator needs a moment to attach; ask until the card answers.
  void WaitUntilAnswering(int pair, std::uint32_t serial) {
    for (int attempt = 0; attempt < 50; ++attempt) {
      if (CheckPassword(tx(pair), sim::MakerAddress(serial), {}) != status::kNoReply) return;
    }
    FAIL() << "the simulated cards on qc" << pair << " never answered";
  }

  int AdapterIndex(const std::string& name) {
    const auto& table = session_->adapters().Entries();
    for (std::size_t i = 0; i < table.size(); ++i) {
      if (table[i].driver_name == name) return static_cast<int>(i);
    }
    return -1;
  }

  // The channel of the host's end of pair `pair` (qh0, qh1).
  AdapterChannel& channel(int pair) {
    return session_->Channel(AdapterIndex("qh" + std::to_string(pair)));
  }
  Transactions& tx(int pair = 0) { return channel(pair).transactions(); }

  // Runs quillon-cli in this namespace and returns its exit status and standard output.
  std::pair<int, std::string> RunCli(const std::string& arguments) {
    FILE* pipe = popen((Env("QUILLON_CLI") + " " + arguments + " 2>/dev/null").c_str(), "r");
    if (!pipe) return {-1, ""};
    std::string output;
    char buffer[4096];
    while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
  }

  // Runs `ip -n <cards namespace> ARGUMENTS`; its exit status.
  int IpInCardsNamespace(const std::string& arguments) {
    return std::system(("ip -n " + cards_ns_ + " " + arguments).c_str());
  }

  // A capture of the ARP frames arriving on an interface of the cards' namespace. The handle is
  // opened by a thread that has entered that namespace, and stays bound to it.
  std::unique_ptr<pcap::PcapCapture> CaptureArpInCardsNamespace(const std::string& interface) {
    std::unique_ptr<pcap::PcapCapture> capture;
    std::thread([&] {
      const int ns = open(("/run/netns/" + cards_ns_).c_str(), O_RDONLY | O_CLOEXEC);
      if (ns < 0) return;
      if (setns(ns, CLONE_NEWNET) == 0) {
        pcap::CaptureOptions arp_only;
        arp_only.own_type = false;
        arp_only.arp = true;
        arp_only.promiscuous = true;
        capture = pcap::PcapCapture::Open(interface, arp_only).capture;
      }
      close(ns);
    }).join();
    return capture;
  }

  // Every ARP packet the capture holds; the frames of a probe that has returned are there.
  static std::vector<ArpPacket> Drain(pcap::PcapCapture& capture) {
    std::vector<ArpPacket> packets;
    const FrameSink sink = [&](ByteView frame) {
      if (const auto packet = ArpPacket::Decode(frame)) packets.push_back(*packet);
    };
    while (capture.DispatchReady(sink, 50) > 0) {
    }
    return packets;
  }

  pcap::PcapDriver driver_;
  Timing timing_;
  std::unique_ptr<Session> session_;
  std::string cards_ns_;
  std::string directory_ =
      std::filesystem::temp_directory_path().string() + "/quillon-e2e-" + std::to_string(getpid());
  std::vector<std::unique_ptr<Child>> cardsims_;
};

TEST_F(WireTest, DiscoversEveryCardOnBothAdapters) {
  StartCards(0, {{kSerial + 3, "10.1.0.3"}, {kSerial + 1, "10.1.0.1"}, {kSerial + 2, "10.1.0.2"}});
  StartCards(1, {{kSerial + 7, "10.2.0.7"}, {kSerial + 5, "10.2.0.5"}});
  DeviceSearch search(*session_);
  const SearchResult result = search.Run();

  std::vector<std::tuple<std::string, std::string, std::string, std::string>> listed;
  for (const RowText& row : result.rows) {
    const auto& adapter = session_->adapters().Entries().at(
        static_cast<std::size_t>(result.devices[row.device].record.adapter_index));
    listed.emplace_back(row.key, row.mac, row.ipv4, adapter.driver_name);
  }
  const decltype(listed) expected{
      {"1358954497", "02-4B-51-00-00-01", "10.1.0.1", "qh0"},
      {"1358954498", "02-4B-51-00-00-02", "10.1.0.2", "qh0"},
      {"1358954499", "02-4B-51-00-00-03", "10.1.0.3", "qh0"},
      {"1358954501", "02-4B-51-00-00-05", "10.2.0.5", "qh1"},
      {"1358954503", "02-4B-51-00-00-07", "10.2.0.7", "qh1"},
  };
  EXPECT_EQ(listed, expected);
}

TEST_F(WireTest, EachCardIsReachedOnItsOwnAdapterWithoutMovingAnything) {
  StartCards(0, {{kSerial + 1, "10.1.0.1"}});
  StartCards(1, {{kSerial + 2, "10.2.0.2"}});
  DeviceSearch search(*session_);
  const SearchResult result = search.Run();
  ASSERT_EQ(result.devices.size(), 2u);
  for (const FoundDevice& device : result.devices) {
    EXPECT_TRUE(device.answered) << device.Key();
    EXPECT_EQ(
        CheckPassword(session_->ChannelOf(device.record).transactions(), device.record.mac, {}),
        status::kDone);
  }
  EXPECT_EQ(CheckPassword(tx(1), sim::MakerAddress(kSerial + 1), {}), status::kNoReply)
      << "not on that segment";
}

TEST_F(WireTest, TargetedSearchEndsWhenTheNamedCardsHaveAnswered) {
  StartCards(0, {{kSerial + 1, "10.1.0.1"}, {kSerial + 2, "10.1.0.2"}});
  StartCards(1, {{kSerial + 3, "10.2.0.3"}});
  timing_.discovery_window = Millis{60000};
  session_ = std::make_unique<Session>(driver_, timing_, nullptr);
  session_->EnumerateAdapters();
  DeviceSearch search(*session_);
  const SearchResult result =
      search.Find({*CardName::Parse("1358954499"), *CardName::Parse("02-4B-51-00-00-01")});
  ASSERT_EQ(result.devices.size(), 2u);
  EXPECT_EQ(result.devices[0].Key(), "1358954499");
  EXPECT_EQ(session_->adapters().Entry(result.devices[0].record.adapter_index).driver_name, "qh1");
  EXPECT_EQ(result.devices[1].Key(), "1358954497");
  EXPECT_EQ(Ipv4Text(result.devices[1].ipv4), "10.1.0.1");
}

TEST_F(WireTest, CommandLineShowsOneCardAndNamesAMissingOne) {
  StartCards(1, {{kSerial + 3, "10.2.0.3"}});
  session_.reset();
  const auto [status, output] = RunCli("show 02-4B-51-00-00-03 --json");
  ASSERT_EQ(status, 0);
  const auto card = nlohmann::json::parse(output);
  EXPECT_EQ(card["serial"], "1358954499");
  EXPECT_EQ(card["adapter"], "qh1");
  EXPECT_EQ(RunCli("show 1358954500").first, 1);
}

TEST_F(WireTest, WrittenConfigurationReadsBack) {
  StartCards(0, {{kSerial + 1, "10.1.0.1"}});
  const MacAddress card = sim::MakerAddress(kSerial + 1);
  ConfigBlock block{};
  ASSERT_EQ(ReadConfig(tx(), card, {}, block), status::kDone);
  DeviceConfig config = DeviceConfig::Decode(block);
  config.ip_address = 0x0A010063;
  config.https_port = kPortDisabled;
  block = config.Encode();
  ASSERT_EQ(WriteConfig(tx(), card, {}, block, kConfigBlockSize), status::kDone);

  ConfigBlock again{};
  ASSERT_EQ(ReadConfig(tx(), card, {}, again), status::kDone);
  EXPECT_TRUE(std::equal(block.begin() + 8, block.end(), again.begin() + 8));
  EXPECT_EQ(DeviceConfig::Decode(again).ip_address, 0x0A010063u);
}

TEST_F(WireTest, ChangedPasswordIsTheOneTheCardThenAccepts) {
  StartCards(0, {{kSerial + 1, "10.1.0.1"}});
  const MacAddress card = sim::MakerAddress(kSerial + 1);
  ASSERT_EQ(ChangePassword(tx(), card, {}, MakePasswordBlock("secret")), status::kDone);
  EXPECT_EQ(CheckPassword(tx(), card, {}), status::kRefused);
  EXPECT_EQ(CheckPassword(tx(), card, DevicePassword("wrong")), status::kRefused);
  EXPECT_EQ(CheckPassword(tx(), card, DevicePassword("secret")), status::kDone);
}

TEST_F(WireTest, MalformedAndUnrelatedFramesDoNoHarm) {
  StartCards(0, {{kSerial + 1, "10.1.0.1"}}, {{"faults", {{"replyDelayMs", 2}}}});
  const MacAddress card = sim::MakerAddress(kSerial + 1);
  ConfigBlock expected{};
  ASSERT_EQ(ReadConfig(tx(), card, {}, expected), status::kDone);

  Child injector({"ip", "netns", "exec", cards_ns_, Env("QUILLON_INJECT"), "qc0",
                  channel(0).link().OwnAddress().ToString(), card.ToString(), "3"});
  ASSERT_TRUE(injector.Started());
  std::string failures;
  for (int i = 0; i < 20; ++i) {
    ConfigBlock block{};
    const ReplyStatus status = ReadConfig(tx(), card, {}, block);
    if (status != status::kDone || block != expected) {
      failures += " read " + std::to_string(i) + ": status " + std::to_string(status.value()) +
                  (block == expected ? "" : ", another block");
    }
  }
  EXPECT_EQ(failures, "") << "every read gets the card's own, whole block";
  EXPECT_EQ(CheckPassword(tx(), sim::MakerAddress(kSerial + 99), {}), status::kNoReply);
  EXPECT_EQ(injector.Wait(), 0);
  EXPECT_FALSE(channel(0).link().FuseOk().WaitFor(Millis{0})) << "a cut notice is no notice";
}

TEST_F(WireTest, UpgradedCardsReceiveTheirOwnImage) {
  const std::string saved = directory_ + "/programmed";
  std::filesystem::create_directories(saved);
  StartCards(0, {{kSerial + 1, "10.1.0.1"}, {kSerial + 2, "10.1.0.2"}, {kSerial + 3, "10.1.0.3"}},
             {{"firmwareSide", {{"programmingMs", 50}}}}, {"--save-images", saved});
  std::vector<DeviceRecord> cards;
  for (std::uint32_t i = 1; i <= 3; ++i) {
    DeviceRecord record;
    record.mac = sim::MakerAddress(kSerial + i);
    record.adapter_index = AdapterIndex("qh0");
    cards.push_back(record);
  }
  const Bytes image = testing::MakeImage({.size = 200 * 1024 + 77});
  UpgradeView view;
  DecliningPrompter prompter;
  UpgradeRun run(*session_, prompter, view);
  EXPECT_EQ(run.Run(image, cards).text, "3 unit success, 0 unit fail. ");
  for (const DeviceRecord& card : cards) {
    Bytes expected = image;
    PersonaliseInfoBlock(expected, card.mac);
    std::ifstream file(saved + "/" + DeviceKey(card.mac) + ".bin", std::ios::binary);
    const Bytes received{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(received == expected) << DeviceKey(card.mac);
  }
}

TEST_F(WireTest, CommandLineChangesSettingsPasswordAndSerialNumber) {
  StartCards(1, {{kSerial + 4, "10.2.0.4"}, {kSerial + 5, "10.2.0.5"}});
  session_.reset();
  const auto before = nlohmann::json::parse(RunCli("show 1358954500 --json").second);

  EXPECT_EQ(RunCli("set 1358954500 --static 10.2.0.5").first, 1)
      << "the other card answers ARP for 10.2.0.5: the conflict question, unanswered";
  const auto [set_status, set_output] =
      RunCli("set 1358954500 --static 10.2.0.44 --mask 255.255.0.0 --ssh 2222 --json");
  ASSERT_EQ(set_status, 0) << set_output;
  EXPECT_EQ(nlohmann::json::parse(set_output)["outcome"], "verified");
  const auto after = nlohmann::json::parse(RunCli("show 1358954500 --json").second);
  EXPECT_EQ(after["ipv4Settings"]["address"], "10.2.0.44");
  EXPECT_EQ(after["ipv4Settings"]["mask"], "255.255.0.0");
  EXPECT_EQ(after["services"]["ssh"]["port"], 2222);
  EXPECT_EQ(after["ipv4Settings"]["gateway"], before["ipv4Settings"]["gateway"]);
  EXPECT_EQ(after["services"]["http"], before["services"]["http"]);
  EXPECT_EQ(after["services"]["telnet"], before["services"]["telnet"]);

  const std::string file = directory_ + "/new-password";
  std::ofstream(file) << "wire-pw\n";
  EXPECT_EQ(RunCli("passwd 1358954500 --new-password-file " + file).first, 0);
  EXPECT_EQ(RunCli("set 1358954500 --ssh 22").first, 1) << "the card now wants its password";
  EXPECT_EQ(RunCli("set 1358954500 --ssh 22 --password wire-pw").first, 0);

  EXPECT_EQ(RunCli("assign-serial 1358954501 1358954600 --yes").first, 0);
  EXPECT_EQ(RunCli("show 1358954600").first, 0) << "the card answers as its new number";
  EXPECT_EQ(RunCli("show 1358954501").first, 1);
}

TEST_F(WireTest, CommandLineListsTheFleet) {
  StartCards(0, {{kSerial + 1, "10.1.0.1"}, {kSerial + 2, "10.1.0.2"}});
  StartCards(1, {{kSerial + 3, "10.2.0.3"}});
  session_.reset();  // the command line opens the adapters itself
  const auto [status, output] = RunCli("list --json");
  ASSERT_EQ(status, 0);
  const auto devices = nlohmann::json::parse(output);
  ASSERT_EQ(devices.size(), 3u);
  EXPECT_EQ(devices[0]["serial"], "1358954497");
  EXPECT_EQ(devices[0]["ipv4"], "10.1.0.1");
  EXPECT_EQ(devices[2]["adapter"], "qh1");
}

TEST_F(WireTest, AddressTheCardsNamespaceHoldsAnswersTheProbe) {
  ASSERT_EQ(IpInCardsNamespace("addr add 10.9.0.7/24 dev qc0"), 0);
  const bool answered = session_->AddressInUse(AdapterIndex("qh0"), Ip(10, 9, 0, 7));
  IpInCardsNamespace("addr del 10.9.0.7/24 dev qc0");
  EXPECT_TRUE(answered) << "the kernel of the cards' namespace answers for its address";
}

TEST_F(WireTest, ProbeForAFreeAddressGoesOutThreeTimesOnItsOwnAdapterOnly) {
  const std::unique_ptr<pcap::PcapCapture> on_qc0 = CaptureArpInCardsNamespace("qc0");
  const std::unique_ptr<pcap::PcapCapture> on_qc1 = CaptureArpInCardsNamespace("qc1");
  ASSERT_TRUE(on_qc0 && on_qc1);
  const MacAddress qh0 = channel(0).link().OwnAddress();
  EXPECT_FALSE(session_->AddressInUse(AdapterIndex("qh0"), Ip(10, 9, 0, 8)));

  const ArpPacket probe = MakeArpProbe(qh0, Ip(10, 9, 0, 8));
  EXPECT_EQ(Drain(*on_qc0), std::vector<ArpPacket>(3, probe));
  EXPECT_EQ(Drain(*on_qc1), std::vector<ArpPacket>{}) << "nothing on the other adapter";
}

TEST_F(WireTest, SimulatedCardAnswersForItsAddressAsWrittenAndOnItsSegmentOnly) {
  StartCards(0, {{kSerial + 1, "10.1.0.1"}});
  const int qh0 = AdapterIndex("qh0");
  EXPECT_TRUE(session_->AddressInUse(qh0, Ip(10, 1, 0, 1)));
  EXPECT_FALSE(session_->AddressInUse(qh0, Ip(10, 1, 0, 2)));
  EXPECT_FALSE(session_->AddressInUse(AdapterIndex("qh1"), Ip(10, 1, 0, 1)));

  const MacAddress card = sim::MakerAddress(kSerial + 1);
  ConfigBlock block{};
  ASSERT_EQ(ReadConfig(tx(), card, {}, block), status::kDone);
  DeviceConfig config = DeviceConfig::Decode(block);
  config.ip_address = Ip(10, 1, 0, 99);
  block = config.Encode();
  ASSERT_EQ(WriteConfig(tx(), card, {}, block, kConfigBlockSize), status::kDone);
  EXPECT_TRUE(session_->AddressInUse(qh0, Ip(10, 1, 0, 99))) << "the written address, at once";
  EXPECT_FALSE(session_->AddressInUse(qh0, Ip(10, 1, 0, 1)));
}

}  // namespace
}  // namespace quillon
