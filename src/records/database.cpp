#include "records/database.h"

#include "records/table.h"
#include "records/table_error.h"

#include <QDir>

namespace zv {

Database::~Database() {
    for (Table* t : tables_) t->forgetDatabase();
}

void Database::setFolder(const QString& folder) { folder_ = folder; }

void Database::closeAll() {
    QStringList errors;
    for (Table* t : tables_) {
        try {
            t->close();  // closed even when its pending edit cannot be posted
        } catch (const TableError& e) {
            errors.append(e.message());
        }
    }
    if (!errors.isEmpty()) throw TableError(errors.join(QStringLiteral("\n")));
}

void Database::addPassword(const QString& password) {
    if (!passwords_.contains(password)) passwords_.append(password);
}

bool Database::promptPassword() {
    if (!prompt_) return false;
    const std::optional<QString> typed = prompt_();
    if (!typed) return false;
    addPassword(*typed);
    return true;
}

QString Database::resolve(const QString& fileName) const {
    const QDir dir(folder_);
    if (dir.exists(fileName)) return dir.filePath(fileName);
    // Linux file names are case-sensitive; the program's are not.
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries)
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    return dir.filePath(fileName);
}

void Database::addWriteListener(RowWriteListener* listener) {
    if (!listeners_.contains(listener)) listeners_.append(listener);
}

Table* Database::table(const QString& tableName) const {
    for (Table* t : tables_)
        if (t->def().name.compare(tableName, Qt::CaseInsensitive) == 0) return t;
    return nullptr;
}

}  // namespace zv
