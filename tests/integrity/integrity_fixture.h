#pragma once

#include "integrity/event_log.h"
#include "integrity/events.h"
#include "integrity/records_integrity.h"
#include "records/records_fixture.h"
#include "records/sqlite_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace zv::test {

inline QDateTime at(int minute) { return QDateTime(QDate(2026, 12, 9), QTime(10, minute)); }

// The tables of a program folder with their seals and event log, opened and closed as the
// program does, and plain SQL on their files behind the program's back.
struct IntegrityFixture : RecordsFixture {
    QString settingsFile = QDir(programDir).filePath(QStringLiteral("ZOLVelt.ini"));
    std::unique_ptr<RecordsIntegrity> integrity;

    ~IntegrityFixture() { stop(); }

    RecordsDatabase& start() {
        open();
        integrity = std::make_unique<RecordsIntegrity>(*records, notifier, settingsFile);
        Events::install(integrity.get());
        integrity->tablesOpened();
        return *records;
    }
    void stop() {
        if (integrity) integrity->collect();
        Events::install(nullptr);
        integrity.reset();
        records.reset();
    }
    QString file(const QString& name) const { return QDir(dbDir()).filePath(name); }
    void sql(const QString& name, const QString& statement) const {
        SqliteFile f;
        f.open(file(name), false);
        f.exec(statement);
    }
    QStringList findings() {
        QStringList texts;
        for (const SealFinding& finding : integrity->check()) texts.append(finding.text());
        return texts;
    }
    // "subject | old -> new" of each event of a kind, in the log's order.
    QStringList told(const QString& kind) {
        QStringList lines;
        for (const Event& e : events(kind)) lines.append(e.subject + " | " + e.oldValue + " -> " + e.newValue);
        return lines;
    }
    QList<Event> events(const QString& kind) {
        integrity->collect();
        return integrity->log().read(EventFilter{{}, {}, kind});
    }
    void addTrain(int train, int minute, int weight) {
        records->Trains().insertRecord({train, at(minute), QVariant(), weight, 0, 0, 0, 0, 1});
    }
};

}  // namespace zv::test
