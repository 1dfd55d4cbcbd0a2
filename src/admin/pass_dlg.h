#pragma once

#include <QDialog>

class QLineEdit;

namespace zv {
class AccessCode;
}

// Access-code prompt of the calibration page. It does not answer F1.
class TPassDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPassDlg(QWidget* parent = nullptr);

    QString code() const;

    // Asks for the code and tells whether the operator gave the installation's code (letter
    // case counts); a wrong one is logged. A code file that cannot be used is said instead.
    bool confirms(const zv::AccessCode& code);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* Password = nullptr;
};
