#include "records/table.h"

#include <utility>

#include "engine/rounding.h"
#include "records/database.h"
#include "records/date_time_text.h"
#include "records/password_hash.h"
#include "records/row_write_listener.h"
#include "records/schema_sql.h"
#include "records/table_error.h"

#include <QFile>
#include <QFileInfo>

#include <limits>

namespace zv {

namespace {

QString quoted(const QString& name) { return u'"' + name + u'"'; }

QString tableTitle(const TableDef& def) { return QStringLiteral("Таблица %1").arg(def.name); }

}  // namespace

Table::Table(Database& database, TableDef def, QObject* parent)
    : QObject(parent), database_(&database), def_(std::move(def)), current_(def_), buffer_(def_) {
    for (int i = 0; i < def_.fields.size(); ++i)
        if (def_.fields[i].isStored()) storedIndexes_.append(i);
    fileName_ = def_.name + QStringLiteral(".db");
    database_->attach(this);
}

Table::~Table() {
    try {
        close();  // commits an open batch
    } catch (const TableError&) {
        // A pending edit that cannot be posted dies with the table; callers post first.
    }
    if (database_) database_->detach(this);
}

// ---------------------------------------------------------------- file

bool shareWithGroup(const QString& path) {
    return QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                                           QFileDevice::WriteUser | QFileDevice::ReadGroup |
                                           QFileDevice::WriteGroup);
}

void Table::setFileName(const QString& fileName) { fileName_ = fileName; }

QString Table::filePath() const { return database_->resolve(fileName_); }

bool Table::exists() const { return QFileInfo(filePath()).isFile(); }

void Table::create(const std::optional<QString>& password) {
    if (exists()) throw TableError(QStringLiteral("%1 уже существует: %2").arg(tableTitle(def_), filePath()));
    // Built under another name and renamed at the end, so a crash never leaves a half-made table.
    const QString path = filePath();
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    SqliteFile file;
    try {
        file.open(partial, true);
        file.exec(QStringLiteral("BEGIN"));
        for (const QString& sql : createTableSql(def_)) file.exec(sql);
        writeDefaultRows(file);
        if (password) writePasswordHash(file, *password);
        file.exec(QStringLiteral("COMMIT"));
        file.close();
        shareWithGroup(partial);
        if (!QFile::rename(partial, path)) throw TableError(QStringLiteral("файл не переименован"));
    } catch (const TableError& error) {
        file.close();
        QFile::remove(partial);
        throw TableError(QStringLiteral("Не удается создать таблицу %1: %2").arg(path, error.message()));
    }
}

void Table::writeDefaultRows(SqliteFile& file) const {
    for (const QVariantList& values : def_.defaultRows) {
        QStringList columns;
        for (int i = 0; i < values.size(); ++i) columns.append(quoted(def_.fields[storedIndexes_[i]].name));
        SqlStatement insert = file.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                               .arg(quoted(def_.name), columns.join(u','),
                                                    QStringList(columns.size(), QStringLiteral("?")).join(u',')));
        insert.bindAll(values);
        insert.step();
    }
}

void Table::writePasswordHash(SqliteFile& file, const QString& password) const {
    const PasswordHash hash = PasswordHash::make(password);
    file.exec(QStringLiteral("CREATE TABLE %1 (key TEXT PRIMARY KEY, value BLOB)").arg(kMetaTable));
    SqlStatement insert = file.prepare(QStringLiteral("INSERT INTO %1 VALUES (?, ?), (?, ?)").arg(kMetaTable));
    insert.bindAll({QStringLiteral("password_salt"), QString::fromLatin1(hash.salt.toHex()), QStringLiteral("password_hash"),
                    QString::fromLatin1(hash.hash.toHex())});
    insert.step();
}

void Table::open() {
    if (isOpen()) return;
    if (!exists()) throw TableError(QStringLiteral("Не найдена таблица %1").arg(filePath()));
    try {
        file_.open(filePath(), false);
        verifyStructure();
        verifyPassword();
    } catch (...) {
        statements_.clear();
        file_.close();
        throw;
    }
    state_ = State::Browse;
    first();
    notifyRowsChanged();
}

