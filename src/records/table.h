#pragma once

#include "records/filter_expression.h"
#include "records/row.h"
#include "records/row_write_listener.h"
#include "records/sqlite_file.h"
#include "records/table_def.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace zv {

class Database;

// One table of the engine: a single SQLite file in the connection's folder, seen through a
// cursor that behaves as the windows expect. Rows are kept in primary-key order; navigation
// asks the file for the neighbour of the current key, so the cursor always shows what is
// stored. Every post is committed at once unless a batch is open (see beginBatch).
class Table : public QObject {
    Q_OBJECT
public:
    enum class State { Closed, Browse, Edit, Insert };
    using CalcHandler = std::function<void(Row&)>;
    using TextHandler = std::function<QString(const Row&)>;

    Table(Database& database, TableDef def, QObject* parent = nullptr);
    ~Table() override;

    const TableDef& def() const { return def_; }
    Database* database() const { return database_; }
    // The open file, for write listeners that record something beside a row in its transaction.
    SqliteFile& sqliteFile() { return file_; }
    // A statement on the open file, prepared once and dropped when the file closes; it comes
    // back reset. Throws TableError when the text cannot be prepared.
    SqlStatement& preparedStatement(const QString& sql) { return cached(sql); }
    // The row as stored under rowid, whatever the filter; nullopt when there is none. Without
    // `derived` its calculated and lookup fields stay empty, which saves their work.
    std::optional<Row> storedRow(qint64 rowId, bool derived = true) const;

    // File
    void setFileName(const QString& fileName);
    const QString& fileName() const { return fileName_; }
    QString filePath() const;
    bool exists() const;
    // Makes a table file from the field and index definitions, with the default rows of the
    // definition; refuses to overwrite. The file is shared with the group (see shareWithGroup).
    void create(const std::optional<QString>& password = std::nullopt);
    void open();  // does nothing when open already; throws TableError
    void close();
    bool isOpen() const { return state_ != State::Closed; }
    State state() const { return state_; }

    // Navigation over the rows that pass the filter, in primary-key order
    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool isEmpty() const;
    int recordCount() const;
    bool findKey(const QVariant& key);  // positions on the row and returns true when found
    bool locateRowId(qint64 rowId);
    bool hasCurrentRow() const { return hasRow_; }

    // Filter: a new expression is parsed and checked first, so a bad one changes nothing.
    void setFilter(const QString& expression);
    const QString& filter() const { return filterText_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }

    // Editing
    void edit();
    void insert();
    void post();
    void cancel();
    void remove();  // deletes the current row and moves to the next one
    void insertRecord(const QVariantList& leadingValues);  // values of the leading stored fields
    void insertValues(const QList<std::pair<QString, QVariant>>& namedValues);
    // One above the largest whole-number key of the file, whatever the filter; null for a key
    // of another type or when the largest key is at the top of its range.
    QVariant nextFreeKey() const;
    // A new row with nextFreeKey() as its key. Left before anything else is set in it, it is
    // dropped rather than stored, as a row never typed into.
    void insertWithNextKey();
    bool holdsOnlyProposedKey() const { return state_ == State::Insert && onlyProposedKey_; }

    // Fields of the current row (or of the row being edited)
    QVariant value(const QString& field) const;
    bool isNull(const QString& field) const { return value(field).isNull(); }
    int toInt(const QString& field) const { return value(field).toInt(); }
    void setValue(const QString& field, const QVariant& value);  // checked against type, size and range
    void clearValue(const QString& field) { setValue(field, QVariant()); }
    const Row& currentRow() const;
    QString text(const QString& field) const { return displayText(currentRow(), field); }

    // Derived fields and display texts
    void setCalcHandler(CalcHandler handler) { calcHandler_ = std::move(handler); }
    void setTextHandler(const QString& field, TextHandler handler);
    QString displayText(const Row& row, const QString& field) const;
    QList<Row> readFilteredRows() const;  // every row that passes the filter, derived fields filled
    QVariant lookup(const QString& keyField, const QVariant& key, const QString& resultField) const;

    // Durability: within a batch the posts share one transaction, committed by flush().
    void beginBatch();
    bool inBatch() const;
    // Runs one step of a batch under a savepoint: a TableError rolls back that step only.
    bool runGuarded(const std::function<void()>& step, QString* error = nullptr);
    void flush();  // posts a pending edit and commits an open batch durably

signals:
    void rowsChanged();  // rows added, changed or removed, filter changed, opened or closed
    void currentChanged();  // the cursor moved to another row

private:
    friend class Database;
    void forgetDatabase() { database_ = nullptr; }

    void requireOpen() const;
    void checkBrowseMode();
    QString selectSql(const QString& extraCondition, const QString& order) const;
    std::optional<Row> fetchOne(const QString& extraCondition, const QVariantList& extraParameters,
                                const QString& order) const;
    Row readRow(const SqlStatement& statement, bool derived = true) const;
    void computeDerived(Row& row) const;
    void moveTo(const std::optional<Row>& row, bool bof, bool eof);
    QVariant keyOf(const Row& row) const;
    QVariant checkedValue(const FieldDef& field, const QVariant& value) const;
    void checkRequired(const Row& row) const;
    void writeRow(Row& row, bool isNew);
    bool hasWriteListeners() const;
    void inWriteTransaction(const std::function<void()>& write);
    void writeAndTell(Row& row, bool isNew);
    void verifyPassword();
    void writeDefaultRows(SqliteFile& file) const;
    void writePasswordHash(SqliteFile& file, const QString& password) const;
    void verifyStructure();
    SqlStatement& cached(const QString& sql) const;
    void runCached(const QString& sql);
    void commit();
    void rollBack();
    void undoStep(qsizetype told);
    Row asStored(const Row& written) const;
    void notifyRowsChanged();
    QString activeCondition() const;
    QVariantList activeParameters() const;
    QVariant storageForm(const FieldDef& field, const QVariant& value) const;
    QVariant fromStorage(const FieldDef& field, const QVariant& stored) const;
    QString columnList() const;

    Database* database_;
    TableDef def_;
    QString fileName_;
    SqliteFile file_;
    State state_ = State::Closed;
    QString filterText_;
    FilterExpression filterExpr_;
    bool filtered_ = false;
    Row current_;
    Row buffer_;
    bool hasRow_ = false;
    bool bof_ = true;
    bool eof_ = true;
    CalcHandler calcHandler_;
    QHash<QString, TextHandler> textHandlers_;
    QList<int> storedIndexes_;  // positions of the stored fields in def_.fields
    mutable std::map<QString, std::unique_ptr<SqlStatement>> statements_;
    bool guardedStep_ = false;  // inside runGuarded's step
    QList<TableWrite> writes_;  // told to the listeners since the transaction began, for its commit
    bool onlyProposedKey_ = false;  // the new row holds nothing but its proposed key
};

// Gives a table file the group's write permission and others none (rw-rw----), whoever made
// it: an installed program runs as each operator's own account with the records group, and
// every run must be able to write the tables another one made, while nobody outside that
// group may read them. SQLite makes its files rw-r--r-- less the umask, and a copied template
// keeps the template's permissions.
// False when the permissions cannot be set.
bool shareWithGroup(const QString& path);

}  // namespace zv
