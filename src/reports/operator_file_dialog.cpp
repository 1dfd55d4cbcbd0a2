#include "reports/operator_file_dialog.h"

#include "privilege/operator_rights.h"
#include "ui/modal.h"

namespace zv {

OperatorFileDialog::OperatorFileDialog(QWidget* parent, const QString& caption, const QString& folder,
                                       const QString& filter)
    : dialog_(std::make_unique<QFileDialog>(parent, caption, folder, filter)) {
    dialog_->setOption(QFileDialog::ReadOnly);
}

QString OperatorFileDialog::chosenFile() const {
    if (showModal(*dialog_) != QDialog::Accepted || dialog_->selectedFiles().isEmpty()) return {};
    return dialog_->selectedFiles().constFirst();
}

OperatorFileDialog::~OperatorFileDialog() {
    const OperatorRights rights;
    dialog_.reset();
}

}  // namespace zv
