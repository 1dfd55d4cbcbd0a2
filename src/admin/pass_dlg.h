#pragma once

#include <QDialog>

class QLineEdit;

// Access-code prompt of the calibration page. It does not answer F1.
class TPassDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPassDlg(QWidget* parent = nullptr);

    QString code() const;

    // Asks for the code and tells whether the operator confirmed exactly `expected`
    // (letter case counts).
    bool confirms(const QString& expected);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* Password = nullptr;
};