void Table::verifyStructure() {
    SqlStatement columns = file_.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"));
    columns.bind(1, def_.name);
    QStringList present;
    while (columns.step()) present.append(columns.column(0).toString());
    for (int index : storedIndexes_) {
        if (!present.contains(def_.fields[index].name, Qt::CaseInsensitive))
            throw TableError(QStringLiteral("Таблица %1 повреждена: нет поля %2").arg(filePath(), def_.fields[index].name));
    }
}

void Table::verifyPassword() {
    SqlStatement meta = file_.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name=?"));
    meta.bind(1, QString::fromLatin1(kMetaTable));
    meta.step();
    if (meta.columnInt64(0) == 0) return;  // not protected

    SqlStatement read = file_.prepare(QStringLiteral("SELECT key, value FROM %1").arg(kMetaTable));
    PasswordHash stored;
    while (read.step()) {
        const QByteArray value = QByteArray::fromHex(read.column(1).toString().toLatin1());
        if (read.column(0).toString() == u"password_salt") stored.salt = value;
        if (read.column(0).toString() == u"password_hash") stored.hash = value;
    }
    if (stored.hash.isEmpty()) return;
    for (const QString& password : database_->passwords())
        if (stored.matches(password)) return;
    throw TableError(QStringLiteral("Неверный пароль таблицы %1").arg(filePath()));
}

void Table::close() {
    if (!isOpen()) return;
    std::exception_ptr postError;
    try {
        checkBrowseMode();
    } catch (const TableError&) {
        cancel();
        postError = std::current_exception();
    }
    if (file_.inTransaction()) commit();
    statements_.clear();
    writes_.clear();
    file_.close();
    state_ = State::Closed;
    hasRow_ = false;
    bof_ = eof_ = true;
    current_ = Row(def_);
    notifyRowsChanged();
    if (postError) std::rethrow_exception(postError);
}

void Table::requireOpen() const {
    if (!isOpen()) throw TableError(QStringLiteral("%1 закрыта").arg(tableTitle(def_)));
}

// ---------------------------------------------------------------- reading

QString Table::activeCondition() const { return filtered_ ? filterExpr_.sqlCondition() : QStringLiteral("1"); }

QVariantList Table::activeParameters() const { return filtered_ ? filterExpr_.sqlParameters() : QVariantList(); }

QString Table::columnList() const {
    QString list = QStringLiteral("rowid");
    for (int index : storedIndexes_) list += u',' + quoted(def_.fields[index].name);
    return list;
}

QString Table::selectSql(const QString& extraCondition, const QString& order) const {
    QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE (%3)").arg(columnList(), quoted(def_.name), activeCondition());
    if (!extraCondition.isEmpty()) sql += QStringLiteral(" AND ") + extraCondition;
    if (!order.isEmpty()) sql += QStringLiteral(" ORDER BY %1 %2 LIMIT 1").arg(quoted(def_.primaryKey), order);
    return sql;
}

SqlStatement& Table::cached(const QString& sql) const {
    auto it = statements_.find(sql);
    if (it == statements_.end()) {
        if (statements_.size() > 64) statements_.clear();
        it = statements_.emplace(sql, std::make_unique<SqlStatement>(file_.prepare(sql))).first;
    }
    it->second->reset();
    return *it->second;
}

Row Table::readRow(const SqlStatement& statement, bool derived) const {
    Row row(def_);
    row.setRowId(statement.columnInt64(0));
    for (int i = 0; i < storedIndexes_.size(); ++i) {
        const int index = storedIndexes_[i];
        row.setAt(index, fromStorage(def_.fields[index], statement.column(i + 1)));
    }
    if (derived) computeDerived(row);
    return row;
}

std::optional<Row> Table::fetchOne(const QString& extraCondition, const QVariantList& extraParameters,
                                   const QString& order) const {
    SqlStatement& statement = cached(selectSql(extraCondition, order));
    statement.bindAll(activeParameters() + extraParameters);
    std::optional<Row> row;
    if (statement.step()) row = readRow(statement);
    statement.reset();
    return row;
}

