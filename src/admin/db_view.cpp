#include "admin/db_view.h"

#include "integrity/events.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

#include "records/records_database.h"
#include "records/schema.h"
#include "records/table_model.h"
#include "reports/report_commands.h"
#include "reports/report_layouts.h"
#include "ui/data_grid.h"
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

TDBView::~TDBView() = default;

void TDBView::setHost(DBViewHost* host) {
    if (host_ || !host) return;
    host_ = host;
    host_->records().connection().setPasswordPrompt([this] { return askPassword(this); });
    wagonsLink_ = std::make_unique<zv::TableModel>(host_->records().Wagons());
    wagonsLink_->detach();
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
    for (int item = Book; item <= BasesW; ++item) CBox1->addItem(tableOf(item).def().title);
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
    DBG1 = new zv::DataGrid(this);
    DBG1->setObjectName("DBG1");
    DBG1->verticalHeader()->setDefaultSectionSize(20);
    DBG1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
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
    // A new row starts with the next free number as its key, so the operator need not guess
    // one among rows the viewer may not even show.
    add("Insert", "+", [this] { navigate([](zv::Table& t) { t.insertWithNextKey(); }); });
    add("Delete", "-", [this] { removeCurrentRow(); });
    add("Edit", "^", [this] { navigate([](zv::Table& t) { t.edit(); }); });
    add("Post", "✓", [this] { navigate([](zv::Table& t) { t.post(); }); });
    add("Cancel", "✗", [this] { cancelEdit(); });
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
            return *wagonsLink_;
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
    guardedSelect(tableIndex_);
}

void TDBView::CBox1CloseUp() {
    guardedSelect(CBox1->currentIndex());
}

void TDBView::guardedSelect(int item) {
    try {
        selectTable(item);
    } catch (const std::exception& e) {
        showError(e);
    }
}

void TDBView::selectTable(int item) {
    if (!leaveShownRow()) {
        CBox1->setCurrentIndex(shown_);
        return;
    }
    tableIndex_ = item;
    leaveProtectedTable();
    But1->setVisible(item == Book);
    DBG1->setVisible(item != Names);
    if (item == Wagons)
        wagonsLink_->attach();
    else
        wagonsLink_->detach();
    DBG1->bind(&linkOf(item));
    zv::RecordsDatabase& r = host_->records();
    r.Loads().setFiltered(item == Loads);
    r.Names().setFiltered(item == Names);
    shown_ = item;
    if (isProtected(item) && !openProtectedTable(item)) return;
    DBG1->show();
}

// The row on display is saved before the viewer leaves its table. A row the table refuses
// is shown with the table's message and stays on display for correction.
bool TDBView::leaveShownRow() {
    if (shown_ < 0) return true;
    DBG1->commitEdit();
    try {
        if (tableOf(shown_).holdsOnlyProposedKey()) tableOf(shown_).cancel();
        if (tableOf(shown_).isOpen()) tableOf(shown_).post();
        return true;
    } catch (const std::exception& e) {
        showError(e);
        return false;
    }
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

// What was typed into a cell goes with the row before the navigator acts on it.
void TDBView::navigate(const std::function<void(zv::Table&)>& step) {
    if (shown_ < 0) return;
    DBG1->commitEdit();
    try {
        step(tableOf(shown_));
    } catch (const std::exception& e) {
        showError(e);
    }
}

// Cancel forgets a cell being typed as well as a row not yet saved.
void TDBView::cancelEdit() {
    if (shown_ < 0) return;
    DBG1->discardEdit();
    tableOf(shown_).cancel();
}

// A deleted row cannot be brought back, so the operator confirms it first.
void TDBView::removeCurrentRow() {
    if (shown_ < 0 || !tableOf(shown_).hasCurrentRow()) return;
    DBG1->discardEdit();
    if (!zv::Messages::confirmation("Удалить запись?")) return;
    navigate([](zv::Table& t) { t.remove(); });
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
    // Closing saves the row on display; a row the table refuses is shown, then dropped with
    // the window.
    if (!leaveShownRow()) tableOf(shown_).cancel();
    leaveProtectedTable();
    shown_ = -1;
    DBG1->bind(nullptr);
    wagonsLink_->detach();
    CBox1->setEnabled(true);
    try {
        r.Loads().setFiltered(false);
        r.Names().setFiltered(false);
        if (r.Names().isOpen() && !r.Names().findKey(host_->currentOperator())) host_->ShiftSet();
        for (zv::Table* t : {&r.Names(), &r.Loads(), &r.Stations(), &r.Clients(), &r.BasesW()})
            if (t->isOpen()) t->flush();
    } catch (const std::exception& e) {
        showError(e);
    }
}
