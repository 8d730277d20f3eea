// Speed over a real wire (a veth pair in namespaces made by run-wire-bench.sh):
//  - a query round trip through the libpcap driver and the whole transaction path, against a
//    raw libpcap ping-pong of the same frame sizes on the same pair: the physical limit here;
//  - 256 cards answering one discovery: every one found, every time.
#include <benchmark/benchmark.h>
#include <poll.h>

#include <algorithm>
#include <array>
#include <vector>

#include "flows/Session.h"
#include "flows/UpgradeRun.h"
#include "link/pcap/PcapCapture.h"
#include "link/pcap/PcapDriver.h"
#include "protocol/Checksum.h"
#include "protocol/DeviceCommands.h"
#include "protocol/Discovery.h"
#include "protocol/FirmwareImage.h"
#include "sim/DemoFleet.h"

namespace quillon {
namespace {

constexpr std::uint16_t kEchoRequest = 0x7E01;
constexpr std::uint16_t kEchoReply = 0x7E02;
constexpr std::uint32_t kSerial = 1358954496;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Percentile99(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() * 99 / 100];
}

double Micros(Clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

// One frame out and its answer back, on one thread, straight on a pcap handle.
class RawPingPong {
 public:
  explicit RawPingPong(const std::string& interface) {
    capture_ = std::move(pcap::PcapCapture::Open(interface, {}).capture);
  }
  bool Ready() const { return capture_ != nullptr; }

  // Drops what this handle captured meanwhile (the traffic of other measurements).
  void Drain() {
    while (capture_->DispatchReady([](ByteView) {}, 0) > 0) {
    }
  }

  // Returns false when no answer came. `data` makes the request as long as a request with it.
  bool RoundTrip(const MacAddress& own, ByteView data = {}) {
    const Bytes request =
        BuildRequestFrame(own, {sim::MakerAddress(kSerial), kEchoRequest, 0, {}, data, 0});
    std::string error;
    capture_->Send(request, error);
    bool answered = false;
    const auto deadline = Clock::now() + Millis{1000};
    const FrameSink sink = [&](ByteView frame) {
      if (frame.size() >= frame::kData && LoadBe16(frame, frame::kCode) == kEchoReply) {
        answered = true;
      }
    };
    while (!answered && Clock::now() < deadline) {
      if (capture_->DispatchReady(sink, 100) < 0) return false;
    }
    return answered;
  }

 private:
  std::unique_ptr<pcap::PcapCapture> capture_;
};

// A session with the link open on one of the host's ends.
struct WireSession {
  explicit WireSession(const std::string& adapter) {
    session.EnumerateAdapters({adapter});
    session.OpenAll();
  }
  pcap::PcapDriver driver;
  const Timing timing = Timing::Standard();
  Session session{driver, timing, nullptr};
};

void QueryRoundTripOnWire(benchmark::State& state) {
  WireSession wire("qh0");
  Session& session = wire.session;
  const MacAddress own = session.Channel(0).link().OwnAddress();
  const MacAddress card = sim::MakerAddress(kSerial);
  RawPingPong raw("qh0");
  if (!raw.Ready() || CheckPassword(session.Channel(0).transactions(), card, {}) != status::kDone) {
    state.SkipWithError("run through run-wire-bench.sh: no card or echo on qh0");
    return;
  }
  std::vector<double> raw_us;
  std::vector<double> driver_us;
  for (auto _ : state) {
    // Interleaved, so that both see the same machine at the same moment.
    auto start = Clock::now();
    if (!raw.RoundTrip(own)) state.SkipWithError("the echo did not answer");
    raw_us.push_back(Micros(Clock::now() - start));
    start = Clock::now();
    if (CheckPassword(session.Channel(0).transactions(), card, {}) != status::kDone) {
      state.SkipWithError("the card did not answer");
    }
    driver_us.push_back(Micros(Clock::now() - start));
  }
  state.counters["raw_median_us"] = Median(raw_us);
  state.counters["raw_p99_us"] = Percentile99(raw_us);
  state.counters["driver_median_us"] = Median(driver_us);
  state.counters["driver_p99_us"] = Percentile99(driver_us);
  state.counters["ratio_median"] = Median(driver_us) / Median(raw_us);
}
BENCHMARK(QueryRoundTripOnWire)->Iterations(5000)->UseRealTime()->Unit(benchmark::kMicrosecond);

// A 1 MiB image into 1 or 8 cards of quillon-cardsim (programming time 0), against 1024 raw
// exchanges of a block-sized frame with the echo: the stop-and-wait limit of one card.
void UpgradeOnWire(benchmark::State& state) {
  WireSession wire("qh0");
  Session& session = wire.session;
  RawPingPong raw("qh0");
  std::vector<DeviceRecord> cards;
  for (std::int64_t i = 0; i < state.range(0); ++i) {
    DeviceRecord record;
    record.mac = sim::MakerAddress(kSerial + static_cast<std::uint32_t>(i));
    cards.push_back(record);
  }
  Bytes image(1024 * 1024, 0x5A);
  SealBlock(MutableSlice(image, kImageInfoBlockOffset, kImageInfoBlockSize));
  StoreBe32(image, kBootVersionWordOffset, 0x00010005);
  const Bytes block(kImageBlockSize, 0x5A);
  UpgradeView view;
  DecliningPrompter prompter;
  double upgrade_seconds = 0;
  double limit_seconds = 0;
  for (auto _ : state) {
    raw.Drain();
    auto start = Clock::now();
    for (std::size_t i = 0; i < BlockCount(image.size()); ++i) {
      if (!raw.RoundTrip(session.Channel(0).link().OwnAddress(), block))
        state.SkipWithError("no echo");
    }
    limit_seconds += std::chrono::duration<double>(Clock::now() - start).count();
    UpgradeRun run(session, prompter, view);
    start = Clock::now();
    if (run.Run(image, cards).failures != 0) state.SkipWithError("a card failed");
    upgrade_seconds += std::chrono::duration<double>(Clock::now() - start).count();
  }
  const auto runs = static_cast<double>(state.iterations());
  state.counters["upgrade_s"] = upgrade_seconds / runs;
  state.counters["stop_and_wait_limit_s"] = limit_seconds / runs;
  state.counters["ratio"] = upgrade_seconds / limit_seconds;
}
BENCHMARK(UpgradeOnWire)
    ->Arg(1)
    ->Arg(8)
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void DiscoverOnWire(benchmark::State& state) {
  WireSession wire("qh1");
  Session& session = wire.session;
  const Timing& timing = wire.timing;
  std::int64_t runs = 0;
  std::int64_t found = 0;
  std::int64_t worst = 256;
  for (auto _ : state) {
    std::array<DeviceRecord, kMaxDevices> table{};
    const int n = DiscoverDevices(session.Channel(0).link(), timing, table, 0);
    found += n;
    worst = std::min<std::int64_t>(worst, n);
    ++runs;
  }
  state.counters["found_per_run"] = static_cast<double>(found) / static_cast<double>(runs);
  state.counters["fewest_found"] = static_cast<double>(worst);
  if (worst != 256) state.SkipWithError("cards were lost");
}
BENCHMARK(DiscoverOnWire)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillon
