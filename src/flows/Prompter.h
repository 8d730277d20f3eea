// How a flow talks to the person running it. The desktop program shows dialogs, the command line
// asks on the terminal (or answers from its options), and tests script the answers; the flows
// themselves are the same.
//
// Threads: called on the thread that runs the flow, and for an upgrade on its card workers,
// several at once; never on a link's receive thread. A call may block until the person answers;
// an implementation must hold nothing then that the run's other threads (or its view) need.
#pragma once

#include <optional>
#include <string>

namespace quillon {

class Prompter {
 public:
  enum class Choice { kAbort, kRetry, kIgnore };

  virtual ~Prompter() = default;

  // Asks for a card's password. `information` is shown above the field (for instance the card's
  // MAC address) and may be empty; `prefill` is the field's initial text. Nothing on Cancel.
  virtual std::optional<std::string> AskPassword(const std::string& information,
                                                 const std::string& prefill) = 0;
  // A question with Yes and No.
  virtual bool AskYesNo(const std::string& question) = 0;
  // An error with Abort, Retry and Ignore.
  virtual Choice AskAbortRetryIgnore(const std::string& message) = 0;
  // A message with an OK button.
  virtual void ShowMessage(const std::string& message) = 0;
};

// For runs with nobody to ask: cancels, says no, aborts, and keeps quiet.
class DecliningPrompter : public Prompter {
 public:
  std::optional<std::string> AskPassword(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  bool AskYesNo(const std::string&) override { return false; }
  Choice AskAbortRetryIgnore(const std::string&) override { return Choice::kAbort; }
  void ShowMessage(const std::string&) override {}
};

}  // namespace quillon
