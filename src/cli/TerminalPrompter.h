// Questions of a flow, asked on the terminal when a person is there, and otherwise answered
// from the command line's options, or refused: a question without an answer never waits.
#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "cli/CliApp.h"
#include "flows/Prompter.h"

namespace quillon::cli {

class TerminalPrompter : public Prompter {
 public:
  // `password` answers every password question; `yes` every yes-or-no question.
  TerminalPrompter(CliEnvironment& env, std::mutex& terminal, std::optional<std::string> password,
                   bool yes)
      : env_(env), terminal_(terminal), password_(std::move(password)), yes_(yes) {}

  std::optional<std::string> AskPassword(const std::string& information,
                                         const std::string& prefill) override;
  bool AskYesNo(const std::string& question) override;
  Choice AskAbortRetryIgnore(const std::string& message) override;
  void ShowMessage(const std::string& message) override;

  // Called after anything was written between progress redraws.
  std::function<void()> wrote;

 private:
  std::string ReadLine(const std::string& prompt);
  void Wrote();

  CliEnvironment& env_;
  std::mutex& terminal_;
  std::optional<std::string> password_;
  bool yes_;
};

}  // namespace quillon::cli
