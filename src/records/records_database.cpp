#include "records/records_database.h"

#include "records/derived_fields.h"
#include "records/schema.h"
#include "records/table_error.h"
#include "records/table_templates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace zv {

namespace {

const QString kFolderFallbackMessage =
    QStringLiteral("Место расположения базы данных недоступно!\r\nУстанавлено расположение по умолчанию.");

QString dictionaryMessage(const QString& title, const QString& lost) {
    return QStringLiteral("Не найдена таблица \"%1\"!\r\nИнформация о %2 утеряна\r\nБудет создана новая пустая таблица").arg(title, lost);
}

QString newFolderMessage(const QString& folder) {
    return QStringLiteral("В папке %1 не было таблиц базы данных.\r\nДля новой установки созданы новые пустые таблицы и весовая книга.")
        .arg(QDir::toNativeSeparators(QDir::cleanPath(folder)));
}

QString tableMessage(const QString& title) {
    return QStringLiteral("Не найдена таблица \"%1\"!\r\nБудет создана новая пустая таблица").arg(title);
}

// "Trains.db" -> "Trains.px": the index companion a template pair may carry.
QString indexCompanion(const QString& fileName) { return fileName.left(fileName.size() - 2) + QStringLiteral("px"); }

// Copies under another name and renames, so a crash never leaves a half-copied table. The copy
// is shared with the group, not left with the template's permissions.
void copyWithoutOverwriting(const QString& source, const QString& target) {
    if (QFileInfo::exists(target)) return;
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(source, partial)) return;
    QFile copy(partial);
    if (copy.open(QIODevice::ReadWrite)) ::fsync(copy.handle());
    copy.close();
    shareWithGroup(partial);
    if (!QFile::rename(partial, target)) QFile::remove(partial);
}

}  // namespace

QString monthAndYear(const QDate& date) {
    static const char* const kMonths[] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                                          "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
    return QString::fromUtf8(kMonths[date.month() - 1]) + u' ' + QString::number(date.year());
}

RecordsDatabase::RecordsDatabase(Settings& settings, const QString& programDir, const Clock& clock, RecordsNotifier& notifier)
    : settings_(settings), programDir_(programDir), clock_(clock), notifier_(notifier) {
    trains_ = std::make_unique<Table>(connection_, schema::trains());
    wagons_ = std::make_unique<Table>(connection_, schema::wagons());
    book_ = std::make_unique<Table>(connection_, schema::book());
    names_ = std::make_unique<Table>(connection_, schema::names());
    loads_ = std::make_unique<Table>(connection_, schema::loads());
    stations_ = std::make_unique<Table>(connection_, schema::stations());
    clients_ = std::make_unique<Table>(connection_, schema::clients());
    basesW_ = std::make_unique<Table>(connection_, schema::basesW());
    installTrainsFields(*trains_, settings_);
    installWagonsFields(*wagons_, settings_);
    installBookFields(*book_, settings_);
    trains_->setFilter(QStringLiteral("Train=1"));
    trains_->setFiltered(true);
    names_->setFilter(QStringLiteral("N>0"));
    loads_->setFilter(QStringLiteral("N>1"));

    dsouT_ = std::make_unique<TableModel>(*trains_);
    dsouW_ = std::make_unique<TableModel>(*wagons_);
    dsouB_ = std::make_unique<TableModel>(*book_);
    dsouN_ = std::make_unique<TableModel>(*names_);
    dsouL_ = std::make_unique<TableModel>(*loads_);
    dsouS_ = std::make_unique<TableModel>(*stations_);
    dsouC_ = std::make_unique<TableModel>(*clients_);
    dsouBW_ = std::make_unique<TableModel>(*basesW_);
    setBookOfThisMonth();
}

RecordsDatabase::~RecordsDatabase() {
    // The links go first: closing the tables must not reach a half-destroyed model.
    dsouT_.reset(); dsouW_.reset(); dsouB_.reset(); dsouN_.reset();
    dsouL_.reset(); dsouS_.reset(); dsouC_.reset(); dsouBW_.reset();
    try {
        connection_.closeAll();
    } catch (const TableError&) {
        // A pending edit that cannot be posted at exit is dropped; the caller posts before closing.
    }
}

void RecordsDatabase::setBookOfThisMonth() { book_->setFileName(schema::bookFileName(clock_.now().date())); }

