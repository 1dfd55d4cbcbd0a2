#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <array>

#include "admin/setup_w.h"
#include "app/app_fixture.h"
#include "processing/w_pro.h"

namespace {

using zv::test::AppFixture;
using zv::test::standOnTheScale;

QStringList dialogCaptionsInCreationOrder(const TMain& main) {
    QStringList captions;
    for (QObject* child : main.children())
        if (auto* dialog = qobject_cast<QDialog*>(child); dialog && dialog->objectName() != "Help")
            captions << dialog->windowTitle();
    return captions;
}

TEST(MainWindowStartUp, CreatesFoldersAndTheOtherWindowsInOrder) {
    AppFixture app;
    TMain& main = app.create();
    EXPECT_EQ(main.windowTitle(), "Вагонные весы ZOLVELT");
    EXPECT_TRUE(QDir(app.folder() + "DB").exists());
    EXPECT_TRUE(QDir(app.folder() + "ZOL_arch").exists());
    EXPECT_EQ(main.bookName(), "Book" + QDate::currentDate().toString("[MM.yyyy]") + ".db");
    EXPECT_EQ(main.pos(), QPoint(0, 0));
    EXPECT_TRUE(main.timer()->isActive());
    EXPECT_EQ(main.timer()->interval(), 25);
    EXPECT_EQ(dialogCaptionsInCreationOrder(main),
              (QStringList{"ZOL - Параметры весов", "ZOL - Обработка вагона",
                           "ZOL - Параметры программы", "ZOL - Просмотр таблиц базы данных",
                           "ZOL - Смена оператора весов", "ZOL - Отчет по весовой книге",
                           "ZOL - Aрхивирование", "Введите код доступа", "ZOL - О программе"}));
}

TEST(MainWindowStartUp, DamagedCalibrationMarksTheCaption) {
    AppFixture app;
    QFile::remove(app.folder() + "ZOLVelt.ini");
    TMain& main = app.start();
    EXPECT_EQ(main.windowTitle(), "Вагонные весы ZOLVELT (ошибка ZOLVELT.ini)");
}

TEST(MainWindowStartUp, MissingPortIsReportedAndTheProgramRunsWithoutSamples) {
    AppFixture app;
    TMain& main = app.start([&](zv::Settings& s) {
        s.Port = app.folder().toStdString() + "no-such-port";
        s.Connect = true;
    });
    EXPECT_FALSE(main.link().isOpen());
    EXPECT_TRUE(main.settings().Connect) << "a missing port is no disconnection";
    EXPECT_EQ(app.messages.texts().count("Порт " + app.folder() + "no-such-port не доступен"), 1);
    for (int i = 0; i < 20; ++i, app.clock += 1000) main.Timer1Timer();  // retried, not told again
    QApplication::processEvents();
    EXPECT_EQ(app.messages.texts().count("Порт " + app.folder() + "no-such-port не доступен"), 1);
    EXPECT_EQ(main.controls().Lw->text(), "Нет связи");
    EXPECT_TRUE(main.findChild<QLabel*>("SBLink")->text().startsWith("Нет связи с весами с "));
}

// Captions of a menu in order, "-" for a separator.
QStringList captions(const QMenu* menu) {
    QStringList list;
    for (QAction* action : menu->actions()) list << (action->isSeparator() ? "-" : action->text());
    return list;
}

const QMenu* submenu(const QWidget* parent, const QString& caption) {
    for (QAction* action : parent->actions())
        if (action->menu() && action->text() == caption) return action->menu();
    return nullptr;
}

TEST(MainWindowMenu, HasTheItemsSeparatorsAndHints) {
    AppFixture app;
    TMain& main = app.create();
    const QMenuBar* bar = main.menuBar();
    QStringList top;
    for (QAction* action : bar->actions()) top << action->text();
    EXPECT_EQ(top, (QStringList{"&Работа", "Базы данных", "&Настройка", "&Справка"}));

    const QMenu* work = submenu(bar, "&Работа");
    ASSERT_NE(work, nullptr);
    EXPECT_EQ(captions(work),
              (QStringList{"Статическое взвешивание", "-", "Смена", "-", "&Выход"}));
    EXPECT_EQ(main.menu().Exit->statusTip(), "Exit this application");

    const QMenu* databases = submenu(bar, "Базы данных");
    ASSERT_NE(databases, nullptr);
    EXPECT_EQ(captions(databases), (QStringList{"Расположение", "Просмотр", "Отчеты", "Журнал событий",
                                                "Проверить целостность записей", "Опечатать таблицы",
                                                "Сменить код доступа", "Поиск вагона"}));
    EXPECT_EQ(captions(submenu(databases, "Просмотр")),
              (QStringList{"Весовая книга", "Вагоны на территории", "Операторы весов", "Грузы",
                           "Станции", "Получатели / отправители", "Базы вагонов"}));
    EXPECT_EQ(captions(submenu(databases, "Отчеты")),
              (QStringList{"Весовая книга", "Составы (динамика)"}));

    const QMenu* setup = submenu(bar, "&Настройка");
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(captions(setup), (QStringList{"Весы", "Программа"}));
    EXPECT_EQ(captions(submenu(setup, "Весы")),
              (QStringList{"Подключение", "Параметры", "Калибровка"}));

    const QMenu* help = submenu(bar, "&Справка");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(captions(help), (QStringList{"Вызов справки", "Журнал событий и проверка записей", "&О программе..."}));
    EXPECT_EQ(main.menu().About->statusTip(), "Show program information");
}

TEST(MainWindowMenu, StaticWeighingSwitchesToTheWagonsPage) {
    AppFixture app;
    TMain& main = app.create();
    main.menu().StaticWeighing->trigger();
    EXPECT_EQ(main.controls().PCon1->currentWidget(), main.controls().TS2);
}

TEST(MainWindowMenu, ScalesItemsOpenTheirPage) {
    AppFixture app;
    TMain& main = app.create();
    TSetupW* setup = main.windows().SetupW;
    int shownPage = -1;
    QTimer::singleShot(0, setup, [&] {
        shownPage = setup->currentPage();
        setup->reject();
    });
    main.menu().Scales[2]->trigger();
    EXPECT_EQ(shownPage, TSetupW::Calibration);
}

TEST(MainWindowPages, RawDataPanelOnlyOnTheDynamicPageWithItsOption) {
    AppFixture app;
    TMain& main = app.start([&](zv::Settings& s) { s.Params = zv::params::ShowRawDataPanel; });
    const MainControls& c = main.controls();
    EXPECT_FALSE(c.P12->isHidden());
    EXPECT_FALSE(c.SBut12->isEnabled());  // recording needs the debug-columns option too
    c.PCon1->setCurrentWidget(c.TS2);
    EXPECT_TRUE(c.P12->isHidden());
    c.PCon1->setCurrentWidget(c.TS1);
    EXPECT_FALSE(c.P12->isHidden());

    main.settings().Params = 0;
    c.PCon1->setCurrentWidget(c.TS2);
    c.PCon1->setCurrentWidget(c.TS1);
    EXPECT_TRUE(c.P12->isHidden());
}

TEST(MainWindowPages, PanelsFollowThePlatformsAndTheOptions) {
    const struct {
        int Npl;
        int32_t Params;
        bool platformLoads, gravity, debugColumns;
    } cases[] = {
        {0, zv::params::ShowGravityOffsets | zv::params::ShowDebugColumns, false, false, true},
        {1, zv::params::ShowGravityOffsets, true, true, false},
        {1, 0, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Npl * 100 + c.Params);
        AppFixture app;
        TMain& main = app.start([&](zv::Settings& s) {
            s.Npl = c.Npl;
            s.Params = c.Params;
        });
        EXPECT_EQ(!main.controls().Lw0->isHidden(), c.platformLoads);
        EXPECT_EQ(!main.controls().Lw1->isHidden(), c.platformLoads);
        EXPECT_EQ(!main.controls().P6->isHidden(), c.gravity);
        QStringList headings;
        const QAbstractItemModel* grid = main.controls().DBG1->model();
        for (int col = 0; col < grid->columnCount(); ++col)
            headings << grid->headerData(col, Qt::Horizontal).toString();
        EXPECT_EQ(headings.contains("Вес3"), c.debugColumns);
    }
}

TEST(MainWindowPages, AxleDetectionStopsWhileAWindowIsVisibleOrTheOtherPageIsShown) {
    AppFixture app;
    TMain& main = app.start();
    const MainControls& c = main.controls();
    main.Timer1Timer();
    EXPECT_TRUE(main.dynamicWeighingAllowed());

    bool allowedBehindDialog = true;
    bool noticeBehindDialog = false;
    QTimer::singleShot(0, main.windows().WPro, [&] {
        main.Timer1Timer();
        main.engine().feed({}, app.clock);
        allowedBehindDialog = main.engine().dynamicWeighingAllowed();
        noticeBehindDialog = !c.La11->isHidden();
        main.windows().WPro->reject();
    });
    main.windows().WPro->exec();
    EXPECT_FALSE(allowedBehindDialog);
    EXPECT_TRUE(noticeBehindDialog);

    main.Timer1Timer();
    main.engine().feed({}, app.clock);
    EXPECT_TRUE(c.La11->isHidden());

    c.PCon1->setCurrentWidget(c.TS2);
    EXPECT_FALSE(main.dynamicWeighingAllowed());
}

}  // namespace

