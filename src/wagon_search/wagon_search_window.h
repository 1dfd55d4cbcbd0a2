#pragma once

#include <QDialog>
#include <QList>
#include <functional>

#include "wagon_search/wagon_sightings.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace zv {
class ReportLayouts;
struct Settings;
}

// "Поиск вагона": where and when a wagon number was weighed, over every month's book of the
// working folder and of the archive, and Trains, with gross, tare and net; the waybill of a
// book row is printed again from here as a copy, without the table password.
class TWagonSearch : public QDialog {
    Q_OBJECT
  public:
    using Folders = std::function<zv::WagonSearchFolders()>;

    TWagonSearch(const zv::Settings& settings, const zv::ReportLayouts& layouts, Folders folders,
                 QWidget* parent = nullptr);

    const QList<zv::WagonSighting>& found() const { return found_; }

    void But1Click();  // "Найти"
    void But2Click();  // "Накладная (копия)"

  private:
    void buildControls();
    void showFound(const QStringList& unread);
    void selectionChanged();
    const zv::WagonSighting* selectedRow() const;

    const zv::Settings& settings_;
    const zv::ReportLayouts& layouts_;
    Folders folders_;
    QList<zv::WagonSighting> found_;
    QLineEdit* E1 = nullptr;
    QPushButton* But1 = nullptr;
    QPushButton* But2 = nullptr;
    QPushButton* But3 = nullptr;
    QTableWidget* SG1 = nullptr;
    QLabel* La1 = nullptr;
};
