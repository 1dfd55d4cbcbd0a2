#pragma once

#include <QString>
#include <QStringList>

// The kinds of events of the log, as the log window and its filter show them.
namespace zv::event_kind {

inline const QString StartUp = QStringLiteral("Запуск программы");
inline const QString Shutdown = QStringLiteral("Завершение работы");
inline const QString SettingChanged = QStringLiteral("Изменена настройка");
inline const QString Calibration = QStringLiteral("Калибровка");
inline const QString ZeroNotSet = QStringLiteral("Ноль не установлен");
inline const QString SettingsDamaged = QStringLiteral("Файл настроек поврежден");
inline const QString PortOpened = QStringLiteral("Порт открыт");
inline const QString PortLost = QStringLiteral("Связь потеряна");
inline const QString PortRestored = QStringLiteral("Связь восстановлена");
inline const QString TableCreated = QStringLiteral("Создана таблица");
inline const QString TrainStored = QStringLiteral("Состав сохранен");
inline const QString TrainCut = QStringLiteral("Состав прерван потерей связи");
inline const QString TrainDeleted = QStringLiteral("Состав удален");
inline const QString TrainsRenumbered = QStringLiteral("Составы обнулены");
inline const QString WagonAccepted = QStringLiteral("Вагон принят");
inline const QString WagonReleased = QStringLiteral("Вагон отпущен");
inline const QString WagonNumberConfirmed = QStringLiteral("Подтвержден номер вагона");
inline const QString RowInserted = QStringLiteral("Запись добавлена");
inline const QString RowEdited = QStringLiteral("Запись изменена");
inline const QString RowDeleted = QStringLiteral("Запись удалена");
inline const QString BookArchived = QStringLiteral("Книга архивирована");
inline const QString ShiftChange = QStringLiteral("Смена оператора");
inline const QString WrongAccessCode = QStringLiteral("Неверный код доступа");
inline const QString AccessCodeChanged = QStringLiteral("Код доступа изменен");
inline const QString WrongTablePassword = QStringLiteral("Неверный пароль таблицы");
inline const QString TableSealed = QStringLiteral("Таблица опечатана");
inline const QString IntegrityFinding = QStringLiteral("Нарушение целостности");
inline const QString FindingAcknowledged = QStringLiteral("Нарушение подтверждено");
inline const QString CentralLost = QStringLiteral("Нет связи с центральной базой");
inline const QString CentralRestored = QStringLiteral("Связь с центральной базой восстановлена");
inline const QString CentralRefused = QStringLiteral("Центральная база отклонила записи");
inline const QString GatedPassage = QStringLiteral("Проход при отключенном взвешивании");
inline const QString TrainWeighedLate = QStringLiteral("Состав взвешен после прохода");
inline const QString PassageNotWeighed = QStringLiteral("Состав не взвешен");

// Every kind, in the order the filter lists them.
inline QStringList all() {
    return {StartUp, Shutdown, SettingChanged, Calibration, ZeroNotSet, SettingsDamaged, PortOpened, PortLost, PortRestored,
            TableCreated, TrainStored, TrainCut, TrainDeleted, TrainsRenumbered, WagonAccepted, WagonReleased, WagonNumberConfirmed, RowInserted,
            RowEdited, RowDeleted, BookArchived, ShiftChange, WrongAccessCode, AccessCodeChanged, WrongTablePassword, TableSealed,
            IntegrityFinding, FindingAcknowledged, CentralLost, CentralRestored, CentralRefused,
            GatedPassage, TrainWeighedLate, PassageNotWeighed};
}

}  // namespace zv::event_kind
