#include "app/main_menu.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

QAction* item(QMenu* menu, const char* name, const QString& caption, const QString& hint = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    if (!hint.isEmpty()) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    return action;
}

QMenu* submenu(QWidget* parent, const char* name, const QString& caption) {
    auto* menu = new QMenu(caption, parent);
    menu->setObjectName(name);
    return menu;
}

}  // namespace

MainMenu buildMainMenu(QMainWindow* window) {
    MainMenu m;
    QMenuBar* bar = window->menuBar();
    bar->setObjectName("MainMenu1");

    QMenu* work = submenu(bar, "N1", "&Работа");
    m.StaticWeighing = item(work, "N2", "Статическое взвешивание");
    work->addSeparator();
    m.Shift = item(work, "N3", "Смена");
    work->addSeparator();
    m.Exit = item(work, "FileExit", "&Выход", "Exit this application");
    bar->addMenu(work);

    QMenu* databases = submenu(bar, "N10", "Базы данных");
    m.Location = item(databases, "N11", "Расположение");
    QMenu* view = submenu(databases, "N12", "Просмотр");
    const char* viewNames[] = {"N13", "N14", "N15", "N16", "N17", "N18", "N19"};
    const QString viewCaptions[] = {
        "Весовая книга", "Вагоны на территории",     "Операторы весов", "Грузы",
        "Станции",       "Получатели / отправители", "Базы вагонов"};
    for (std::size_t i = 0; i < m.View.size(); ++i)
        m.View[i] = item(view, viewNames[i], viewCaptions[i]);
    databases->addMenu(view);
    QMenu* reports = submenu(databases, "N21", "Отчеты");
    m.BookReport = item(reports, "N22", "Весовая книга");
    m.N23 = item(reports, "N23", "Составы (динамика)");
    databases->addMenu(reports);
    m.EventLog = item(databases, "NEventLog", "Журнал событий");
    m.CheckRecords = item(databases, "NCheckRecords", "Проверить целостность записей");
    m.SealRecords = item(databases, "NSealRecords", "Опечатать таблицы");
    m.AccessCode = item(databases, "NAccessCode", "Сменить код доступа");
    m.WagonSearch = item(databases, "NWagonSearch", "Поиск вагона");
    bar->addMenu(databases);

    QMenu* setup = submenu(bar, "N30", "&Настройка");
    QMenu* scales = submenu(setup, "N31", "Весы");
    m.Scales[0] = item(scales, "N32", "Подключение");
    m.Scales[1] = item(scales, "N33", "Параметры");
    m.Scales[2] = item(scales, "N34", "Калибровка");
    setup->addMenu(scales);
    m.Program = item(setup, "N35", "Программа");
    bar->addMenu(setup);

    QMenu* help = submenu(bar, "N40", "&Справка");
    m.HelpContents = item(help, "N41", "Вызов справки");
    m.RecordsHelp = item(help, "NRecordsHelp", "Журнал событий и проверка записей");
    m.About = item(help, "HelpAbout", "&О программе...", "Show program information");
    bar->addMenu(help);
    return m;
}
