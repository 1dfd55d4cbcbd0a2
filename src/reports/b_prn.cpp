#include "reports/b_prn.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "records/records_database.h"
#include "records/table_error.h"
#include "reports/book_filter.h"
#include "reports/operator_file_dialog.h"
#include "reports/report_commands.h"
#include "reports/report_layouts.h"
#include "reports/report_period.h"
#include "ui/message_service.h"
#include "ui/tlie_edit.h"

namespace {

QString chooseBook(QWidget* parent, const QString& folder) {
    zv::OperatorFileDialog dialog(parent, QStringLiteral("ZOL - Выбор весовой книги"), folder,
                                  QStringLiteral("Весовые книги (Book*.db)"));
    dialog->setFileMode(QFileDialog::ExistingFile);
    return dialog.chosenFile();
}

bool sameFolder(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty()) return ca == cb;
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

bool sameFile(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

std::optional<zv::BookFilter::Choice> choiceOf(const QComboBox* box) {
    return zv::BookFilter::Choice{box->currentData().toInt(), box->currentText()};
}

// Fills a lookup box with a dictionary's rows (text shown, key kept), keeping the key chosen
// before, or key 0 the first time.
void fillLookup(QComboBox* box, const zv::Table& table, const QString& textField) {
    const QVariant chosen = box->count() > 0 ? box->currentData() : QVariant(0);
    const QSignalBlocker block(box);
    box->clear();
    if (!table.isOpen()) return;
    for (const zv::Row& row : table.readFilteredRows())
        box->addItem(row.value(textField).toString(), row.value(QStringLiteral("N")));
    box->setCurrentIndex(std::max(0, box->findData(chosen)));
}

}  // namespace

TBPrn::TBPrn(zv::RecordsDatabase& records, zv::ReportLayouts& layouts, QWidget* parent)
    : QDialog(parent), records_(records), layouts_(layouts), chooser_(chooseBook) {
    setObjectName(QStringLiteral("BPrn"));
    setWindowTitle(QStringLiteral("ZOL - Отчет по весовой книге"));
    setModal(true);
    buildControls();
}

zv::Table& TBPrn::book() const {
    return records_.Book();
}

void TBPrn::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildFilterGroup());

    auto* bookRow = new QHBoxLayout;
    auto* pathBox = new QVBoxLayout;
    pathBox->addWidget(new QLabel(QStringLiteral("Весовая книга:")));
    path_ = new QPlainTextEdit;
    path_->setObjectName(QStringLiteral("Memo1"));
    path_->setReadOnly(true);
    path_->setMaximumHeight(48);
    pathBox->addWidget(path_);
    bookRow->addLayout(pathBox, 1);
    auto* bookButtons = new QVBoxLayout;
    auto addButton = [this](QBoxLayout* box, const char* name, const QString& text) {
        auto* b = new QPushButton(text);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        box->addWidget(b);
        return b;
    };
    connect(addButton(bookButtons, "But1", QStringLiteral("Изменить")), &QPushButton::clicked, this,
            &TBPrn::But1Click);
    connect(addButton(bookButtons, "But2", QStringLiteral("Текущая")), &QPushButton::clicked, this,
            &TBPrn::But2Click);
    bookRow->addLayout(bookButtons);
    layout->addLayout(bookRow);

    auto* buttons = new QHBoxLayout;
    connect(addButton(buttons, "But3", QStringLiteral("Просмотр отчета")), &QPushButton::clicked,
            this, &TBPrn::But3Click);
    buttons->addStretch(1);
    connect(addButton(buttons, "But4", QStringLiteral("Закрыть")), &QPushButton::clicked, this,
            &QDialog::accept);
    layout->addLayout(buttons);
}

