// Drives a window through its controls by object name, as a person would: types into its fields,
// clicks its buttons and tabs, and asks where the focus is.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <cstdint>

#include "ui/controls/IpAddressEdit.h"

namespace quillon::testing {

// An IPv4 address as the cards keep it, first number in the high byte.
constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
  return (a << 24) | (b << 16) | (c << 8) | d;
}

// The control called `name` inside `parent`; a failure of the test when there is none.
template <typename T>
T* Child(const QWidget& parent, const char* name) {
  T* child = parent.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

inline void SetAddress(QWidget& window, const char* edit, const char* text) {
  Child<IpAddressEdit>(window, edit)->SetText(QString::fromLatin1(text));
}

inline void SetText(QWidget& window, const char* edit, const char* text) {
  Child<QLineEdit>(window, edit)->setText(QString::fromLatin1(text));
}

// A push button is clicked in its middle; a check box or a round button takes a click on itself
// or its text only.
inline void Click(QWidget& window, const char* name) {
  auto* button = Child<QAbstractButton>(window, name);
  const bool push = qobject_cast<QPushButton*>(button) != nullptr;
  QTest::mouseClick(button, Qt::LeftButton, {},
                    push ? button->rect().center() : QPoint(6, button->height() / 2));
}

// The tabs of a sheet ("pageTabs").
inline QTabWidget* Tabs(QWidget& sheet) {
  return Child<QTabWidget>(sheet, "pageTabs");
}

inline void ClickTab(QWidget& sheet, int index) {
  QTabBar* bar = Tabs(sheet)->tabBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

inline void ClickTab(QWidget& sheet, const QString& text) {
  const QTabBar* bar = Tabs(sheet)->tabBar();
  for (int i = 0; i < bar->count(); ++i) {
    if (bar->tabText(i) == text) ClickTab(sheet, i);
  }
}

inline QString CurrentTab(QWidget& sheet) {
  const QTabWidget* tabs = Tabs(sheet);
  return tabs->tabText(tabs->currentIndex());
}

// The focus is on this control, or inside it (an address control's fields).
inline bool HasFocus(QWidget& window, const char* name) {
  const QWidget* control = Child<QWidget>(window, name);
  const QWidget* focused = QApplication::focusWidget();
  return focused && (focused == control || control->isAncestorOf(focused));
}

}  // namespace quillon::testing
