// Upgrading cards with a 1 MiB image on the in-process segment, against the stop-and-wait limit
// measured in the same run: 1024 exchanges of a block-sized frame and its reply straight through
// the link, without the transaction around them.
#include <benchmark/benchmark.h>

#include "flows/UpgradeRun.h"
#include "protocol/Checksum.h"
#include "protocol/FirmwareImage.h"
#include "protocol/FrameFormat.h"
#include "sim/DemoFleet.h"

namespace quillon {
namespace {

constexpr std::uint32_t kSerial = 1358954496;
constexpr std::size_t kImageSize = 1024 * 1024;

Bytes MegabyteImage() {
  Bytes image(kImageSize, 0x5A);
  SealBlock(MutableSlice(image, kImageInfoBlockOffset, kImageInfoBlockSize));
  StoreBe32(image, kBootVersionWordOffset, 0x00010005);
  return image;
}

// One block-sized frame out and the card's reply back, through the link alone.
double StopAndWaitSeconds(Session& session, const MacAddress& card, std::size_t exchanges) {
  const Bytes block(kImageBlockSize, 0x5A);
  const Bytes frame = BuildRequestFrame(session.Channel(0).link().OwnAddress(),
                                        {card, code::kImageBlock, 0, {}, block, 0});
  ArrivalSignal::Waiter waiter(session.Channel(0).link().Arrivals(), card);
  const auto start = Clock::now();
  for (std::size_t i = 0; i < exchanges; ++i) {
    session.Channel(0).link().SendFrame(frame);
    for (;;) {
      waiter.Arm();
      if (session.Channel(0).link().ReceiveFrame()) break;
      waiter.Wait(Clock::now() + Millis{1000});
    }
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void UpgradeInProcess(benchmark::State& state) {
  const auto cards = static_cast<std::uint32_t>(state.range(0));
  sim::SimulatedSegment segment;
  segment.AddAdapter("sim0", "bench");
  std::vector<DeviceRecord> records;
  for (std::uint32_t i = 0; i < cards; ++i) {
    sim::FirmwareBehaviour at_once;
    at_once.programming_time = Millis{0};
    records.push_back(
        segment.AddCard(0, sim::CardBuilder(kSerial + i).FirmwareSide(at_once).Build())->Record());
  }
  const Timing timing = Timing::Standard();
  Session session(segment, timing, nullptr);
  session.EnumerateAdapters();
  session.OpenAll();
  const Bytes image = MegabyteImage();
  UpgradeView view;
  DecliningPrompter prompter;

  double upgrade_seconds = 0;
  double limit_seconds = 0;
  for (auto _ : state) {
    limit_seconds += StopAndWaitSeconds(session, records[0].mac, BlockCount(kImageSize));
    UpgradeRun run(session, prompter, view);
    const auto start = Clock::now();
    if (run.Run(image, records).failures != 0) state.SkipWithError("a card failed");
    upgrade_seconds += std::chrono::duration<double>(Clock::now() - start).count();
  }
  const auto runs = static_cast<double>(state.iterations());
  state.counters["upgrade_s"] = upgrade_seconds / runs;
  state.counters["stop_and_wait_limit_s"] = limit_seconds / runs;
  state.counters["ratio"] = upgrade_seconds / limit_seconds;
}
BENCHMARK(UpgradeInProcess)
    ->Arg(1)
    ->Arg(8)
    ->Iterations(5)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillon
