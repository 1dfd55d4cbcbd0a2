#include "admin/pass_dlg.h"

#include "integrity/access_code.h"
#include "integrity/event_kinds.h"
#include "integrity/events.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/message_service.h"
#include "ui/modal.h"
#include "ui/ok_cancel_bar.h"

TPassDlg::TPassDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("PassDlg");
    setWindowTitle("Введите код доступа");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    Password = new QLineEdit(this);
    Password->setObjectName("Password");
    Password->setEchoMode(QLineEdit::Password);
    layout->addWidget(Password);
    connect(addOkCancelBar(this, layout, "Cancel"), &QPushButton::clicked, this, &QDialog::accept);
    setFixedWidth(260);
}

QString TPassDlg::code() const { return Password->text(); }

bool TPassDlg::confirms(const zv::AccessCode& accessCode) {
    if (const QString problem = accessCode.problem(); !problem.isEmpty()) {
        zv::Messages::error(problem);
        return false;
    }
    if (zv::showModal(*this) != QDialog::Accepted) return false;
    if (accessCode.confirms(code())) return true;
    zv::Events::record(zv::event_kind::WrongAccessCode, parentWidget() ? parentWidget()->windowTitle() : windowTitle());
    return false;
}

void TPassDlg::showEvent(QShowEvent* event) {
    Password->clear();
    Password->setFocus();
    QDialog::showEvent(event);
}