QWidget* TBPrn::buildFilterGroup() {
    group_ = new QGroupBox(QStringLiteral("Фильтр данных по весовой книге"));
    group_->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(group_);
    const QString captions[9] = {"с",
                                 "по",
                                 "По грузу",
                                 "По направлению",
                                 "По станции",
                                 "По получателю /отправителю",
                                 "По оператору",
                                 "Вагон",
                                 "Состав"};
    for (int i = 0; i < 9; ++i) {
        check_[i] = new QCheckBox(captions[i]);
        check_[i]->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        grid->addWidget(check_[i], i, 0);
        connect(check_[i], &QCheckBox::toggled, this, &TBPrn::ApplyFilter);
    }
    auto dateTimeRow = [&](int row, QDateEdit*& date, QTimeEdit*& time, const char* dateName,
                           const char* timeName) {
        date = new QDateEdit;
        date->setObjectName(QString::fromLatin1(dateName));
        date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        time = new QTimeEdit;
        time->setObjectName(QString::fromLatin1(timeName));
        time->setDisplayFormat(QStringLiteral("HH:mm"));
        auto* box = new QHBoxLayout;
        box->addWidget(date);
        box->addWidget(time);
        box->addStretch(1);
        grid->addLayout(box, row, 1);
        connect(date, &QDateEdit::dateChanged, this, &TBPrn::ApplyFilter);
        connect(time, &QTimeEdit::timeChanged, this, &TBPrn::ApplyFilter);
    };
    dateTimeRow(0, DTP1, DTP2, "DTP1", "DTP2");
    dateTimeRow(1, DTP3, DTP4, "DTP3", "DTP4");

    auto combo = [&](int row, const char* name) {
        auto* box = new QComboBox;
        box->setObjectName(QString::fromLatin1(name));
        grid->addWidget(box, row, 1);
        connect(box, &QComboBox::activated, this, &TBPrn::ApplyFilter);
        return box;
    };
    LCBox1 = combo(2, "LCBox1");
    CBox2 = combo(3, "CBox2");
    CBox2->addItems(zv::kDirections);
    LCBox3 = combo(4, "LCBox3");
    LCBox4 = combo(5, "LCBox4");
    LCBox5 = combo(6, "LCBox5");

    auto number = [&](int row, const char* name, int max, int digits) {
        auto* edit = new TLIEdit;
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMinVal(0);
        edit->setMaxVal(max);
        edit->setMaxLength(digits);
        edit->setVal(0);
        grid->addWidget(edit, row, 1);
        connect(edit, &TLIEdit::exited, this, &TBPrn::ApplyFilter);
        return edit;
    };
    LIE8 = number(7, "LIE8", 99999999, 8);
    LIE9 = number(8, "LIE9", 65535, 6);

    // Tab goes from each box to the controls of its filter, then on to the next box.
    const std::vector<std::vector<QWidget*>> rows = {
        {check_[0], DTP1, DTP2}, {check_[1], DTP3, DTP4}, {check_[2], LCBox1},
        {check_[3], CBox2},      {check_[4], LCBox3},     {check_[5], LCBox4},
        {check_[6], LCBox5},     {check_[7], LIE8},       {check_[8], LIE9}};
    QWidget* previous = nullptr;
    for (const auto& row : rows)
        for (QWidget* w : row) {
            if (previous) QWidget::setTabOrder(previous, w);
            previous = w;
        }

    auto* countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel(QStringLiteral("Отобрано записей:")));
    count_ = new QLabel(QStringLiteral("0"));
    count_->setObjectName(QStringLiteral("Label1"));
    countRow->addWidget(count_);
    countRow->addStretch(1);
    grid->addLayout(countRow, 9, 0, 1, 2);
    return group_;
}

void TBPrn::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

// Left to us: the first showing starts at the first day of this month and ends today.
void TBPrn::setFirstDates() {
    if (datesSet_) return;
    datesSet_ = true;
    const QSignalBlocker b1(DTP1), b2(DTP2), b3(DTP3), b4(DTP4);
    const QDate today = records_.clock().now().date();
    DTP1->setDate(QDate(today.year(), today.month(), 1));
    DTP2->setTime(QTime(0, 0));
    DTP3->setDate(today);
    DTP4->setTime(QTime(23, 59));
}

