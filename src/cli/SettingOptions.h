// Checks of the texts the settings commands take, made while the command line is parsed.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>

namespace quillon::cli {

// Four numbers of 0 to 255 with dots between them.
CLI::Validator Ipv4Check();
// A port number (any whole number: the card's range is the settings' own check) or "off".
CLI::Validator PortCheck();
// A whole decimal number.
CLI::Validator DigitsCheck();

}  // namespace quillon::cli
