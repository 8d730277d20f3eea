#include "base/MacAddress.h"

#include <algorithm>
#include <cstdio>

namespace quillon {

MacAddress MacAddress::From(ByteView bytes, std::size_t offset) {
  MacAddress mac;
  const ByteView field = Slice(bytes, offset, 6);
  std::copy(field.begin(), field.end(), mac.bytes.begin());
  return mac;
}

std::optional<MacAddress> MacAddress::Parse(std::string_view text) {
  if (text.size() != 17) return std::nullopt;
  const char separator = text[2];
  if (separator != '-' && separator != ':') return std::nullopt;
  MacAddress mac;
  for (std::size_t i = 0; i < 6; ++i) {
    if (i > 0 && text[i * 3 - 1] != separator) return std::nullopt;
    unsigned value = 0;
    for (std::size_t k = 0; k < 2; ++k) {
      const char c = text[i * 3 + k];
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) return std::nullopt;
      value = value * 16 + static_cast<unsigned>(digit);
    }
    mac.bytes[i] = static_cast<Byte>(value);
  }
  return mac;
}

void MacAddress::StoreTo(MutableByteView target, std::size_t offset) const {
  const MutableByteView field = MutableSlice(target, offset, 6);
  std::copy(this->bytes.begin(), this->bytes.end(), field.begin());
}

std::string MacAddress::ToString() const {
  char text[18];
  std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", bytes[0], bytes[1], bytes[2],
                bytes[3], bytes[4], bytes[5]);
  return text;
}

bool MacAddress::IsZero() const {
  return std::all_of(bytes.begin(), bytes.end(), [](Byte b) { return b == 0; });
}

}  // namespace quillon
