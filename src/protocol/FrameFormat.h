// The frame every request and reply travels in:
//
//   offset  width  field
//        0      6  destination MAC
//        6      6  source MAC
//       12      2  frame type, the bytes 0x4D 0x45 ("ME")
//       14      2  protocol version, 1
//       16      2  command or reply code
//       18      2  parameter (the firmware block number for 0x3001, else 0)
//       20      2  reply status
//       22     16  password, NUL-terminated
//       38      2  data length (set only when data are sent)
//       40      N  data
//
// Bytes 12 to 39 are the FrameHeader. Every 16-bit field is big-endian.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>

#include "base/Bytes.h"
#include "base/MacAddress.h"
#include "protocol/DevicePassword.h"

namespace quillon {

namespace frame {
inline constexpr std::size_t kDestination = 0;
inline constexpr std::size_t kSource = 6;
inline constexpr std::size_t kType = 12;
inline constexpr std::size_t kVersion = 14;
inline constexpr std::size_t kCode = 16;
inline constexpr std::size_t kParameter = 18;
inline constexpr std::size_t kStatus = 20;
inline constexpr std::size_t kPassword = 22;
inline constexpr std::size_t kPasswordSize = 16;
inline constexpr std::size_t kDataLength = 38;
inline constexpr std::size_t kData = 40;

inline constexpr Byte kTypeHigh = 0x4D;  // 'M'
inline constexpr Byte kTypeLow = 0x45;   // 'E'
inline constexpr std::uint16_t kProtocolVersion = 1;

// Requests are built in a buffer of this size and sent with 42 + N bytes.
inline constexpr std::size_t kRequestBufferSize = 1500;
inline constexpr std::size_t kMaxRequestData = kRequestBufferSize - kData - 2;
inline constexpr std::size_t kDiscoveryRequestLength = 41;
// Shortest frame Ethernet carries; replies the simulated cards send are padded to it.
inline constexpr std::size_t kMinimumEthernetFrame = 60;
}  // namespace frame

// Command and reply codes.
namespace code {
inline constexpr std::uint16_t kDiscover = 0x1001;
inline constexpr std::uint16_t kDiscoverReply = 0x1002;
inline constexpr std::uint16_t kCheckPassword = 0x7001;
inline constexpr std::uint16_t kChangePassword = 0x7002;
inline constexpr std::uint16_t kPasswordReply = 0x7003;
inline constexpr std::uint16_t kReadConfig = 0x2002;
inline constexpr std::uint16_t kWriteConfig = 0x2001;
inline constexpr std::uint16_t kConfigReply = 0x2003;
inline constexpr std::uint16_t kSetHardwareAddress = 0xF0F0;
inline constexpr std::uint16_t kSetHardwareAddressReply = 0xF000;
inline constexpr std::uint16_t kIdentify = 0x0001;
inline constexpr std::uint16_t kIdentifyReply = 0x0002;
inline constexpr std::uint16_t kImageBlock = 0x3001;
inline constexpr std::uint16_t kImageEnd = 0x3005;
inline constexpr std::uint16_t kImageReply = 0x3003;
inline constexpr std::uint16_t kNotice = 0x4001;
}  // namespace code

// What a card said of a request, as the reply's status field carries it; kNoReply when nothing
// answered (a reply carrying 0 cannot be told apart from none). Each command gives the values
// their meaning; other values than these may come and are passed on as they are.
class ReplyStatus {
 public:
  constexpr ReplyStatus() = default;
  constexpr explicit ReplyStatus(std::uint16_t value) : value_(value) {}
  constexpr std::uint16_t value() const { return value_; }
  friend constexpr bool operator==(ReplyStatus, ReplyStatus) = default;

 private:
  std::uint16_t value_ = 0;
};

std::ostream& operator<<(std::ostream& out, ReplyStatus status);

namespace status {
inline constexpr ReplyStatus kNoReply{0};
inline constexpr ReplyStatus kRefused{1};  // also: password required
inline constexpr ReplyStatus kDone{2};
inline constexpr ReplyStatus kNotReady{3};
inline constexpr ReplyStatus kBusy{4};
}  // namespace status

// A request's code and the code of its reply, named together so that the two cannot be swapped.
struct Exchange {
  std::uint16_t request;
  std::uint16_t reply;
};

namespace exchange {
inline constexpr Exchange kCheckPassword{code::kCheckPassword, code::kPasswordReply};
inline constexpr Exchange kChangePassword{code::kChangePassword, code::kPasswordReply};
inline constexpr Exchange kReadConfig{code::kReadConfig, code::kConfigReply};
inline constexpr Exchange kWriteConfig{code::kWriteConfig, code::kConfigReply};
inline constexpr Exchange kSetHardwareAddress{code::kSetHardwareAddress,
                                              code::kSetHardwareAddressReply};
inline constexpr Exchange kIdentify{code::kIdentify, code::kIdentifyReply};
inline constexpr Exchange kImageBlock{code::kImageBlock, code::kImageReply};
inline constexpr Exchange kImageEnd{code::kImageEnd, code::kImageReply};
}  // namespace exchange

// Bytes 12 to 39 of a frame.
struct FrameHeader {
  std::uint16_t version = frame::kProtocolVersion;
  std::uint16_t code = 0;
  std::uint16_t parameter = 0;
  std::uint16_t status = 0;
  std::array<Byte, frame::kPasswordSize> password{};
  std::uint16_t data_length = 0;

  // Writes the frame type and the header into bytes 12 to 39.
  void EncodeTo(MutableByteView frame) const;
  // Nothing when the frame is too short to hold a header or is not of the program's type.
  static std::optional<FrameHeader> Decode(ByteView frame);

  void SetPassword(const DevicePassword& text);
  std::string PasswordText() const;
};

// Destination, own address and frame type into bytes 0 to 13.
void FillEthernetHeader(const MacAddress& own, const MacAddress& destination,
                        MutableByteView frame);

struct Request {
  MacAddress destination;
  std::uint16_t code = 0;
  std::uint16_t parameter = 0;
  DevicePassword password;
  ByteView data;                 // sent with its length in the header
  std::size_t reply_length = 0;  // for requests without data: the frame still has 42 + N bytes
};

// A request frame: 42 + N bytes, N being the data's size, or the expected reply length when no
// data are sent. Throws std::invalid_argument when N does not fit the request buffer.
Bytes BuildRequestFrame(const MacAddress& own, const Request& request);

// The broadcast search request: exactly 41 bytes.
Bytes BuildDiscoveryRequest(const MacAddress& own);

// A frame as a card sends it: header, data, padded to the Ethernet minimum.
Bytes BuildReplyFrame(const MacAddress& destination, const MacAddress& card,
                      const FrameHeader& header, ByteView data);

// True when the frame is a complete reply of this code with protocol version 1, carrying at least
// `data_needed` data bytes.
bool IsReply(ByteView frame, std::uint16_t reply_code, std::size_t data_needed = 0);

inline MacAddress SourceOf(ByteView frame) {
  return MacAddress::From(frame, frame::kSource);
}
inline MacAddress DestinationOf(ByteView frame) {
  return MacAddress::From(frame, frame::kDestination);
}

}  // namespace quillon
