#pragma once

#include <QDialog>

// Wagon processing: the details of a wagon being accepted or released.
class TWPro : public QDialog {
    Q_OBJECT
public:
    explicit TWPro(QWidget* parent = nullptr);
};
