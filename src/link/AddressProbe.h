// Whether an IPv4 address is in use on an adapter's segment: ARP probes for it, and a bounded
// wait for an answer. The settings ask it before a card is given a new static address.
#pragma once

#include <cstdint>

#include "base/Timing.h"

namespace quillon {

class AddressProbe {
 public:
  virtual ~AddressProbe() = default;

  // Asks for `address` (host order) and waits at most `wait`: true when a host answered for it.
  // The probes claim no address of this machine's, so that they can be sent where it has none.
  virtual bool AddressAnswers(std::uint32_t address, Millis wait) = 0;
};

}  // namespace quillon
