#include "cli/PasswordOption.h"

#include <fstream>

#include "protocol/DevicePassword.h"

namespace quillon::cli {

void PasswordOption::AddTo(CLI::App& subcommand) {
  CLI::Option* text =
      subcommand.add_option("--password", password, "The card's password, when it has one");
  CLI::Option* file = subcommand.add_option("--password-file", password_file,
                                            "Read the card's password from the first line of F");
  text->excludes(file);
}

bool ReadFirstLine(std::ostream& err, const std::string& path, std::string& line) {
  std::ifstream file(path);
  if (!file || !std::getline(file, line)) {
    err << "quillon-cli: cannot read a password from " << path << '\n';
    return false;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.empty()) {
    err << "quillon-cli: the first line of " << path << " is empty\n";
    return false;
  }
  return true;
}

bool PasswordOption::Read(std::ostream& err, std::optional<std::string>& result) const {
  result = password;
  if (!password_file.empty()) {
    std::string line;
    if (!ReadFirstLine(err, password_file, line)) return false;
    result = line;
  }
  if (!result) return true;
  if (const std::string problem = DevicePassword::Problem(*result); !problem.empty()) {
    err << "quillon-cli: " << problem << '\n';
    return false;
  }
  return true;
}

}  // namespace quillon::cli
