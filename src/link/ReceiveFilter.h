// The receive filter every adapter installs: accept a frame only when the half-word at offset 12
// is 0x4D45, the program's own frame type. Four classic BPF instructions, as the kernel takes them
// (code, jump-if-true, jump-if-false, constant):
//   ldh [12]; jeq #0x4D45, 0, 1; ret #0xFFFFFFFF; ret #0
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "base/Bytes.h"

namespace quillon {

struct FilterInstruction {
  std::uint16_t code;
  std::uint8_t jump_true;
  std::uint8_t jump_false;
  std::uint32_t constant;
};

inline constexpr std::uint16_t kOwnFrameType = 0x4D45;

inline constexpr std::array<FilterInstruction, 4> kReceiveFilterProgram{{
    {0x28, 0, 0, 0x0000000C},  // load the half-word at offset 12
    {0x15, 0, 1, 0x00004D45},  // equal to "ME": go on, else skip one
    {0x06, 0, 0, 0xFFFFFFFF},  // accept the whole frame
    {0x06, 0, 0, 0x00000000},  // drop
}};

// The same shape for any set of frame types (none: drop everything): one comparison per type,
// each jumping to "accept" on a match, the last falling through to "drop" otherwise. For the
// program's own type alone it is kReceiveFilterProgram.
inline std::vector<FilterInstruction> FrameTypeFilter(std::span<const std::uint16_t> types) {
  constexpr FilterInstruction kAccept{0x06, 0, 0, 0xFFFFFFFF};
  constexpr FilterInstruction kDrop{0x06, 0, 0, 0x00000000};
  if (types.empty()) return {kDrop};
  std::vector<FilterInstruction> program{{0x28, 0, 0, 0x0000000C}};
  for (std::size_t i = 0; i < types.size(); ++i) {
    const bool last = i + 1 == types.size();
    const auto to_accept = static_cast<std::uint8_t>(types.size() - 1 - i);
    program.push_back({0x15, to_accept, static_cast<std::uint8_t>(last ? 1 : 0), types[i]});
  }
  program.push_back(kAccept);
  program.push_back(kDrop);
  return program;
}

// What the filter program decides, for drivers that filter in software.
inline bool PassesReceiveFilter(ByteView frame) {
  return frame.size() >= 14 && frame[12] == 0x4D && frame[13] == 0x45;
}

}  // namespace quillon
