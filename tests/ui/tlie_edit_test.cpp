#include "ui/tlie_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "support/operator_input.h"

namespace {

// A window with the edit and a second control to move the focus to.
class TLIEditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        edit = new TLIEdit("Порог обнаружения осей", &window);
        edit->setObjectName("LIE213");
        other = new QLineEdit(&window);
        layout->addWidget(edit->label());
        layout->addWidget(edit);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        ASSERT_TRUE(edit->hasFocus());
    }

    void typeAndLeave(const QString& keys) {
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, keys);
        other->setFocus();
    }

    QWidget window;
    TLIEdit* edit = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(TLIEditTest, StartsAtOneInOneToThousand) {
    EXPECT_EQ(edit->Val(), 1);
    EXPECT_EQ(edit->text(), "1");
    EXPECT_EQ(edit->MinVal(), 1);
    EXPECT_EQ(edit->MaxVal(), 1000);
}

TEST_F(TLIEditTest, OnlyDigitsMinusAndBackspaceReachIt) {
    edit->clear();
    QTest::keyClicks(edit, "1a2 +b-3.");
    QKeyEvent cyrillic(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, "Я");
    QApplication::sendEvent(edit, &cyrillic);
    EXPECT_EQ(edit->text(), "12-3");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "12-");

    // Pasted text with anything else is refused as a whole.
    QApplication::clipboard()->setText("45kg");
    edit->paste();
    EXPECT_EQ(edit->text(), "12-");
    QApplication::clipboard()->setText("45");
    edit->paste();
    EXPECT_EQ(edit->text(), "12-45");
}

TEST_F(TLIEditTest, LeavingRepairsTheTextThenSignalsExit) {
    const struct {
        int32_t val;
        const char* typed;
        const char* text;
        int32_t valAfter;
        bool modified;
    } cases[] = {
        {100, "7", "10", 10, true},  // below the range
        {10, "7", "10", 10, false},  // limited to the value it had
        {100, "600", "500", 500, true},
        {100, "250", "250", 250, true},
        {100, "100", "100", 100, false},
        {100, "-", "100", 100, false},  // not a number: the text of Val comes back
        {100, "", "100", 100, false},
        {100, "5-5", "100", 100, false},
        {100, "99999999999", "100", 100, false},
    };
    edit->setMinVal(10);
    edit->setMaxVal(500);
    for (const auto& c : cases) {
        edit->setVal(c.val);
        QString textAtExit;
        int32_t valAtExit = 0;
        const auto connection = QObject::connect(edit, &TLIEdit::exited, [&] {
            textAtExit = edit->text();
            valAtExit = edit->Val();
        });
        typeAndLeave(c.typed);
        QObject::disconnect(connection);
        EXPECT_EQ(edit->text(), c.text) << c.typed;
        EXPECT_EQ(edit->Val(), c.valAfter) << c.typed;
        EXPECT_EQ(edit->valModified(), c.modified) << c.typed;
        EXPECT_EQ(textAtExit, c.text) << c.typed;
        EXPECT_EQ(valAtExit, c.valAfter) << c.typed;
    }
}

TEST_F(TLIEditTest, ANegativeRangeWorksAndEveryLeavingClearsTheFlag) {
    edit->setMinVal(-100);
    edit->setMaxVal(100);
    edit->setVal(0);
    typeAndLeave("-150");
    EXPECT_EQ(edit->text(), "-100");
    EXPECT_TRUE(edit->valModified());
    typeAndLeave("-100");
    EXPECT_FALSE(edit->valModified());
}

TEST_F(TLIEditTest, SettingValLimitsItButTheSameValueLeavesTheTextAlone) {
    edit->setVal(5000);
    EXPECT_EQ(edit->Val(), 1000);
    EXPECT_EQ(edit->text(), "1000");
    edit->setText("77");
    edit->setVal(1000);
    EXPECT_EQ(edit->text(), "77");
    edit->setMaxVal(10);  // the range is not applied to the value it holds
    EXPECT_EQ(edit->Val(), 1000);
}

TEST_F(TLIEditTest, AContextMenuTakingTheFocusIsNotLeaving) {
    QSignalSpy exits(edit, &TLIEdit::exited);
    edit->setText("-");
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(edit, &popup);
    EXPECT_EQ(edit->text(), "-");
    EXPECT_EQ(exits.count(), 0);
}

TEST_F(TLIEditTest, TheLabelGoesWithTheEdit) {
    QPointer<QLabel> label = edit->label();
    EXPECT_EQ(label->buddy(), edit);
    edit->hide();
    EXPECT_TRUE(label->isHidden());
    edit->show();
    EXPECT_FALSE(label->isHidden());
    edit->setEnabled(false);
    EXPECT_FALSE(label->isEnabled());
    delete edit;
    EXPECT_TRUE(label.isNull());
}

// An edit without a caption (the train selector, the calibration coefficients) is placed
// where its window's own label sits beside it; nothing of it may cover other controls.
TEST(TLIEditWithoutCaption, HasNoLabelAndTakesClicksAndTypedDigits) {
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* before = new QLineEdit(&window);
    auto* edit = new TLIEdit(&window);
    edit->setMaxVal(65535);
    layout->addWidget(edit);
    layout->addWidget(before);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(edit->label(), nullptr);
    EXPECT_TRUE(window.findChildren<QLabel*>().isEmpty());

    before->setFocus();
    zv::test::typeInto(edit, "7");
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(before->text(), "");
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(edit->Val(), 7);
    EXPECT_TRUE(before->hasFocus());
}

}  // namespace
