#include "flows/CardName.h"

#include <charconv>

#include "base/Bytes.h"

namespace quillon {

std::optional<std::uint32_t> ParseSerialNumber(std::string_view text) {
  std::uint32_t number = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, number, 10);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return number;
}

std::optional<CardName> CardName::Parse(std::string_view text) {
  if (const auto serial = ParseSerialNumber(text)) return CardName(std::string(text), *serial);
  if (const auto mac = MacAddress::Parse(text)) return CardName(std::string(text), *mac);
  return std::nullopt;
}

bool CardName::Names(const MacAddress& card) const {
  if (const auto* mac = std::get_if<MacAddress>(&name_)) return *mac == card;
  return LoadBe32(card.bytes, 2) == std::get<std::uint32_t>(name_);
}

}  // namespace quillon
