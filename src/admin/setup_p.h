#pragma once

#include <QDialog>
#include <QPointer>

class AdminHost;
class CentralPage;
class FolderTree;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class TBCopy;
class TLIEdit;

namespace zv {
class RecordsDatabase;
struct Settings;
}  // namespace zv

// Program settings: common options, the folders of the tables and the archive, and the
// central database.
class TSetupP : public QDialog {
    Q_OBJECT
public:
    enum Page { Common = 0, Databases = 1, Central = 2 };

    explicit TSetupP(QWidget* parent = nullptr);

    // The main window; without it the window only shows the values it is given.
    void setHost(AdminHost* host);
    // The program's archiving window; the window makes its own when none is given.
    void setBCopy(TBCopy* window);

    int currentPage() const;
    void setCurrentPage(int index);

    // Every control from the settings, and the options applied to the other windows.
    void UpdateSetupP(const zv::Settings& s);
    // Every value into the settings; a newly chosen folder of the working tables is opened
    // at once (after a question when it holds no tables).
    void ApplySetupP();

    bool unsaved() const { return unsaved_; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildCommonPage();
    QWidget* buildDatabasesPage();

    void FormShow();
    bool FormClose();
    void STV1Change(const QString& path);
    void STV2Change(const QString& path);
    void LE1Change();
    void LIE1Exit();
    void But1Click();
    void But21Click();

    void chooseArchiveFolder();
    void changeTablesFolder();
    void closeEveryTable(zv::RecordsDatabase& records);
    TBCopy& bCopy();

    AdminHost* host_ = nullptr;
    QPointer<TBCopy> bCopy_;
    bool unsaved_ = false;
    bool filling_ = false;

    QTabWidget* PCon1 = nullptr;
    QLineEdit* LE1 = nullptr;
    QLineEdit* LE2 = nullptr;
    TLIEdit* LIE1 = nullptr;
    TLIEdit* LIE2 = nullptr;
    QListWidget* CLB1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    FolderTree* STV1 = nullptr;
    FolderTree* STV2 = nullptr;
    QPushButton* But21 = nullptr;
    QPushButton* But1 = nullptr;
    QPushButton* But2 = nullptr;
    CentralPage* central_ = nullptr;
};
