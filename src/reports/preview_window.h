#pragma once

#include <QDialog>
#include <QRectF>
#include <functional>
#include <memory>

#include "reports/report_document.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QScrollArea;
class QSpinBox;

namespace zv {
class PageView;
}

// The common preview of the reports: a modal window over the pages of one document, with
// zoom, page navigation, text search, printing and saving as PDF, plain text or, for a
// report with columns, a spreadsheet (CSV).
class TPreview : public QDialog {
    Q_OBJECT
  public:
    enum class Zoom { Fit, Width, Actual };
    // Asks where to save, offering the type chosen in the window first; the answer may
    // change the type. `suggestedName` is the proposed path, with the type's suffix. An
    // empty answer cancels. Tests replace the file dialog with it.
    using PathChooser = std::function<QString(QWidget* parent, const QString& suggestedName,
                                              zv::ExportFormat& format)>;

    explicit TPreview(QWidget* parent = nullptr);
    ~TPreview() override;

    // Shows the document and returns when the operator closes the window.
    void preview(zv::ReportDocument document);
    void setDocument(zv::ReportDocument document);
    const zv::ReportDocument& document() const { return document_; }

    int currentPage() const { return page_; }  // from 0
    void goToPage(int index);
    void setZoom(Zoom zoom);
    Zoom zoom() const { return zoom_; }
    double pixelsPerMm() const;

    // Finds the next occurrence of `text` (any letter case) after the last one found, or from
    // the current page for a new text, going on from the first page after the last; shows
    // its page and highlights it.
    bool findNext(const QString& text);
    QRectF highlight() const { return highlight_; }

    bool saveTo(const QString& path, zv::ExportFormat format, QString* error = nullptr) const;
    // The type "Сохранить" writes: the choice of the box beside it.
    zv::ExportFormat saveFormat() const;
    void printTo(QPrinter& printer) const;
    void setPathChooser(PathChooser chooser) { chooser_ = std::move(chooser); }

  public slots:
    void firstPage();
    void priorPage();
    void nextPage();
    void lastPage();
    void printerSetup();
    void print();
    void save();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QWidget* makeToolBar();
    void offerFormats();
    void setSaveFormat(zv::ExportFormat format);
    void refresh();
    QPrinter& printer();

    zv::ReportDocument document_;
    int page_ = 0;
    Zoom zoom_ = Zoom::Width;
    QRectF highlight_;
    QString lastSearch_;
    int matchPage_ = 0;
    int matchItem_ = -1;
    int matchEnd_ = 0;  // the search goes on after this character of the matched item
    PathChooser chooser_;
    std::unique_ptr<QPrinter> printer_;

    QScrollArea* scroll_ = nullptr;
    zv::PageView* view_ = nullptr;
    QSpinBox* pageNo_ = nullptr;
    QLabel* pageCount_ = nullptr;
    QLineEdit* searchText_ = nullptr;
    QLabel* searchStatus_ = nullptr;
    QComboBox* saveType_ = nullptr;
};
