// The prompts of the desktop program: message boxes and a password field.
#pragma once

#include "flows/Prompter.h"

class QWidget;

namespace quillon {

class DialogPrompter : public Prompter {
 public:
  // The boxes are centred on `parent` when there is one.
  explicit DialogPrompter(QWidget* parent = nullptr) : parent_(parent) {}

  std::optional<std::string> AskPassword(const std::string& information,
                                         const std::string& prefill) override;
  bool AskYesNo(const std::string& question) override;
  Choice AskAbortRetryIgnore(const std::string& message) override;
  void ShowMessage(const std::string& message) override;

 private:
  QWidget* parent_;
};

}  // namespace quillon
