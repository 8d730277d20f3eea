// A 6-byte Ethernet address in network order.
#pragma once

#include <array>
#include <compare>
#include <optional>
#include <string>
#include <string_view>

#include "base/Bytes.h"

namespace quillon {

struct MacAddress {
  std::array<Byte, 6> bytes{};

  static constexpr MacAddress Broadcast() { return {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}; }

  // Reads the address at `offset` of a frame or record.
  static MacAddress From(ByteView bytes, std::size_t offset);
  // Accepts "02-4B-51-00-00-01" and "02:4b:51:00:00:01".
  static std::optional<MacAddress> Parse(std::string_view text);

  void StoreTo(MutableByteView bytes, std::size_t offset) const;
  // "%02X-%02X-%02X-%02X-%02X-%02X"
  std::string ToString() const;
  bool IsZero() const;

  friend auto operator<=>(const MacAddress&, const MacAddress&) = default;
};

}  // namespace quillon
