#pragma once

#include "admin/placeholder_dialog.h"

// Access-code prompt of the calibration page. It does not answer F1.
class TPassDlg : public PlaceholderDialog {
    Q_OBJECT
public:
    explicit TPassDlg(QWidget* parent = nullptr)
        : PlaceholderDialog("PassDlg", "Введите код доступа", {}, parent) {}
};
