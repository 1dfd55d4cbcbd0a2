#pragma once

#include "integrity/event_log.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace zv {

class RecordsIntegrity;

// "Журнал событий": the log read-only, filtered by a date range and a kind, printed and
// exported through the report preview.
class TEventLog : public QDialog {
    Q_OBJECT
public:
    explicit TEventLog(QWidget* parent = nullptr);

    void setIntegrity(RecordsIntegrity* integrity) { integrity_ = integrity; }
    EventFilter filter() const;
    const QList<Event>& shown() const { return shown_; }

    QDateEdit* DateFrom = nullptr;
    QDateEdit* DateTo = nullptr;
    QComboBox* KindBox = nullptr;
    QTableView* Grid = nullptr;
    QLabel* CountLabel = nullptr;
    QPushButton* PrintButton = nullptr;
    QPushButton* CloseButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    void print();

    RecordsIntegrity* integrity_ = nullptr;
    QStandardItemModel* model_ = nullptr;
    QList<Event> shown_;
};

}  // namespace zv
