// The byte-sum checksum of the configuration, password, factory and firmware blocks: every byte
// taken unsigned, summed in 32 bits with wrap-around, stored big-endian.
#pragma once

#include <cstdint>
#include <numeric>

#include "base/Bytes.h"

namespace quillon {

inline std::uint32_t BlockChecksum(ByteView bytes) {
  return std::accumulate(bytes.begin(), bytes.end(), std::uint32_t{0},
                         [](std::uint32_t sum, Byte b) { return sum + b; });
}

// For blocks that carry their own checksum in their first 4 bytes: the sum of the whole block
// taken with that field zero.
inline std::uint32_t SelfChecksum(ByteView block) {
  return BlockChecksum(block) - BlockChecksum(Slice(block, 0, 4));
}

inline void SealBlock(MutableByteView block) {
  StoreBe32(block, 0, SelfChecksum(block));
}

inline bool IsSealed(ByteView block) {
  return LoadBe32(block, 0) == SelfChecksum(block);
}

}  // namespace quillon
