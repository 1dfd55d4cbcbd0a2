#pragma once

#include "ui/data_grid.h"

class QAbstractButton;
class QFrame;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QStatusBar;
class QTableView;
class QTableWidget;
class QTabWidget;
class QToolButton;
class QWidget;

// The controls of the main window, named as the operator's manual names them.
struct MainControls {
    // top band, left
    QFrame* Panel2 = nullptr;
    QLabel* Lw = nullptr;
    QLabel* Lw0 = nullptr;
    QLabel* Lw1 = nullptr;
    QLabel* Laovl = nullptr;
    QLabel* LZero = nullptr;  // whether the zero is set (app/zero_indicator.h)
    QFrame* Panel3 = nullptr;
    QToolButton* SBut01 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* DBT1 = nullptr;
    QPushButton* But1 = nullptr;
    QPushButton* But2 = nullptr;
    QPushButton* But3 = nullptr;
    // top band, right
    QFrame* P6 = nullptr;
    QLabel* L1 = nullptr;
    QLabel* L2 = nullptr;
    QLabel* L3 = nullptr;
    QLabel* L4 = nullptr;
    QFrame* P7 = nullptr;
    QPushButton* But4 = nullptr;
    QFrame* P12 = nullptr;
    QToolButton* SBut11 = nullptr;
    QLineEdit* LE1 = nullptr;
    QToolButton* SBut12 = nullptr;
    // pages
    QTabWidget* PCon1 = nullptr;
    QWidget* TS1 = nullptr;
    QWidget* TS2 = nullptr;
    QWidget* TS3 = nullptr;
    QFrame* P11 = nullptr;
    QWidget* LIEtrSlot = nullptr;  // the train selector sits here (its type comes from ui/)
    QToolButton* SpinBut1Up = nullptr;
    QToolButton* SpinBut1Down = nullptr;
    QPushButton* But11 = nullptr;
    QLabel* La11 = nullptr;
    QFrame* P13 = nullptr;
    zv::DataGrid* DBG1 = nullptr;
    zv::DataGrid* DBG2 = nullptr;
    QStatusBar* StatusLine = nullptr;
    // debug panel
    QFrame* Panel5 = nullptr;
    QToolButton* SBa1 = nullptr;
    QToolButton* SBa2 = nullptr;
    QToolButton* SBa3 = nullptr;
    QLabel* La1 = nullptr;
    QLabel* La2 = nullptr;
    QLabel* La3 = nullptr;
    QLabel* La4 = nullptr;
    QLabel* La1_ = nullptr;
    QLabel* La2_ = nullptr;
    QLabel* La3_ = nullptr;
    QLabel* La4_ = nullptr;
    QLabel* La3s = nullptr;
    QLabel* La5 = nullptr;
    QLabel* La6 = nullptr;
    QTableWidget* SG1 = nullptr;
};

// Builds the central area and the status line of the main window.
MainControls buildMainLayout(QMainWindow* window);
