#include "records/filter_expression.h"

#include "records/filter_parser.h"

namespace zv {

namespace {

void renderSql(const FilterNode& node, QString& sql, QVariantList& parameters) {
    if (node.kind != FilterNode::Kind::Compare) {
        sql += u'(';
        renderSql(*node.left, sql, parameters);
        sql += node.kind == FilterNode::Kind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
        renderSql(*node.right, sql, parameters);
        sql += u')';
        return;
    }
    // Field names come from the schema, never from the expression text.
    const QString column = u'"' + node.field + u'"';
    if (node.value.isNull()) {
        sql += column + (node.op == u"=" ? QStringLiteral(" IS NULL") : QStringLiteral(" IS NOT NULL"));
        return;
    }
    sql += column + u' ' + node.op + QStringLiteral(" ?");
    parameters.append(node.value);
}

}  // namespace

FilterExpression FilterExpression::parse(const QString& text, const TableDef& def) {
    FilterExpression result;
    result.root_ = FilterParser(text, def).parse();
    result.text_ = text;
    if (result.root_) renderSql(*result.root_, result.sql_, result.parameters_);
    return result;
}

QString FilterExpression::sqlCondition() const { return root_ ? sql_ : QStringLiteral("1"); }

QVariantList FilterExpression::sqlParameters() const { return parameters_; }

}  // namespace zv
