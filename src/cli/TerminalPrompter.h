// Questions of a flow, asked on the terminal when a person is there, and otherwise answered
// from the command line's options, or refused: a question without an answer never waits.
// Called from the flows' worker threads, several at once: the questions are asked one at a time,
// and a worker waits only for its own question; nothing else waits while the person answers.
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
  TerminalPrompter(CliEnvironment& env, std::optional<std::string> password, bool yes)
      : env_(env), password_(std::move(password)), yes_(yes) {}

  std::optional<std::string> AskPassword(const std::string& information,
                                         const std::string& prefill) override;
  bool AskYesNo(const std::string& question) override;
  Choice AskAbortRetryIgnore(const std::string& message) override;
  void ShowMessage(const std::string& message) override;

  // Called, one question at a time, before anything is written to the terminal and after the
  // answer: the progress lines stop and start drawing.
  std::function<void()> question_begins;
  std::function<void()> question_ends;

 private:
  // Holds the terminal for one question.
  class Question {
   public:
    explicit Question(TerminalPrompter& prompter);
    ~Question();
    Question(const Question&) = delete;
    Question& operator=(const Question&) = delete;

   private:
    TerminalPrompter& prompter_;
    std::lock_guard<std::mutex> lock_;
  };

  std::string ReadLine(const std::string& prompt);

  CliEnvironment& env_;
  std::mutex questions_;
  std::optional<std::string> password_;
  bool yes_;
};

}  // namespace quillon::cli
