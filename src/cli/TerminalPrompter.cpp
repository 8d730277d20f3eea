#include "cli/TerminalPrompter.h"

#include <cctype>

namespace quillon::cli {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n') c = ' ';
  }
  return text;
}

}  // namespace

TerminalPrompter::Question::Question(TerminalPrompter& prompter)
    : prompter_(prompter), lock_(prompter.questions_) {
  if (prompter_.question_begins) prompter_.question_begins();
}

TerminalPrompter::Question::~Question() {
  if (prompter_.question_ends) prompter_.question_ends();
}

std::string TerminalPrompter::ReadLine(const std::string& prompt) {
  env_.err << prompt << std::flush;
  std::string line;
  if (!env_.in || !std::getline(*env_.in, line)) return {};
  return line;
}

std::optional<std::string> TerminalPrompter::AskPassword(const std::string& information,
                                                         const std::string& prefill) {
  if (password_) return password_;
  const Question asking(*this);
  // The upgrade names the card ("MAC:02-4B-..."); the settings leave the line empty.
  const std::string who = information.empty() ? "the card" : information;
  if (!env_.interactive || !env_.read_password) {
    env_.err << "quillon-cli: " << who << " asks for a password; give it with --password\n";
    return std::nullopt;
  }
  const std::string hint = prefill.empty() ? "" : " (Enter: the remembered one)";
  std::optional<std::string> typed = env_.read_password("Password of " + who + hint + ": ");
  if (typed && typed->empty() && !prefill.empty()) return prefill;
  return typed;
}

bool TerminalPrompter::AskYesNo(const std::string& question) {
  if (yes_) return true;
  const Question asking(*this);
  if (!env_.interactive) {
    env_.err << "quillon-cli: " << OneLine(question) << " No (--yes answers yes)\n";
    return false;
  }
  return Lower(ReadLine(OneLine(question) + " [y/N] ")).starts_with("y");
}

Prompter::Choice TerminalPrompter::AskAbortRetryIgnore(const std::string& message) {
  const Question asking(*this);
  if (!env_.interactive) {
    env_.err << "quillon-cli: " << message << ": aborted\n";
    return Choice::kAbort;
  }
  for (;;) {
    const std::string answer = Lower(ReadLine(message + ": [a]bort, [r]etry or [i]gnore? "));
    if (answer.starts_with("r")) return Choice::kRetry;
    if (answer.starts_with("i")) return Choice::kIgnore;
    if (answer.starts_with("a") || !env_.in || !*env_.in) return Choice::kAbort;
  }
}

void TerminalPrompter::ShowMessage(const std::string& message) {
  const Question asking(*this);
  env_.err << "quillon-cli: " << message << '\n';
}

}  // namespace quillon::cli
