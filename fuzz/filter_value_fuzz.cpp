// A value typed by an operator, put into a filter of the weighing book and run by the table
// engine over a real table file: whatever the value, the filter is refused with a
// TableError or runs; it never crashes, it reads as many rows as it counts, and it never
// changes a stored row (the value is bound, never pasted into SQL).
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "records/database.h"
#include "records/schema.h"
#include "records/table.h"
#include "records/table_error.h"

namespace {

QString quoted(QString value) {
    value.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + value + QLatin1Char('\'');
}

// How the window and the viewer put a typed value into a filter.
QString filterWith(uint8_t form, const QString& v) {
    switch (form % 8) {
        case 0: return QStringLiteral("Wagon=") + v;
        case 1: return QStringLiteral("Wagon=") + quoted(v);
        case 2: return QStringLiteral("Doc<>") + quoted(v) + QStringLiteral(" and Brut>0");
        case 3: return QStringLiteral("Time2>") + quoted(v);
        case 4: return QStringLiteral("Brut>=") + v;
        case 5: return QStringLiteral("(Train1=") + v + QStringLiteral(" or Train2=") + v + u')';
        case 6: return QStringLiteral("((Name2=") + v + QStringLiteral(")or(Name1=") + v + QStringLiteral("))");
        default: return v;  // the whole filter typed
    }
}

struct Book {
    Book() {
        char pattern[] = "/tmp/zolvelt-filter-fuzz-XXXXXX";
        if (!::mkdtemp(pattern)) std::abort();
        database.setFolder(QString::fromLatin1(pattern));
        table = std::make_unique<zv::Table>(database, zv::schema::book());
        table->setFileName(QStringLiteral("Book[12.2026].db"));
        table->create();
        table->open();
        const QDateTime t(QDate(2026, 12, 3), QTime(10, 15));
        for (int i = 0; i < 20; ++i)
            table->insertValues({{"Wagon", QString::number(10000 + i)},
                                 {"Doc", i % 3 ? QStringLiteral("A'%1").arg(i) : QString()},
                                 {"Time2", t.addSecs(600 * i)},
                                 {"Brut", 70000 + 1000 * i},
                                 {"Train1", i % 5},
                                 {"Train2", i % 7},
                                 {"Name1", i % 4},
                                 {"Name2", i % 2}});
        table->setFiltered(true);
        rows = table->recordCount();
    }

    zv::Database database;
    std::unique_ptr<zv::Table> table;
    int rows = 0;
};

Book& book() {
    static Book b;
    return b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    zv::Table& table = *book().table;
    const QString value = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                            static_cast<qsizetype>(size - 1));
    try {
        table.setFilter(filterWith(data[0], value));
        const int counted = table.recordCount();
        int stepped = 0;
        for (table.first(); !table.eof(); table.next()) ++stepped;
        if (counted != stepped || counted > book().rows ||
            table.readFilteredRows().size() != counted)
            std::abort();
    } catch (const zv::TableError&) {
        // refused: the operator sees the message
    }
    table.setFilter(QString());
    if (table.recordCount() != book().rows) std::abort();
    return 0;
}
