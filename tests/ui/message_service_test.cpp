#include "ui/message_service.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/scripted_messages.h"

namespace zv {
namespace {

TEST(Messages, AScriptRecordsEveryTextAndAnswersInOrder) {
    ScriptedMessages script;
    script.answerYes().answerNo();
    Messages::information("Здесь уже есть такой архив!");
    EXPECT_TRUE(Messages::confirmation("Выйти, не сохраняя сделанные изменения?"));
    EXPECT_FALSE(Messages::warningQuestion("Удалить?"));
    EXPECT_FALSE(Messages::errorQuestion("Создать?"));  // beyond the script
    Messages::error("Unable to write to /x");

    EXPECT_EQ(script.texts(),
              QStringList({"Здесь уже есть такой архив!", "Выйти, не сохраняя сделанные изменения?",
                           "Удалить?", "Создать?", "Unable to write to /x"}));
    ASSERT_EQ(script.shown().size(), 5u);
    EXPECT_EQ(script.shown()[0].kind, MessageKind::Information);
    EXPECT_FALSE(script.shown()[0].question);
    EXPECT_EQ(script.shown()[1].kind, MessageKind::Confirmation);
    EXPECT_EQ(script.shown()[2].kind, MessageKind::Warning);
    EXPECT_EQ(script.shown()[3].kind, MessageKind::Error);
    EXPECT_TRUE(script.shown()[3].question);
    EXPECT_EQ(script.unscripted(), 1);
}

TEST(Messages, AnInnerScriptGivesWayToTheOuterOne) {
    ScriptedMessages outer;
    {
        ScriptedMessages inner;
        inner.answerYes();
        EXPECT_TRUE(Messages::confirmation("inner"));
    }
    outer.answerYes();
    EXPECT_TRUE(Messages::confirmation("outer"));
    EXPECT_EQ(outer.texts(), QStringList({"outer"}));
}

// The real box, answered by pressing its buttons from inside its modal loop.
bool answerRealBox(const QString& text, QMessageBox::StandardButton press, QString* shown) {
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        *shown = box->text();
        if (press == QMessageBox::Escape) {
            box->reject();
        } else {
            box->button(press)->click();
        }
    });
    return Messages::warningQuestion(text);
}

TEST(Messages, TheRealBoxGoesOnOnlyOnYes) {
    QString shown;
    EXPECT_TRUE(answerRealBox("Состав содержит необработанные вагоны!\r\nУдалить?",
                              QMessageBox::Yes, &shown));
    EXPECT_EQ(shown, "Состав содержит необработанные вагоны!\nУдалить?");
    EXPECT_FALSE(answerRealBox("Удалить?", QMessageBox::No, &shown));
    EXPECT_FALSE(answerRealBox("Удалить?", QMessageBox::Escape, &shown));
}

// Enter in the real box answers its default button: Yes for an ordinary question, No for a
// cautious one.
TEST(Messages, EnterAnswersNoToACautiousQuestion) {
    const auto enterIn = [](const std::function<bool()>& ask) {
        QTimer::singleShot(0, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key_Return);
        });
        return ask();
    };
    EXPECT_TRUE(enterIn([] { return Messages::warningQuestion("Удалить?"); }));
    EXPECT_FALSE(enterIn([] { return Messages::cautiousQuestion("Оставить номер?"); }));
}

}  // namespace
}  // namespace zv
