#include "admin/setup_p.h"

#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "admin/admin_host.h"
#include "admin/archiving.h"
#include "admin/b_copy.h"
#include "admin/central_page.h"
#include "admin/folder_tree.h"
#include "admin/save_close.h"
#include "records/records_database.h"
#include "settings/settings.h"
#include "ui/message_service.h"
#include "ui/modal.h"
#include "ui/tlie_edit.h"

namespace {

// The items of the options list, one per bit of Params; 2 to 5 are unused, and say so rather
// than stand as boxes without a text.
const QStringList kOptionItems = {
    "Разрешить обработку вагонов с проблемами  динамич.взвешивания",
    "Показывать смещение центра тяжести",
    "Резерв (не используется)",
    "Резерв (не используется)",
    "Резерв (не используется)",
    "Резерв (не используется)",
    "Показывать отладочные данные в таблице динамич. взвешивания",
    "Разрешить запись/чтение в файл сигналов датчиков (отладка и демо)"};

bool unusedOption(int item) { return item >= 2 && item <= 5; }

// The tree names a folder without a trailing separator, the settings may keep one.
bool sameFolder(const QString& a, const QString& b) {
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

bool holdsTables(const QString& folder) {
    return !QDir(folder).entryList({"Wagons.db"}, QDir::Files).isEmpty();
}

QString fromStd(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TSetupP::TSetupP(QWidget* parent) : QDialog(parent) {
    setObjectName("SetupP");
    setWindowTitle("ZOL - Параметры программы");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    PCon1 = new QTabWidget(this);
    PCon1->setObjectName("PCon1");
    PCon1->addTab(buildCommonPage(), "Общие");
    PCon1->addTab(buildDatabasesPage(), "Базы данных");
    central_ = new CentralPage(PCon1);
    PCon1->addTab(central_, "Центральная база");
    connect(central_, &CentralPage::edited, this, &TSetupP::LE1Change);
    layout->addWidget(PCon1, 1);
    const SaveCloseButtons buttons = addSaveCloseButtons(this, layout);
    But1 = buttons.save;
    But2 = buttons.close;
    connect(But1, &QPushButton::clicked, this, &TSetupP::But1Click);
    resize(640, 520);
}

QWidget* TSetupP::buildCommonPage() {
    auto* page = new QWidget;
    page->setObjectName("TS1");
    auto* form = new QFormLayout(page);
    LE1 = new QLineEdit(page);
    LE1->setObjectName("LE1");
    LE1->setMaxLength(40);
    LE2 = new QLineEdit(page);
    LE2->setObjectName("LE2");
    LE2->setMaxLength(24);
    form->addRow("Наименование предприятия", LE1);
    form->addRow("Наименование весов", LE2);
    LIE1 = new TLIEdit("Максимальная скорость при взвешивании, км/час", page);
    LIE1->setObjectName("LIE1");
    LIE1->setMinVal(1);
    LIE1->setMaxVal(50);
    LIE2 = new TLIEdit("Ожидание конца состава (после  последней оси), с", page);
    LIE2->setObjectName("LIE2");
    LIE2->setMinVal(1);
    LIE2->setMaxVal(99);
    for (TLIEdit* edit : {LIE1, LIE2}) {
        edit->setFixedWidth(60);
        form->addRow(edit->label(), edit);
        connect(edit, &TLIEdit::exited, this, &TSetupP::LIE1Exit);
    }
    CLB1 = new QListWidget(page);
    CLB1->setObjectName("CLB1");
    for (int i = 0; i < kOptionItems.size(); ++i) {
        auto* item = new QListWidgetItem(kOptionItems[i], CLB1);
        item->setFlags(unusedOption(i) ? Qt::ItemIsUserCheckable
                                       : Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(Qt::Unchecked);
    }
    form->addRow(CLB1);
    connect(LE1, &QLineEdit::textEdited, this, &TSetupP::LE1Change);
    connect(LE2, &QLineEdit::textEdited, this, &TSetupP::LE1Change);
    connect(CLB1, &QListWidget::itemChanged, this, &TSetupP::LE1Change);
    return page;
}

QWidget* TSetupP::buildDatabasesPage() {
    auto* page = new QWidget;
    page->setObjectName("TS2");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel("Рабочая база данных:", page));
    Edit1 = new QLineEdit(page);
    Edit1->setObjectName("Edit1");
    Edit1->setReadOnly(true);
    layout->addWidget(Edit1);
    STV1 = new FolderTree(page);
    STV1->setObjectName("STV1");
    layout->addWidget(STV1, 1);

    auto* archiveLine = new QHBoxLayout;
    archiveLine->addWidget(new QLabel("Архив:", page));
    archiveLine->addStretch(1);
    But21 = new QPushButton("Архивировать", page);
    But21->setObjectName("But21");
    archiveLine->addWidget(But21);
    layout->addLayout(archiveLine);
    Edit2 = new QLineEdit(page);
    Edit2->setObjectName("Edit2");
    Edit2->setReadOnly(true);
    layout->addWidget(Edit2);
    STV2 = new FolderTree(page);
    STV2->setObjectName("STV2");
    layout->addWidget(STV2, 1);

    connect(STV1, &FolderTree::folderChosen, this, &TSetupP::STV1Change);
    connect(STV2, &FolderTree::folderChosen, this, &TSetupP::STV2Change);
    connect(But21, &QPushButton::clicked, this, &TSetupP::But21Click);
    return page;
}

void TSetupP::setHost(AdminHost* host) { host_ = host; }

void TSetupP::setBCopy(TBCopy* window) { bCopy_ = window; }

TBCopy& TSetupP::bCopy() {
    if (!bCopy_) bCopy_ = new TBCopy(this);
    return *bCopy_;
}

int TSetupP::currentPage() const { return PCon1->currentIndex(); }

void TSetupP::setCurrentPage(int index) { PCon1->setCurrentIndex(index); }

// Filling and taking back

void TSetupP::UpdateSetupP(const zv::Settings& s) {
    filling_ = true;
    LE1->setText(fromStd(s.User));
    LE2->setText(fromStd(s.ScName));
    LIE1->setVal(s.Vmax);
    LIE2->setVal(static_cast<int32_t>(std::floor(s.tTrEnd / 1000.0)));
    for (int i = 0; i < CLB1->count(); ++i)
        CLB1->item(i)->setCheckState((s.Params >> i) & 1 ? Qt::Checked : Qt::Unchecked);
    central_->fill(s.Central);
    filling_ = false;
    if (host_) host_->applyOptions();
}

void TSetupP::ApplySetupP() {
    if (!host_) return;
    zv::Settings& s = host_->settings();
    s.Params = 0;
    for (int i = 0; i < CLB1->count(); ++i)
        if (CLB1->item(i)->checkState() == Qt::Checked) s.Params |= 1 << i;
    s.Vmax = LIE1->Val();
    s.tTrEnd = LIE2->Val() * 1000;
    s.User = LE1->text().toStdString();
    s.ScName = LE2->text().toStdString();
    const bool centralChanged = !(s.Central == central_->values());
    s.Central = central_->values();
    if (centralChanged) host_->centralSettingsChanged();
    if (!STV2->chosenPath().isEmpty()) s.PathA = STV2->chosenPath().toStdString();
    changeTablesFolder();
    UpdateSetupP(s);
}

void TSetupP::changeTablesFolder() {
    zv::Settings& s = host_->settings();
    const QString chosen = STV1->chosenPath();
    const QString old = fromStd(s.Path);
    if (chosen.isEmpty() || sameFolder(chosen, old)) return;
    // Asked while the old tables are still open: a train that ends meanwhile is stored
    // there instead of meeting closed tables.
    if (!holdsTables(chosen) &&
        !zv::Messages::errorQuestion(
            "Указанное место не содержит необходимые файлы!\r\nСоздать здесь новую пустую "
            "базу данных (Yes),\r\nили вернуть старое расположение базы данных (No)?")) {
        STV1->choose(old);
        return;
    }
    zv::RecordsDatabase& records = host_->records();
    closeEveryTable(records);
    s.Path = (chosen + "/").toStdString();
    try {
        records.DBOpen();
    } catch (const std::exception& e) {
        zv::Messages::error(QString::fromUtf8(e.what()));
    }
    host_->tablesReopened();
}

// Every table is closed, also when a pending edit cannot be posted; that is reported.
void TSetupP::closeEveryTable(zv::RecordsDatabase& records) {
    try {
        records.connection().closeAll();
    } catch (const std::exception& e) {
        zv::Messages::error(QString::fromUtf8(e.what()));
    }
}

// Showing and closing

void TSetupP::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TSetupP::FormShow() {
    if (host_) {
        STV1->choose(fromStd(host_->settings().Path));
        chooseArchiveFolder();
    }
    unsaved_ = false;
}

void TSetupP::chooseArchiveFolder() {
    zv::Settings& s = host_->settings();
    const QString archive = fromStd(s.PathA);
    if (!QDir(archive).exists() && !QDir().mkdir(archive)) {
        zv::Messages::information(
            "Место расположения архива недоступно!\r\nУстанавлено расположение по умолчанию.");
        s.PathA = zv::defaultArchiveFolder(host_->programFolder().toStdString());
        QDir().mkdir(fromStd(s.PathA));
    }
    if (STV2->choose(fromStd(s.PathA))) s.PathA = STV2->chosenPath().toStdString();
}

void TSetupP::done(int result) {
    if (!FormClose()) return;
    QDialog::done(result);
}

bool TSetupP::FormClose() {
    if (!mayCloseUnsaved(But2, unsaved_)) return false;
    if (host_) UpdateSetupP(host_->settings());
    return true;
}

// Handlers

void TSetupP::STV1Change(const QString& path) {
    Edit1->setText(path);
    unsaved_ = true;
}

void TSetupP::STV2Change(const QString& path) {
    Edit2->setText(path);
    unsaved_ = true;
}

void TSetupP::LE1Change() {
    if (!filling_) unsaved_ = true;
}

void TSetupP::LIE1Exit() {
    if (auto* edit = qobject_cast<TLIEdit*>(sender()); edit && edit->valModified()) unsaved_ = true;
}

void TSetupP::But1Click() {
    if (!host_) return;
    if (const QString refusal = central_->refusal(); !refusal.isEmpty()) {
        setCurrentPage(Central);
        zv::Messages::error(refusal);
        return;
    }
    ApplySetupP();
    if (saveSettings(*host_, zv::CalibrationKeys::Keep)) unsaved_ = false;
}

void TSetupP::But21Click() {
    if (!host_) return;
    if (!sameFolder(STV2->chosenPath(), fromStd(host_->settings().PathA))) {
        zv::Messages::information("Вы изменили расположение архива!\r\nПеред архивированием "
                                  "необходимо сохранить или отменить новое расположение");
        return;
    }
    bCopy().setFolders(STV1->chosenPath(), STV2->chosenPath(),
                       host_->records().Book().fileName());
    zv::showModal(bCopy());
}
