#pragma once

#include "records/table_def.h"

#include <QString>
#include <QVariant>

#include <memory>

namespace zv {

// A node of a parsed filter: "and"/"or" of two nodes, or a comparison of a stored field
// with a value already converted to the field's storage form (null for "= NULL").
struct FilterNode {
    enum class Kind { And, Or, Compare };
    Kind kind = Kind::Compare;
    std::shared_ptr<const FilterNode> left;
    std::shared_ptr<const FilterNode> right;
    QString field;
    QString op;  // "=", "<>", "<", ">", "<=", ">="
    QVariant value;
};

// A filter expression of the program, parsed and checked against a table's fields.
// It turns into an SQL condition whose values are all bound parameters.
class FilterExpression {
public:
    FilterExpression() = default;  // the empty expression: every row passes

    // Throws TableError naming the fault when the text is malformed or names a field the
    // table does not store.
    static FilterExpression parse(const QString& text, const TableDef& def);

    const QString& text() const { return text_; }
    bool isEmpty() const { return root_ == nullptr; }
    const FilterNode* root() const { return root_.get(); }

    // SQL condition with '?' placeholders ("1" when empty) and the values for them in order.
    QString sqlCondition() const;
    QVariantList sqlParameters() const;

private:
    QString text_;
    std::shared_ptr<const FilterNode> root_;
    QString sql_;
    QVariantList parameters_;
};

}  // namespace zv