std::optional<Row> Table::storedRow(qint64 rowId, bool derived) const {
    requireOpen();
    SqlStatement& statement = cached(QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?").arg(columnList(), quoted(def_.name)));
    statement.bind(1, rowId);
    std::optional<Row> row;
    if (statement.step()) row = readRow(statement, derived);
    statement.reset();
    return row;
}

QList<Row> Table::readFilteredRows() const {
    requireOpen();
    SqlStatement statement = file_.prepare(selectSql({}, {}) + QStringLiteral(" ORDER BY ") + quoted(def_.primaryKey));
    statement.bindAll(activeParameters());
    QList<Row> rows;
    while (statement.step()) rows.append(readRow(statement));
    return rows;
}

void Table::computeDerived(Row& row) const {
    row.clearDerived();
    for (int i = 0; i < def_.fields.size(); ++i) {
        const FieldDef& field = def_.fields[i];
        if (field.kind != FieldKind::Lookup || !database_) continue;
        const Table* source = database_->table(field.lookup->lookupTable);
        const QVariant key = row.valueAt(def_.requireIndex(field.lookup->keyField));
        if (source && !key.isNull()) row.setAt(i, source->lookup(source->def().primaryKey, key, field.lookup->resultField));
    }
    if (calcHandler_) calcHandler_(row);
}

QVariant Table::lookup(const QString& keyField, const QVariant& key, const QString& resultField) const {
    if (!isOpen() || key.isNull()) return {};
    const FieldDef& keyDef = def_.field(keyField);
    const FieldDef& resultDef = def_.field(resultField);
    SqlStatement& statement = cached(QStringLiteral("SELECT %1 FROM %2 WHERE %3=? LIMIT 1")
                                         .arg(quoted(resultDef.name), quoted(def_.name), quoted(keyDef.name)));
    statement.bind(1, storageForm(keyDef, key));
    QVariant result;
    if (statement.step()) result = fromStorage(resultDef, statement.column(0));
    statement.reset();
    return result;
}

QVariant Table::fromStorage(const FieldDef& field, const QVariant& stored) const {
    if (stored.isNull()) return {};
    switch (field.type) {
    case FieldType::DateTime: return dateTimeFromStorage(stored.toString());
    case FieldType::Text: return stored.toString();
    default: return stored.toInt();
    }
}

QVariant Table::storageForm(const FieldDef& field, const QVariant& value) const {
    if (value.isNull()) return {};
    switch (field.type) {
    case FieldType::DateTime: {
        const QDateTime time = value.typeId() == QMetaType::QDateTime ? value.toDateTime()
                                                                      : parseDateTimeText(value.toString()).value_or(QDateTime());
        return dateTimeToStorage(time);
    }
    case FieldType::Text: return value.toString();
    default: return value.toLongLong();
    }
}

QVariant Table::keyOf(const Row& row) const { return storageForm(def_.field(def_.primaryKey), row.value(def_.primaryKey)); }

// ---------------------------------------------------------------- navigation

void Table::checkBrowseMode() {
    if (holdsOnlyProposedKey()) return cancel();
    if (state_ == State::Edit || state_ == State::Insert) post();
}

void Table::moveTo(const std::optional<Row>& row, bool bof, bool eof) {
    hasRow_ = row.has_value();
    current_ = row ? *row : Row(def_);
    bof_ = bof || !hasRow_;
    eof_ = eof || !hasRow_;
    emit currentChanged();
}

void Table::first() {
    requireOpen();
    checkBrowseMode();
    moveTo(fetchOne({}, {}, QStringLiteral("ASC")), true, false);
}

void Table::last() {
    requireOpen();
    checkBrowseMode();
    moveTo(fetchOne({}, {}, QStringLiteral("DESC")), false, true);
}

void Table::next() {
    requireOpen();
    checkBrowseMode();
    if (!hasRow_) return moveTo(std::nullopt, true, true);
    const auto row = fetchOne(quoted(def_.primaryKey) + QStringLiteral(" > ?"), {keyOf(current_)}, QStringLiteral("ASC"));
    if (row) return moveTo(row, false, false);
    eof_ = true;
}

void Table::prior() {
    requireOpen();
    checkBrowseMode();
    if (!hasRow_) return moveTo(std::nullopt, true, true);
    const auto row = fetchOne(quoted(def_.primaryKey) + QStringLiteral(" < ?"), {keyOf(current_)}, QStringLiteral("DESC"));
    if (row) return moveTo(row, false, false);
    bof_ = true;
}

bool Table::isEmpty() const {
    requireOpen();
    SqlStatement& statement = cached(QStringLiteral("SELECT 1 FROM %1 WHERE (%2) LIMIT 1").arg(quoted(def_.name), activeCondition()));
    statement.bindAll(activeParameters());
    const bool empty = !statement.step();
    statement.reset();
    return empty;
}

int Table::recordCount() const {
    requireOpen();
    SqlStatement& statement = cached(QStringLiteral("SELECT count(*) FROM %1 WHERE (%2)").arg(quoted(def_.name), activeCondition()));
    statement.bindAll(activeParameters());
    statement.step();
    const int count = static_cast<int>(statement.columnInt64(0));
    statement.reset();
    return count;
}

bool Table::findKey(const QVariant& key) {
    requireOpen();
    checkBrowseMode();
    if (key.isNull()) return false;
    const auto row = fetchOne(quoted(def_.primaryKey) + QStringLiteral(" = ?"),
                              {storageForm(def_.field(def_.primaryKey), key)}, QStringLiteral("ASC"));
    if (!row) return false;
    moveTo(row, false, false);
    return true;
}

bool Table::locateRowId(qint64 rowId) {
    requireOpen();
    checkBrowseMode();
    const auto row = fetchOne(QStringLiteral("rowid = ?"), {rowId}, QStringLiteral("ASC"));
    if (!row) return false;
    moveTo(row, false, false);
    return true;
}

// ---------------------------------------------------------------- filter

void Table::setFilter(const QString& expression) {
    FilterExpression parsed = FilterExpression::parse(expression, def_);  // throws before anything changes
    if (isOpen()) checkBrowseMode();
    filterText_ = expression;
    filterExpr_ = std::move(parsed);
    if (isOpen() && filtered_) {
        first();
        notifyRowsChanged();
    }
}

void Table::setFiltered(bool on) {
    if (on == filtered_) return;
    if (isOpen()) checkBrowseMode();
    filtered_ = on;
    if (isOpen()) {
        first();
        notifyRowsChanged();
    }
}

// ---------------------------------------------------------------- editing

const Row& Table::currentRow() const {
    requireOpen();
    return state_ == State::Browse ? current_ : buffer_;
}

QVariant Table::value(const QString& field) const { return currentRow().value(field); }

void Table::setValue(const QString& field, const QVariant& value) {
    if (state_ != State::Edit && state_ != State::Insert)
        throw TableError(QStringLiteral("%1 не в режиме редактирования").arg(tableTitle(def_)));
    const FieldDef& def = def_.field(field);
    buffer_.set(def.name, checkedValue(def, value));
    onlyProposedKey_ = false;
    computeDerived(buffer_);
    emit currentChanged();
}

QVariant Table::checkedValue(const FieldDef& field, const QVariant& value) const {
    if (!field.isStored() || field.readOnly)
        throw TableError(QStringLiteral("Поле %1 нельзя изменить").arg(field.name));
    const bool blankText = value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty();
    if (value.isNull() || !value.isValid() || blankText) return {};

    if (field.type == FieldType::Text) {
        const QString text = value.toString();
        if (text.size() > field.size)
            throw TableError(QStringLiteral("Поле %1: текст \"%2\" длиннее %3 символов").arg(field.name, text).arg(field.size));
        return text;
    }
    if (field.type == FieldType::DateTime) {
        const QDateTime time = value.typeId() == QMetaType::QDateTime ? value.toDateTime()
                                                                      : parseDateTimeText(value.toString()).value_or(QDateTime());
        if (!time.isValid()) throw TableError(QStringLiteral("Поле %1: \"%2\" не является датой и временем").arg(field.name, value.toString()));
        return time;
    }

    qint64 number = 0;
    bool ok = true;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        const double real = value.toDouble();
        ok = std::abs(real) < 2147483647.0;
        number = ok ? roundHalfEven(real) : 0;
    } else if (value.typeId() == QMetaType::QString) {
        number = value.toString().trimmed().toLongLong(&ok);
    } else {
        number = value.toLongLong(&ok);
    }
    if (!ok) throw TableError(QStringLiteral("Поле %1: \"%2\" не является целым числом").arg(field.name, value.toString()));

    const qint64 typeMin = field.type == FieldType::Int16 ? -32768 : std::numeric_limits<qint32>::min();
    const qint64 typeMax = field.type == FieldType::Int16 ? 32767 : std::numeric_limits<qint32>::max();
    const qint64 low = field.range ? field.range->min : typeMin;
    const qint64 high = field.range ? field.range->max : typeMax;
    if (number < low || number > high)
        throw TableError(QStringLiteral("Поле %1: значение %2 вне допустимого диапазона %3..%4")
                             .arg(field.name).arg(number).arg(low).arg(high));
    return static_cast<int>(number);
}

