// Answers a flow's questions from a script, and keeps what was asked.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "flows/Prompter.h"

namespace quillon::testing {

class ScriptedPrompter : public Prompter {
 public:
  // Answers in order; when a list runs out: Cancel, No, Abort.
  std::deque<std::optional<std::string>> passwords;
  std::deque<bool> yes_no;
  std::deque<Choice> choices;

  std::optional<std::string> AskPassword(const std::string& information,
                                         const std::string& prefill) override {
    std::lock_guard lock(mutex_);
    asked_.push_back("password " + information + " [" + prefill + "]");
    return Next(passwords, std::optional<std::string>{});
  }
  bool AskYesNo(const std::string& question) override {
    std::lock_guard lock(mutex_);
    asked_.push_back("yes/no " + question);
    return Next(yes_no, false);
  }
  Choice AskAbortRetryIgnore(const std::string& message) override {
    std::lock_guard lock(mutex_);
    asked_.push_back("abort/retry/ignore " + message);
    return Next(choices, Choice::kAbort);
  }
  void ShowMessage(const std::string& message) override {
    std::lock_guard lock(mutex_);
    asked_.push_back("message " + message);
  }

  std::vector<std::string> Asked() const {
    std::lock_guard lock(mutex_);
    return asked_;
  }

 private:
  template <typename T>
  static T Next(std::deque<T>& answers, T otherwise) {
    if (answers.empty()) return otherwise;
    T answer = answers.front();
    answers.pop_front();
    return answer;
  }

  mutable std::mutex mutex_;
  std::vector<std::string> asked_;
};

}  // namespace quillon::testing
