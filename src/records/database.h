#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace zv {

class RowWriteListener;
class Table;

// The connection of the table engine: the folder that holds every table file, the
// passwords registered for opening protected tables, and the tables made on it.
class Database {
public:
    // Asks the user for a password; nullopt when the prompt is cancelled.
    using PasswordPrompt = std::function<std::optional<QString>()>;

    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void setFolder(const QString& folder);
    const QString& folder() const { return folder_; }
    // Closes every table; pending edits that cannot be posted are dropped and reported
    // together afterwards as one TableError.
    void closeAll();

    void clearPasswords() { passwords_.clear(); }
    void addPassword(const QString& password);
    const QStringList& passwords() const { return passwords_; }
    void setPasswordPrompt(PasswordPrompt prompt) { prompt_ = std::move(prompt); }
    // Shows the prompt and registers what the user typed; false when cancelled or no prompt is set.
    bool promptPassword();

    // Full path of a file of the folder; an existing file is found whatever the letter case.
    QString resolve(const QString& fileName) const;

    Table* table(const QString& tableName) const;  // by the table's name, letter case ignored

    // Listeners told of every row any table of this connection writes (see RowWriteListener).
    // They are not owned and must outlive their registration.
    void addWriteListener(RowWriteListener* listener);
    void removeWriteListener(RowWriteListener* listener) { listeners_.removeAll(listener); }
    const QList<RowWriteListener*>& writeListeners() const { return listeners_; }

private:
    friend class Table;
    void attach(Table* table) { tables_.append(table); }
    void detach(Table* table) { tables_.removeAll(table); }

    QString folder_;
    QStringList passwords_;
    PasswordPrompt prompt_;
    QList<Table*> tables_;
    QList<RowWriteListener*> listeners_;
};

}  // namespace zv