void Table::checkRequired(const Row& row) const {
    for (const FieldDef& field : def_.fields)
        if (field.required && row.isNull(field.name))
            throw TableError(QStringLiteral("Поле %1 должно иметь значение").arg(field.name));
}

void Table::edit() {
    requireOpen();
    if (state_ != State::Browse) return;
    if (!hasRow_) return insert();  // editing an empty set starts a new row
    buffer_ = current_;
    state_ = State::Edit;
}

void Table::insert() {
    requireOpen();
    checkBrowseMode();
    buffer_ = Row(def_);
    computeDerived(buffer_);
    state_ = State::Insert;
    onlyProposedKey_ = false;
    emit currentChanged();
}

QVariant Table::nextFreeKey() const {
    requireOpen();
    const FieldDef& key = def_.field(def_.primaryKey);
    if (key.type != FieldType::Int16 && key.type != FieldType::Int32) return {};
    SqlStatement& largest = cached(QStringLiteral("SELECT MAX(%1) FROM %2").arg(quoted(key.name), quoted(def_.name)));
    const bool any = largest.step() && largest.column(0).isValid();
    const qint64 next = any ? largest.columnInt64(0) + 1 : 1;
    largest.reset();
    const qint64 top = key.range ? key.range->max : (key.type == FieldType::Int16 ? 32767 : 2147483647);
    return next <= top ? QVariant(next) : QVariant();
}

