#include "ui/main/DialogPrompter.h"

#include <QMessageBox>

#include "ui/main/StringTable.h"
#include "ui/settings/PasswordDlg.h"

namespace quillon {

namespace {

QString Title() {
  return QString::fromLatin1(strings::kTitle);
}

}  // namespace

std::optional<std::string> DialogPrompter::AskPassword(const std::string& information,
                                                       const std::string& prefill) {
  PasswordDlg dialog(parent_);
  dialog.SetInformation(QString::fromStdString(information));
  dialog.SetPassword(QString::fromStdString(prefill));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Password().toStdString();
}

bool DialogPrompter::AskYesNo(const std::string& question) {
  return QMessageBox::question(parent_, Title(), QString::fromStdString(question),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

Prompter::Choice DialogPrompter::AskAbortRetryIgnore(const std::string& message) {
  const auto answer =
      QMessageBox::critical(parent_, Title(), QString::fromStdString(message),
                            QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
  if (answer == QMessageBox::Retry) return Choice::kRetry;
  if (answer == QMessageBox::Ignore) return Choice::kIgnore;
  return Choice::kAbort;
}

void DialogPrompter::ShowMessage(const std::string& message) {
  QMessageBox::information(parent_, Title(), QString::fromStdString(message));
}

}  // namespace quillon
