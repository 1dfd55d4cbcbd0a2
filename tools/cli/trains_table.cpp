#include "cli/trains_table.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <stdexcept>

#include "central/connection_params.h"
#include "central/outbox_listener.h"
#include "integrity/event_action.h"
#include "integrity/events.h"
#include "integrity/records_integrity.h"
#include "records/clock.h"
#include "records/records_database.h"
#include "records/records_notifier.h"
#include "records/table_templates.h"
#include "records/train_storage.h"
#include "replay/file_error.h"

namespace zv {

namespace {

class MessageLog : public RecordsNotifier {
  public:
    void information(const QString& text) override {
        Events::recordRecordsMessage(text);  // a table made by the opening, as the program logs it
        messages.push_back(
            QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")).toStdString());
    }
    std::vector<std::string> messages;
};

// DBOpen copies the tables it lacks from templates in the program folder; the tool writes
// its own, so that it works wherever it is installed.
class TemplateFolder {
  public:
    TemplateFolder() {
        if (!dir_.isValid()) throw std::runtime_error("Cannot create a temporary folder");
        writeTemplates(dir_.path());
    }
    QString path() const { return dir_.path(); }

  private:
    QTemporaryDir dir_;
};

// The program falls back to its own "DB" folder when the folder of the tables cannot be
// made; for the tool that folder is a temporary one, so a folder it cannot make is an error.
QString tablesFolder(const std::string& folder) {
    const QString path = QString::fromStdString(folder);
    if (!QDir().mkpath(path)) throw std::runtime_error(fileError("Cannot create folder", folder));
    return QDir(path).absolutePath() + u'/';
}

// The tool's events go to the log of the folder it writes, for as long as it writes there.
class EventsInstalled {
  public:
    explicit EventsInstalled(RecordsIntegrity& integrity) { Events::install(&integrity); }
    ~EventsInstalled() { Events::install(nullptr); }
    EventsInstalled(const EventsInstalled&) = delete;
    EventsInstalled& operator=(const EventsInstalled&) = delete;
};

TrainsTableRow readBack(const Row& row) {
    TrainsTableRow r;
    r.train = row.toInt(QStringLiteral("Train"));
    r.time = row.value(QStringLiteral("Time"))
                 .toDateTime()
                 .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
                 .toStdString();
    r.wagon = row.value(QStringLiteral("Wagon")).toString().toStdString();
    StoredWagonRow& v = r.values;
    v.Weight = row.toInt(QStringLiteral("Weight"));
    v.Wei1 = row.toInt(QStringLiteral("Wei1"));
    v.Wei2 = row.toInt(QStringLiteral("Wei2"));
    v.Wei3 = row.toInt(QStringLiteral("Wei3"));
    v.Direc = row.toInt(QStringLiteral("Direc"));
    v.Note = row.toInt(QStringLiteral("Note"));
    v.Axle = row.toInt(QStringLiteral("Axle"));
    v.Speed = row.toInt(QStringLiteral("Speed"));
    v.BaseW = row.toInt(QStringLiteral("BaseW"));
    v.BaseB = row.toInt(QStringLiteral("BaseB"));
    v.WeiL = row.toInt(QStringLiteral("WeiL"));
    return r;
}

}  // namespace

StoredTrains storeTrainsInFolder(const std::string& folder, const Settings& settings, const QString& settingsFile,
                                 const std::vector<StoredTrain>& trains) {
    Settings tableSettings = settings;
    tableSettings.Path = tablesFolder(folder).toStdString();
    TemplateFolder templates;
    SystemClock clock;
    MessageLog log;
    central::OutboxListener outbox;
    RecordsDatabase records(tableSettings, templates.path(), clock, log);
    // Sealed and logged as the program's, so that its check finds nothing amiss.
    RecordsIntegrity integrity(records, log, settingsFile);
    const EventsInstalled installed(integrity);
    // With sending on, or in a folder that has sent before, the trains and their events enter
    // the outbox as the program's would.
    const bool sending = central::sending(settings.Central);
    if (sending) records.connection().addWriteListener(&outbox);
    records.DBOpen();
    integrity.tablesOpened();
    const bool queuing = sending || central::keepsOutbox(records);
    if (sending) central::enterExistingRows(outbox, records);
    else if (queuing) records.connection().addWriteListener(&outbox);
    if (queuing)
        integrity.log().setAppended([&](SqliteFile& file, qint64 n) { outbox.eventAppended(file, n); });

    std::vector<int> taken;
    for (const StoredTrain& train : trains) {
        const EventAction logged = EventAction::trainStored();
        if (int n = StoreTrain(records, train); n != 0) taken.push_back(n);
    }
    integrity.collect();
    if (const QString error = integrity.takeError(); !error.isEmpty()) log.information(error);

    // A train of which Trains refused every row leaves its number to the next one.
    taken.erase(std::unique(taken.begin(), taken.end()), taken.end());
    StoredTrains result;
    Table& table = records.Trains();
    for (int n : taken) {
        table.setFilter(QStringLiteral("Train=%1").arg(n));
        table.setFiltered(true);
        const QList<Row> rows = table.readFilteredRows();
        if (rows.isEmpty()) continue;
        result.numbers.push_back(n);
        for (const Row& row : rows) result.rows.push_back(readBack(row));
    }
    result.messages = std::move(log.messages);
    return result;
}

}  // namespace zv