void Table::insertWithNextKey() {
    insert();
    const QVariant key = nextFreeKey();
    if (key.isNull()) return;
    setValue(def_.primaryKey, key);
    onlyProposedKey_ = true;
}

void Table::writeRow(Row& row, bool isNew) {
    const FieldDef& key = def_.field(def_.primaryKey);
    const QVariant keyValue = storageForm(key, row.value(key.name));
    if (keyValue.isNull() && key.type != FieldType::AutoInc)
        throw TableError(QStringLiteral("Поле %1 (ключ таблицы %2) должно иметь значение").arg(key.name, def_.name));
    if (!keyValue.isNull()) {
        SqlStatement& duplicate = cached(QStringLiteral("SELECT 1 FROM %1 WHERE %2=? AND rowid<>?").arg(quoted(def_.name), quoted(key.name)));
        duplicate.bindAll({keyValue, isNew ? qint64(0) : row.rowId()});
        const bool taken = duplicate.step();
        duplicate.reset();
        if (taken) throw TableError(QStringLiteral("В таблице %1 уже есть запись с ключом %2 = %3").arg(def_.shownName(), key.name, keyValue.toString()));
    }

    QStringList columns;
    QVariantList values;
    for (int index : storedIndexes_) {
        const FieldDef& field = def_.fields[index];
        if (field.type == FieldType::AutoInc && row.valueAt(index).isNull()) continue;
        columns.append(quoted(field.name));
        values.append(storageForm(field, row.valueAt(index)));
    }
    QString sql;
    if (isNew) {
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoted(def_.name), columns.join(u','), QStringList(columns.size(), QStringLiteral("?")).join(u','));
    } else {
        sql = QStringLiteral("UPDATE %1 SET %2=? WHERE rowid=?").arg(quoted(def_.name), columns.join(QStringLiteral("=?,")));
        values.append(row.rowId());
    }
    SqlStatement& statement = cached(sql);
    statement.bindAll(values);
    statement.step();
    statement.reset();
    row.setRowId(isNew ? file_.lastInsertRowId() : row.rowId());
}

