// Everything one program run shares: the timing profile, the adapter table, and one channel per
// adapter. Every adapter has a link of its own (receive thread, queue, reply matching) and its
// own transactions (send lock, reply stash); all stay open together, so that a card is reached on
// its own adapter without moving anything. The programs make one session; tests make many.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/Timing.h"
#include "link/AdapterTable.h"
#include "link/Link.h"
#include "protocol/DeviceRecord.h"
#include "protocol/Transactions.h"

namespace quillon {

// One adapter's link and the transactions on it.
class AdapterChannel {
 public:
  AdapterChannel(PacketDriver& driver, const Timing& timing, Link::Diagnostics diagnostics)
      : link_(driver, std::move(diagnostics)), transactions_(link_, timing) {}

  Link& link() { return link_; }
  Transactions& transactions() { return transactions_; }

 private:
  Link link_;
  Transactions transactions_;
};

// An adapter whose link could not be opened, and why.
struct OpenProblem {
  int adapter = 0;
  OpenFailure failure = OpenFailure::kOther;
  std::string error;
};

class Session {
 public:
  Session(PacketDriver& driver, const Timing& timing,
          Link::Diagnostics diagnostics = Link::WriteToStandardOutput);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  const Timing& timing() const { return timing_; }

  // Lists the machine's adapters, keeping only those named in `only` when it is not empty, and
  // makes one channel per adapter; no link is opened yet. Once per session, before any channel
  // is used. Returns the names in `only` that match no adapter.
  std::vector<std::string> EnumerateAdapters(const std::vector<std::string>& only = {});
  const AdapterTable& adapters() const { return adapters_; }
  int AdapterCount() const { return adapters_.Count(); }

  // Opens every adapter's link that is not open yet (again, for one that failed before), and
  // returns the adapters that could not be opened. Safe from any thread.
  std::vector<OpenProblem> OpenAll();
  // The channel of adapter `index`; its link is opened on first use. Throws std::out_of_range
  // for an index the table does not have.
  AdapterChannel& Channel(int index);
  // The channel of the adapter the card answered on.
  AdapterChannel& ChannelOf(const DeviceRecord& card) { return Channel(card.adapter_index); }

  // Whether a host answers for `address` (host order) on the segment of adapter `index`: ARP
  // probes on that adapter alone, waiting at most the timing profile's probe wait. A probe that
  // cannot be asked counts as no answer and says why through the diagnostics.
  bool AddressInUse(int index, std::uint32_t address);

  // Stands for the window that receives the cards' notices, on every adapter; an empty handler
  // unregisters it. Returns once no call of the previous handler is running. The handler runs on
  // the receive thread of the card's adapter.
  void SetNotifyWindow(const Link::NotifyHandler& handler);

 private:
  struct Slot {
    std::unique_ptr<AdapterChannel> channel;
    bool opened = false;  // an open was tried
  };

  void OpenSlot(int index, Slot& slot, std::vector<OpenProblem>* problems);

  PacketDriver& driver_;
  const Timing timing_;
  Link::Diagnostics diagnostics_;
  AdapterTable adapters_;
  std::mutex slots_lock_;
  std::vector<Slot> slots_;
};

}  // namespace quillon
