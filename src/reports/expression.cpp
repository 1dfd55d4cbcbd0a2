#include "reports/expression.h"

#include <vector>

#include "reports/display_masks.h"
#include "reports/report_dataset.h"
#include "reports/report_error.h"

namespace zv {

struct Expression::Node {
    enum class Kind { Number, Text, Field, PageNumber, GroupCount, Add, Compare, If, Sum, FormatNumeric };

    Kind kind = Kind::Number;
    double number = 0;
    QString text;  // literal text, table of a field, or comparison operator
    QString field;
    std::vector<std::unique_ptr<Node>> args;
    double sum = 0;  // running total of a SUM

    std::unique_ptr<Node> clone() const {
        auto copy = std::make_unique<Node>();
        copy->kind = kind;
        copy->number = number;
        copy->text = text;
        copy->field = field;
        copy->sum = sum;
        for (const auto& a : args) copy->args.push_back(a->clone());
        return copy;
    }
};

namespace {

using Node = Expression::Node;
using NodePtr = std::unique_ptr<Node>;

struct Token {
    enum class Kind { Number, Text, Name, Symbol, End };
    Kind kind = Kind::End;
    QString text;
    double number = 0;
    int position = 0;
};

[[noreturn]] void fail(const QString& source, int position, const QString& what) {
    throw ReportError(QStringLiteral("Expression \"%1\", position %2: %3")
                          .arg(source)
                          .arg(position + 1)
                          .arg(what));
}

std::vector<Token> tokenize(const QString& s) {
    std::vector<Token> tokens;
    int i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.position = i;
        if (c.isDigit()) {
            int j = i;
            while (j < s.size() && (s[j].isDigit() || s[j] == QLatin1Char('.'))) ++j;
            bool ok = false;
            t.kind = Token::Kind::Number;
            t.number = s.mid(i, j - i).toDouble(&ok);
            if (!ok) fail(s, i, QStringLiteral("bad number"));
            i = j;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            int j = i;
            while (j < s.size() && (s[j].isLetterOrNumber() || s[j] == QLatin1Char('_'))) ++j;
            t.kind = Token::Kind::Name;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('\'')) {
            t.kind = Token::Kind::Text;
            ++i;
            for (;;) {
                if (i >= s.size()) fail(s, t.position, QStringLiteral("unterminated text"));
                if (s[i] == QLatin1Char('\'')) {
                    if (i + 1 < s.size() && s[i + 1] == QLatin1Char('\'')) {
                        t.text += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.text += s[i++];
            }
        } else {
            static const QStringList twoChar = {QStringLiteral("<>"), QStringLiteral("<="),
                                                QStringLiteral(">=")};
            static const QString oneChar = QStringLiteral("()+,.=<>");
            t.kind = Token::Kind::Symbol;
            if (twoChar.contains(s.mid(i, 2))) {
                t.text = s.mid(i, 2);
            } else if (oneChar.contains(c)) {
                t.text = c;
            } else {
                fail(s, i, QStringLiteral("unexpected character '%1'").arg(c));
            }
            i += static_cast<int>(t.text.size());
        }
        tokens.push_back(t);
    }
    Token end;
    end.position = static_cast<int>(s.size());
    tokens.push_back(end);
    return tokens;
}

// Recursive descent over: comparison := sum [op sum]; sum := primary {+ primary}.
class Parser {
  public:
    explicit Parser(const QString& source) : source_(source), tokens_(tokenize(source)) {}

    NodePtr parseAll() {
        NodePtr n = comparison();
        if (peek().kind != Token::Kind::End)
            fail(source_, peek().position, QStringLiteral("unexpected '%1'").arg(describe(peek())));
        return n;
    }

  private:
    const Token& peek() const { return tokens_[pos_]; }
    Token take() { return tokens_[pos_++]; }
    bool isSymbol(const QString& s) const {
        return peek().kind == Token::Kind::Symbol && peek().text == s;
    }
    static QString describe(const Token& t) {
        return t.kind == Token::Kind::End ? QStringLiteral("end") : t.text;
    }
    void expect(const QString& s) {
        if (!isSymbol(s))
            fail(source_, peek().position,
                 QStringLiteral("expected '%1' instead of '%2'").arg(s, describe(peek())));
        ++pos_;
    }

    NodePtr comparison() {
        NodePtr left = sum();
        static const QStringList ops = {QStringLiteral("="),  QStringLiteral("<>"),
                                        QStringLiteral("<"),  QStringLiteral(">"),
                                        QStringLiteral("<="), QStringLiteral(">=")};
        if (peek().kind != Token::Kind::Symbol || !ops.contains(peek().text)) return left;
        auto n = std::make_unique<Node>();
        n->kind = Node::Kind::Compare;
        n->text = take().text;
        n->args.push_back(std::move(left));
        n->args.push_back(sum());
        return n;
    }

    NodePtr sum() {
        NodePtr left = primary();
        while (isSymbol(QStringLiteral("+"))) {
            ++pos_;
            auto n = std::make_unique<Node>();
            n->kind = Node::Kind::Add;
            n->args.push_back(std::move(left));
            n->args.push_back(primary());
            left = std::move(n);
        }
        return left;
    }

    NodePtr primary() {
        const Token t = take();
        auto n = std::make_unique<Node>();
        switch (t.kind) {
            case Token::Kind::Number:
                n->kind = Node::Kind::Number;
                n->number = t.number;
                return n;
            case Token::Kind::Text:
                n->kind = Node::Kind::Text;
                n->text = t.text;
                return n;
            case Token::Kind::Name:
                return named(t);
            case Token::Kind::Symbol:
                if (t.text == QLatin1String("(")) {
                    NodePtr inner = comparison();
                    expect(QStringLiteral(")"));
                    return inner;
                }
                break;
            case Token::Kind::End:
                break;
        }
        fail(source_, t.position, QStringLiteral("unexpected '%1'").arg(describe(t)));
    }

    NodePtr named(const Token& name) {
        const QString upper = name.text.toUpper();
        auto n = std::make_unique<Node>();
        if (isSymbol(QStringLiteral("."))) {
            ++pos_;
            if (peek().kind != Token::Kind::Name)
                fail(source_, peek().position,
                     QStringLiteral("field name expected after '%1.'").arg(name.text));
            n->kind = Node::Kind::Field;
            n->text = name.text;
            n->field = take().text;
            return n;
        }
        if (upper == QLatin1String("PAGENUMBER")) {
            n->kind = Node::Kind::PageNumber;
            return n;
        }
        if (upper == QLatin1String("GROUPCOUNT")) {
            n->kind = Node::Kind::GroupCount;
            return n;
        }
        if (upper == QLatin1String("SUM")) {
            n->kind = Node::Kind::Sum;
            if (insideSum_) fail(source_, name.position, QStringLiteral("SUM inside SUM"));
            insideSum_ = true;
            arguments(*n, 1, name);
            insideSum_ = false;
        } else if (upper == QLatin1String("IF")) {
            n->kind = Node::Kind::If;
            arguments(*n, 3, name);
        } else if (upper == QLatin1String("FORMATNUMERIC")) {
            n->kind = Node::Kind::FormatNumeric;
            arguments(*n, 2, name);
        } else if (isSymbol(QStringLiteral("("))) {
            fail(source_, name.position, QStringLiteral("unknown function %1").arg(name.text));
        } else {
            fail(source_, name.position,
                 QStringLiteral("unknown name %1 (fields are written Table.Field)").arg(name.text));
        }
        return n;
    }

    void arguments(Node& n, int count, const Token& name) {
        expect(QStringLiteral("("));
        for (int i = 0; i < count; ++i) {
            if (i > 0) {
                if (!isSymbol(QStringLiteral(",")))
                    fail(source_, peek().position,
                         QStringLiteral("%1 takes %2 arguments")
                             .arg(name.text.toUpper())
                             .arg(count));
                ++pos_;
            }
            n.args.push_back(comparison());
        }
        if (!isSymbol(QStringLiteral(")")))
            fail(source_, peek().position,
                 QStringLiteral("%1 takes %2 arguments").arg(name.text.toUpper()).arg(count));
        ++pos_;
    }

    const QString& source_;
    std::vector<Token> tokens_;
    size_t pos_ = 0;
    bool insideSum_ = false;
};

int compareValues(const ReportValue& a, const ReportValue& b) {
    if (a.isText() && b.isText()) return QString::compare(a.toText(), b.toText());
    if (a.isText() || b.isText()) {
        const ReportValue& t = a.isText() ? a : b;
        bool numeric = false;
        t.toText().trimmed().toDouble(&numeric);
        if (!numeric) return QString::compare(a.toText(), b.toText());
    }
    const double x = a.toNumber();
    const double y = b.toNumber();
    return x < y ? -1 : (x > y ? 1 : 0);
}

bool compareHolds(const QString& op, int c) {
    if (op == QLatin1String("=")) return c == 0;
    if (op == QLatin1String("<>")) return c != 0;
    if (op == QLatin1String("<")) return c < 0;
    if (op == QLatin1String(">")) return c > 0;
    if (op == QLatin1String("<=")) return c <= 0;
    return c >= 0;
}

ReportValue evaluateNode(const Node& n, const ExpressionContext& ctx) {
    switch (n.kind) {
        case Node::Kind::Number:
            return ReportValue::number(n.number);
        case Node::Kind::Text:
            return ReportValue::text(n.text);
        case Node::Kind::Field:
            return ctx.data ? ReportValue::fromVariant(ctx.data->value(n.field)) : ReportValue();
        case Node::Kind::PageNumber:
            return ReportValue::number(ctx.pageNumber);
        case Node::Kind::GroupCount:
            return ReportValue::number(ctx.groupCount);
        case Node::Kind::Add: {
            const ReportValue a = evaluateNode(*n.args[0], ctx);
            const ReportValue b = evaluateNode(*n.args[1], ctx);
            if (a.isText() || b.isText()) return ReportValue::text(a.toText() + b.toText());
            return ReportValue::number(a.toNumber() + b.toNumber());
        }
        case Node::Kind::Compare: {
            const int c =
                compareValues(evaluateNode(*n.args[0], ctx), evaluateNode(*n.args[1], ctx));
            return ReportValue::number(compareHolds(n.text, c) ? 1 : 0);
        }
        case Node::Kind::If:
            return evaluateNode(*n.args[0], ctx).isTrue() ? evaluateNode(*n.args[1], ctx)
                                                          : evaluateNode(*n.args[2], ctx);
        case Node::Kind::Sum:
            return ReportValue::number(n.sum);
        case Node::Kind::FormatNumeric:
            return ReportValue::text(formatNumericMask(evaluateNode(*n.args[0], ctx).toText(),
                                                       evaluateNode(*n.args[1], ctx).toNumber()));
    }
    return {};
}

template <typename F>
void forEachNode(Node& n, const F& f) {
    f(n);
    for (auto& a : n.args) forEachNode(*a, f);
}

template <typename F>
void forEachNode(const Node& n, const F& f) {
    f(n);
    for (const auto& a : n.args) forEachNode(static_cast<const Node&>(*a), f);
}

}  // namespace

Expression Expression::parse(const QString& source) {
    Expression e;
    e.source_ = source;
    e.root_ = Parser(source).parseAll();
    return e;
}

Expression::Expression() = default;
Expression::~Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;

Expression::Expression(const Expression& other)
    : source_(other.source_), root_(other.root_ ? other.root_->clone() : nullptr) {}

Expression& Expression::operator=(const Expression& other) {
    if (this != &other) {
        source_ = other.source_;
        root_ = other.root_ ? other.root_->clone() : nullptr;
    }
    return *this;
}

QStringList Expression::fieldReferences() const {
    QStringList refs;
    if (!root_) return refs;
    forEachNode(static_cast<const Node&>(*root_), [&](const Node& n) {
        if (n.kind == Node::Kind::Field) refs << n.text + QLatin1Char('.') + n.field;
    });
    return refs;
}

bool Expression::hasSums() const {
    bool found = false;
    if (root_)
        forEachNode(static_cast<const Node&>(*root_),
                    [&](const Node& n) { found = found || n.kind == Node::Kind::Sum; });
    return found;
}

void Expression::checkFields(const ReportDataset& data) const {
    if (!root_) return;
    forEachNode(static_cast<const Node&>(*root_), [&](const Node& n) {
        if (n.kind != Node::Kind::Field) return;
        if (n.text.compare(data.tableName(), Qt::CaseInsensitive) != 0 || !data.hasField(n.field))
            throw ReportError(QStringLiteral("Expression \"%1\": no field %2.%3 in the table %4")
                                  .arg(source_, n.text, n.field, data.tableName()));
    });
}

ReportValue Expression::evaluate(const ExpressionContext& context) const {
    return root_ ? evaluateNode(*root_, context) : ReportValue();
}

void Expression::accumulate(const ExpressionContext& context) {
    if (!root_) return;
    forEachNode(*root_, [&](Node& n) {
        if (n.kind == Node::Kind::Sum) n.sum += evaluateNode(*n.args[0], context).toNumber();
    });
}

void Expression::resetSums() {
    if (!root_) return;
    forEachNode(*root_, [](Node& n) { n.sum = 0; });
}

}  // namespace zv
