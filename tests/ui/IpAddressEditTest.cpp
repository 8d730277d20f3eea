// The address edit typed into as a person would: keys go to whichever field has the focus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "ui/controls/IpAddressEdit.h"

namespace quillon {
namespace {

class IpAddressEditTest : public ::testing::Test {
 protected:
  IpAddressEditTest() {
    auto* layout = new QVBoxLayout(&window);
    before = new QLineEdit(&window);
    before->setObjectName(QStringLiteral("before"));
    edit = new IpAddressEdit(&window);
    edit->setObjectName(QStringLiteral("mask"));
    after = new QLineEdit(&window);
    after->setObjectName(QStringLiteral("after"));
    layout->addWidget(before);
    layout->addWidget(edit);
    layout->addWidget(after);
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  QLineEdit* Field(int n) {
    return window.findChild<QLineEdit*>(QStringLiteral("maskField") + QString::number(n));
  }
  QWidget* Focused() { return QApplication::focusWidget(); }
  // Each key goes to the widget that has the focus when it is pressed.
  void Type(const QString& keys) {
    for (const QChar key : keys) QTest::keyClick(Focused(), key.toLatin1());
  }
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(Focused(), key, modifiers);
  }
  void FocusField(int n) {
    Field(n)->setFocus();
    ASSERT_EQ(Focused(), Field(n));
  }

