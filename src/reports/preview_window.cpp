#include "reports/preview_window.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include "reports/operator_file_dialog.h"
#include "reports/page_view.h"
#include "reports/report_error.h"
#include "reports/save_folder.h"
#include "ui/message_service.h"
#include "ui/modal.h"

namespace {

QPushButton* addButton(QHBoxLayout* bar, const QString& name, const QString& text,
                       const QString& hint) {
    auto* button = new QPushButton(text);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    bar->addWidget(button);
    return button;
}

struct FormatName {
    zv::ExportFormat format;
    const char* caption;  // in the box beside "Сохранить"
    const char* filter;   // in the file dialog
};

constexpr FormatName kFormats[] = {
    {zv::ExportFormat::Pdf, "PDF", "PDF (*.pdf)"},
    {zv::ExportFormat::Text, "Текст", "Текст (*.txt)"},
    {zv::ExportFormat::Csv, "CSV", "CSV для электронной таблицы (*.csv)"},
};

// The file dialog starts with the chosen type and adds its suffix to a name typed without
// one, so that it can ask before replacing the file that name stands for.
QString chooseSavePath(QWidget* parent, const QString& suggestedName, zv::ExportFormat& format,
                       bool withCsv) {
    zv::OperatorFileDialog dialog(parent, QStringLiteral("Сохранить отчет"), suggestedName);
    dialog->setObjectName(QStringLiteral("SaveDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    QStringList filters;
    for (const FormatName& f : kFormats)
        if (withCsv || f.format != zv::ExportFormat::Csv) filters << QString::fromUtf8(f.filter);
    dialog->setNameFilters(filters);
    const auto formatOf = [&](const QString& filter) {
        for (const FormatName& f : kFormats)
            if (filter == QString::fromUtf8(f.filter)) return f.format;
        return zv::ExportFormat::Pdf;
    };
    const auto follow = [&](const QString& filter) {
        dialog->setDefaultSuffix(zv::exportSuffix(formatOf(filter)).mid(1));
    };
    for (const QString& filter : filters)
        if (formatOf(filter) == format) dialog->selectNameFilter(filter);
    follow(dialog->selectedNameFilter());
    QObject::connect(&*dialog, &QFileDialog::filterSelected, &*dialog, follow);
    const QString chosen = dialog.chosenFile();
    if (!chosen.isEmpty()) format = formatOf(dialog->selectedNameFilter());
    return chosen;
}

}  // namespace

TPreview::TPreview(QWidget* parent) : QDialog(parent) {
    chooser_ = [this](QWidget* owner, const QString& name, zv::ExportFormat& format) {
        return chooseSavePath(owner, name, format, document_.hasTable());
    };
    setObjectName(QStringLiteral("TPreview"));
    setModal(true);
    resize(1000, 720);

    scroll_ = new QScrollArea;
    scroll_->setObjectName(QStringLiteral("PageArea"));
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    view_ = new zv::PageView;
    view_->setObjectName(QStringLiteral("PageView"));
    view_->setDocument(&document_);
    scroll_->setWidget(view_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(makeToolBar());
    layout->addWidget(scroll_, 1);
}

TPreview::~TPreview() = default;

QWidget* TPreview::makeToolBar() {
    auto* bar = new QWidget;
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    connect(addButton(row, "ZoomFit", "Страница", "Вся страница"), &QPushButton::clicked, this,
            [this] { setZoom(Zoom::Fit); });
    connect(addButton(row, "ZoomWidth", "По ширине", "По ширине окна"), &QPushButton::clicked, this,
            [this] { setZoom(Zoom::Width); });
    connect(addButton(row, "Zoom100", "100 %", "Натуральный размер"), &QPushButton::clicked, this,
            [this] { setZoom(Zoom::Actual); });
    row->addSpacing(12);
    const auto narrow = [](QPushButton* b) {
        b->setMaximumWidth(36);
        return b;
    };
    connect(narrow(addButton(row, "FirstPage", "|<", "Первая страница")), &QPushButton::clicked,
            this, &TPreview::firstPage);
    connect(narrow(addButton(row, "PriorPage", "<", "Предыдущая страница")), &QPushButton::clicked,
            this, &TPreview::priorPage);
    pageNo_ = new QSpinBox;
    pageNo_->setObjectName(QStringLiteral("PageNo"));
    pageNo_->setToolTip(QStringLiteral("Перейти к странице"));
    pageNo_->setKeyboardTracking(false);
    row->addWidget(pageNo_);
    connect(pageNo_, &QSpinBox::valueChanged, this, [this](int n) { goToPage(n - 1); });
    pageCount_ = new QLabel;
    pageCount_->setObjectName(QStringLiteral("PageCount"));
    row->addWidget(pageCount_);
    connect(narrow(addButton(row, "NextPage", ">", "Следующая страница")), &QPushButton::clicked,
            this, &TPreview::nextPage);
    connect(narrow(addButton(row, "LastPage", ">|", "Последняя страница")), &QPushButton::clicked,
            this, &TPreview::lastPage);
    row->addSpacing(12);
    searchText_ = new QLineEdit;
    searchText_->setObjectName(QStringLiteral("SearchText"));
    searchText_->setPlaceholderText(QStringLiteral("Поиск текста"));
    searchText_->setMinimumWidth(140);
    row->addWidget(searchText_);
    auto find = [this] { findNext(searchText_->text()); };
    connect(searchText_, &QLineEdit::returnPressed, this, find);
    connect(addButton(row, "FindNext", "Найти", "Найти далее"), &QPushButton::clicked, this, find);
    searchStatus_ = new QLabel;
    searchStatus_->setObjectName(QStringLiteral("SearchStatus"));
    row->addWidget(searchStatus_);
    row->addStretch(1);
    connect(addButton(row, "PrinterSetup", "Принтер...", "Настройка принтера"),
            &QPushButton::clicked, this, &TPreview::printerSetup);
    connect(addButton(row, "Print", "Печать", "Печать отчета"), &QPushButton::clicked, this,
            &TPreview::print);
    saveType_ = new QComboBox;
    saveType_->setObjectName(QStringLiteral("SaveType"));
    saveType_->setToolTip(QStringLiteral("Тип файла"));
    row->addWidget(saveType_);
    connect(addButton(row, "Save", "Сохранить", "Сохранить в файл выбранного типа"),
            &QPushButton::clicked, this, &TPreview::save);
    connect(addButton(row, "Close", "Закрыть", "Закрыть просмотр"), &QPushButton::clicked, this,
            &QDialog::accept);
    return bar;
}

void TPreview::preview(zv::ReportDocument document) {
    setDocument(std::move(document));
    zv::showModal(*this);
}

void TPreview::setDocument(zv::ReportDocument document) {
    document_ = std::move(document);
    setWindowTitle(document_.title);
    page_ = 0;
    matchItem_ = -1;
    highlight_ = {};
    zoom_ = Zoom::Width;
    view_->setDocument(&document_);
    const QSignalBlocker block(pageNo_);
    pageNo_->setRange(document_.pageCount() > 0 ? 1 : 0, document_.pageCount());
    pageCount_->setText(QStringLiteral("из %1").arg(document_.pageCount()));
    offerFormats();
    refresh();
}

// CSV is offered for a report with columns only; the choice made stays while offered.
void TPreview::offerFormats() {
    const zv::ExportFormat chosen = saveFormat();
    const QSignalBlocker block(saveType_);
    saveType_->clear();
    for (const FormatName& f : kFormats)
        if (document_.hasTable() || f.format != zv::ExportFormat::Csv)
            saveType_->addItem(QString::fromUtf8(f.caption), static_cast<int>(f.format));
    setSaveFormat(chosen);
}

zv::ExportFormat TPreview::saveFormat() const {
    const QVariant chosen = saveType_->currentData();
    return chosen.isValid() ? static_cast<zv::ExportFormat>(chosen.toInt()) : zv::ExportFormat::Pdf;
}

void TPreview::setSaveFormat(zv::ExportFormat format) {
    saveType_->setCurrentIndex(std::max(0, saveType_->findData(static_cast<int>(format))));
}

void TPreview::goToPage(int index) {
    if (document_.pageCount() == 0) return;
    page_ = std::clamp(index, 0, document_.pageCount() - 1);
    highlight_ = {};
    refresh();
}

void TPreview::firstPage() {
    goToPage(0);
}
void TPreview::priorPage() {
    goToPage(page_ - 1);
}
void TPreview::nextPage() {
    goToPage(page_ + 1);
}
void TPreview::lastPage() {
    goToPage(document_.pageCount() - 1);
}

void TPreview::setZoom(Zoom zoom) {
    zoom_ = zoom;
    refresh();
}

double TPreview::pixelsPerMm() const {
    const QSizeF page = document_.pageSizeMm();
    if (page.isEmpty()) return logicalDpiX() / 25.4;  // a document without a page format
    const QSize room =
        scroll_->maximumViewportSize() -
        QSize(2 * zv::PageView::kBorder + scroll_->verticalScrollBar()->sizeHint().width(),
              2 * zv::PageView::kBorder);
    switch (zoom_) {
        case Zoom::Fit:
            return std::min(room.width() / page.width(), room.height() / page.height());
        case Zoom::Width:
            return room.width() / page.width();
        case Zoom::Actual:
            break;
    }
    return logicalDpiX() / 25.4;
}

void TPreview::refresh() {
    view_->showPage(page_, pixelsPerMm());
    view_->setHighlight(highlight_);
    const QSignalBlocker block(pageNo_);
    if (document_.pageCount() > 0) pageNo_->setValue(page_ + 1);
}

void TPreview::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    refresh();
}

bool TPreview::findNext(const QString& text) {
    searchStatus_->clear();
    const int pages = document_.pageCount();
    if (text.isEmpty() || pages == 0) return false;
    if (text.compare(lastSearch_, Qt::CaseInsensitive) != 0) matchItem_ = -1;
    lastSearch_ = text;
    const bool resume = matchItem_ >= 0;
    int p = resume ? matchPage_ : page_;
    size_t i = resume ? static_cast<size_t>(matchItem_) : 0;
    qsizetype from = resume ? matchEnd_ : 0;
    // One round over every page, and back to the start page for what lies before the match.
    for (int step = 0; step <= pages; ++step) {
        const auto& items = document_.pages[p].items;
        for (; i < items.size(); ++i, from = 0) {
            if (items[i].kind != zv::DrawItem::Kind::Text) continue;
            const qsizetype at = items[i].text.indexOf(text, from, Qt::CaseInsensitive);
            if (at < 0) continue;
            matchPage_ = p;
            matchItem_ = static_cast<int>(i);
            matchEnd_ = static_cast<int>(at + 1);
            goToPage(p);
            highlight_ =
                zv::textBounds(items[i], static_cast<int>(at), static_cast<int>(text.size()));
            refresh();
            scroll_->ensureVisible(view_->toWidget(highlight_.center()).x(),
                                   view_->toWidget(highlight_.center()).y());
            return true;
        }
        p = (p + 1) % pages;
        i = 0;
        from = 0;
    }
    searchStatus_->setText(QStringLiteral("Текст не найден"));
    return false;
}

bool TPreview::saveTo(const QString& path, zv::ExportFormat format, QString* error) const {
    try {
        document_.save(path, format);
        return true;
    } catch (const zv::ReportError& e) {
        if (error) *error = e.message();
        return false;
    }
}

void TPreview::printTo(QPrinter& printer) const {
    document_.print(printer);
}

QPrinter& TPreview::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setPageLayout(document_.pageLayout);
    }
    return *printer_;
}

