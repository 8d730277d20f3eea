// Finding the cards on the segment of one adapter.
#pragma once

#include <functional>
#include <span>
#include <stop_token>

#include "base/Timing.h"
#include "link/Link.h"
#include "protocol/DeviceRecord.h"

namespace quillon {

// Cards one discovery keeps on one adapter.
inline constexpr std::size_t kMaxDevices = 256;

// What a caller may ask of a discovery besides its result.
struct DiscoveryControl {
  // Ends the window early, for callers that have heard all they wanted.
  std::stop_token stop;
  // Each new card as it answers, on the discovering thread.
  std::function<void(const DeviceRecord& record)> found;
};

// Broadcasts one search request and keeps the first reply of every card that answers within the
// discovery window, at most table.size() of them. On entry `table` holds the records the previous
// search found on this adapter; on return its first rows are the new records, each carrying the
// remembered password of its previous record, and the rest is unchanged. Returns how many cards
// answered.
int DiscoverDevices(Link& link, const Timing& timing, std::span<DeviceRecord> table,
                    int adapter_index, const DiscoveryControl& control = {});

}  // namespace quillon