bool Table::hasWriteListeners() const { return database_ && !database_->writeListeners().isEmpty(); }

// Without listeners a write is one statement in its own transaction, as it always was; with
// them the write and what the listeners add share one transaction (a savepoint inside a batch).
void Table::inWriteTransaction(const std::function<void()>& write) {
    // Inside a guarded step the step's savepoint already undoes a failing write whole.
    if (!hasWriteListeners() || guardedStep_) return write();
    const bool own = !file_.inTransaction();
    const qsizetype told = writes_.size();
    // Prepared once: a train stores a hundred rows, each in a savepoint of its own.
    runCached(own ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("SAVEPOINT zv_write"));
    try {
        write();
        own ? commit() : runCached(QStringLiteral("RELEASE zv_write"));
    } catch (...) {
        try {
            if (own) {
                rollBack();
            } else {
                writes_.resize(told);
                file_.exec(QStringLiteral("ROLLBACK TO zv_write"));
                file_.exec(QStringLiteral("RELEASE zv_write"));
            }
        } catch (const TableError&) {
            // The first failure is the one worth reporting.
        }
        throw;
    }
}

void Table::writeAndTell(Row& row, bool isNew) {
    inWriteTransaction([&] {
        const std::optional<Row> before = (!isNew && hasWriteListeners()) ? storedRow(row.rowId(), false) : std::nullopt;
        writeRow(row, isNew);
        if (!hasWriteListeners()) return;
        const Row after = asStored(row);
        writes_.append({after.rowId(), false});
        for (RowWriteListener* listener : database_->writeListeners())
            listener->rowWritten(*this, before ? &*before : nullptr, after);
    });
}

// What a row just written holds in the file, without reading it back: every stored field was
// written from it, the counter key is the row id, and times are kept as local times.
Row Table::asStored(const Row& written) const {
    Row row = written;
    row.clearDerived();
    for (int index : storedIndexes_) {
        const FieldDef& field = def_.fields[index];
        const QVariant value = row.valueAt(index);
        if (field.type == FieldType::AutoInc && value.isNull()) {
            row.setAt(index, row.rowId());
        } else if (field.type == FieldType::DateTime && !value.isNull() && value.toDateTime().timeSpec() != Qt::LocalTime) {
            row.setAt(index, value.toDateTime().toLocalTime());
        }
    }
    return row;
}

void Table::runCached(const QString& sql) {
    SqlStatement& statement = cached(sql);
    statement.step();
    statement.reset();
}

void Table::post() {
    requireOpen();
    if (state_ == State::Browse) return;
    if (state_ == State::Edit) checkRequired(buffer_);
    writeAndTell(buffer_, state_ == State::Insert);
    state_ = State::Browse;
    const qint64 rowId = buffer_.rowId();
    const auto row = fetchOne(QStringLiteral("rowid = ?"), {rowId}, QStringLiteral("ASC"));
    // A row that no longer passes the filter stays current until the cursor moves.
    moveTo(row ? row : std::optional<Row>(buffer_), false, false);
    notifyRowsChanged();
}

void Table::cancel() {
    if (state_ != State::Edit && state_ != State::Insert) return;
    state_ = State::Browse;
    buffer_ = Row(def_);
    emit currentChanged();
}

void Table::remove() {
    requireOpen();
    if (state_ == State::Insert) return cancel();
    cancel();
    if (!hasRow_) throw TableError(QStringLiteral("%1 пуста: нечего удалять").arg(tableTitle(def_)));
    const QVariant key = keyOf(current_);
    inWriteTransaction([&] {
        const std::optional<Row> before = hasWriteListeners() ? storedRow(current_.rowId(), false) : std::nullopt;
        SqlStatement& statement = cached(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(quoted(def_.name)));
        statement.bind(1, current_.rowId());
        statement.step();
        statement.reset();
        if (!before) return;
        writes_.append({before->rowId(), true});
        for (RowWriteListener* listener : database_->writeListeners()) listener->rowRemoved(*this, *before);
    });

    const auto following = fetchOne(quoted(def_.primaryKey) + QStringLiteral(" > ?"), {key}, QStringLiteral("ASC"));
    if (following) {
        moveTo(following, false, false);
    } else {
        moveTo(fetchOne(quoted(def_.primaryKey) + QStringLiteral(" < ?"), {key}, QStringLiteral("DESC")), false, true);
    }
    notifyRowsChanged();
}

