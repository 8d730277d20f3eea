// Whether an IPv4 address is in use on an adapter's segment: ARP probes for it, and a bounded
// wait for an answer. The settings ask it before a card is given a new static address.
#pragma once

#include <cstdint>
#include <string>

#include "base/Timing.h"

namespace quillon {

class AddressProbe {
 public:
  virtual ~AddressProbe() = default;

  // Asks for `address` (host order) and waits at most `wait`: true when a host answered for it.
  // The probes claim no address of this machine's, so that they can be sent where it has none.
  virtual bool AddressAnswers(std::uint32_t address, Millis wait) = 0;

  // Why the last question could not be asked (the adapter could not be opened, a probe could not
  // be sent), or an empty text. Such a question is answered false: nobody was heard.
  virtual std::string LastError() const { return {}; }
};

}  // namespace quillon
