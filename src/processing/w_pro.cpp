#include "processing/w_pro.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TWPro::TWPro(QWidget* parent) : QDialog(parent) {
    setObjectName("WPro");
    setWindowTitle("ZOL - Обработка вагона");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    auto* bar = new QHBoxLayout;
    bar->addStretch(1);
    auto* cancel = new QPushButton("Отмена", this);
    cancel->setObjectName("ButCancel");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    bar->addWidget(cancel);
    layout->addLayout(bar);
    resize(640, 480);
}
