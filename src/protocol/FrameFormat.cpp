#include "protocol/FrameFormat.h"

#include <algorithm>
#include <stdexcept>

namespace quillon {

std::ostream& operator<<(std::ostream& out, ReplyStatus status) {
  return out << "status " << status.value();
}

void FrameHeader::EncodeTo(MutableByteView frame) const {
  RequireRange(frame, frame::kType, frame::kData - frame::kType);
  frame[frame::kType] = frame::kTypeHigh;
  frame[frame::kType + 1] = frame::kTypeLow;
  StoreBe16(frame, frame::kVersion, version);
  StoreBe16(frame, frame::kCode, code);
  StoreBe16(frame, frame::kParameter, parameter);
  StoreBe16(frame, frame::kStatus, status);
  std::copy(password.begin(), password.end(), frame.begin() + frame::kPassword);
  StoreBe16(frame, frame::kDataLength, data_length);
}

std::optional<FrameHeader> FrameHeader::Decode(ByteView frame) {
  if (frame.size() < frame::kData) return std::nullopt;
  if (frame[frame::kType] != frame::kTypeHigh || frame[frame::kType + 1] != frame::kTypeLow) {
    return std::nullopt;
  }
  FrameHeader header;
  header.version = LoadBe16(frame, frame::kVersion);
  header.code = LoadBe16(frame, frame::kCode);
  header.parameter = LoadBe16(frame, frame::kParameter);
  header.status = LoadBe16(frame, frame::kStatus);
  const ByteView password = Slice(frame, frame::kPassword, frame::kPasswordSize);
  std::copy(password.begin(), password.end(), header.password.begin());
  header.data_length = LoadBe16(frame, frame::kDataLength);
  return header;
}

void FrameHeader::SetPassword(const DevicePassword& text) {
  StoreFieldText(password, text.Text());
}

std::string FrameHeader::PasswordText() const {
  return FieldText(password);
}

void FillEthernetHeader(const MacAddress& own, const MacAddress& destination,
                        MutableByteView frame) {
  destination.StoreTo(frame, frame::kDestination);
  own.StoreTo(frame, frame::kSource);
  RequireRange(frame, frame::kType, 2);
  frame[frame::kType] = frame::kTypeHigh;
  frame[frame::kType + 1] = frame::kTypeLow;
}

Bytes BuildRequestFrame(const MacAddress& own, const Request& request) {
  const bool has_data = !request.data.empty();
  const std::size_t n = has_data ? request.data.size() : request.reply_length;
  if (n > frame::kMaxRequestData) {
    throw std::invalid_argument("request data of " + std::to_string(n) +
                                " bytes does not fit one frame");
  }
  Bytes bytes(frame::kData + n + 2, 0);
  FillEthernetHeader(own, request.destination, bytes);
  FrameHeader header;
  header.code = request.code;
  header.parameter = request.parameter;
  header.SetPassword(request.password);
  if (has_data) {
    header.data_length = static_cast<std::uint16_t>(n);
    std::copy(request.data.begin(), request.data.end(), bytes.begin() + frame::kData);
  }
  header.EncodeTo(bytes);
  return bytes;
}

Bytes BuildDiscoveryRequest(const MacAddress& own) {
  Bytes bytes(frame::kDiscoveryRequestLength, 0);
  FillEthernetHeader(own, MacAddress::Broadcast(), bytes);
  StoreBe16(bytes, frame::kVersion, frame::kProtocolVersion);
  StoreBe16(bytes, frame::kCode, code::kDiscover);
  return bytes;
}

Bytes BuildReplyFrame(const MacAddress& destination, const MacAddress& card,
                      const FrameHeader& header, ByteView data) {
  Bytes bytes(std::max(frame::kData + data.size(), frame::kMinimumEthernetFrame), 0);
  FillEthernetHeader(card, destination, bytes);
  header.EncodeTo(bytes);
  std::copy(data.begin(), data.end(), bytes.begin() + frame::kData);
  return bytes;
}

bool IsReply(ByteView frame, std::uint16_t reply_code, std::size_t data_needed) {
  if (frame.size() < frame::kData + data_needed) return false;
  return LoadBe16(frame, frame::kVersion) == frame::kProtocolVersion &&
         LoadBe16(frame, frame::kCode) == reply_code;
}

}  // namespace quillon
