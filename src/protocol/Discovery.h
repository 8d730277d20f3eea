// Finding the cards on the segment of the adapter the link is open on.
#pragma once

#include <span>

#include "base/Timing.h"
#include "link/Link.h"
#include "protocol/DeviceRecord.h"

namespace quillon {

// Cards one discovery keeps, and rows of the device table.
inline constexpr std::size_t kMaxDevices = 256;

// Broadcasts one search request and keeps the first reply of every card that answers within the
// discovery window, at most table.size() of them. On entry `table` holds the records the previous
// search found on this adapter; on return its first rows are the new records, each carrying the
// remembered password of its previous record, and the rest is unchanged. Returns how many cards
// answered.
int DiscoverDevices(Link& link, const Timing& timing, std::span<DeviceRecord> table,
                    int adapter_index);

}  // namespace quillon