namespace {

// The zero button sets the zero of both platforms to the load standing on them when it is
// within the manual zero range (Zman, 1000 kg), and is released either way.
TEST(MainWindowLiveWeight, ZeroButtonZeroesThePlatformsWithinItsRange) {
    struct Case {
        int platform1, platform2;
        QString weightAfter, platform1After, platform2After;
    };
    for (const Case& c :
         {Case{400, 200, "0 кг", "0", "0"}, Case{600, 500, "1100 кг", "600", "500"}}) {
        AppFixture app;
        TMain& main = app.start();
        const MainControls& ui = main.controls();
        standOnTheScale(main, 0, 0);  // the zero of the start-up
        standOnTheScale(main, c.platform1, c.platform2);
        EXPECT_EQ(ui.Lw->text(), QString("%1 кг").arg(c.platform1 + c.platform2));

        ui.SBut01->click();
        ASSERT_TRUE(ui.SBut01->isChecked());
        standOnTheScale(main, c.platform1, c.platform2);
        EXPECT_FALSE(ui.SBut01->isChecked());
        EXPECT_EQ(ui.Lw->text(), c.weightAfter);
        EXPECT_EQ(ui.Lw0->text(), c.platform1After);
        EXPECT_EQ(ui.Lw1->text(), c.platform2After);
    }
}

}  // namespace
