#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

class QComboBox;
class QPushButton;
class QWidget;

namespace zv {
class DataGrid;
class RecordsDatabase;
class ReportLayouts;
class Table;
class TableModel;
}  // namespace zv

// What the table viewer needs of the main window.
class DBViewHost {
  public:
    virtual ~DBViewHost() = default;
    virtual zv::RecordsDatabase& records() = 0;
    virtual const zv::ReportLayouts& layouts() = 0;
    virtual int currentOperator() const = 0;
    // The shift window, for when the operator of the shift was deleted.
    virtual void ShiftSet() = 0;
};

// Table viewer over the book, the wagons on the territory, the operators and the
// dictionaries. It works on the program's own table objects, so every change is seen at
// once elsewhere; the book, the wagons and the operators need the table password.
class TDBView : public QDialog {
    Q_OBJECT
  public:
    enum Item { Book, Wagons, Names, Loads, Stations, Clients, BasesW };

    explicit TDBView(QWidget* parent = nullptr);
    ~TDBView() override;

    // Must be set before the window is first shown. Installs a password prompt on the
    // connection of the tables.
    void setHost(DBViewHost* host);

    // Item of the table selector the window opens with (0 book ... 6 wagon bases).
    int tableIndex() const { return tableIndex_; }
    void setTableIndex(int index) { tableIndex_ = index; }
    // One dictionary with the selector disabled, as the processing window opens it.
    void openDictionary(int index);

    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    QWidget* buildNavigator();
    void FormShow();
    void CBox1CloseUp();
    void But1Click();
    void FormClose();

    void guardedSelect(int item);
    void selectTable(int item);
    void leaveProtectedTable();
    bool openProtectedTable(int item);
    void reopenWithPasswords(zv::Table& table, const QStringList& passwords);
    bool leaveShownRow();
    void navigate(const std::function<void(zv::Table&)>& step);
    void cancelEdit();
    void removeCurrentRow();
    zv::Table& tableOf(int item);
    zv::TableModel& linkOf(int item);
    static bool isProtected(int item) { return item >= Book && item <= Names; }

    DBViewHost* host_ = nullptr;
    int tableIndex_ = 0;
    int shown_ = -1;  // item whose table is on display, -1 for none
    // The viewer's own link to the wagons on the territory: every field, editable, while the
    // main window's list shows its few read-only columns.
    std::unique_ptr<zv::TableModel> wagonsLink_;

    QComboBox* CBox1 = nullptr;
    QPushButton* But1 = nullptr;
    QPushButton* But2 = nullptr;
    QWidget* DBN1 = nullptr;
    zv::DataGrid* DBG1 = nullptr;
};
