// CARD on the command line: a serial number or a MAC address, checked while the command line is
// parsed, so that a text that is neither is an error before any frame is sent.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "flows/CardName.h"

namespace quillon::cli {

inline constexpr char kCardHelp[] = "Serial number (1358954538) or MAC address (02-4B-51-00-00-2A)";

// Refuses a text that is neither a serial number nor a MAC address.
CLI::Validator CardNameCheck();

// The names, already checked by CardNameCheck.
std::vector<CardName> CardNames(const std::vector<std::string>& texts);
CardName CardNameOf(const std::string& text);

}  // namespace quillon::cli
