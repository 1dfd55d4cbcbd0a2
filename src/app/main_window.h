#pragma once

#include <QMainWindow>

// The operator's main window. It owns the application state for the whole run.
class TMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TMain(QWidget* parent = nullptr);
};
