#include "reports/report_value.h"

#include <QDateTime>
#include <cmath>

namespace zv {

ReportValue ReportValue::number(double v) {
    ReportValue r;
    r.kind_ = Kind::Number;
    r.number_ = v;
    return r;
}

ReportValue ReportValue::text(const QString& v) {
    ReportValue r;
    r.kind_ = Kind::Text;
    r.text_ = v;
    return r;
}

ReportValue ReportValue::fromVariant(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return {};
    switch (v.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Float:
        case QMetaType::Double:
            return number(v.toDouble());
        case QMetaType::QDateTime:
            return text(v.toDateTime().toString("dd.MM.yyyy hh:mm:ss"));
        default:
            return text(v.toString());
    }
}

double ReportValue::toNumber() const {
    switch (kind_) {
        case Kind::Number:
            return number_;
        case Kind::Text: {
            bool ok = false;
            const double v = text_.trimmed().toDouble(&ok);
            return ok ? v : 0;
        }
        case Kind::Null:
            break;
    }
    return 0;
}

QString ReportValue::toText() const {
    switch (kind_) {
        case Kind::Number:
            return formatPlainNumber(number_);
        case Kind::Text:
            return text_;
        case Kind::Null:
            break;
    }
    return {};
}

bool ReportValue::isTrue() const {
    if (kind_ == Kind::Text) return !text_.isEmpty();
    return toNumber() != 0;
}

QString formatPlainNumber(double v) {
    if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 1e15)
        return QString::number(static_cast<long long>(v));
    return QString::number(v, 'g', 15);
}

}  // namespace zv
