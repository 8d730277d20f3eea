// A card as a person names it: by its serial number or by its MAC address.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "base/MacAddress.h"

namespace quillon {

class CardName {
 public:
  // "1358954538" (decimal, 0 to 4294967295), or "02-4B-51-00-00-2A" / "02:4b:51:00:00:2a".
  // Nothing for any other text.
  static std::optional<CardName> Parse(std::string_view text);

  // The serial number is bytes 2 to 5 of the MAC address, read big-endian.
  bool Names(const MacAddress& card) const;
  // As the person wrote it.
  const std::string& Text() const { return text_; }

  friend bool operator==(const CardName&, const CardName&) = default;

 private:
  CardName(std::string text, std::variant<std::uint32_t, MacAddress> name)
      : text_(std::move(text)), name_(name) {}

  std::string text_;
  std::variant<std::uint32_t, MacAddress> name_;
};

// A whole decimal number from 0 to 4294967295 and nothing else.
std::optional<std::uint32_t> ParseSerialNumber(std::string_view text);

}  // namespace quillon
