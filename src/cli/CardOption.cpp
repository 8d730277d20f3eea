#include "cli/CardOption.h"

#include <stdexcept>

namespace quillon::cli {

CLI::Validator CardNameCheck() {
  return CLI::Validator(
      [](const std::string& text) -> std::string {
        if (CardName::Parse(text)) return {};
        return "'" + text + "' is neither a serial number (0 to 4294967295) nor a MAC address " +
               "(02-4B-51-00-00-2A)";
      },
      "CARD");
}

CardName CardNameOf(const std::string& text) {
  if (auto name = CardName::Parse(text)) return *name;
  throw std::invalid_argument("unchecked card name " + text);
}

std::vector<CardName> CardNames(const std::vector<std::string>& texts) {
  std::vector<CardName> names;
  names.reserve(texts.size());
  for (const std::string& text : texts) names.push_back(CardNameOf(text));
  return names;
}

}  // namespace quillon::cli
