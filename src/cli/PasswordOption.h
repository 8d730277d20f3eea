// The card password that several commands take: --password P or --password-file F (its first
// line), never both.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <ostream>
#include <string>

namespace quillon::cli {

struct PasswordOption {
  std::optional<std::string> password;
  std::string password_file;

  // Adds both options to a subcommand, excluding each other.
  void AddTo(CLI::App& subcommand);

  // The password given, or nothing when none was. False, after a message on `err`, when the file
  // cannot be read or the text cannot be a card's password.
  bool Read(std::ostream& err, std::optional<std::string>& result) const;
};

// The first line of a file: false, after a message, when it cannot be read or is empty.
bool ReadFirstLine(std::ostream& err, const std::string& path, std::string& line);

}  // namespace quillon::cli
