// The far end of the raw ping-pong: answers every frame of the program's type that carries the
// echo code with a frame of the size a card's reply has, from the address it was sent to.
//   bench_echo INTERFACE
#include <csignal>
#include <cstdio>

#include "link/pcap/PcapCapture.h"
#include "protocol/FrameFormat.h"

using namespace quillon;

namespace {
constexpr std::uint16_t kEchoRequest = 0x7E01;
constexpr std::uint16_t kEchoReply = 0x7E02;
pcap::WakePipe* stop = nullptr;
}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) return 2;
  pcap::CaptureOptions listen;
  listen.promiscuous = true;
  auto opened = pcap::PcapCapture::Open(argv[1], listen);
  if (!opened.capture) {
    std::fprintf(stderr, "bench_echo: %s\n", opened.error.c_str());
    return 1;
  }
  pcap::WakePipe wake;
  stop = &wake;
  std::signal(SIGTERM, [](int) { stop->Wake(); });
  std::signal(SIGINT, [](int) { stop->Wake(); });
  std::string error;
  opened.capture->DispatchUntilWoken(
      [&](ByteView frame) {
        if (frame.size() < frame::kData || LoadBe16(frame, frame::kCode) != kEchoRequest) return;
        FrameHeader header;
        header.code = kEchoReply;
        header.status = status::kDone.value();
        opened.capture->Send(BuildReplyFrame(SourceOf(frame), DestinationOf(frame), header, {}),
                             error);
      },
      wake);
  return 0;
}
