// The information text the main window shows for the selected card.
#pragma once

#include <string>

#include "flows/DeviceSearch.h"

namespace quillon {

// Hardware and firmware versions and the MAC address; for an IPv6-capable card (level 33) that
// reports a link-local address, also that address and its IPv6 addresses. Lines end in "\r\n".
// Versions in the numeric form are shown as numbers ("1.1.0.0", "1.4C.9").
std::string DeviceInfoText(const FoundDevice& device);

}  // namespace quillon
