#include "admin/db_view.h"

#include "integrity/events.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

#include "records/records_database.h"
#include "records/schema.h"
#include "reports/report_commands.h"
#include "reports/report_layouts.h"
#include "ui/message_service.h"
#include "ui/modal.h"

namespace {

void showError(const std::exception& e) {
    zv::Messages::error(QString::fromUtf8(e.what()));
}

// The engine's password prompt: what the user types is tried on the protected table.
std::optional<QString> askPassword(QWidget* parent) {
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("PasswordPrompt"));
    dialog.setWindowTitle(QStringLiteral("Пароль"));
    dialog.setLabelText(QStringLiteral("Пароль"));
    dialog.setTextEchoMode(QLineEdit::Password);
    if (zv::showModal(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
}

}  // namespace

TDBView::TDBView(QWidget* parent) : QDialog(parent) {
    setObjectName("DBView");
    setWindowTitle("ZOL - Просмотр таблиц базы данных");
    setModal(true);
}

void TDBView::setHost(DBViewHost* host) {
    if (host_ || !host) return;
    host_ = host;
    host_->records().connection().setPasswordPrompt([this] { return askPassword(this); });
    buildControls();
    for (int item = Book; item <= BasesW; ++item)
        connect(&linkOf(item), &zv::TableModel::editFailed, this,
                [](const QString& message) { zv::Messages::error(message); });
}

void TDBView::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    CBox1 = new QComboBox(this);
    CBox1->setObjectName("CBox1");
    CBox1->addItems({"Весовая книга", "Вагоны на территории", "Операторы весов", "Грузы", "Станции",
                     "Получатели / отправители", "Базы вагонов"});
    connect(CBox1, &QComboBox::activated, this, &TDBView::CBox1CloseUp);
    But1 = new QPushButton("Накладная", this);
    But1->setObjectName("But1");
    connect(But1, &QPushButton::clicked, this, &TDBView::But1Click);
    But2 = new QPushButton("Закрыть", this);
    But2->setObjectName("But2");
    connect(But2, &QPushButton::clicked, this, &QDialog::accept);
    bar->addWidget(CBox1);
    bar->addWidget(But1);
    bar->addWidget(buildNavigator(), 1);
    bar->addWidget(But2);
    layout->addLayout(bar);
    DBG1 = new QTableView(this);
    DBG1->setObjectName("DBG1");
    DBG1->verticalHeader()->setDefaultSectionSize(20);
    layout->addWidget(DBG1, 1);
    resize(900, 560);
}

QWidget* TDBView::buildNavigator() {
    DBN1 = new QWidget(this);
    DBN1->setObjectName("DBN1");
    auto* row = new QHBoxLayout(DBN1);
    row->setContentsMargins(0, 0, 0, 0);
    auto add = [this, row](const char* name, const QString& text, std::function<void()> action) {
        auto* b = new QToolButton(DBN1);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(text);
        connect(b, &QToolButton::clicked, this, std::move(action));
        row->addWidget(b);
    };
    add("First", "|<", [this] { navigate([](zv::Table& t) { t.first(); }); });
    add("Prior", "<", [this] { navigate([](zv::Table& t) { t.prior(); }); });
    add("Next", ">", [this] { navigate([](zv::Table& t) { t.next(); }); });
    add("Last", ">|", [this] { navigate([](zv::Table& t) { t.last(); }); });
    add("Insert", "+", [this] { navigate([](zv::Table& t) { t.insert(); }); });
    add("Delete", "-", [this] { removeCurrentRow(); });
    add("Edit", "^", [this] { navigate([](zv::Table& t) { t.edit(); }); });
    add("Post", "✓", [this] { navigate([](zv::Table& t) { t.post(); }); });
    add("Cancel", "✗", [this] { navigate([](zv::Table& t) { t.cancel(); }); });
    add("Refresh", "↻",
        [this] { navigate([](zv::Table& t) { t.findKey(t.value(t.def().primaryKey)); }); });
    row->addStretch(1);
    return DBN1;
}

zv::Table& TDBView::tableOf(int item) {
    return linkOf(item).table();
}

zv::TableModel& TDBView::linkOf(int item) {
    zv::RecordsDatabase& r = host_->records();
    switch (item) {
        case Book:
            return r.DSouB();
        case Wagons:
            return r.DSouW();
        case Names:
            return r.DSouN();
        case Loads:
            return r.DSouL();
        case Stations:
            return r.DSouS();
        case Clients:
            return r.DSouC();
        default:
            return r.DSouBW();
    }
}

