// The prompts of the desktop program: message boxes and the password prompt. Flows call it from
// their own threads (a command's busy work, an upgrade's workers): every question is shown on the
// window's thread, one at a time, while the asking thread waits; only that thread waits, and the
// receive threads never call it. While a question is open the wait cursor is lifted.
#pragma once

#include <QPointer>
#include <QWidget>
#include <mutex>

#include "flows/Prompter.h"

namespace quillon {

class DialogPrompter : public Prompter {
 public:
  // The boxes are centred on the modal window in front (the upgrade window, for its cards'
  // questions), else on `parent` when there is one.
  explicit DialogPrompter(QWidget* parent = nullptr) : parent_(parent) {}

  std::optional<std::string> AskPassword(const std::string& information,
                                         const std::string& prefill) override;
  bool AskYesNo(const std::string& question) override;
  Choice AskAbortRetryIgnore(const std::string& message) override;
  void ShowMessage(const std::string& message) override;

 private:
  // Runs `ask` on the window's thread and returns its answer.
  template <typename Ask>
  auto OnWindowThread(Ask ask) -> decltype(ask());
  // On the window's thread.
  QWidget* Owner() const;

  QPointer<QWidget> parent_;
  std::mutex questions_;  // held by a thread whose question is being shown
};

}  // namespace quillon
