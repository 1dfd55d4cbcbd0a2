#include "ui/ok_cancel_bar.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

QPushButton* addOkCancelBar(QDialog* window, QBoxLayout* layout, const QString& cancelText) {
    auto* bar = new QHBoxLayout;
    bar->addStretch(1);
    auto* ok = new QPushButton("OK", window);
    ok->setObjectName("OKBtn");
    ok->setDefault(true);
    auto* cancel = new QPushButton(cancelText, window);
    cancel->setObjectName("CancelBtn");
    bar->addWidget(ok);
    bar->addWidget(cancel);
    layout->addLayout(bar);
    QObject::connect(cancel, &QPushButton::clicked, window, &QDialog::reject);
    return ok;
}
