#include "reports/plain_text_export.h"

#include <algorithm>
#include <cmath>

#include "reports/report_document.h"

namespace zv {

namespace {

constexpr double kColumnMm = 1.75;
// Texts whose tops are this close stand on one line.
constexpr double kSameLineMm = 1.5;
// A gap this high between two lines leaves an empty line.
constexpr double kBlankLineMm = 7.0;

int startColumn(const DrawItem& item) {
    const auto length = static_cast<int>(item.text.size());
    if (item.alignment & Qt::AlignRight)
        return static_cast<int>(std::lround(item.rect.right() / kColumnMm)) - length;
    if (item.alignment & Qt::AlignHCenter)
        return static_cast<int>(std::lround(item.rect.center().x() / kColumnMm)) - length / 2;
    return static_cast<int>(std::lround(item.rect.left() / kColumnMm));
}

QString joinLine(std::vector<const DrawItem*> items) {
    std::sort(items.begin(), items.end(),
              [](const DrawItem* a, const DrawItem* b) { return startColumn(*a) < startColumn(*b); });
    QString line;
    for (const DrawItem* item : items) {
        // Keep at least one space between neighbours that would run into each other.
        const int minimum = line.isEmpty() ? 0 : static_cast<int>(line.size()) + 1;
        const int column = std::max(startColumn(*item), minimum);
        line = line.leftJustified(column, QLatin1Char(' ')) + item->text;
    }
    return line;
}

QString pageText(const ReportPage& page) {
    std::vector<const DrawItem*> texts;
    for (const DrawItem& item : page.items)
        if (item.kind == DrawItem::Kind::Text) texts.push_back(&item);
    std::stable_sort(texts.begin(), texts.end(), [](const DrawItem* a, const DrawItem* b) {
        return a->rect.top() < b->rect.top();
    });

    QString out;
    double lineTop = 0;
    std::vector<const DrawItem*> line;
    auto flush = [&] {
        if (!line.empty()) out += joinLine(line) + QLatin1Char('\n');
        line.clear();
    };
    for (const DrawItem* item : texts) {
        if (!line.empty() && item->rect.top() - lineTop > kSameLineMm) {
            flush();
            if (item->rect.top() - lineTop > kBlankLineMm) out += QLatin1Char('\n');
        }
        if (line.empty()) lineTop = item->rect.top();
        line.push_back(item);
    }
    flush();
    return out;
}

}  // namespace

QString toPlainText(const ReportDocument& doc) {
    QString out;
    for (int i = 0; i < doc.pageCount(); ++i) {
        if (i > 0) out += QLatin1Char('\f');
        out += pageText(doc.pages[i]);
    }
    return out;
}

}  // namespace zv
