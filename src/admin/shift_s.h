#pragma once

#include "admin/placeholder_dialog.h"

// Operator shift change.
class TShiftS : public PlaceholderDialog {
    Q_OBJECT
public:
    explicit TShiftS(QWidget* parent = nullptr)
        : PlaceholderDialog("ShiftS", "ZOL - Смена оператора весов", {}, parent) {}
};
