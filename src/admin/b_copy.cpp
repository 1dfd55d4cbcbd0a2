#include "admin/b_copy.h"

#include "integrity/events.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

#include "admin/archiving.h"
#include "ui/message_service.h"

namespace {

QString bracketed(const QString& name) { return "[" + name + "]"; }

}  // namespace

TBCopy::TBCopy(QWidget* parent) : QDialog(parent) {
    setObjectName("BCopy");
    // The first letter is a Latin A, as the window has always been captioned.
    setWindowTitle("ZOL - Aрхивирование");
    setModal(true);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Выберите весовую книгу для архивирования", this), 0, 0);
    grid->addWidget(new QLabel("Имеющиеся архивы", this), 0, 1);
    FLB1 = new QListWidget(this);
    FLB1->setObjectName("FLB1");
    FLB2 = new QListWidget(this);
    FLB2->setObjectName("FLB2");
    grid->addWidget(FLB1, 1, 0);
    grid->addWidget(FLB2, 1, 1);
    auto* bar = new QHBoxLayout;
    bar->addStretch(1);
    But1 = new QPushButton("Выполнить", this);
    But1->setObjectName("But1");
    But2 = new QPushButton("Отмена", this);
    But2->setObjectName("But2");
    bar->addWidget(But1);
    bar->addWidget(But2);
    grid->addLayout(bar, 2, 0, 1, 2);
    connect(But1, &QPushButton::clicked, this, &TBCopy::But1Click);
    connect(But2, &QPushButton::clicked, this, &QDialog::reject);
    resize(520, 340);
}

void TBCopy::setFolders(const QString& books, const QString& archives,
                        const QString& currentBook) {
    books_ = books;
    archives_ = archives;
    currentBook_ = currentBook;
}

void TBCopy::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TBCopy::FormShow() {
    FLB1->clear();
    FLB1->addItems(zv::booksIn(books_));
    FLB2->clear();
    for (const QString& archive : zv::archivesIn(archives_)) FLB2->addItem(bracketed(archive));
}

void TBCopy::selectArchive(const QString& name) {
    const QList<QListWidgetItem*> found = FLB2->findItems(bracketed(name), Qt::MatchExactly);
    if (!found.isEmpty()) FLB2->setCurrentItem(found.first());
}

void TBCopy::But1Click() {
    const QListWidgetItem* chosen = FLB1->currentItem();
    if (!chosen) return;
    const zv::ArchiveResult result =
        zv::archiveBook(books_, chosen->text(), archives_, currentBook_);
    switch (result.outcome) {
        case zv::ArchiveOutcome::CurrentBook:
            zv::Messages::information(
                "Это текущая активная весовая книга\r\nАрхивируйте ее после окончания месяца");
            return;
        case zv::ArchiveOutcome::AlreadyArchived:
            selectArchive(result.archiveName);
            zv::Messages::information("Здесь уже есть такой архив!");
            return;
        case zv::ArchiveOutcome::Failed:
            zv::Messages::error("Архив не создан\r\n" + result.notCopied.join("\r\n"));
            return;
        case zv::ArchiveOutcome::Archived:
            zv::Events::bookArchived(result.archiveName, QDir(archives_).filePath(result.archiveName));
            accept();
            return;
    }
}
