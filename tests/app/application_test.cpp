#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>

#include "app/zolvelt_application.h"
#include "records/table_error.h"
#include "support/qt_test_run.h"
#include "ui/scripted_messages.h"

namespace zv::test {
namespace {

QString buttonText(QMessageBox& box, QMessageBox::StandardButton button) {
    return box.button(button)->text().remove('&');
}

TEST(Application, StandardButtonsSpeakRussian) {
    QMessageBox box(QMessageBox::Question, "ZOLVelt", "?",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(buttonText(box, QMessageBox::Yes), "Да");
    EXPECT_EQ(buttonText(box, QMessageBox::No), "Нет");
    EXPECT_EQ(buttonText(box, QMessageBox::Cancel), "Отмена");
}

// An object whose handler fails as a handler reaching the table engine could.
class FailingHandler : public QObject {
  public:
    int events = 0;
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        ++events;
        throw TableError("Поле Load (ключ таблицы Loads) должно иметь значение");
    }
};

TEST(Application, AnExceptionFromAHandlerIsReportedOnceAndTheLoopGoesOn) {
    ScriptedMessages messages;
    ExpectedQtWarning logged("exception thrown from an event handler");
    FailingHandler handler;
    for (int i = 0; i < 3; ++i) QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
    bool later = false;
    QTimer::singleShot(0, [] { throw std::runtime_error("Отказ таймера"); });
    QTimer::singleShot(1, [&] { later = true; });
    QTimer::singleShot(20, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();

    EXPECT_EQ(handler.events, 3);
    EXPECT_TRUE(later);
    EXPECT_EQ(messages.texts(),
              QStringList({"Поле Load (ключ таблицы Loads) должно иметь значение", "Отказ таймера"}));
    EXPECT_EQ(logged.count(), 4);
}

}  // namespace
}  // namespace zv::test

int main(int argc, char** argv) {
    zv::test::useOffscreenPlatform();
    ZolveltApplication app(argc, argv);
    return zv::test::runQtTests(argc, argv);
}
