#include "ui/main/DialogPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <optional>

#include "ui/main/BusyWork.h"
#include "ui/main/StringTable.h"
#include "ui/settings/PasswordDlg.h"

namespace quillon {

namespace {

QString Title() {
  return QString::fromLatin1(strings::kTitle);
}

}  // namespace

template <typename Ask>
auto DialogPrompter::OnWindowThread(Ask ask) -> decltype(ask()) {
  auto shown = [&] {
    const WaitCursorLifted lifted;
    return ask();
  };
  if (QThread::currentThread() == qApp->thread()) return shown();
  // One question at a time: a second asking thread waits here for its turn, holding nothing.
  const std::lock_guard one_question(questions_);
  std::optional<decltype(ask())> answer;
  QMetaObject::invokeMethod(
      qApp, [&] { answer.emplace(shown()); }, Qt::BlockingQueuedConnection);
  return std::move(*answer);
}

QWidget* DialogPrompter::Owner() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return parent_;
}

std::optional<std::string> DialogPrompter::AskPassword(const std::string& information,
                                                       const std::string& prefill) {
  return OnWindowThread([&]() -> std::optional<std::string> {
    PasswordDlg dialog(Owner());
    dialog.SetInformation(QString::fromStdString(information));
    dialog.SetPassword(QString::fromStdString(prefill));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Password().toStdString();
  });
}

bool DialogPrompter::AskYesNo(const std::string& question) {
  return OnWindowThread([&] {
    return QMessageBox::warning(Owner(), Title(), QString::fromStdString(question),
                                QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  });
}

Prompter::Choice DialogPrompter::AskAbortRetryIgnore(const std::string& message) {
  return OnWindowThread([&] {
    const auto answer =
        QMessageBox::critical(Owner(), Title(), QString::fromStdString(message),
                              QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    if (answer == QMessageBox::Retry) return Choice::kRetry;
    if (answer == QMessageBox::Ignore) return Choice::kIgnore;
    return Choice::kAbort;
  });
}

void DialogPrompter::ShowMessage(const std::string& message) {
  OnWindowThread([&] {
    QMessageBox::information(Owner(), Title(), QString::fromStdString(message));
    return true;
  });
}

}  // namespace quillon
