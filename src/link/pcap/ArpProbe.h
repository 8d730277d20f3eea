// The address probe on a real adapter: a libpcap handle of its own on that adapter alone, taking
// only ARP, that sends RFC 5227 probes and listens for a host that uses the address.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "link/AddressProbe.h"
#include "link/pcap/PcapCapture.h"

namespace quillon::pcap {

class ArpProbe : public AddressProbe {
 public:
  // Probes sent per question, spread evenly over the wait: one lost frame does not make a taken
  // address look free.
  static constexpr int kProbes = 3;

  // Opens the handle at once; when it cannot, every question is answered false and LastError()
  // says why. `own` is the adapter's own address, the probes' sender.
  ArpProbe(const std::string& device, std::optional<MacAddress> own);

  // False when nobody answered within `wait`, and also when the probe could not be sent or the
  // handle failed: the conflict test then lets the address through, as when the system's ARP
  // service fails, and LastError() keeps the reason.
  bool AddressAnswers(std::uint32_t address, Millis wait) override;
  std::string LastError() const override { return error_; }

 private:
  bool Fail(const std::string& what, const std::string& error);

  std::string device_;
  std::optional<MacAddress> own_;
  std::unique_ptr<PcapCapture> capture_;
  std::string error_;
};

}  // namespace quillon::pcap
