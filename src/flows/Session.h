// Everything one program run shares: the timing profile, the link, the adapter table and the
// transactions (with their send lock and reply stash). The programs make one; tests make many.
#pragma once

#include "base/Timing.h"
#include "link/AdapterSelection.h"
#include "link/Link.h"
#include "protocol/Transactions.h"

namespace quillon {

class Session {
 public:
  Session(PacketDriver& driver, const Timing& timing,
          Link::Diagnostics diagnostics = Link::WriteToStandardOutput)
      : timing_(timing),
        link_(driver, std::move(diagnostics)),
        adapters_(driver, link_, timing_),
        transactions_(link_, timing_) {}

  const Timing& timing() const { return timing_; }
  Link& link() { return link_; }
  AdapterSelection& adapters() { return adapters_; }
  Transactions& transactions() { return transactions_; }

 private:
  const Timing timing_;
  Link link_;
  AdapterSelection adapters_;
  Transactions transactions_;
};

}  // namespace quillon
