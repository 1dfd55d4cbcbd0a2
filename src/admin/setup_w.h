#pragma once

#include "admin/placeholder_dialog.h"

// Scale settings: connection, parameters and calibration.
class TSetupW : public PlaceholderDialog {
    Q_OBJECT
public:
    enum Page { Connection = 0, Parameters = 1, Calibration = 2 };
    explicit TSetupW(QWidget* parent = nullptr)
        : PlaceholderDialog("SetupW", "ZOL - Параметры весов",
                            {"Подключение", "Параметры", "Калибровка"}, parent) {}
};
