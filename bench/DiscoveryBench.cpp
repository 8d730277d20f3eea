// 256 cards answering one discovery at once: every one must be found. The discovery window is
// fixed, so the figure that matters is the count; the time shown is the window plus the wake-ups.
#include <benchmark/benchmark.h>

#include <array>

#include "flows/Session.h"
#include "protocol/Discovery.h"
#include "sim/DemoFleet.h"

namespace quillon {
namespace {

void DiscoverAll(benchmark::State& state) {
  const auto cards = static_cast<std::uint32_t>(state.range(0));
  sim::SimulatedSegment segment;
  segment.AddAdapter("sim0", "bench");
  for (std::uint32_t i = 0; i < cards; ++i)
    segment.AddCard(0, sim::CardBuilder(1358954496 + i).Build());
  Timing timing = Timing::Standard();
  timing.discovery_window = Millis{300};  // the cards answer at once; the full window adds nothing
  Session session(segment, timing, nullptr);
  session.EnumerateAdapters();
  session.OpenAll();

  std::int64_t runs = 0;
  std::int64_t lost = 0;
  for (auto _ : state) {
    std::array<DeviceRecord, kMaxDevices> table{};
    const int found = DiscoverDevices(session.Channel(0).link(), timing, table, 0);
    lost += static_cast<std::int64_t>(cards) - found;
    ++runs;
  }
  state.counters["found_per_run"] =
      static_cast<double>(static_cast<std::int64_t>(cards) * runs - lost) /
      static_cast<double>(runs);
  state.counters["lost"] = static_cast<double>(lost);
  if (lost != 0) state.SkipWithError("cards were lost");
}

BENCHMARK(DiscoverAll)->Arg(256)->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quillon
