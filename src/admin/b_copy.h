#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

// Archiving of old monthly weighing books.
class TBCopy : public QDialog {
    Q_OBJECT
public:
    explicit TBCopy(QWidget* parent = nullptr);

    // The folder whose books are listed and copied, the archive folder, and the file name
    // of the book in use, which is refused.
    void setFolders(const QString& books, const QString& archives, const QString& currentBook);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void But1Click();
    void selectArchive(const QString& name);

    QString books_;
    QString archives_;
    QString currentBook_;
    QListWidget* FLB1 = nullptr;
    QListWidget* FLB2 = nullptr;
    QPushButton* But1 = nullptr;
    QPushButton* But2 = nullptr;
};
