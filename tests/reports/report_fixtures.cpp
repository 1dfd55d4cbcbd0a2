#include "reports/report_fixtures.h"

namespace zv::test {

namespace {

const QDateTime kStart(QDate(2026, 3, 5), QTime(8, 0));

QString noteText(int note) {
    switch (note) {
        case 0:
            return QStringLiteral("Обработан");
        case 3:
            return QStringLiteral("Локомотив");
        case 4:
            return QStringLiteral("Проблема в");
        default:
            return {};
    }
}

}  // namespace

std::unique_ptr<MemoryDataset> makeBook() {
    return std::make_unique<MemoryDataset>(
        QStringLiteral("Book"),
        QStringList{"N",       "Wagon",  "Time1", "Time2",    "Train1",  "Train2", "Brut",
                    "BNote",   "Tare",   "TNote", "NLoad",    "WeiL",    "Load",   "Dir",
                    "Station", "Client", "Doc",   "BrutD",    "TareD",   "NettD",  "NLoadD",
                    "TareW",   "Name1",  "Name2", "Note",     "BNote1",  "TNote1", "Nett",
                    "DisL",    "LoadL",  "Dir1",  "StationL", "ClientL", "Name11", "Name21",
                    "WeiL0",   "WeiL1",  "TareN"});
}

std::unique_ptr<MemoryDataset> makeTrains() {
    return std::make_unique<MemoryDataset>(
        QStringLiteral("Trains"),
        QStringList{"Train", "Time", "Wagon", "Weight", "Direc", "Note", "Axle", "Speed", "BaseW",
                    "WeiL", "Direct", "Note1", "WeiL0", "WeiL1"});
}

QVariantMap bookRow(int n) {
    const int brut = 80000 + n;
    const int nett = brut - 24000;
    return {{"N", n + 1},
            {"Wagon", QString::number(52100000 + n)},
            {"Time1", kStart.addSecs(n * 600)},
            {"Time2", kStart.addSecs(n * 600 + 3600)},
            {"Train1", 3},
            {"Train2", 4},
            {"Brut", brut},
            {"BNote", 1},
            {"BNote1", QStringLiteral("Динамика")},
            {"Tare", 24000},
            {"TareN", 24000},
            {"TNote", 0},
            {"TNote1", QStringLiteral("Статика")},
            {"NLoad", 1},
            {"WeiL", 400},
            {"Dir", 0},
            {"Dir1", QStringLiteral("Ввоз")},
            {"Doc", QStringLiteral("Д-%1").arg(n)},
            {"BrutD", 80500},
            {"TareD", 23900},
            {"NettD", 56600},
            {"NLoadD", 1},
            {"TareW", 23800},
            {"Name1", 1},
            {"Name2", 2},
            {"Nett", nett},
            {"LoadL", QStringLiteral("Уголь каменный")},
            {"StationL", QStringLiteral("Станция 1")},
            {"ClientL", QStringLiteral("ООО Клиент 1")},
            {"Name11", QStringLiteral("Иванов И.И.")},
            {"Name21", QStringLiteral("Петров П.П.")},
            {"WeiL0", nett / 2 - 200},
            {"WeiL1", nett - (nett / 2 - 200)}};
}

QVariantMap trainsRow(int train, int note, int weight, int n) {
    return {{"Train", train},
            {"Time", QDateTime(QDate(2026, 3, 5), QTime(8, 0)).addSecs(train * 3600 + n * 20)},
            {"Wagon", QStringLiteral("%1-%2").arg(train).arg(n)},
            {"Weight", weight},
            {"Direc", 0},
            {"Direct", QStringLiteral("Въезд")},
            {"Note", note},
            {"Note1", noteText(note)},
            {"Axle", 4},
            {"Speed", 52},
            {"BaseW", 8650},
            {"WeiL", 500},
            {"WeiL0", weight / 2 - 250},
            {"WeiL1", weight - (weight / 2 - 250)}};
}

std::vector<const DrawItem*> itemsOf(const ReportPage& page, const QString& element) {
    std::vector<const DrawItem*> found;
    for (const DrawItem& item : page.items)
        if (item.element == element) found.push_back(&item);
    return found;
}

QStringList textsOf(const ReportPage& page, const QString& element) {
    QStringList texts;
    for (const DrawItem* item : itemsOf(page, element)) texts << item->text;
    return texts;
}

QStringList textsOf(const ReportDocument& doc, const QString& element) {
    QStringList texts;
    for (const ReportPage& page : doc.pages) texts << textsOf(page, element);
    return texts;
}

}  // namespace zv::test
