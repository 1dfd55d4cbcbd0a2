#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <utility>

namespace zv {

class Row;

// An operation of the program that writes several rows and is logged as one event (a train
// stored, a wagon accepted): while it is alive, the rows it writes to its table make one
// event, committed with them; its other writes are logged row by row, as any other.
// Actions nest; the innermost one takes the writes.
class EventAction {
public:
    enum class Change { Insert, Update, Remove };
    using Describe = std::function<std::pair<QString, QString>(const Row&)>;  // subject, new value

    EventAction(QString kind, QString table, std::initializer_list<Change> counted, Describe describe);
    ~EventAction();
    EventAction(const EventAction&) = delete;
    EventAction& operator=(const EventAction&) = delete;

    static const EventAction* current() { return current_; }
    const QString& kind() const { return kind_; }
    const QString& table() const { return table_; }
    const QString& token() const { return token_; }
    bool counts(Change change) const;
    std::pair<QString, QString> describe(const Row& row) const { return describe_(row); }

    static EventAction trainStored();
    static EventAction trainDeleted();
    static EventAction trainsRenumbered();
    static EventAction wagonAccepted();
    static EventAction wagonReleased();

private:
    QString kind_, table_, token_;
    QList<Change> counted_;
    Describe describe_;
    const EventAction* outer_;
    static inline const EventAction* current_ = nullptr;
};

}  // namespace zv
