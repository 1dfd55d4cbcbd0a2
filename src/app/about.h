#pragma once

#include <QDialog>

// The about box.
class TAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TAbout(QWidget* parent = nullptr);
};