void TDBView::openDictionary(int index) {
    setTableIndex(index);
    if (CBox1) CBox1->setEnabled(false);
    zv::showModal(*this);
}

void TDBView::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (host_ && !event->spontaneous()) FormShow();
}

void TDBView::done(int result) {
    if (host_) FormClose();
    QDialog::done(result);
}

void TDBView::FormShow() {
    CBox1->setCurrentIndex(tableIndex_);
    selectTable(tableIndex_);
}

void TDBView::CBox1CloseUp() {
    selectTable(CBox1->currentIndex());
}

void TDBView::selectTable(int item) {
    tableIndex_ = item;
    leaveProtectedTable();
    But1->setVisible(item == Book);
    DBG1->setVisible(item != Names);
    QItemSelectionModel* previous = DBG1->selectionModel();
    DBG1->setModel(&linkOf(item));
    delete previous;
    connect(DBG1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) linkOf(tableIndex_).setCurrentRow(current.row());
            });
    zv::RecordsDatabase& r = host_->records();
    r.Loads().setFiltered(item == Loads);
    r.Names().setFiltered(item == Names);
    shown_ = item;
    if (isProtected(item) && !openProtectedTable(item)) return;
    DBG1->show();
    showCurrentRow();
}

// The rest of the program works with the protected table under the table password again.
void TDBView::leaveProtectedTable() {
    if (!isProtected(shown_)) return;
    const int item = shown_;
    shown_ = -1;
    reopenWithPasswords(tableOf(item), {zv::schema::kTablePassword});
}

bool TDBView::openProtectedTable(int item) {
    zv::Database& connection = host_->records().connection();
    connection.clearPasswords();
    connection.addPassword(zv::schema::kDictionaryPassword);
    connection.promptPassword();
    zv::Table& table = tableOf(item);
    try {
        table.close();
        table.open();
        return true;
    } catch (const std::exception& e) {
        zv::Events::recordTableError(QString::fromUtf8(e.what()));
        showError(e);
        return false;
    }
}

void TDBView::reopenWithPasswords(zv::Table& table, const QStringList& passwords) {
    zv::Database& connection = host_->records().connection();
    connection.clearPasswords();
    for (const QString& password : passwords) connection.addPassword(password);
    try {
        table.close();
        table.open();
    } catch (const std::exception& e) {
        showError(e);
    }
}

void TDBView::navigate(const std::function<void(zv::Table&)>& step) {
    if (shown_ < 0) return;
    try {
        step(tableOf(shown_));
    } catch (const std::exception& e) {
        showError(e);
    }
    showCurrentRow();
}

// A deleted row cannot be brought back, so the operator confirms it first.
void TDBView::removeCurrentRow() {
    if (shown_ < 0 || !tableOf(shown_).hasCurrentRow()) return;
    if (!zv::Messages::confirmation("Удалить запись?")) return;
    navigate([](zv::Table& t) { t.remove(); });
}

void TDBView::showCurrentRow() {
    if (shown_ < 0) return;
    const int row = linkOf(shown_).currentRow();
    if (row >= 0) DBG1->selectRow(row);
}

void TDBView::But1Click() {
    setEnabled(false);
    try {
        zv::previewWaybill(host_->records().Book(), host_->layouts(), this);
    } catch (const std::exception& e) {
        showError(e);
    }
    setEnabled(true);
}

void TDBView::FormClose() {
    zv::RecordsDatabase& r = host_->records();
    try {
        if (shown_ >= 0 && tableOf(shown_).isOpen()) tableOf(shown_).post();
    } catch (const std::exception& e) {
        showError(e);
        tableOf(shown_).cancel();
    }
    leaveProtectedTable();
    shown_ = -1;
    QItemSelectionModel* previous = DBG1->selectionModel();
    DBG1->setModel(nullptr);
    delete previous;
    CBox1->setEnabled(true);
    r.Loads().setFiltered(false);
    r.Names().setFiltered(false);
    try {
        if (r.Names().isOpen() && !r.Names().findKey(host_->currentOperator())) host_->ShiftSet();
        for (zv::Table* t : {&r.Names(), &r.Loads(), &r.Stations(), &r.Clients(), &r.BasesW()})
            if (t->isOpen()) t->flush();
    } catch (const std::exception& e) {
        showError(e);
    }
}
