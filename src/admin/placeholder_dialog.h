#pragma once

#include <QDialog>
#include <QStringList>

class QTabWidget;

// A modal window whose working content comes later: it already has its caption, its pages
// and a "Закрыть" button, so the menu, the help routing and the weighing gate can use it.
class PlaceholderDialog : public QDialog {
    Q_OBJECT
  public:
    PlaceholderDialog(const QString& name, const QString& caption, const QStringList& pages,
                      QWidget* parent);

    // Index of the page on display, -1 for a window without pages.
    int currentPage() const;
    void setCurrentPage(int index);

  private:
    QTabWidget* pages_ = nullptr;
};
