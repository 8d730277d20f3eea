// The password prompt (alone and through the desktop program's prompter) and the serial number
// prompt.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/main/DialogPrompter.h"
#include "ui/main/SerialNumberDlg.h"
#include "ui/settings/PasswordDlg.h"

namespace quillon {
namespace {

template <typename T>
T* Child(QWidget& parent, const char* name) {
  return parent.findChild<T*>(QString::fromLatin1(name));
}

// ---- PasswordDlg

class PasswordDlgTest : public ::testing::Test {
 protected:
  PasswordDlgTest() {
    dialog.show();
    dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
  }
  QLineEdit* Edit() { return Child<QLineEdit>(dialog, "passwordEdit"); }

  PasswordDlg dialog;
};

TEST_F(PasswordDlgTest, TitleLabelAndHiddenCharacters) {
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Password Input"));
  EXPECT_EQ(Child<QLabel>(dialog, "passwordLabel")->text(),
            QStringLiteral("Quillon Utility &Password:"));
  EXPECT_EQ(Child<QLabel>(dialog, "informationLine")->text(), QString());
  EXPECT_EQ(Edit()->echoMode(), QLineEdit::Password);
  EXPECT_EQ(QApplication::focusWidget(), Edit());
  dialog.SetInformation(QStringLiteral("02-4B-51-00-00-2A"));
  EXPECT_EQ(Child<QLabel>(dialog, "informationLine")->text(), QStringLiteral("02-4B-51-00-00-2A"));
}

TEST_F(PasswordDlgTest, PrefillIsSelectedSoThatTypingReplacesIt) {
  dialog.SetPassword(QStringLiteral("remembered"));
  EXPECT_EQ(dialog.Password(), QStringLiteral("remembered"));
  QTest::keyClicks(Edit(), QStringLiteral("new"));
  EXPECT_EQ(dialog.Password(), QStringLiteral("new"));
}

TEST_F(PasswordDlgTest, EnterConfirmsCancelDeclines) {
  QSignalSpy accepted(&dialog, &QDialog::accepted);
  QTest::keyClicks(Edit(), QStringLiteral("secret"));
  QTest::keyClick(Edit(), Qt::Key_Return);
  EXPECT_EQ(accepted.size(), 1);
  EXPECT_EQ(dialog.Password(), QStringLiteral("secret"));

  dialog.show();
  QSignalSpy rejected(&dialog, &QDialog::rejected);
  QTest::mouseClick(Child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
  EXPECT_EQ(rejected.size(), 1);
}

TEST_F(PasswordDlgTest, AtMostWhatACardTakes) {
  QTest::keyClicks(Edit(), QStringLiteral("0123456789abcdefgh"));
  EXPECT_EQ(dialog.Password(), QStringLiteral("0123456789abcde"));
}

// ---- DialogPrompter::AskPassword

class PrompterTest : public ::testing::Test {
 protected:
  // Runs `answer` on the password prompt once it is up.
  std::optional<std::string> Ask(const std::string& information, const std::string& prefill,
                                 const std::function<void(PasswordDlg&)>& answer) {
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<PasswordDlg*>(QApplication::activeModalWidget());
      seen = dialog != nullptr;
      if (dialog) {
        shown_information = Child<QLabel>(*dialog, "informationLine")->text();
        shown_password = dialog->Password();
        answer(*dialog);
      }
    });
    return prompter.AskPassword(information, prefill);
  }

  DialogPrompter prompter;
  bool seen = false;
  QString shown_information;
  QString shown_password;
};

TEST_F(PrompterTest, ShowsThePasswordPromptWithInformationAndPrefill) {
  const auto password = Ask("02-4B-51-00-00-2A", "demo", [](PasswordDlg& dialog) {
    QTest::keyClicks(Child<QLineEdit>(dialog, "passwordEdit"), QStringLiteral("typed"));
    QTest::mouseClick(Child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
  });
  ASSERT_TRUE(seen);
  EXPECT_EQ(shown_information, QStringLiteral("02-4B-51-00-00-2A"));
  EXPECT_EQ(shown_password, QStringLiteral("demo"));
  EXPECT_EQ(password, std::optional<std::string>("typed"));
}

TEST_F(PrompterTest, CancelGivesNothing) {
  const auto password = Ask("", "", [](PasswordDlg& dialog) {
    QTest::mouseClick(Child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
  });
  ASSERT_TRUE(seen);
  EXPECT_EQ(password, std::nullopt);
}

TEST_F(PrompterTest, TheQuestionComesUpOverTheModalWindowInFront) {
  QDialog front;
  front.setModal(true);
  front.show();
  QWidget* owner = nullptr;
  Ask("MAC:02-4B-51-00-00-2A", "", [&](PasswordDlg& dialog) {
    owner = dialog.parentWidget();
    QTest::mouseClick(Child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
  });
  ASSERT_TRUE(seen);
  EXPECT_EQ(owner, &front);
}

// ---- SerialNumberDlg

class SerialNumberDlgTest : public ::testing::Test {
 protected:
  SerialNumberDlgTest() {
    dialog.show();
    dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
  }
  QLineEdit* Edit() { return Child<QLineEdit>(dialog, "serialNumberEdit"); }

  SerialNumberDlg dialog;
};

TEST_F(SerialNumberDlgTest, OneFieldAndNoButtons) {
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Set Serial Number"));
  EXPECT_EQ(Child<QLabel>(dialog, "serialNumberLabel")->text(),
            QStringLiteral("Input &Serial Number:"));
  EXPECT_TRUE(dialog.findChildren<QPushButton*>().isEmpty());
  EXPECT_EQ(QApplication::focusWidget(), Edit());
}

TEST_F(SerialNumberDlgTest, EnterConfirmsWithTheTypedText) {
  dialog.SetNumberText(QStringLiteral("1358954496"));
  EXPECT_EQ(Edit()->selectedText(), QStringLiteral("1358954496"));
  QSignalSpy accepted(&dialog, &QDialog::accepted);
  QTest::keyClicks(Edit(), QStringLiteral("1358954497"));
  QTest::keyClick(Edit(), Qt::Key_Return);
  EXPECT_EQ(accepted.size(), 1);
  EXPECT_EQ(dialog.NumberText(), QStringLiteral("1358954497"));
}

TEST_F(SerialNumberDlgTest, EscapeCancels) {
  QSignalSpy rejected(&dialog, &QDialog::rejected);
  QTest::keyClick(Edit(), Qt::Key_Escape);
  EXPECT_EQ(rejected.size(), 1);
}

TEST_F(SerialNumberDlgTest, AtMost18CharactersAndNotOnlyDigits) {
  QTest::keyClicks(Edit(), QStringLiteral("12345678901234567890"));
  EXPECT_EQ(dialog.NumberText(), QStringLiteral("123456789012345678"));
  Edit()->clear();
  QTest::keyClicks(Edit(), QStringLiteral(" 12ab"));
  EXPECT_EQ(dialog.NumberText(), QStringLiteral(" 12ab")) << "the caller reads the number";
}

}  // namespace
}  // namespace quillon