void RecordsDatabase::DBOpen() {
    openFolder();
    newFolder_ = folderHoldsNoTables();
    madeFiles_.clear();
    connection_.clearPasswords();
    connection_.addPassword(schema::kDictionaryPassword);
    openDictionary(*loads_, dictionaryMessage(QStringLiteral("Грузы"), QStringLiteral("грузах")));
    openDictionary(*stations_, dictionaryMessage(QStringLiteral("Станции"), QStringLiteral("станциях")));
    openDictionary(*clients_, dictionaryMessage(QStringLiteral("Клиенты"), QStringLiteral("получателях/отправителях грузов")));
    openDictionary(*basesW_, dictionaryMessage(QStringLiteral("Базы вагонов"), QStringLiteral("базах вагонов")));
    connection_.addPassword(schema::kTablePassword);
    openFromTemplate(*names_, tableMessage(QStringLiteral("Операторы весов")));
    openFromTemplate(*trains_, tableMessage(QStringLiteral("Составы")));
    selectLatestTrain();
    openFromTemplate(*wagons_, tableMessage(QStringLiteral("Вагоны на территории")));
    openBook();
    if (newFolder_) notifier_.information(newFolderMessage(connection_.folder()));
}

// A folder without a single table of the program, a book of any month included, is a new
// installation's (or a newly chosen empty folder), not one whose tables went missing.
bool RecordsDatabase::folderHoldsNoTables() const {
    for (const Table* table : {loads_.get(), stations_.get(), clients_.get(), basesW_.get(), names_.get(), trains_.get(),
                               wagons_.get(), book_.get()})
        if (table->isOpen() || table->exists()) return false;
    return QDir(connection_.folder()).entryList({QStringLiteral("Book*.db")}, QDir::Files).isEmpty();
}

void RecordsDatabase::tellMissing(const QString& text) {
    if (!newFolder_) notifier_.information(text);
}

void RecordsDatabase::openFolder() {
    QString folder = QString::fromStdString(settings_.Path);
    if (folder.isEmpty()) folder = QDir(programDir_).filePath(QStringLiteral("DB"));
    if (!QDir(folder).exists() && !QDir().mkdir(folder)) {
        notifier_.information(kFolderFallbackMessage);
        folder = QDir(programDir_).filePath(QStringLiteral("DB"));
        QDir().mkdir(folder);
        // The settings keep the folder in use, so the next save writes it.
        settings_.Path = (folder + QDir::separator()).toStdString();
    }
    connection_.setFolder(folder);
}

void RecordsDatabase::openDictionary(Table& table, const QString& missingMessage) {
    if (!table.isOpen() && !table.exists()) {
        tellMissing(missingMessage);
        table.create();  // with its two default rows, in one step
    }
    table.open();
}

void RecordsDatabase::openFromTemplate(Table& table, const QString& missingMessage) {
    if (!table.isOpen() && !table.exists()) {
        tellMissing(missingMessage);
        copyTemplate(table);
    }
    table.open();
}

void RecordsDatabase::copyTemplate(const Table& table) {
    // A missing template is not reported here: the open that follows fails with the engine's error.
    // The index companion ("t.ttx") exists only beside templates of other engines.
    const QString source = QDir(programDir_).filePath(templateFileName(table.def().name));
    const QString target = table.filePath();
    copyWithoutOverwriting(source, target);
    madeFiles_.append(QFileInfo(target).absoluteFilePath());
    const QString sourceIndex = source.left(source.size() - 1) + u'x';
    if (QFileInfo::exists(sourceIndex)) copyWithoutOverwriting(sourceIndex, indexCompanion(target));
}

void RecordsDatabase::selectLatestTrain() {
    dsouT_->detach();
    trains_->setFiltered(false);
    trains_->last();
    if (trains_->hasCurrentRow() && !trains_->isNull(QStringLiteral("Train"))) selectedTrain_ = trains_->toInt(QStringLiteral("Train"));
    showSelectedTrain();
    dsouT_->attach();
}

void RecordsDatabase::showSelectedTrain() {
    trains_->setFilter(QStringLiteral("Train=%1").arg(selectedTrain_));
    trains_->setFiltered(true);
}

void RecordsDatabase::openBook() {
    if (!book_->isOpen() && !book_->exists()) {
        tellMissing(QStringLiteral("Будет создана новая весовая книга на %1\r\n%2")
                                  .arg(monthAndYear(clock_.now().date()), book_->fileName()));
        copyTemplate(*book_);
    }
    book_->open();
}

}  // namespace zv
