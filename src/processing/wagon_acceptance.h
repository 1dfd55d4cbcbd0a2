#pragma once

#include <QString>
#include <QVariant>
#include <functional>

#include "processing/wagon_window.h"

namespace zv {

class RecordsDatabase;
class Table;

// Acceptance of wagons onto the territory and their release into the weighing book, as the
// buttons "Принять вагон", "Отпустить вагон" and "Отпустить без тары" of the main window do
// it. On the dynamic page the wagon is the current row of the train list; on the static
// page it is weighed at rest in the processing window.
//
// Whatever happens, no row made for an attempt outlives a cancelled or failed attempt, and
// Wagons, Trains and Book are flushed to disk at the end of every attempt.
class WagonAcceptance {
  public:
    using OperatorNumber = std::function<int()>;

    WagonAcceptance(RecordsDatabase& records, WagonWindow& window, OperatorNumber currentOperator);

    // "Принять вагон".
    void But1Click(bool staticPage);
    // "Отпустить вагон" (withoutTare false) and "Отпустить без тары" (withoutTare true); the
    // two differ on the static page only.
    void But2Click(bool staticPage, bool withoutTare);

  private:
    // What a release needs to write the book row besides the Wagons row.
    struct SecondWeighing {
        QVariant weight;
        int method = 0;
        QVariant time;
        QVariant train;
    };

    void acceptDynamic();
    void acceptStatic();
    void releaseDynamic();
    void releaseStatic(bool withoutTare);

    bool trainRowUsable(const QString& question);
    bool noteGatePasses(int note, const QString& question) const;
    void createWagonRow(const QList<std::pair<QString, QVariant>>& values);
    void discardAttempt();
    void markTrainRowProcessed(qint64 trainRow);
    void writeBookRow(const SecondWeighing& second);
    void finishAttempt(bool release);
    void run(bool release, const std::function<void()>& attempt);

    RecordsDatabase& records_;
    WagonWindow& window_;
    OperatorNumber currentOperator_;
    qint64 createdRow_ = 0;  // rowid of the Wagons row made by this attempt, 0 for none
};

// Removes a leftover placeholder row "N" from Wagons and flushes the table.
void removePlaceholderRow(Table& wagons);

// Book.Dir of a release: 2 transit (exit load equals entry load), 1 export, 0 import.
int releaseDirection(int entryLoad, int exitLoad);

}  // namespace zv
