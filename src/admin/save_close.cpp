#include "admin/save_close.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

#include "ui/message_service.h"

namespace {

const QString kUnsavedQuestion = QStringLiteral("Выйти, не сохраняя сделанные изменения?");

}  // namespace

SaveCloseButtons addSaveCloseButtons(QDialog* window, QBoxLayout* layout) {
    auto* bar = new QHBoxLayout;
    bar->addStretch(1);
    SaveCloseButtons buttons;
    buttons.save = new QPushButton("Сохранить", window);
    buttons.save->setObjectName("But1");
    buttons.close = new QPushButton("Закрыть", window);
    buttons.close->setObjectName("But2");
    bar->addWidget(buttons.save);
    bar->addWidget(buttons.close);
    layout->addLayout(bar);
    QObject::connect(buttons.close, &QPushButton::clicked, window, &QDialog::reject);
    return buttons;
}

bool mayCloseUnsaved(QPushButton* close, const bool& unsaved) {
    close->setFocus();
    return !unsaved || zv::Messages::confirmation(kUnsavedQuestion);
}
