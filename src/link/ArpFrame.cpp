#include "link/ArpFrame.h"

namespace quillon {

Bytes ArpPacket::Encode() const {
  Bytes frame(arp::kSentLength, 0);
  destination.StoreTo(frame, arp::kDestination);
  source.StoreTo(frame, arp::kSource);
  StoreBe16(frame, arp::kType, arp::kFrameType);
  StoreBe16(frame, arp::kHardwareType, arp::kEthernet);
  StoreBe16(frame, arp::kProtocolType, arp::kIpv4);
  frame[arp::kHardwareLength] = 6;
  frame[arp::kProtocolLength] = 4;
  StoreBe16(frame, arp::kOperation, operation);
  sender_mac.StoreTo(frame, arp::kSenderMac);
  StoreBe32(frame, arp::kSenderIp, sender_ip);
  target_mac.StoreTo(frame, arp::kTargetMac);
  StoreBe32(frame, arp::kTargetIp, target_ip);
  return frame;
}

std::optional<ArpPacket> ArpPacket::Decode(ByteView frame) {
  if (frame.size() < arp::kLength) return std::nullopt;
  if (LoadBe16(frame, arp::kType) != arp::kFrameType ||
      LoadBe16(frame, arp::kHardwareType) != arp::kEthernet ||
      LoadBe16(frame, arp::kProtocolType) != arp::kIpv4 || frame[arp::kHardwareLength] != 6 ||
      frame[arp::kProtocolLength] != 4) {
    return std::nullopt;
  }
  ArpPacket packet;
  packet.destination = MacAddress::From(frame, arp::kDestination);
  packet.source = MacAddress::From(frame, arp::kSource);
  packet.operation = LoadBe16(frame, arp::kOperation);
  packet.sender_mac = MacAddress::From(frame, arp::kSenderMac);
  packet.sender_ip = LoadBe32(frame, arp::kSenderIp);
  packet.target_mac = MacAddress::From(frame, arp::kTargetMac);
  packet.target_ip = LoadBe32(frame, arp::kTargetIp);
  return packet;
}

ArpPacket MakeArpProbe(const MacAddress& own, std::uint32_t address) {
  ArpPacket probe;
  probe.destination = MacAddress::Broadcast();
  probe.source = own;
  probe.operation = arp::kRequest;
  probe.sender_mac = own;
  probe.target_ip = address;
  return probe;
}

ArpPacket MakeArpReply(const ArpPacket& request, const MacAddress& responder) {
  ArpPacket reply;
  reply.destination = request.sender_mac;
  reply.source = responder;
  reply.operation = arp::kReply;
  reply.sender_mac = responder;
  reply.sender_ip = request.target_ip;
  reply.target_mac = request.sender_mac;
  reply.target_ip = request.sender_ip;
  return reply;
}

bool ShowsAddressInUse(const ArpPacket& packet, std::uint32_t address, const MacAddress& own) {
  if (packet.sender_mac == own || packet.source == own) return false;
  if (packet.operation != arp::kRequest && packet.operation != arp::kReply) return false;
  return address != 0 && packet.sender_ip == address;
}

}  // namespace quillon
