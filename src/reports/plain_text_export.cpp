#include "reports/plain_text_export.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "reports/report_document.h"

namespace zv {

namespace {

constexpr double kColumnMm = 1.75;
// Texts whose tops are this close stand on one line.
constexpr double kSameLineMm = 1.5;
// A gap this high between two lines leaves an empty line.
constexpr double kBlankLineMm = 8.0;

int column(double mm, double leftMm) {
    return static_cast<int>(std::lround((mm - leftMm) / kColumnMm));
}

// Column of the first character; the text's left edge is the left margin of the document.
int startColumn(const DrawItem& item, double leftMm) {
    const auto length = static_cast<int>(item.text.size());
    if (item.alignment & Qt::AlignRight) return column(item.rect.right(), leftMm) - length;
    if (item.alignment & Qt::AlignHCenter)
        return column(item.rect.center().x(), leftMm) - length / 2;
    return column(item.rect.left(), leftMm);
}

// `text` in at most `room` characters, an ellipsis ending what was cut. Texts that stand
// on the same column leave no room at all; the later one then moves right instead.
QString shortened(const QString& text, int room) {
    if (text.size() <= room || room < 1) return text;
    if (room == 1) return text.left(1);
    return text.left(room - 1) + QChar(0x2026);
}

// Every text of the data starts at its own column, so the columns stay aligned: one longer
// than its element that would reach the next text is cut one space before it. The
// layout's own labels are known to fit, and a text that only comes close to its neighbour
// (a weight and the comma after it) moves the neighbour a space on instead.
QString joinLine(std::vector<const DrawItem*> items, double leftMm) {
    std::sort(items.begin(), items.end(), [&](const DrawItem* a, const DrawItem* b) {
        return startColumn(*a, leftMm) < startColumn(*b, leftMm);
    });
    QString line;
    for (size_t i = 0; i < items.size(); ++i) {
        // Neighbours on the same column still keep one space between them.
        const int minimum = line.isEmpty() ? 0 : static_cast<int>(line.size()) + 1;
        const int column = std::max(startColumn(*items[i], leftMm), minimum);
        QString text = items[i]->text;
        if (items[i]->data && i + 1 < items.size()) {
            const int own = static_cast<int>(items[i]->rect.width() / kColumnMm);
            text = shortened(text, std::max(startColumn(*items[i + 1], leftMm) - 1 - column, own));
        }
        line = line.leftJustified(column, QLatin1Char(' ')) + text;
    }
    return line;
}

QString pageText(const ReportPage& page, double leftMm) {
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
        if (!line.empty()) out += joinLine(line, leftMm) + QLatin1Char('\n');
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

double leftmostText(const ReportDocument& doc) {
    double left = std::numeric_limits<double>::max();
    for (const ReportPage& page : doc.pages)
        for (const DrawItem& item : page.items)
            if (item.kind == DrawItem::Kind::Text) left = std::min(left, item.rect.left());
    return left == std::numeric_limits<double>::max() ? 0 : left;
}

}  // namespace

QString toPlainText(const ReportDocument& doc) {
    const double left = leftmostText(doc);
    QString out;
    for (int i = 0; i < doc.pageCount(); ++i) {
        if (i > 0) out += QLatin1Char('\f');
        out += pageText(doc.pages[i], left);
    }
    return out;
}

}  // namespace zv
