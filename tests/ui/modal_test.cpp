#include "ui/modal.h"

#include <gtest/gtest.h>

#include <QDialog>

namespace zv {
namespace {

TEST(ModalScript, EachStepRunsInsideItsOpenWindow) {
    QDialog setup;
    setup.setObjectName("SetupW");
    QDialog password(&setup);
    password.setObjectName("PassDlg");

    ModalScript script;
    bool setupWasOpen = false;
    int passwordResult = -1;
    script
        .then([&](QDialog& d) {
            setupWasOpen = d.isVisible() && d.isModal();
            passwordResult = showModal(password);  // a window opened from a window
            d.accept();
        })
        .then([](QDialog& d) { d.accept(); });

    EXPECT_EQ(showModal(setup), QDialog::Accepted);
    EXPECT_TRUE(setupWasOpen);
    EXPECT_EQ(passwordResult, QDialog::Accepted);
    // Without a step, or with one that leaves it open, a window is rejected.
    EXPECT_EQ(showModal(setup), QDialog::Rejected);
    script.then([](QDialog&) {});
    EXPECT_EQ(showModal(password), QDialog::Rejected);
    EXPECT_FALSE(setup.isVisible());
    EXPECT_EQ(script.shown(), QStringList({"SetupW", "PassDlg", "SetupW", "PassDlg"}));
}

}  // namespace
}  // namespace zv
