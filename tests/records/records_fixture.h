#pragma once

#include "records/clock.h"
#include "records/records_database.h"
#include "records/records_notifier.h"
#include "records/schema.h"
#include "records/table_templates.h"
#include "settings/settings.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QStringList>

#include <memory>

namespace zv::test {

class FixedClock : public Clock {
public:
    QDateTime time = QDateTime(QDate(2026, 12, 9), QTime(14, 3, 27, 125));
    QDateTime now() const override { return time; }
};

class RecordingNotifier : public RecordsNotifier {
public:
    QStringList messages;
    void information(const QString& text) override { messages.append(text); }
};

// A program folder with the template files and a folder of working tables "DB" in it.
struct RecordsFixture {
    TempDir dir;
    QString programDir = QString::fromStdString(dir.path().string());
    Settings settings;
    FixedClock clock;
    RecordingNotifier notifier;
    std::unique_ptr<RecordsDatabase> records;

    RecordsFixture() {
        writeTemplates(programDir);
        settings.Path = QDir(programDir).filePath(QStringLiteral("DB/")).toStdString();
        QDir(programDir).mkdir(QStringLiteral("DB"));
    }

    QString dbDir() const { return QDir(programDir).filePath(QStringLiteral("DB")); }

    RecordsDatabase& open() {
        records = std::make_unique<RecordsDatabase>(settings, programDir, clock, notifier);
        records->DBOpen();
        return *records;
    }
};

}  // namespace zv::test
