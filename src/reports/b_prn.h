#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;
class TLIEdit;

namespace zv {
class RecordsDatabase;
class ReportLayouts;
class Table;
}  // namespace zv

// "ZOL - Отчет по весовой книге": narrows the weighing book with the filters, counts the
// rows, previews the weighing-book report, and switches to the book of another month or
// folder for as long as it is open.
class TBPrn : public QDialog {
    Q_OBJECT
  public:
    // Asks for a book file; an empty answer cancels. Tests replace the file dialog with it.
    using BookChooser = std::function<QString(QWidget* parent, const QString& folder)>;

    TBPrn(zv::RecordsDatabase& records, zv::ReportLayouts& layouts, QWidget* parent = nullptr);

    void setBookChooser(BookChooser chooser) { chooser_ = std::move(chooser); }

    // The window's operations, named as the program names them.
    void FormShow();
    void ApplyFilter();
    void But1Click();  // "Изменить"
    void But2Click();  // "Текущая"
    void But3Click();  // "Просмотр отчета"
    void FormClose();

    // Makes `fileName` in `folder` the book, as steps 2 to 5 of choosing a book.
    void ChangeBook(const QString& folder, const QString& fileName);

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

  private:
    struct FilterRow;
    void buildControls();
    QWidget* buildFilterGroup();
    void setFirstDates();
    void fillLookups();
    void showBookPath();
    zv::Table& book() const;

    zv::RecordsDatabase& records_;
    zv::ReportLayouts& layouts_;
    BookChooser chooser_;
    QString savedFolder_;
    QString savedBook_;
    bool datesSet_ = false;

    QGroupBox* group_ = nullptr;
    QCheckBox* check_[9] = {};
    QDateEdit* DTP1 = nullptr;
    QTimeEdit* DTP2 = nullptr;
    QDateEdit* DTP3 = nullptr;
    QTimeEdit* DTP4 = nullptr;
    QComboBox* LCBox1 = nullptr;
    QComboBox* CBox2 = nullptr;
    QComboBox* LCBox3 = nullptr;
    QComboBox* LCBox4 = nullptr;
    QComboBox* LCBox5 = nullptr;
    TLIEdit* LIE8 = nullptr;
    TLIEdit* LIE9 = nullptr;
    QLabel* count_ = nullptr;
    QPlainTextEdit* path_ = nullptr;
};
