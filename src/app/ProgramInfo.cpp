#include "app/ProgramInfo.h"

#include <string_view>

#include "base/Version.h"

namespace quillon {

std::optional<int> AnswerInfoOption(int argc, const char* const argv[], const ProgramInfo& program,
                                    std::ostream& out) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--version") {
      out << VersionLine(program.name) << '\n';
      return 0;
    }
    if (argument == "--help") {
      out << "Usage: " << program.name << " [OPTION]...\n"
          << program.description << "\n\n"
          << "Options:\n"
          << "  --help       display this help and exit\n"
          << "  --version    output version information and exit\n\n"
          << "Qt's own options, such as -platform NAME, are accepted too.\n";
      return 0;
    }
  }
  return std::nullopt;
}

}  // namespace quillon