void TPreview::printerSetup() {
    QPageSetupDialog dialog(&printer(), this);
    dialog.exec();
}

void TPreview::print() {
    QPrinter& p = printer();
    p.setPageOrientation(document_.pageLayout.orientation());
    QPrintDialog dialog(&p, this);
    dialog.setMinMax(1, std::max(1, document_.pageCount()));
    if (dialog.exec() != QDialog::Accepted) return;
    try {
        printTo(p);
    } catch (const zv::ReportError& e) {
        zv::Messages::error(e.message());
    }
}

// The type decides both what is written and the suffix: a name without the type's suffix
// gets it.
// The dialog proposes the folder saved into last (or the documents) and a name with the
// report's period; the folder of a file written is remembered for the next time.
void TPreview::save() {
    zv::ExportFormat format = saveFormat();
    const QString folder = zv::proposedSaveFolder(zv::currentSavePlaces());
    // With its suffix, so that the dialog changes it with the type instead of taking the
    // period's last dot for one.
    const QString name = zv::fileNameOf(document_.fileBaseName()) + zv::exportSuffix(format);
    QString path = chooser_(this, QDir(folder).filePath(name), format);
    if (path.isEmpty()) return;
    setSaveFormat(format);
    const QString suffix = zv::exportSuffix(format);
    if (!path.endsWith(suffix, Qt::CaseInsensitive)) path += suffix;
    QString error;
    if (!saveTo(path, format, &error)) {
        zv::Messages::error(error);
        return;
    }
    zv::rememberSaveFolder(QFileInfo(path).absolutePath());
}
