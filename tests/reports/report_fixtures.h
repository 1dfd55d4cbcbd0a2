#pragma once

#include <QDateTime>
#include <QVariantMap>
#include <memory>
#include <ostream>

#include "reports/memory_dataset.h"
#include "reports/report_document.h"

// Readable QStrings in the failure messages of the tests.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace zv::test {

// In-memory `Book` and `Trains` data sets with the fields the layouts print, display texts
// given ready as the records layer would give them.
std::unique_ptr<MemoryDataset> makeBook();
std::unique_ptr<MemoryDataset> makeTrains();

// A released wagon: `Brut` 80000 + n, weighed tare 24000, operators 1 and 2.
QVariantMap bookRow(int n);

// A wagon of train `train` weighed in motion with the given note code and weight.
QVariantMap trainsRow(int train, int note, int weight, int n = 0);

// Items of a page made by the layout element `element`, in drawing order.
std::vector<const DrawItem*> itemsOf(const ReportPage& page, const QString& element);
// Their texts.
QStringList textsOf(const ReportPage& page, const QString& element);
// Every text item of the document by element, over all pages.
QStringList textsOf(const ReportDocument& doc, const QString& element);

}  // namespace zv::test
