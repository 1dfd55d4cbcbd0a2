#pragma once

#include "admin/placeholder_dialog.h"

// Weighing-book report window, until the report engine brings its own.
class TBPrn : public PlaceholderDialog {
    Q_OBJECT
public:
    explicit TBPrn(QWidget* parent = nullptr)
        : PlaceholderDialog("BPrn", "ZOL - Отчет по весовой книге", {}, parent) {}
};
