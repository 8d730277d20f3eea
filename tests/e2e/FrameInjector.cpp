// Puts malformed and unrelated frames on a wire from the cards' side, for the tests that show the
// program takes any frame without harm:
//   e2e_inject INTERFACE HOST_MAC CARD_MAC SECONDS
// Until SECONDS have passed it sends, over and over: runts, a valid configuration reply cut at
// every length, frames of another type, replies with protocol version 2, replies whose data
// length field disagrees with their size, notices cut short, and a flood of replies from
// addresses no one asked.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "link/pcap/PcapCapture.h"
#include "protocol/DeviceConfig.h"
#include "protocol/FrameFormat.h"

using namespace quillon;

namespace {

std::vector<Bytes> Junk(const MacAddress& host, const MacAddress& card, std::uint32_t round) {
  std::vector<Bytes> frames;
  FrameHeader reply;
  reply.code = code::kConfigReply;
  reply.status = status::kDone.value();
  reply.data_length = kConfigBlockSize;
  const Bytes block(kConfigBlockSize, 0xEE);
  const Bytes whole = BuildReplyFrame(host, card, reply, block);

  for (std::size_t cut = 14; cut < whole.size(); cut += 7) {
    frames.emplace_back(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
  }
  Bytes other_type = whole;
  other_type[12] = 0x08;
  other_type[13] = 0x00;
  frames.push_back(other_type);

  FrameHeader wrong_version = reply;
  wrong_version.version = 2;
  frames.push_back(BuildReplyFrame(host, card, wrong_version, block));

  FrameHeader lying_length = reply;
  lying_length.data_length = 1400;
  frames.push_back(BuildReplyFrame(host, card, lying_length, Bytes(8, 0xEE)));

  FrameHeader notice;
  notice.code = code::kNotice;
  const Bytes short_notice = BuildReplyFrame(host, card, notice, {});
  frames.emplace_back(short_notice.begin(), short_notice.begin() + 17);

  for (std::uint32_t i = 0; i < 64; ++i) {
    MacAddress stranger{{0x02, 0x99, 0, 0, 0, 0}};
    StoreBe32(stranger.bytes, 2, round * 64 + i);
    frames.push_back(
        BuildReplyFrame(i % 2 ? host : MacAddress::Broadcast(), stranger, reply, block));
  }
  return frames;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: e2e_inject INTERFACE HOST_MAC CARD_MAC SECONDS\n");
    return 2;
  }
  const auto host = MacAddress::Parse(argv[2]);
  const auto card = MacAddress::Parse(argv[3]);
  if (!host || !card) return 2;
  // It only sends: its handle takes no frame type.
  pcap::CaptureOptions send_only;
  send_only.own_type = false;
  send_only.buffer_bytes = 64 * 1024;
  auto opened = pcap::PcapCapture::Open(argv[1], send_only);
  if (!opened.capture) {
    std::fprintf(stderr, "e2e_inject: %s\n", opened.error.c_str());
    return 1;
  }
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::stoi(argv[4]));
  std::uint32_t round = 0;
  std::string error;
  while (std::chrono::steady_clock::now() < end) {
    for (const Bytes& frame : Junk(*host, *card, round++)) opened.capture->Send(frame, error);
  }
  return 0;
}
