#pragma once

#include <QList>
#include <QPointer>
#include <QString>

class QLabel;
class QTabWidget;
class QWidget;
class TWPro;

// The red line "Состав проходит при отключённом взвешивании", wherever the operator looks:
// a label of its own on the main window, in the tab row (`LaPass`, seen on both pages), a
// line in the processing window, and over the other windows that switch dynamic weighing
// off (book report, table viewer, archiving) a banner that stays on top of them. None of
// them takes a click.
class PassageNotice {
  public:
    static const QString kText;

    // The main window's label lies over the right end of the tab row of `pages`.
    explicit PassageNotice(QTabWidget* pages);
    ~PassageNotice();
    PassageNotice(const PassageNotice&) = delete;
    PassageNotice& operator=(const PassageNotice&) = delete;

    void setWindows(TWPro* processing, const QList<QWidget*>& others);
    void show(bool shown);

    QLabel* label() const { return label_; }
    QLabel* banner() const { return banner_; }

  private:
    void place();
    QWidget* coveringWindow() const;

    QTabWidget* pages_;
    QLabel* label_;
    QLabel* banner_;
    QPointer<TWPro> processing_;
    QList<QPointer<QWidget>> others_;
};
