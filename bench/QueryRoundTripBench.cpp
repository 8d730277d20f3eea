// One query round trip on the in-process segment: request out, the card's reply through the
// receive thread and the queue, and the transaction waking for it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "flows/Session.h"
#include "protocol/DeviceCommands.h"
#include "sim/DemoFleet.h"

namespace quillon {
namespace {

double Percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
  return values[index];
}

void QueryRoundTrip(benchmark::State& state, std::size_t reply_bytes) {
  sim::SimulatedSegment segment;
  segment.AddAdapter("sim0", "bench");
  const MacAddress card = segment.AddCard(0, sim::CardBuilder(1358954496).Build())->Mac();
  const Timing timing = Timing::Standard();
  Session session(segment, timing, nullptr);
  session.EnumerateAdapters();
  session.OpenAll();

  std::vector<double> micros;
  ConfigBlock block{};
  for (auto _ : state) {
    const auto start = Clock::now();
    const ReplyStatus status =
        reply_bytes == 0 ? CheckPassword(session.Channel(0).transactions(), card, {})
                         : ReadConfig(session.Channel(0).transactions(), card, {},
                                      MutableSlice(MutableByteView(block), 0, reply_bytes));
    micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    if (status != status::kDone) state.SkipWithError("the card did not answer");
  }
  state.counters["median_us"] = Percentile(micros, 0.5);
  state.counters["p99_us"] = Percentile(micros, 0.99);
}

BENCHMARK_CAPTURE(QueryRoundTrip, check_password, std::size_t{0})->UseRealTime();
BENCHMARK_CAPTURE(QueryRoundTrip, read_config_256, kConfigBlockSize)->UseRealTime();

}  // namespace
}  // namespace quillon
