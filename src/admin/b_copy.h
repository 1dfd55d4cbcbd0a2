#pragma once

#include "admin/placeholder_dialog.h"

// Archiving of old monthly weighing books.
class TBCopy : public PlaceholderDialog {
    Q_OBJECT
public:
    explicit TBCopy(QWidget* parent = nullptr)
        : PlaceholderDialog("BCopy", "ZOL - Aрхивирование", {}, parent) {}
};
