#pragma once

#include <QString>
#include <QStringList>

#include "reports/report_layout.h"

namespace zv {

struct Settings;
struct ReportPeriod;

// The enterprise heading of the reports: `User`, a comma, three spaces and `ScName`.
QString enterpriseHeading(const Settings& settings);

// The three print layouts the program keeps for the whole run, with the labels it fills:
// the headings from the settings and the filter description of the weighing-book report.
class ReportLayouts {
  public:
    ReportLayouts();

    const ReportLayout& bookReport() const { return book_; }      // QR3
    const ReportLayout& trainsReport() const { return trains_; }  // QR1
    const ReportLayout& waybill() const { return waybill_; }      // QR2

    // QRLb1 and QRL1 get the enterprise heading, QRLn1 gets `User`.
    void applySettings(const Settings& settings);
    // QRLb2, the line under the title of the weighing-book report.
    void setBookDescription(const QString& text);
    // QRLb4, the period of the weighing-book report, also put into its saved file's name.
    void setBookPeriod(const ReportPeriod& period);
    // The foot of every page: the identification line, under the warnings of the tables each
    // report prints (the book's for the book report, Trains' for the trains report, Wagons'
    // and the book's for the waybill).
    void setIdentification(const QString& text);
    void setWarnings(const QStringList& book, const QStringList& trains, const QStringList& waybill);

  private:
    void applyStamps();

    ReportLayout book_;
    ReportLayout trains_;
    ReportLayout waybill_;
    QString identification_;
    QStringList warnings_[3];
};

}  // namespace zv
