#include "cardsim/CardsOnWire.h"

#include <iostream>

#include "protocol/DeviceConfig.h"
#include "protocol/FrameFormat.h"

namespace quillon::cardsim {

namespace {

const char* RequestName(std::uint16_t code) {
  switch (code) {
    case code::kDiscover:
      return "discovery";
    case code::kCheckPassword:
      return "check password";
    case code::kChangePassword:
      return "change password";
    case code::kReadConfig:
      return "read configuration";
    case code::kWriteConfig:
      return "write configuration";
    case code::kSetHardwareAddress:
      return "set hardware address";
    case code::kIdentify:
      return "identify firmware";
    case code::kImageBlock:
      return "image block";
    case code::kImageEnd:
      return "end of image";
    default:
      return "unknown request";
  }
}

std::string Hex16(std::uint16_t value) {
  static const char* const kDigits = "0123456789ABCDEF";
  std::string text = "0x";
  for (int shift = 12; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
  return text;
}

}  // namespace

CardsOnWire::CardsOnWire(std::vector<std::shared_ptr<sim::SimulatedCard>> cards, std::ostream* log)
    : cards_(std::move(cards)), log_(log) {}

std::string CardsOnWire::Attach(const std::string& interface) {
  // The cards stand for many addresses that are not the interface's own.
  pcap::CaptureOptions listen;
  listen.promiscuous = true;
  listen.arp = true;
  pcap::PcapCapture::Opened opened = pcap::PcapCapture::Open(interface, listen);
  if (!opened.capture) return opened.error;
  capture_ = std::move(opened.capture);
  return {};
}

std::string CardsOnWire::Run() {
  if (!capture_) return "not attached to an interface";
  if (!stop_.Valid()) return "cannot create the stop pipe";
  return capture_->DispatchUntilWoken([this](ByteView frame) { Handle(frame); }, stop_);
}

void CardsOnWire::Handle(ByteView frame) {
  if (const std::optional<ArpPacket> arp = ArpPacket::Decode(frame)) {
    if (arp->operation == arp::kRequest) AnswerArp(*arp);
    return;
  }
  if (frame.size() < frame::kData) return;
  const Clock::time_point now = Clock::now();
  int replies = 0;
  for (const auto& card : cards_) {
    for (sim::OutgoingFrame& out : card->HandleFrame(frame, now)) {
      ++replies;
      if (out.delay.count() <= 0) {
        Send(out.frame);
      } else {
        delay_line_.Schedule(now + out.delay, [this, f = std::move(out.frame)] { Send(f); });
      }
    }
  }
  if (log_) Log(frame, replies);
}

// Asked from the card at the moment of the request, so that an address just written counts.
void CardsOnWire::AnswerArp(const ArpPacket& request) {
  for (const auto& card : cards_) {
    const MacAddress mac = card->Mac();
    if (request.sender_mac == mac || !card->UsesIpv4Address(request.target_ip)) continue;
    Send(MakeArpReply(request, mac).Encode());
    if (log_) {
      *log_ << request.sender_mac.ToString() << " > " << request.destination.ToString() << "  ARP "
            << (request.sender_ip == 0 ? "probe" : "request") << " for "
            << Ipv4Text(request.target_ip) << ": reply from " << mac.ToString() << std::endl;
    }
  }
}

void CardsOnWire::Send(const Bytes& frame) {
  std::string error;
  if (!capture_->Send(frame, error) && log_) *log_ << "send failed: " << error << std::endl;
}

void CardsOnWire::Log(ByteView request, int replies) {
  const std::uint16_t command = LoadBe16(request, frame::kCode);
  *log_ << SourceOf(request).ToString() << " > " << DestinationOf(request).ToString() << "  "
        << Hex16(command) << ' ' << RequestName(command) << ": " << replies
        << (replies == 1 ? " reply" : " replies") << std::endl;
}

}  // namespace quillon::cardsim
