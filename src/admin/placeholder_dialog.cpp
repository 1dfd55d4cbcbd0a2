#include "admin/placeholder_dialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

PlaceholderDialog::PlaceholderDialog(const QString& name, const QString& caption,
                                     const QStringList& pages, QWidget* parent)
    : QDialog(parent) {
    setObjectName(name);
    setWindowTitle(caption);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    if (!pages.isEmpty()) {
        pages_ = new QTabWidget(this);
        pages_->setObjectName("PCon1");
        for (const QString& page : pages) pages_->addTab(new QWidget(pages_), page);
        layout->addWidget(pages_, 1);
    } else {
        layout->addStretch(1);
    }
    auto* bar = new QHBoxLayout;
    bar->addStretch(1);
    auto* close = new QPushButton("Закрыть", this);
    close->setObjectName("ButClose");
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    bar->addWidget(close);
    layout->addLayout(bar);
    resize(520, 380);
}

int PlaceholderDialog::currentPage() const {
    return pages_ ? pages_->currentIndex() : -1;
}

void PlaceholderDialog::setCurrentPage(int index) {
    if (pages_) pages_->setCurrentIndex(index);
}
