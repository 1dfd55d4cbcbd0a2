#pragma once

#include <QFileDialog>
#include <memory>

namespace zv {

// A file dialog for the program that runs with the records group. It changes no file itself:
// its rename, delete, new-folder and drop would act with that group, on the records too. It
// remembers its state (Qt writes it into the operator's home as it closes) with the operator's
// own rights: a link planted there must not lead that write to a table. Used like a pointer to
// the dialog.
class OperatorFileDialog {
  public:
    OperatorFileDialog(QWidget* parent, const QString& caption, const QString& folder,
                       const QString& filter = {});
    ~OperatorFileDialog();
    OperatorFileDialog(const OperatorFileDialog&) = delete;
    OperatorFileDialog& operator=(const OperatorFileDialog&) = delete;

    // Shows the dialog modally: the first file chosen, or nothing when it was cancelled.
    QString chosenFile() const;

    QFileDialog* operator->() const { return dialog_.get(); }
    QFileDialog& operator*() const { return *dialog_; }

  private:
    std::unique_ptr<QFileDialog> dialog_;
};

}  // namespace zv
