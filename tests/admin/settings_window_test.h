#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QString>

#include "admin/admin_fixture.h"
#include "ui/tlie_edit.h"

namespace zv::test {

// The operator types into an edit and leaves it.
inline void typeAndLeave(TLIEdit* edit, const QString& text) {
    edit->setText(text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
}

// A settings window over the fixture's main window, hidden again after each test.
template <typename Window>
class SettingsWindowTest : public ::testing::Test {
  protected:
    void TearDown() override { window.hide(); }

    // A control of the window by its name; a missing one fails the test.
    template <typename T = TLIEdit>
    T* get(const char* name) {
        T* widget = window.template findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    AdminFixture fx;
    Window window;
};

}  // namespace zv::test
