#pragma once

#include "admin/placeholder_dialog.h"

// Table viewer over the book, the wagons on the territory, the operators and the dictionaries.
class TDBView : public PlaceholderDialog {
    Q_OBJECT
public:
    explicit TDBView(QWidget* parent = nullptr)
        : PlaceholderDialog("DBView", "ZOL - Просмотр таблиц базы данных", {}, parent) {}

    // Item of the table selector the window opens with (0 book ... 6 wagon bases).
    int tableIndex() const { return tableIndex_; }
    void setTableIndex(int index) { tableIndex_ = index; }

private:
    int tableIndex_ = 0;
};
