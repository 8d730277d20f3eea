// What tells quillon and quillon-demo apart to a person: their name, what they do, and the desktop
// entry they belong to. --help and --version are answered from it before Qt is started, so they
// work without a display, and help2man can write the manual pages from them.
#pragma once

#include <optional>
#include <ostream>
#include <string_view>

namespace quillon {

struct ProgramInfo {
  std::string_view name;          // as installed: quillon, quillon-demo
  std::string_view description;   // a few sentences for --help
  std::string_view desktop_file;  // the desktop entry's id, without .desktop
};

inline constexpr ProgramInfo kQuillonProgram{
    "quillon",
    "Finds the network management cards on every Ethernet adapter of this machine and lists them\n"
    "in a window. It needs the right to capture raw frames.",
    "example.quillon.Utility"};

inline constexpr ProgramInfo kDemoProgram{
    "quillon-demo",
    "Runs the Quillon Utility window on a built-in simulated segment of demonstration cards. It\n"
    "needs no cards, no network and no privileges.",
    "example.quillon.Utility.Demo"};

// Answers --help or --version on `out` and returns the exit status, or nullopt when neither was
// asked for and the window should open.
std::optional<int> AnswerInfoOption(int argc, const char* const argv[], const ProgramInfo& program,
                                    std::ostream& out);

}  // namespace quillon
