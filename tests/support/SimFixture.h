// A simulated segment with a session on it, for tests that talk to simulated cards.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "flows/Session.h"
#include "protocol/FrameFormat.h"
#include "sim/DemoFleet.h"
#include "sim/SimulatedSegment.h"

namespace quillon::testing {

// Puts `frame` on the adapter's wire, towards the host, once the host has sent its next frame: a
// reply that waits before its request has gone out is taken for an earlier answer and dropped.
inline std::jthread InjectAfterNextSend(sim::SimulatedSegment& segment, int adapter, Bytes frame) {
  const std::size_t before = segment.SentFrames(adapter).size();
  return std::jthread([&segment, adapter, before, frame = std::move(frame)](std::stop_token stop) {
    while (!stop.stop_requested() && segment.SentFrames(adapter).size() == before) {
      std::this_thread::sleep_for(Millis{1});
    }
    segment.InjectFrame(adapter, frame);
  });
}

class SimFixture : public ::testing::Test {
 protected:
  static constexpr std::uint32_t kSerial = 1358954496;  // 02-4B-51-00-00-00

  // Adapters "sim0" and "sim1", each with its channel; both open.
  SimFixture() {
    segment.AddAdapter("sim0", "Simulated adapter 0");
    segment.AddAdapter("sim1", "Simulated adapter 1");
    session = std::make_unique<Session>(
        segment, timing, [this](const std::string& line) { diagnostics.push_back(line); });
    session->EnumerateAdapters();
    session->OpenAll();
  }

  std::shared_ptr<sim::SimulatedCard> AddCard(const sim::CardBuilder& builder, int adapter = 0) {
    return segment.AddCard(adapter, builder.Build());
  }

  // A frame as card `from` would send it to the host on adapter 0.
  Bytes ReplyFrom(const MacAddress& from, std::uint16_t code, ReplyStatus status,
                  ByteView data = {}, std::uint16_t version = 1) {
    FrameHeader header;
    header.version = version;
    header.code = code;
    header.status = status.value();
    return BuildReplyFrame(segment.HostAddress(0), from, header, data);
  }

  int RequestsSent(std::uint16_t code, int adapter = 0) const {
    int count = 0;
    for (const Bytes& frame : segment.SentFrames(adapter)) {
      if (frame.size() >= 18 && LoadBe16(frame, frame::kCode) == code) ++count;
    }
    return count;
  }

  Transactions& transactions(int adapter = 0) { return session->Channel(adapter).transactions(); }
  Link& link(int adapter = 0) { return session->Channel(adapter).link(); }

  Timing timing = Timing::Shortened();
  sim::SimulatedSegment segment;
  std::vector<std::string> diagnostics;
  std::unique_ptr<Session> session;
};

}  // namespace quillon::testing
