#pragma once

#include "records/filter_expression.h"
#include "records/table_def.h"

#include <QList>
#include <QString>

#include <memory>

namespace zv {

// Recursive-descent parser of filter expressions:
//   expr    := and { OR and }
//   and     := primary { AND primary }
//   primary := '(' expr ')' | FIELD op value
//   value   := number | 'quoted text or dd.mm.yyyy hh:mm' | NULL
// Keywords in any letter case; spaces around parentheses optional.
class FilterParser {
public:
    FilterParser(const QString& text, const TableDef& def);
    std::shared_ptr<const FilterNode> parse();  // nullptr for an empty expression

private:
    struct Token {
        enum class Type { Name, Number, String, Op, Open, Close, End };
        Type type = Type::End;
        QString text;
        int position = 0;
    };

    void tokenize();
    Token readQuoted(int& i) const;
    std::shared_ptr<const FilterNode> parseOr();
    std::shared_ptr<const FilterNode> parseAnd();
    std::shared_ptr<const FilterNode> parsePrimary();
    std::shared_ptr<const FilterNode> parseComparison();
    QVariant convertValue(const FieldDef& field, const Token& token, const QString& op) const;
    bool atKeyword(const char* keyword) const;
    const Token& peek() const { return tokens_[pos_]; }
    Token take() { return tokens_[pos_++]; }
    [[noreturn]] void fail(const QString& reason, int position) const;

    QString text_;
    const TableDef& def_;
    QList<Token> tokens_;
    int pos_ = 0;
};

}  // namespace zv
