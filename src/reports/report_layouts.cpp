#include "reports/report_layouts.h"

#include "reports/book_report_layout.h"
#include "reports/trains_report_layout.h"
#include "reports/waybill_layout.h"
#include "settings/settings.h"

namespace zv {

QString enterpriseHeading(const Settings& settings) {
    return QString::fromStdString(settings.User) + QStringLiteral(",   ") +
           QString::fromStdString(settings.ScName);
}

ReportLayouts::ReportLayouts()
    : book_(makeBookReport()), trains_(makeTrainsReport()), waybill_(makeWaybill()) {}

void ReportLayouts::applySettings(const Settings& settings) {
    const QString heading = enterpriseHeading(settings);
    book_.setLabelText(QStringLiteral("QRLb1"), heading);
    trains_.setLabelText(QStringLiteral("QRL1"), heading);
    waybill_.setLabelText(QStringLiteral("QRLn1"), QString::fromStdString(settings.User));
}

void ReportLayouts::setBookDescription(const QString& text) {
    book_.setLabelText(QStringLiteral("QRLb2"), text);
}

}  // namespace zv
