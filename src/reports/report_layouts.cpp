#include "reports/report_layouts.h"

#include "reports/book_report_layout.h"
#include "reports/report_period.h"
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

void ReportLayouts::setBookPeriod(const ReportPeriod& period) {
    book_.setLabelText(QStringLiteral("QRLb4"), period.text());
    book_.fileTag = period.fileTag();
}

void ReportLayouts::setIdentification(const QString& text) {
    identification_ = text;
    applyStamps();
}

void ReportLayouts::setWarnings(const QStringList& book, const QStringList& trains, const QStringList& waybill) {
    warnings_[0] = book;
    warnings_[1] = trains;
    warnings_[2] = waybill;
    applyStamps();
}

void ReportLayouts::applyStamps() {
    ReportLayout* layouts[] = {&book_, &trains_, &waybill_};
    for (int i = 0; i < 3; ++i) {
        QStringList& stamp = layouts[i]->pageStamp;
        stamp.clear();
        for (const QString& warning : warnings_[i]) stamp.append(QStringLiteral("Внимание! ") + warning);
        if (!identification_.isEmpty()) stamp.append(identification_);
    }
}

}  // namespace zv
