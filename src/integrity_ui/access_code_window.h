#pragma once

#include <QDialog>

class QFormLayout;
class QLineEdit;

namespace zv {

class RecordsIntegrity;

// "Сменить код доступа": the engineer gives the current code and the new one twice. A change
// is logged without any code in it; a wrong current code is logged as at the calibration page.
class TAccessCodeW : public QDialog {
    Q_OBJECT
public:
    explicit TAccessCodeW(RecordsIntegrity& integrity, QWidget* parent = nullptr);

private:
    QLineEdit* addCodeRow(QFormLayout* form, const char* name, const QString& caption);
    void OKBtnClick();
    void startAgain();

    RecordsIntegrity& integrity_;
    QLineEdit* OldCode = nullptr;
    QLineEdit* NewCode = nullptr;
    QLineEdit* NewCode2 = nullptr;
};

// Opens the window, or says at once why the code cannot be changed here (a damaged code file).
void changeAccessCode(RecordsIntegrity& integrity, QWidget* parent);

}  // namespace zv
