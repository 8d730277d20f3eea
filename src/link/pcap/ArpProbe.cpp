#include "link/pcap/ArpProbe.h"

#include <algorithm>

#include "link/ArpFrame.h"

namespace quillon::pcap {

namespace {

CaptureOptions ArpOnly() {
  CaptureOptions options;
  options.own_type = false;
  options.arp = true;
  options.inbound_only = true;       // our own probes are no answer
  options.buffer_bytes = 256 << 10;  // a segment's ARP traffic for one second
  return options;
}

}  // namespace

ArpProbe::ArpProbe(const std::string& device, std::optional<MacAddress> own)
    : device_(device), own_(own) {
  PcapCapture::Opened opened = PcapCapture::Open(device, ArpOnly());
  if (!opened.capture) {
    error_ = "cannot open " + device + " for the address probe: " + opened.error;
    return;
  }
  if (!own_) {
    error_ = "the address of " + device + " is unknown; no address probe can be sent";
    return;
  }
  capture_ = std::move(opened.capture);
}

bool ArpProbe::Fail(const std::string& what, const std::string& error) {
  error_ = what + " on " + device_ + ": " + error;
  return false;
}

bool ArpProbe::AddressAnswers(std::uint32_t address, Millis wait) {
  if (!capture_) return false;  // error_ says why since the open
  error_.clear();
  wait = std::max(wait, Millis{0});
  const Bytes probe = MakeArpProbe(*own_, address).Encode();
  bool answered = false;
  const FrameSink sink = [&](ByteView frame) {
    const std::optional<ArpPacket> packet = ArpPacket::Decode(frame);
    if (packet && ShowsAddressInUse(*packet, address, *own_)) answered = true;
  };

  const Clock::time_point start = Clock::now();
  const Clock::time_point deadline = start + wait;
  auto probe_time = [&](int n) { return start + wait * n / kProbes; };
  int sent = 0;
  std::string error;
  for (;;) {
    if (sent < kProbes && Clock::now() >= probe_time(sent)) {
      if (!capture_->Send(probe, error)) return Fail("cannot send the ARP probe", error);
      ++sent;
    }
    const Clock::time_point next = sent < kProbes ? probe_time(sent) : deadline;
    // Rounded down, so that the wait is never exceeded; the last fraction of a millisecond is
    // polled without sleeping.
    const auto timeout = std::chrono::floor<Millis>(next - Clock::now()).count();
    const int limit = static_cast<int>(std::clamp<decltype(timeout)>(timeout, 0, 60000));
    if (capture_->DispatchReady(sink, limit, &error) < 0) {
      return Fail("the address probe stopped capturing", error);
    }
    if (answered) return true;
    if (Clock::now() >= deadline) return false;
  }
}

}  // namespace quillon::pcap
