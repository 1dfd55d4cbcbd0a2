#pragma once

#include "admin/placeholder_dialog.h"

// Program settings: common options and the folders of the tables and the archive.
class TSetupP : public PlaceholderDialog {
    Q_OBJECT
public:
    enum Page { Common = 0, Databases = 1 };
    explicit TSetupP(QWidget* parent = nullptr)
        : PlaceholderDialog("SetupP", "ZOL - Параметры программы", {"Общие", "Базы данных"},
                            parent) {}
};