void Table::insertRecord(const QVariantList& leadingValues) {
    QList<std::pair<QString, QVariant>> named;
    for (int i = 0; i < leadingValues.size() && i < storedIndexes_.size(); ++i)
        named.append({def_.fields[storedIndexes_[i]].name, leadingValues[i]});
    insertValues(named);
}

void Table::insertValues(const QList<std::pair<QString, QVariant>>& namedValues) {
    requireOpen();
    checkBrowseMode();
    Row row(def_);
    for (const auto& [field, value] : namedValues) {
        const FieldDef& def = def_.field(field);
        row.set(def.name, checkedValue(def, value));
    }
    writeAndTell(row, true);
    const auto stored = fetchOne(QStringLiteral("rowid = ?"), {row.rowId()}, QStringLiteral("ASC"));
    moveTo(stored ? stored : std::optional<Row>(row), false, false);
    notifyRowsChanged();
}

// ---------------------------------------------------------------- display

void Table::setTextHandler(const QString& field, TextHandler handler) { textHandlers_.insert(def_.field(field).name, std::move(handler)); }

QString Table::displayText(const Row& row, const QString& field) const {
    const FieldDef& def = def_.field(field);
    const auto handler = textHandlers_.constFind(def.name);
    if (handler != textHandlers_.constEnd()) return (*handler)(row);
    const QVariant value = row.value(def.name);
    if (value.isNull()) return {};
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(def.displayFormat.isEmpty() ? QStringLiteral("dd.MM.yyyy hh:mm:ss") : def.displayFormat);
    return value.toString();
}

// ---------------------------------------------------------------- durability

bool Table::inBatch() const { return file_.inTransaction(); }

void Table::beginBatch() {
    requireOpen();
    checkBrowseMode();
    if (!file_.inTransaction()) file_.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

bool Table::runGuarded(const std::function<void()>& step, QString* error) {
    beginBatch();
    file_.exec(QStringLiteral("SAVEPOINT zv_step"));
    const bool outerStep = std::exchange(guardedStep_, true);
    const qsizetype told = writes_.size();
    try {
        step();
        guardedStep_ = outerStep;
        file_.exec(QStringLiteral("RELEASE zv_step"));
        return true;
    } catch (const TableError& failure) {
        guardedStep_ = outerStep;
        undoStep(told);
        if (error) *error = failure.message();
        return false;
    } catch (...) {
        guardedStep_ = outerStep;
        undoStep(told);
        throw;
    }
}

void Table::undoStep(qsizetype told) {
    cancel();
    writes_.resize(told);
    file_.exec(QStringLiteral("ROLLBACK TO zv_step"));
    file_.exec(QStringLiteral("RELEASE zv_step"));
    if (!hasRow_ || !locateRowId(current_.rowId())) first();
}

void Table::flush() {
    requireOpen();
    checkBrowseMode();
    if (file_.inTransaction()) commit();
}

// Every commit of the table's writes goes through here, so that the listeners put in what they
// add for those writes first; if one of them fails, nothing of the transaction is committed.
void Table::commit() {
    const QList<TableWrite> writes = std::exchange(writes_, {});
    try {
        if (!writes.isEmpty() && hasWriteListeners())
            for (RowWriteListener* listener : database_->writeListeners()) listener->beforeCommit(*this, writes);
    } catch (...) {
        try {
            rollBack();
        } catch (const TableError&) {
            // The listener's failure is the one worth reporting.
        }
        throw;
    }
    runCached(QStringLiteral("COMMIT"));
}

void Table::rollBack() {
    writes_.clear();
    file_.exec(QStringLiteral("ROLLBACK"));
}

void Table::notifyRowsChanged() { emit rowsChanged(); }

}  // namespace zv