  QWidget window;
  QLineEdit* before = nullptr;
  IpAddressEdit* edit = nullptr;
  QLineEdit* after = nullptr;
};

TEST_F(IpAddressEditTest, FieldsAreNamedAfterTheControl) {
  for (int n = 0; n < IpAddressEdit::kFieldCount; ++n) {
    EXPECT_EQ(Field(n), edit->Field(n)) << n;
  }
}

TEST_F(IpAddressEditTest, TypedAddressWithDotsAndFullFields) {
  FocusField(0);
  // "192" fills the first field and moves on; the "." typed out of habit right after is ignored
  // in the empty field instead of skipping it.
  Type(QStringLiteral("192.168.1.20"));
  EXPECT_EQ(edit->Text(), QStringLiteral("192.168.1.20"));
  EXPECT_EQ(edit->Value(), 0xC0A80114u);
  EXPECT_EQ(Focused(), Field(3));
}

TEST_F(IpAddressEditTest, AWholeAddressTypedOverAnotherReplacesIt) {
  edit->SetText(QStringLiteral("10.20.30.40"));
  FocusField(0);
  Field(0)->selectAll();
  // The "." after "192" and "168" lands in a field whose old text is selected: it is ignored
  // there too, instead of skipping that field.
  Type(QStringLiteral("192.168.1.77"));
  EXPECT_EQ(edit->Text(), QStringLiteral("192.168.1.77"));
}

TEST_F(IpAddressEditTest, ADotTypedLaterStillMovesOn) {
  edit->SetText(QStringLiteral("10.20.30.40"));
  FocusField(0);
  Field(0)->selectAll();
  Type(QStringLiteral("192"));
  ASSERT_EQ(Focused(), Field(1));
  Press(Qt::Key_End);
  Type(QStringLiteral("."));
  EXPECT_EQ(Focused(), Field(2));
}

TEST_F(IpAddressEditTest, OnlyDigitsAreTaken) {
  FocusField(0);
  Type(QStringLiteral("a1 b-"));
  EXPECT_EQ(Field(0)->text(), QStringLiteral("1"));
}

TEST_F(IpAddressEditTest, NumberAbove255Becomes255AndMovesOn) {
  FocusField(0);
  Type(QStringLiteral("300"));
  EXPECT_EQ(Field(0)->text(), QStringLiteral("255"));
  EXPECT_EQ(Focused(), Field(1));
}

TEST_F(IpAddressEditTest, ThirdDigitSelectsTheNextFieldsText) {
  edit->SetText(QStringLiteral("1.2.3.4"));
  FocusField(0);
  Field(0)->selectAll();
  Type(QStringLiteral("100"));
  ASSERT_EQ(Focused(), Field(1));
  EXPECT_EQ(Field(1)->selectedText(), QStringLiteral("2"));
  Type(QStringLiteral("7"));
  EXPECT_EQ(edit->Text(), QStringLiteral("100.7.3.4"));
}

TEST_F(IpAddressEditTest, DotMovesOnFromAFieldWithDigitsButNotPastTheLast) {
  edit->SetText(QStringLiteral("1.2.3.4"));
  FocusField(0);
  Field(0)->setCursorPosition(1);
  Type(QStringLiteral("."));
  ASSERT_EQ(Focused(), Field(1));
  EXPECT_EQ(Field(1)->selectedText(), QStringLiteral("2"));
  FocusField(3);
  Type(QStringLiteral("."));
  EXPECT_EQ(Focused(), Field(3));
  EXPECT_EQ(edit->Text(), QStringLiteral("1.2.3.4"));
}

TEST_F(IpAddressEditTest, BackspaceInAnEmptyFieldGoesBackAndThenDeletes) {
  FocusField(0);
  Type(QStringLiteral("12."));
  ASSERT_EQ(Focused(), Field(1));
  Press(Qt::Key_Backspace);
  ASSERT_EQ(Focused(), Field(0));
  EXPECT_EQ(Field(0)->cursorPosition(), 2);
  Press(Qt::Key_Backspace);
  EXPECT_EQ(Field(0)->text(), QStringLiteral("1"));
}

TEST_F(IpAddressEditTest, LeftAndRightCrossFieldsOnlyAtTheirEdges) {
  edit->SetText(QStringLiteral("12.34.5.6"));
  FocusField(0);
  Field(0)->setCursorPosition(1);
  Press(Qt::Key_Right);
  EXPECT_EQ(Focused(), Field(0)) << "inside the field the cursor moves";
  Press(Qt::Key_Right);
  ASSERT_EQ(Focused(), Field(1));
  EXPECT_EQ(Field(1)->cursorPosition(), 0);
  Press(Qt::Key_Left);
  ASSERT_EQ(Focused(), Field(0));
  EXPECT_EQ(Field(0)->cursorPosition(), 2);
  Press(Qt::Key_Left);
  Press(Qt::Key_Left);
  Press(Qt::Key_Left);
  EXPECT_EQ(Focused(), Field(0)) << "nothing before the first field";
}

TEST_F(IpAddressEditTest, TabEntersAtTheFirstFieldAndLeavesFromAnyField) {
  before->setFocus();
  Press(Qt::Key_Tab);
  EXPECT_EQ(Focused(), Field(0));
  FocusField(2);
  Press(Qt::Key_Tab);
  EXPECT_EQ(Focused(), after);
  Press(Qt::Key_Backtab);
  EXPECT_EQ(Focused(), Field(0));
}

TEST_F(IpAddressEditTest, FocusEnteredOnlyWhenTheFocusComesFromOutside) {
  QSignalSpy entered(edit, &IpAddressEdit::FocusEntered);
  before->setFocus();
  FocusField(0);
  Type(QStringLiteral("10."));
  FocusField(3);
  EXPECT_EQ(entered.size(), 1);
  after->setFocus();
  FocusField(2);
  EXPECT_EQ(entered.size(), 2);
}

TEST_F(IpAddressEditTest, FieldChangedForTypingAndForSetValue) {
  QSignalSpy changed(edit, &IpAddressEdit::FieldChanged);
  edit->SetValue(0x0A000001);
  ASSERT_EQ(changed.size(), 4);
  for (int n = 0; n < 4; ++n) EXPECT_EQ(changed[n][0].toInt(), n);
  changed.clear();
  edit->SetValue(0x0A000002);
  ASSERT_EQ(changed.size(), 1) << "only the field whose text changed";
  EXPECT_EQ(changed[0][0].toInt(), 3);
  changed.clear();
  FocusField(2);
  Type(QStringLiteral("7"));
  ASSERT_EQ(changed.size(), 1);
  EXPECT_EQ(changed[0][0].toInt(), 2);
  EXPECT_EQ(Field(2)->text(), QStringLiteral("07"));
  EXPECT_EQ(edit->Text(), QStringLiteral("10.0.7.2"));
}

TEST_F(IpAddressEditTest, BlankFieldsReadAsZero) {
  EXPECT_TRUE(edit->IsBlank());
  EXPECT_EQ(edit->Value(), 0u);
  EXPECT_EQ(edit->Text(), QStringLiteral("0.0.0.0"));
  FocusField(1);
  Type(QStringLiteral("5"));
  EXPECT_FALSE(edit->IsBlank());
  EXPECT_EQ(edit->Value(), 0x00050000u);
  edit->Clear();
  EXPECT_TRUE(edit->IsBlank());
}

TEST_F(IpAddressEditTest, DisabledAsAWhole) {
  edit->setEnabled(false);
  for (int n = 0; n < 4; ++n) EXPECT_FALSE(Field(n)->isEnabled()) << n;
  before->setFocus();
  Press(Qt::Key_Tab);
  EXPECT_EQ(Focused(), after);
}

struct SetTextCase {
  const char* name;
  const char* text;
  const char* fields[4];
};

void PrintTo(const SetTextCase& c, std::ostream* out) {
  *out << c.name;
}

class IpAddressSetText : public ::testing::TestWithParam<SetTextCase> {};

TEST_P(IpAddressSetText, FillsEachFieldFromItsPart) {
  IpAddressEdit edit;
  edit.setObjectName(QStringLiteral("address"));
  edit.SetText(QString::fromLatin1(GetParam().text));
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(edit.Field(n)->text(), QString::fromLatin1(GetParam().fields[n])) << n;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IpAddressSetText,
    ::testing::Values(SetTextCase{"whole", "192.168.1.20", {"192", "168", "1", "20"}},
                      SetTextCase{"empty", "", {"", "", "", ""}},
                      SetTextCase{"outOfRange", "300.1.x.2", {"255", "1", "", "2"}},
                      SetTextCase{"short", "10.0", {"10", "0", "", ""}},
                      SetTextCase{"padded", " 7 .008.-1.4.9", {"7", "8", "", "4"}}));

}  // namespace
}  // namespace quillon
