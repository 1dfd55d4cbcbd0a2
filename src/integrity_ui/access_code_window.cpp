#include "integrity_ui/access_code_window.h"

#include "integrity/access_code.h"
#include "integrity/event_kinds.h"
#include "integrity/records_integrity.h"
#include "ui/message_service.h"
#include "ui/modal.h"
#include "ui/ok_cancel_bar.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zv {

TAccessCodeW::TAccessCodeW(RecordsIntegrity& integrity, QWidget* parent) : QDialog(parent), integrity_(integrity) {
    setObjectName("AccessCodeW");
    setWindowTitle("ZOL - Код доступа");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    OldCode = addCodeRow(form, "OldCode", "Текущий код");
    NewCode = addCodeRow(form, "NewCode", QStringLiteral("Новый код (от %1 знаков)").arg(AccessCode::kMinLength));
    NewCode2 = addCodeRow(form, "NewCode2", "Новый код еще раз");
    connect(addOkCancelBar(this, layout, "Отмена"), &QPushButton::clicked, this, &TAccessCodeW::OKBtnClick);
    setFixedWidth(360);
}

QLineEdit* TAccessCodeW::addCodeRow(QFormLayout* form, const char* name, const QString& caption) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(AccessCode::kMaxLength + 1);  // one more, so a long code is refused, not cut
    form->addRow(caption, edit);
    return edit;
}

void TAccessCodeW::OKBtnClick() {
    const AccessCode code = integrity_.accessCode();
    QString message;
    switch (code.change(OldCode->text(), NewCode->text(), NewCode2->text(), &message)) {
        case AccessCode::Change::Done:
            integrity_.record(event_kind::AccessCodeChanged, code.path());
            Messages::information(event_kind::AccessCodeChanged);
            accept();
            return;
        case AccessCode::Change::WrongCode:
            integrity_.record(event_kind::WrongAccessCode, windowTitle());
            break;
        case AccessCode::Change::Refused:
            break;
    }
    Messages::error(message);
    startAgain();
}

// Nothing typed stays behind a refusal: every code is typed afresh.
void TAccessCodeW::startAgain() {
    for (QLineEdit* edit : {OldCode, NewCode, NewCode2}) edit->clear();
    OldCode->setFocus();
}

void changeAccessCode(RecordsIntegrity& integrity, QWidget* parent) {
    if (const QString problem = integrity.accessCode().problem(); !problem.isEmpty()) return Messages::error(problem);
    TAccessCodeW window(integrity, parent);
    showModal(window);
}

}  // namespace zv
