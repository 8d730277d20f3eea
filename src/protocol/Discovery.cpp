#include "protocol/Discovery.h"

#include <algorithm>
#include <vector>

#include "protocol/FrameFormat.h"

namespace quillon {

namespace {

void CarryRememberedPasswords(std::span<DeviceRecord> found,
                              const std::vector<DeviceRecord>& previous) {
  for (DeviceRecord& record : found) {
    for (const DeviceRecord& old : previous) {
      if (old.mac == record.mac) record.remembered_password = old.remembered_password;
    }
  }
}

}  // namespace

int DiscoverDevices(Link& link, const Timing& timing, std::span<DeviceRecord> table,
                    int adapter_index, const DiscoveryControl& control) {
  const std::vector<DeviceRecord> previous(table.begin(), table.end());
  const MacAddress own = link.OwnAddress();
  link.SendFrame(BuildDiscoveryRequest(own));

  const auto deadline = Clock::now() + timing.discovery_window;
  std::size_t found = 0;
  ArrivalSignal::Waiter waiter(link.Arrivals(), std::nullopt);
  // A stop wakes the waiter; it is looked at after Arm(), so that none is missed.
  const std::stop_callback wake(control.stop, [&link] { link.Arrivals().NotifyAll(); });
  for (bool first_pass = true;; first_pass = false) {
    if (!first_pass && Clock::now() >= deadline) break;
    waiter.Arm();
    if (control.stop.stop_requested()) break;
    const std::optional<Frame> frame = link.ReceiveFrame();
    if (!frame) {
      waiter.Wait(deadline);
      continue;
    }
    if (!IsReply(*frame, code::kDiscoverReply, kDeviceRecordSize)) continue;
    const MacAddress source = SourceOf(*frame);
    if (source == own || found == table.size()) continue;
    const auto known = table.first(found);
    if (std::any_of(known.begin(), known.end(),
                    [&](const DeviceRecord& r) { return r.mac == source; })) {
      continue;
    }
    DeviceRecord record = DeviceRecord::Decode(Slice(*frame, frame::kData, kDeviceRecordSize));
    record.adapter_index = adapter_index;
    table[found++] = record;
    if (control.found) control.found(record);
  }
  if (found == 0) return 0;
  CarryRememberedPasswords(table.first(found), previous);
  return static_cast<int>(found);
}

}  // namespace quillon
