#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "reports/report_value.h"

namespace zv {

class ReportDataset;

// What an expression sees while it is evaluated: the current row and the page being drawn.
struct ExpressionContext {
    const ReportDataset* data = nullptr;
    int pageNumber = 0;
    int groupCount = 0;  // groups begun so far
};

// An expression of the layouts, parsed once and evaluated per row. The language has exactly
// what the layouts use: numbers, 'texts' ('' for a quote), field references Table.Field,
// PAGENUMBER, GROUPCOUNT (the groups begun so far), + (sum of numbers, or a text joined when either side is a text),
// = <> < > <= >=, parentheses, and the functions SUM(x), IF(c, a, b), FORMATNUMERIC('mask', x).
// Anything else is refused by parse() with a ReportError naming the place.
//
// SUM adds its argument over the rows passed to accumulate() since the last resetSums().
class Expression {
  public:
    struct Node;

    static Expression parse(const QString& source);

    Expression();
    ~Expression();
    Expression(const Expression& other);
    Expression& operator=(const Expression& other);
    Expression(Expression&&) noexcept;
    Expression& operator=(Expression&&) noexcept;

    const QString& source() const { return source_; }
    // Every Table.Field the expression reads, as written.
    QStringList fieldReferences() const;
    bool hasSums() const;

    // Throws ReportError for a field or table the data set does not have.
    void checkFields(const ReportDataset& data) const;
    ReportValue evaluate(const ExpressionContext& context) const;
    void accumulate(const ExpressionContext& context);
    void resetSums();

  private:
    QString source_;
    std::unique_ptr<Node> root_;
};

}  // namespace zv
