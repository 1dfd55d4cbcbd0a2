#include "records/filter_parser.h"

#include <utility>

#include "records/date_time_text.h"
#include "records/table_error.h"

namespace zv {

namespace {

bool isNameStart(QChar c) { return c.isLetter() || c == u'_'; }
bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

// "left and right" or "left or right".
std::shared_ptr<const FilterNode> joined(FilterNode::Kind kind, std::shared_ptr<const FilterNode> left,
                                         std::shared_ptr<const FilterNode> right) {
    auto node = std::make_shared<FilterNode>();
    node->kind = kind;
    node->left = std::move(left);
    node->right = std::move(right);
    return node;
}

}  // namespace

FilterParser::FilterParser(const QString& text, const TableDef& def) : text_(text), def_(def) {}

void FilterParser::fail(const QString& reason, int position) const {
    throw TableError(QStringLiteral("Ошибка в выражении фильтра \"%1\" (позиция %2): %3")
                         .arg(text_)
                         .arg(position + 1)
                         .arg(reason));
}

FilterParser::Token FilterParser::readQuoted(int& i) const {
    Token token{Token::Type::String, {}, i};
    ++i;  // opening quote
    while (i < text_.size()) {
        if (text_[i] == u'\'') {
            if (i + 1 < text_.size() && text_[i + 1] == u'\'') {  // a doubled quote stands for one
                token.text += u'\'';
                i += 2;
                continue;
            }
            ++i;
            return token;
        }
        token.text += text_[i++];
    }
    fail(QStringLiteral("нет закрывающей кавычки"), token.position);
}

void FilterParser::tokenize() {
    int i = 0;
    while (i < text_.size()) {
        const QChar c = text_[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'(' || c == u')') {
            tokens_.append({c == u'(' ? Token::Type::Open : Token::Type::Close, QString(c), i});
            ++i;
        } else if (c == u'\'') {
            tokens_.append(readQuoted(i));
        } else if (c == u'=' || c == u'<' || c == u'>') {
            const int start = i++;
            if (i < text_.size() && c != u'=' && (text_[i] == u'=' || (c == u'<' && text_[i] == u'>'))) ++i;
            tokens_.append({Token::Type::Op, text_.mid(start, i - start), start});
        } else if (c.isDigit() || ((c == u'-' || c == u'+') && i + 1 < text_.size() && text_[i + 1].isDigit())) {
            const int start = i++;
            while (i < text_.size() && (text_[i].isDigit() || text_[i] == u'.')) ++i;
            tokens_.append({Token::Type::Number, text_.mid(start, i - start), start});
        } else if (isNameStart(c)) {
            const int start = i;
            while (i < text_.size() && isNameChar(text_[i])) ++i;
            tokens_.append({Token::Type::Name, text_.mid(start, i - start), start});
        } else {
            fail(QStringLiteral("недопустимый символ '%1'").arg(c), i);
        }
    }
    tokens_.append({Token::Type::End, {}, static_cast<int>(text_.size())});
}

bool FilterParser::atKeyword(const char* keyword) const {
    return peek().type == Token::Type::Name && peek().text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

std::shared_ptr<const FilterNode> FilterParser::parse() {
    tokenize();
    if (peek().type == Token::Type::End) return nullptr;
    auto root = parseOr();
    if (peek().type != Token::Type::End) fail(QStringLiteral("лишний текст \"%1\"").arg(peek().text), peek().position);
    return root;
}

std::shared_ptr<const FilterNode> FilterParser::parseOr() {
    auto left = parseAnd();
    while (atKeyword("or")) {
        take();
        left = joined(FilterNode::Kind::Or, left, parseAnd());
    }
    return left;
}

std::shared_ptr<const FilterNode> FilterParser::parseAnd() {
    auto left = parsePrimary();
    while (atKeyword("and")) {
        take();
        left = joined(FilterNode::Kind::And, left, parsePrimary());
    }
    return left;
}

std::shared_ptr<const FilterNode> FilterParser::parsePrimary() {
    if (peek().type == Token::Type::Open) {
        take();
        auto inner = parseOr();
        if (peek().type != Token::Type::Close) fail(QStringLiteral("ожидается ')'"), peek().position);
        take();
        return inner;
    }
    return parseComparison();
}

std::shared_ptr<const FilterNode> FilterParser::parseComparison() {
    const Token name = take();
    if (name.type != Token::Type::Name) fail(QStringLiteral("ожидается имя поля"), name.position);
    const int index = def_.indexOf(name.text);
    if (index < 0 || !def_.fields[index].isStored())
        fail(QStringLiteral("поле %1 отсутствует в таблице %2").arg(name.text, def_.name), name.position);
    const FieldDef& field = def_.fields[index];

    const Token op = take();
    if (op.type != Token::Type::Op) fail(QStringLiteral("ожидается знак сравнения"), op.position);
    const Token value = take();
    auto node = std::make_shared<FilterNode>();
    node->field = field.name;
    node->op = op.text;
    node->value = convertValue(field, value, op.text);
    return node;
}

QVariant FilterParser::convertValue(const FieldDef& field, const Token& token, const QString& op) const {
    if (token.type == Token::Type::Name && token.text.compare(QLatin1String("null"), Qt::CaseInsensitive) == 0) {
        if (op != u"=" && op != u"<>") fail(QStringLiteral("с NULL сравнивают только = и <>"), token.position);
        return {};
    }
    if (token.type != Token::Type::Number && token.type != Token::Type::String)
        fail(QStringLiteral("ожидается значение"), token.position);

    if (field.type == FieldType::Text) return token.text;
    if (field.type == FieldType::DateTime) {
        const auto value = parseDateTimeText(token.text);
        if (token.type != Token::Type::String || !value)
            fail(QStringLiteral("ожидается дата и время 'дд.мм.гггг чч:мм'"), token.position);
        return dateTimeToStorage(*value);
    }
    bool ok = false;
    const qlonglong integer = token.text.toLongLong(&ok);
    if (ok) return integer;
    const double real = token.text.toDouble(&ok);
    if (ok) return real;
    fail(QStringLiteral("ожидается число"), token.position);
}

}  // namespace zv
