// The filter programs the adapters install, run by libpcap's own interpreter of classic BPF, as
// the kernel would run them.
#include <gtest/gtest.h>
#include <pcap/pcap.h>

#include <vector>

#include "link/ArpFrame.h"
#include "link/ReceiveFilter.h"

namespace quillon {
namespace {

bool Accepts(const std::vector<FilterInstruction>& filter, const Bytes& frame) {
  std::vector<bpf_insn> instructions;
  for (const FilterInstruction& in : filter) {
    instructions.push_back({in.code, in.jump_true, in.jump_false, in.constant});
  }
  const bpf_program program{static_cast<unsigned>(instructions.size()), instructions.data()};
  pcap_pkthdr header{};
  header.caplen = header.len = static_cast<bpf_u_int32>(frame.size());
  return pcap_offline_filter(&program, &header, frame.data()) != 0;
}

Bytes FrameOfType(Byte high, Byte low) {
  Bytes frame(60, 0);
  frame[12] = high;
  frame[13] = low;
  return frame;
}

TEST(ReceiveFilterTest, OwnTypeAloneIsTheDocumentedProgram) {
  const std::uint16_t own[] = {kOwnFrameType};
  const std::vector<FilterInstruction> program = FrameTypeFilter(own);
  ASSERT_EQ(program.size(), kReceiveFilterProgram.size());
  for (std::size_t i = 0; i < program.size(); ++i) {
    const FilterInstruction& a = program[i];
    const FilterInstruction& b = kReceiveFilterProgram[i];
    EXPECT_TRUE(a.code == b.code && a.jump_true == b.jump_true && a.jump_false == b.jump_false &&
                a.constant == b.constant)
        << "instruction " << i;
  }
}

TEST(ReceiveFilterTest, TakesExactlyTheTypesAskedFor) {
  const Bytes own = FrameOfType(0x4D, 0x45);
  const Bytes arp = FrameOfType(0x08, 0x06);
  const Bytes ipv4 = FrameOfType(0x08, 0x00);
  const Bytes swapped = FrameOfType(0x45, 0x4D);
  const Bytes runt(13, 0x4D);
  struct Case {
    std::vector<std::uint16_t> types;
    bool own, arp;
  };
  const Case cases[] = {
      {{}, false, false},
      {{kOwnFrameType}, true, false},
      {{arp::kFrameType}, false, true},
      {{kOwnFrameType, arp::kFrameType}, true, true},
      {{arp::kFrameType, kOwnFrameType}, true, true},
  };
  for (const Case& c : cases) {
    const std::vector<FilterInstruction> filter = FrameTypeFilter(c.types);
    SCOPED_TRACE(::testing::Message() << c.types.size() << " types");
    EXPECT_EQ(Accepts(filter, own), c.own);
    EXPECT_EQ(Accepts(filter, arp), c.arp);
    EXPECT_FALSE(Accepts(filter, ipv4));
    EXPECT_FALSE(Accepts(filter, swapped));
    EXPECT_FALSE(Accepts(filter, runt));
  }
}

}  // namespace
}  // namespace quillon
