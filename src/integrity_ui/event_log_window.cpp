#include "integrity_ui/event_log_window.h"

#include "integrity/event_kinds.h"
#include "integrity/records_integrity.h"
#include "integrity_ui/event_log_report.h"
#include "reports/report_commands.h"
#include "ui/message_service.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace zv {

namespace {

const QString kAllKinds = QStringLiteral("Все события");

QDateEdit* dateEdit(const char* name, QWidget* parent) {
    auto* edit = new QDateEdit(parent);
    edit->setObjectName(name);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    return edit;
}

QList<QStandardItem*> rowOf(const Event& e) {
    QList<QStandardItem*> items;
    for (const QString& text : {QString::number(e.n), e.time.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss.zzz")),
                                e.operatorName, e.kind, e.subject, e.oldValue, e.newValue})
        items.append(new QStandardItem(text));
    return items;
}

}  // namespace

TEventLog::TEventLog(QWidget* parent) : QDialog(parent) {
    setObjectName("EventLog");
    setWindowTitle("Журнал событий");
    auto* layout = new QVBoxLayout(this);
    auto* filters = new QHBoxLayout;
    DateFrom = dateEdit("DateFrom", this);
    DateTo = dateEdit("DateTo", this);
    KindBox = new QComboBox(this);
    KindBox->setObjectName("KindBox");
    KindBox->addItem(kAllKinds);
    KindBox->addItems(event_kind::all());
    filters->addWidget(new QLabel("С", this));
    filters->addWidget(DateFrom);
    filters->addWidget(new QLabel("по", this));
    filters->addWidget(DateTo);
    filters->addWidget(new QLabel("Событие", this));
    filters->addWidget(KindBox, 1);
    layout->addLayout(filters);

    model_ = new QStandardItemModel(0, 7, this);
    model_->setHorizontalHeaderLabels({"№", "Время", "Оператор", "Событие", "Предмет", "Было", "Стало"});
    Grid = new QTableView(this);
    Grid->setObjectName("Grid");
    Grid->setModel(model_);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->verticalHeader()->hide();
    Grid->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(Grid, 1);

    auto* buttons = new QHBoxLayout;
    CountLabel = new QLabel(this);
    CountLabel->setObjectName("CountLabel");
    PrintButton = new QPushButton("Печать", this);
    PrintButton->setObjectName("PrintButton");
    CloseButton = new QPushButton("Закрыть", this);
    CloseButton->setObjectName("CloseButton");
    buttons->addWidget(CountLabel, 1);
    buttons->addWidget(PrintButton);
    buttons->addWidget(CloseButton);
    layout->addLayout(buttons);

    const QDate today = QDate::currentDate();
    DateFrom->setDate(today.addDays(-30));
    DateTo->setDate(today);
    connect(DateFrom, &QDateEdit::dateChanged, this, &TEventLog::refresh);
    connect(DateTo, &QDateEdit::dateChanged, this, &TEventLog::refresh);
    connect(KindBox, &QComboBox::currentIndexChanged, this, &TEventLog::refresh);
    connect(PrintButton, &QPushButton::clicked, this, &TEventLog::print);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    resize(1000, 600);
}

EventFilter TEventLog::filter() const {
    return EventFilter{DateFrom->date(), DateTo->date(), KindBox->currentIndex() > 0 ? KindBox->currentText() : QString()};
}

void TEventLog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) refresh();
}

void TEventLog::refresh() {
    shown_.clear();
    model_->removeRows(0, model_->rowCount());
    if (!integrity_ || !integrity_->log().isOpen()) {
        CountLabel->setText("Журнал событий не открыт");
        return;
    }
    try {
        integrity_->collect();
        shown_ = integrity_->log().read(filter());
    } catch (const std::exception& e) {
        Messages::error(QString::fromUtf8(e.what()));
    }
    for (const Event& e : shown_) model_->appendRow(rowOf(e));
    Grid->resizeColumnsToContents();
    CountLabel->setText(QStringLiteral("Событий: %1 (всего в журнале: %2)").arg(shown_.size()).arg(integrity_->log().count()));
}

void TEventLog::print() {
    MemoryDataset data = eventLogDataset(shown_);
    previewReport(makeEventLogReport(), &data, this);
}

}  // namespace zv
