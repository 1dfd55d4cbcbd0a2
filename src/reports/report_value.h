#pragma once

#include <QString>
#include <QVariant>

namespace zv {

// A value of the report expression language: nothing, a number or a text.
// A null field takes part in arithmetic and comparisons as 0 and in a text as "".
class ReportValue {
  public:
    enum class Kind { Null, Number, Text };

    ReportValue() = default;
    static ReportValue number(double v);
    static ReportValue text(const QString& v);
    static ReportValue fromVariant(const QVariant& v);

    Kind kind() const { return kind_; }
    bool isText() const { return kind_ == Kind::Text; }
    double toNumber() const;
    QString toText() const;
    bool isTrue() const;

  private:
    Kind kind_ = Kind::Null;
    double number_ = 0;
    QString text_;
};

// Whole numbers print without a decimal point, others with up to 15 significant digits.
QString formatPlainNumber(double v);

}  // namespace zv