void TBPrn::fillLookups() {
    fillLookup(LCBox1, records_.Loads(), QStringLiteral("Load"));
    fillLookup(LCBox3, records_.Stations(), QStringLiteral("Station"));
    fillLookup(LCBox4, records_.Clients(), QStringLiteral("Client"));
    fillLookup(LCBox5, records_.Names(), QStringLiteral("Name"));
}

void TBPrn::FormShow() {
    savedFolder_ = records_.connection().folder();
    savedBook_ = book().fileName();
    setFirstDates();
    fillLookups();
    book().setFiltered(true);
    group_->setEnabled(book().isOpen());
    path_->clear();
    count_->setText(QStringLiteral("0"));
    if (!book().isOpen()) return;
    showBookPath();
    ApplyFilter();
}

void TBPrn::showBookPath() {
    path_->setPlainText(QDir(records_.connection().folder()).filePath(book().fileName()));
}

void TBPrn::ApplyFilter() {
    if (!book().isOpen()) return;
    zv::BookFilter f;
    auto on = [this](int i) { return check_[i]->isChecked(); };
    if (on(0)) f.from = QDateTime(DTP1->date(), DTP2->time());
    if (on(1)) f.to = QDateTime(DTP3->date(), DTP4->time());
    if (on(2)) f.load = choiceOf(LCBox1);
    if (on(3)) f.direction = CBox2->currentIndex();
    if (on(4)) f.station = choiceOf(LCBox3);
    if (on(5)) f.client = choiceOf(LCBox4);
    if (on(6)) f.operatorName = choiceOf(LCBox5);
    if (on(7)) f.wagon = LIE8->Val();
    if (on(8)) f.train = LIE9->Val();
    const zv::BookFilterText text = zv::bookFilterText(f);
    layouts_.setBookDescription(text.description);
    layouts_.setBookPeriod(zv::ReportPeriod{f.from, f.to, zv::bookMonth(book().fileName())});
    try {
        book().setFilter(text.expression);
        count_->setText(QString::number(book().recordCount()));
    } catch (const zv::TableError& e) {
        zv::Messages::error(e.message());
    }
}

void TBPrn::But1Click() {
    const QString chosen = chooser_(this, records_.connection().folder());
    if (chosen.isEmpty()) return;
    const QFileInfo file(chosen);
    ChangeBook(file.absolutePath(), file.fileName());
}

void TBPrn::But2Click() {
    ChangeBook(savedFolder_, savedBook_);
}

void TBPrn::ChangeBook(const QString& folder, const QString& fileName) {
    zv::Database& connection = records_.connection();
    if (!sameFolder(folder, connection.folder())) {
        connection.closeAll();
        connection.setFolder(folder);
    } else if (!sameFile(fileName, book().fileName())) {
        book().close();
    }
    if (book().isOpen()) return;
    path_->clear();
    group_->setEnabled(false);
    book().setFileName(fileName);
    try {
        book().open();
    } catch (const zv::TableError& e) {
        zv::Messages::error(e.message());
        return;
    }
    group_->setEnabled(true);
    showBookPath();
    ApplyFilter();
}

void TBPrn::But3Click() {
    setEnabled(false);
    zv::previewBookReport(book(), layouts_, this, savedFolder_);
    setEnabled(true);
}

void TBPrn::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TBPrn::FormClose() {
    book().setFiltered(false);
    try {
        if (records_.Trains().isOpen()) {
            if (sameFile(book().fileName(), savedBook_) && book().isOpen()) return;
            book().close();
            book().setFileName(savedBook_);
            book().open();
            return;
        }
        // The book's name goes back first: opening the tables would otherwise create the
        // other month's book in the working folder.
        records_.connection().closeAll();
        records_.connection().setFolder(savedFolder_);
        book().setFileName(savedBook_);
        records_.DBOpen();
    } catch (const zv::TableError& e) {
        zv::Messages::error(e.message());
    }
}
