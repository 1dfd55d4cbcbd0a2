#include "wagon_search/wagon_sightings.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <functional>

#include "admin/archiving.h"
#include "records/database.h"
#include "records/derived_fields.h"
#include "records/schema.h"
#include "records/table.h"
#include "records/table_error.h"

namespace zv {

namespace {

QString text(const Table& table, const Row& row, const char* field) {
    return table.displayText(row, QString::fromLatin1(field));
}

// "Book[12.2026].db" -> "12.2026".
QString monthOf(const QString& bookFile) {
    const qsizetype open = bookFile.indexOf(u'['), close = bookFile.indexOf(u']');
    return open >= 0 && close > open ? bookFile.mid(open + 1, close - open - 1) : bookFile;
}

WagonSighting bookSighting(const Table& book, const Row& row) {
    WagonSighting s;
    s.kind = WagonSighting::Kind::Book;
    s.rowId = row.rowId();
    s.time = row.value(QStringLiteral("Time1")).toDateTime();
    s.train = text(book, row, "Train1");
    if (const QString out = text(book, row, "Train2"); !out.isEmpty()) s.train += QStringLiteral(" / ") + out;
    s.accepted = text(book, row, "Time1");
    s.released = text(book, row, "Time2");
    s.gross = text(book, row, "Brut");
    s.tare = text(book, row, "Tare");
    if (s.tare.isEmpty() && !row.isNull(QStringLiteral("TareD")))
        s.tare = text(book, row, "TareD") + QStringLiteral(" (по док.)");
    s.net = text(book, row, "Nett");
    s.note = text(book, row, "Note");
    return s;
}

WagonSighting trainsSighting(const Table& trains, const Row& row) {
    WagonSighting s;
    s.kind = WagonSighting::Kind::Trains;
    s.place = QStringLiteral("Составы");
    s.rowId = row.rowId();
    s.time = row.value(QStringLiteral("Time")).toDateTime();
    s.train = text(trains, row, "Train");
    s.accepted = text(trains, row, "Time");
    s.weight = text(trains, row, "Weight");
    s.note = text(trains, row, "Note1");
    return s;
}

// What makes two copies of a book row the same row.
QString rowKey(const QString& fileName, const WagonSighting& s) {
    return QStringList{fileName.toLower(), s.accepted, s.released, s.train, s.gross, s.tare}.join(u'|');
}

class Search {
  public:
    Search(const QString& number, const Settings& settings, QStringList* unread)
        : number_(number), settings_(settings), unread_(unread) {}

    void books(const QString& folder, const QString& place, bool onlyNew) {
        for (const QString& file : booksIn(folder)) {
            read(folder, file, schema::book(), installBookFields, [&](const Table& t, const Row& r) {
                WagonSighting s = bookSighting(t, r);
                const QString key = rowKey(file, s);
                if (onlyNew && seen_.contains(key)) return;
                seen_.insert(key);
                s.place = place.isEmpty() ? QStringLiteral("Весовая книга %1").arg(monthOf(file)) : place;
                add(std::move(s), folder, file);
            });
        }
    }

    void trains(const QString& folder) {
        const QString file = QStringLiteral("Trains.db");
        read(folder, file, schema::trains(), installTrainsFields,
             [&](const Table& t, const Row& r) { add(trainsSighting(t, r), folder, file); });
    }

    QList<WagonSighting> result() {
        std::stable_sort(found_.begin(), found_.end(),
                         [](const WagonSighting& a, const WagonSighting& b) { return a.time < b.time; });
        return found_;
    }

  private:
    using Install = void (*)(Table&, const Settings&);
    using Visit = std::function<void(const Table&, const Row&)>;

    void read(const QString& folder, const QString& file, TableDef def, Install install,
              const Visit& visit) {
        Database db;
        db.setFolder(folder);
        db.addPassword(schema::kTablePassword);
        Table table(db, std::move(def));
        table.setFileName(file);
        if (!table.exists()) return;
        install(table, settings_);
        try {
            table.open();
            table.setFilter(QStringLiteral("Wagon = '%1'").arg(number_));
            table.setFiltered(true);
            for (const Row& row : table.readFilteredRows()) visit(table, row);
        } catch (const TableError&) {
            if (unread_) unread_->append(QDir(folder).filePath(file));
        }
    }

    void add(WagonSighting s, const QString& folder, const QString& file) {
        s.folder = folder;
        s.fileName = file;
        found_.append(std::move(s));
    }

    QString number_;
    const Settings& settings_;
    QStringList* unread_;
    QSet<QString> seen_;
    QList<WagonSighting> found_;
};

}  // namespace

QList<WagonSighting> findWagon(const QString& number, const WagonSearchFolders& folders,
                               const Settings& settings, QStringList* unread) {
    // Only digits reach a filter: anything else cannot be a wagon number.
    if (number.isEmpty() || !std::all_of(number.begin(), number.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return {};
    Search search(number, settings, unread);
    search.books(folders.tables, {}, false);
    search.trains(folders.tables);
    if (!folders.archives.isEmpty() && QDir(folders.archives) != QDir(folders.tables))
        for (const QString& archive : archivesIn(folders.archives))
            search.books(QDir(folders.archives).filePath(archive),
                         QStringLiteral("Архив %1").arg(archive), true);
    return search.result();
}

}  // namespace zv
