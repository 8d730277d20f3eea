// Simulated cards attached to a real interface: frames for their addresses (or for everyone)
// come in through libpcap, and each card answers from its own address. Like a real card's IP
// stack, each also answers ARP requests (and RFC 5227 probes) for the IPv4 addresses it holds.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "link/ArpFrame.h"
#include "link/pcap/PcapCapture.h"
#include "sim/DelayLine.h"
#include "sim/SimulatedCard.h"

namespace quillon::cardsim {

class CardsOnWire {
 public:
  // `log`, when given, receives one line per request and one per ARP answer.
  CardsOnWire(std::vector<std::shared_ptr<sim::SimulatedCard>> cards, std::ostream* log);

  // Opens the interface; an empty text on success, else why not.
  std::string Attach(const std::string& interface);
  // Answers frames until Stop(); an empty text then, else why it ended.
  std::string Run();
  // Safe from a signal handler.
  void Stop() { stop_.Wake(); }

 private:
  void Handle(ByteView frame);
  void AnswerArp(const ArpPacket& request);
  void Send(const Bytes& frame);
  void Log(ByteView request, int replies);

  std::vector<std::shared_ptr<sim::SimulatedCard>> cards_;
  std::ostream* log_;
  std::unique_ptr<pcap::PcapCapture> capture_;  // receives and sends
  pcap::WakePipe stop_;
  sim::DelayLine delay_line_;
};

}  // namespace quillon::cardsim
