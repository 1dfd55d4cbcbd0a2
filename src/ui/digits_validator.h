#pragma once

#include <QString>
#include <QValidator>

namespace zv {

// Lets in digits only (a text field holding a number, such as a wagon number). A placeholder
// the field shows gives way to the first digit typed after it, so that the operator need not
// delete it first.
class DigitsValidator : public QValidator {
  public:
    explicit DigitsValidator(const QString& placeholder = {}, QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;

  private:
    QString placeholder_;
};

}  // namespace zv
