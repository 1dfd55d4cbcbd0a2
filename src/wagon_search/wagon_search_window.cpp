#include "wagon_search/wagon_search_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/digits_validator.h"
#include "ui/guarded.h"
#include "wagon_search/waybill_copy.h"

namespace {

const QStringList kHeadings{"Где",      "Состав",     "Принят / взвешен", "Отпущен",   "Вес, кг",
                            "Брутто, кг", "Тара, кг", "Нетто, кг",        "Примечание"};

QStringList cellsOf(const zv::WagonSighting& s) {
    return {s.place, s.train, s.accepted, s.released, s.weight, s.gross, s.tare, s.net, s.note};
}

}  // namespace

TWagonSearch::TWagonSearch(const zv::Settings& settings, const zv::ReportLayouts& layouts,
                           Folders folders, QWidget* parent)
    : QDialog(parent), settings_(settings), layouts_(layouts), folders_(std::move(folders)) {
    setObjectName("WagonSearch");
    setWindowTitle("ZOL - Поиск вагона");
    setModal(true);
    buildControls();
}

void TWagonSearch::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel("Номер вагона", this));
    E1 = new QLineEdit(this);
    E1->setObjectName("E1");
    E1->setValidator(new zv::DigitsValidator({}, E1));
    E1->setMaxLength(8);
    E1->setFixedWidth(110);
    bar->addWidget(E1);
    But1 = new QPushButton("Найти", this);
    But1->setObjectName("But1");
    But1->setDefault(true);  // Enter in the number searches
    connect(But1, &QPushButton::clicked, this, [this] { zv::guarded([this] { But1Click(); }); });
    bar->addWidget(But1);
    La1 = new QLabel(this);
    La1->setObjectName("La1");
    bar->addWidget(La1, 1);
    layout->addLayout(bar);

    SG1 = new QTableWidget(0, static_cast<int>(kHeadings.size()), this);
    SG1->setObjectName("SG1");
    SG1->setHorizontalHeaderLabels(kHeadings);
    SG1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG1->setSelectionBehavior(QAbstractItemView::SelectRows);
    SG1->setSelectionMode(QAbstractItemView::SingleSelection);
    SG1->verticalHeader()->setDefaultSectionSize(20);
    SG1->horizontalHeader()->setStretchLastSection(true);
    connect(SG1, &QTableWidget::itemSelectionChanged, this, &TWagonSearch::selectionChanged);
    layout->addWidget(SG1, 1);

    auto* buttons = new QHBoxLayout;
    But2 = new QPushButton("Накладная (копия)", this);
    But2->setObjectName("But2");
    But2->setAutoDefault(false);
    But2->setEnabled(false);
    connect(But2, &QPushButton::clicked, this, [this] { zv::guarded([this] { But2Click(); }); });
    But3 = new QPushButton("Закрыть", this);
    But3->setObjectName("But3");
    But3->setAutoDefault(false);
    connect(But3, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(But2);
    buttons->addStretch(1);
    buttons->addWidget(But3);
    layout->addLayout(buttons);
    resize(940, 420);
}

void TWagonSearch::But1Click() {
    if (E1->text().isEmpty()) {
        La1->setText(QStringLiteral("Введите номер вагона"));
        E1->setFocus();
        return;
    }
    QStringList unread;
    found_ = zv::findWagon(E1->text(), folders_(), settings_, &unread);
    showFound(unread);
}

void TWagonSearch::showFound(const QStringList& unread) {
    SG1->clearContents();
    SG1->setRowCount(static_cast<int>(found_.size()));
    for (int row = 0; row < found_.size(); ++row) {
        const QStringList cells = cellsOf(found_[row]);
        for (int column = 0; column < cells.size(); ++column)
            SG1->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    SG1->resizeColumnsToContents();
    QString status = found_.isEmpty() ? QStringLiteral("Вагон %1 не найден").arg(E1->text())
                                      : QStringLiteral("Найдено записей: %1").arg(found_.size());
    if (!unread.isEmpty()) status += QStringLiteral("; не прочитаны: %1").arg(unread.join(", "));
    La1->setText(status);
    if (!found_.isEmpty()) SG1->selectRow(0);
    selectionChanged();
}

const zv::WagonSighting* TWagonSearch::selectedRow() const {
    const int row = SG1->currentRow();
    return row >= 0 && row < found_.size() && SG1->item(row, 0) && SG1->item(row, 0)->isSelected()
               ? &found_[row]
               : nullptr;
}

void TWagonSearch::selectionChanged() {
    const zv::WagonSighting* row = selectedRow();
    But2->setEnabled(row && row->kind == zv::WagonSighting::Kind::Book);
}

void TWagonSearch::But2Click() {
    const zv::WagonSighting* row = selectedRow();
    if (!row || row->kind != zv::WagonSighting::Kind::Book) return;
    zv::previewWaybillCopy(*row, layouts_, settings_, folders_().tables, this);
}
