#include "Formula.h"
#include "ReportFormat.h"

#include "data/JetSql.h"

#include <algorithm>
#include <cmath>

namespace {

// ---------------------------------------------------------------------------------------------
// Tokens

enum class Tok { End, Field, Number, String, Word, LParen, RParen, Comma, Op };

struct Token {
    Tok kind = Tok::End;
    int pos = 0;
    QString text;         // Word (as written), Op ("=", "<>", "&" ...)
    ReportValue value;    // Number, String
    FieldRef field;       // Field
};

QString near(const QString& text, int pos)
{
    if (pos >= text.size())
        return QStringLiteral("at the end");
    return QStringLiteral("at \"%1\"").arg(text.mid(pos, 12).trimmed());
}

[[noreturn]] void fail(const QString& text, int pos, const QString& what)
{
    throw FormulaError(QStringLiteral("%1 %2 (character %3)").arg(what, near(text, pos)).arg(pos + 1), pos);
}

QString stripBrackets(QString s)
{
    s = s.trimmed();
    if (s.size() >= 2 && s.startsWith(u'[') && s.endsWith(u']'))
        s = s.mid(1, s.size() - 2).trimmed();
    return s;
}

class Lexer
{
public:
    explicit Lexer(const QString& text) : s_(text) {}

    QList<Token> run()
    {
        QList<Token> out;
        for (;;) {
            Token t = next();
            out.append(t);
            if (t.kind == Tok::End)
                return out;
        }
    }

private:
    Token next()
    {
        while (i_ < s_.size() && s_[i_].isSpace())
            ++i_;
        Token t;
        t.pos = int(i_);
        if (i_ >= s_.size())
            return t;
        const QChar c = s_[i_];
        if (c == u'{')
            return field(t);
        if (c.isDigit() || (c == u'.' && i_ + 1 < s_.size() && s_[i_ + 1].isDigit()))
            return number(t);
        if (c == u'"')
            return string(t);
        if (c.isLetter() || c == u'_') {
            const qsizetype start = i_;
            while (i_ < s_.size() && (s_[i_].isLetterOrNumber() || s_[i_] == u'_'))
                ++i_;
            t.kind = Tok::Word;
            t.text = s_.mid(start, i_ - start);
            return t;
        }
        ++i_;
        switch (c.unicode()) {
        case u'(': t.kind = Tok::LParen; return t;
        case u')': t.kind = Tok::RParen; return t;
        case u',': t.kind = Tok::Comma; return t;
        case u'=': case u'+': case u'-': case u'*': case u'/': case u'&':
            t.kind = Tok::Op;
            t.text = QString(c);
            return t;
        case u'<':
            t.kind = Tok::Op;
            if (i_ < s_.size() && (s_[i_] == u'>' || s_[i_] == u'=')) {
                t.text = QStringLiteral("<") + s_[i_];
                ++i_;
            } else {
                t.text = QStringLiteral("<");
            }
            return t;
        case u'>':
            t.kind = Tok::Op;
            if (i_ < s_.size() && s_[i_] == u'=') {
                t.text = QStringLiteral(">=");
                ++i_;
            } else {
                t.text = QStringLiteral(">");
            }
            return t;
        default:
            fail(s_, t.pos, QStringLiteral("Unexpected character"));
        }
    }

    Token field(Token t)
    {
        const qsizetype close = s_.indexOf(u'}', i_);
        if (close < 0)
            fail(s_, t.pos, QStringLiteral("A field reference is not closed with }"));
        const QString inner = s_.mid(i_ + 1, close - i_ - 1).trimmed();
        qsizetype dot;
        if (inner.startsWith(u'[')) {
            const qsizetype rb = inner.indexOf(u']');
            dot = rb < 0 ? -1 : inner.indexOf(u'.', rb);
        } else {
            dot = inner.indexOf(u'.');
        }
        if (dot <= 0)
            fail(s_, t.pos, QStringLiteral("A field reference needs the form {Table.Field}"));
        t.kind = Tok::Field;
        t.field.table = stripBrackets(inner.left(dot));
        t.field.field = stripBrackets(inner.mid(dot + 1));
        if (t.field.table.isEmpty() || t.field.field.isEmpty())
            fail(s_, t.pos, QStringLiteral("A field reference needs the form {Table.Field}"));
        i_ = close + 1;
        return t;
    }

    Token number(Token t)
    {
        const qsizetype start = i_;
        bool fraction = false;
        while (i_ < s_.size() && s_[i_].isDigit())
            ++i_;
        if (i_ < s_.size() && s_[i_] == u'.') {
            fraction = true;
            ++i_;
            while (i_ < s_.size() && s_[i_].isDigit())
                ++i_;
        }
        // An exponent only when digits follow: "1E+20", but "1to" is 1 and the word "to".
        if (i_ < s_.size() && (s_[i_] == u'e' || s_[i_] == u'E')) {
            qsizetype j = i_ + 1;
            if (j < s_.size() && (s_[j] == u'+' || s_[j] == u'-'))
                ++j;
            if (j < s_.size() && s_[j].isDigit()) {
                fraction = true;
                i_ = j;
                while (i_ < s_.size() && s_[i_].isDigit())
                    ++i_;
            }
        }
        const QString text = s_.mid(start, i_ - start);
        t.kind = Tok::Number;
        bool ok = false;
        if (!fraction) {
            const qint64 n = text.toLongLong(&ok);
            if (ok) {
                t.value = ReportValue(n);
                return t;
            }
        }
        const double d = text.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            fail(s_, t.pos, QStringLiteral("Not a number"));
        t.value = ReportValue(d);
        return t;
    }

    Token string(Token t)
    {
        QString out;
        ++i_;
        for (;;) {
            if (i_ >= s_.size())
                fail(s_, t.pos, QStringLiteral("A text in quotes is not closed"));
            const QChar c = s_[i_++];
            if (c == u'"') {
                if (i_ < s_.size() && s_[i_] == u'"') {
                    out += u'"';
                    ++i_;
                    continue;
                }
                break;
            }
            out += c;
        }
        t.kind = Tok::String;
        t.value = ReportValue(out);
        return t;
    }

    const QString& s_;
    qsizetype i_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Functions and special names

struct FunctionInfo {
    const char* name;
    int minArgs;
    int maxArgs;
};

constexpr FunctionInfo functions[] = {
    {"Date", 3, 3}, {"IsNull", 1, 1}, {"IIf", 3, 3},
    {"Sum", 1, 1}, {"Count", 0, 1}, {"Avg", 1, 1}, {"Min", 1, 1}, {"Max", 1, 1},
    {"Val", 1, 1}, {"Trim", 1, 1}, {"UCase", 1, 1}, {"LCase", 1, 1}, {"Left", 2, 2}, {"Right", 2, 2},
    {"Mid", 2, 3}, {"Len", 1, 1}, {"ToText", 1, 2}, {"Round", 1, 2}, {"RoundCents", 1, 1}, {"Abs", 1, 1},
};

const FunctionInfo* findFunction(const QString& name)
{
    for (const FunctionInfo& f : functions)
        if (name.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

constexpr const char* specials[] = {"PageNumber", "TotalPages", "PrintDate", "PrintTime", "RecordNumber", "Continued", "ReportTitle"};

const char* findSpecial(const QString& name)
{
    for (const char* s : specials)
        if (name.compare(QLatin1String(s), Qt::CaseInsensitive) == 0)
            return s;
    return nullptr;
}

bool isWord(const Token& t, const char* w)
{
    return t.kind == Tok::Word && t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
}

bool isOp(const Token& t, const char* op)
{
    return t.kind == Tok::Op && t.text == QLatin1String(op);
}

// ---------------------------------------------------------------------------------------------
// Parser

using NodePtr = std::unique_ptr<FormulaNode>;

NodePtr makeNode(FormulaNode::Kind kind, int pos)
{
    auto n = std::make_unique<FormulaNode>();
    n->kind = kind;
    n->position = pos;
    return n;
}

NodePtr binary(FormulaOp op, NodePtr a, NodePtr b, int pos)
{
    NodePtr n = makeNode(FormulaNode::Kind::Binary, pos);
    n->op = op;
    n->args.push_back(std::move(a));
    n->args.push_back(std::move(b));
    return n;
}

class Parser
{
public:
    Parser(const QString& text, QList<Token> tokens) : s_(text), t_(std::move(tokens)) {}

    NodePtr parseAll()
    {
        NodePtr n = orExpr();
        if (peek().kind != Tok::End)
            fail(s_, peek().pos, QStringLiteral("Unexpected text"));
        return n;
    }

private:
    const Token& peek(int ahead = 0) const { return t_[std::min<qsizetype>(k_ + ahead, t_.size() - 1)]; }
    const Token& take() { return t_[std::min<qsizetype>(k_++, t_.size() - 1)]; }

    void expect(Tok kind, const char* what)
    {
        if (peek().kind != kind)
            fail(s_, peek().pos, QStringLiteral("Expected %1").arg(QLatin1String(what)));
        ++k_;
    }

    NodePtr orExpr()
    {
        // Parentheses and "not" nest by recursion; a formula nested absurdly deep is refused
        // rather than allowed to exhaust the stack.
        struct Depth {
            int& d;
            explicit Depth(int& depth) : d(++depth) {}
            ~Depth() { --d; }
        } guard(depth_);
        if (depth_ > maxDepth)
            fail(s_, peek().pos, QStringLiteral("The formula is nested too deeply"));
        NodePtr n = andExpr();
        while (isWord(peek(), "or")) {
            const int pos = take().pos;
            n = binary(FormulaOp::Or, std::move(n), andExpr(), pos);
        }
        return n;
    }

    NodePtr andExpr()
    {
        NodePtr n = notExpr();
        while (isWord(peek(), "and")) {
            const int pos = take().pos;
            n = binary(FormulaOp::And, std::move(n), notExpr(), pos);
        }
        return n;
    }

    NodePtr notExpr()
    {
        if (isWord(peek(), "not")) {
            const int pos = take().pos;
            NodePtr n = makeNode(FormulaNode::Kind::Unary, pos);
            n->op = FormulaOp::Not;
            if (depth_ + ++chain_ > maxDepth)
                fail(s_, pos, QStringLiteral("The formula is nested too deeply"));
            n->args.push_back(notExpr());
            --chain_;
            return n;
        }
        return comparison();
    }

    NodePtr comparison()
    {
        NodePtr left = concat();
        const Token& t = peek();
        static const std::pair<const char*, FormulaOp> relops[] = {
            {"=", FormulaOp::Equal}, {"<>", FormulaOp::NotEqual}, {"<", FormulaOp::Less},
            {">", FormulaOp::Greater}, {"<=", FormulaOp::LessEqual}, {">=", FormulaOp::GreaterEqual},
        };
        for (const auto& [text, op] : relops) {
            if (isOp(t, text)) {
                const int pos = take().pos;
                return binary(op, std::move(left), concat(), pos);
            }
        }
        if (isWord(t, "like")) {
            const int pos = take().pos;
            return binary(FormulaOp::Like, std::move(left), concat(), pos);
        }
        if (isWord(t, "not") && isWord(peek(1), "like")) {
            const int pos = take().pos;
            take();
            return binary(FormulaOp::NotLike, std::move(left), concat(), pos);
        }
        if ((isWord(t, "starts") && isWord(peek(1), "with")) || isWord(t, "startswith")) {
            const int pos = take().pos;
            if (isWord(peek(), "with"))
                take();
            return binary(FormulaOp::StartsWith, std::move(left), concat(), pos);
        }
        if (isWord(t, "in")) {
            const int pos = take().pos;
            NodePtr n = makeNode(FormulaNode::Kind::Binary, pos);
            n->op = FormulaOp::InRange;
            n->args.push_back(std::move(left));
            n->args.push_back(concat());
            if (!isWord(peek(), "to"))
                fail(s_, peek().pos, QStringLiteral("Expected \"to\" in a range"));
            take();
            n->args.push_back(concat());
            return n;
        }
        return left;
    }

    NodePtr concat()
    {
        NodePtr n = additive();
        while (isOp(peek(), "&")) {
            const int pos = take().pos;
            n = binary(FormulaOp::Concat, std::move(n), additive(), pos);
        }
        return n;
    }

    NodePtr additive()
    {
        NodePtr n = multiplicative();
        for (;;) {
            if (isOp(peek(), "+")) {
                const int pos = take().pos;
                n = binary(FormulaOp::Add, std::move(n), multiplicative(), pos);
            } else if (isOp(peek(), "-")) {
                const int pos = take().pos;
                n = binary(FormulaOp::Subtract, std::move(n), multiplicative(), pos);
            } else {
                return n;
            }
        }
    }

    NodePtr multiplicative()
    {
        NodePtr n = unary();
        for (;;) {
            if (isOp(peek(), "*")) {
                const int pos = take().pos;
                n = binary(FormulaOp::Multiply, std::move(n), unary(), pos);
            } else if (isOp(peek(), "/")) {
                const int pos = take().pos;
                n = binary(FormulaOp::Divide, std::move(n), unary(), pos);
            } else {
                return n;
            }
        }
    }

    NodePtr unary()
    {
        if (isOp(peek(), "-")) {
            const int pos = take().pos;
            if (depth_ + ++chain_ > maxDepth)
                fail(s_, pos, QStringLiteral("The formula is nested too deeply"));
            NodePtr operand = unary();
            --chain_;
            if (operand->kind == FormulaNode::Kind::Literal && operand->literal.isNumeric()) {
                operand->literal = ReportValue::negate(operand->literal);   // -5 is a number
                operand->position = pos;
                return operand;
            }
            NodePtr n = makeNode(FormulaNode::Kind::Unary, pos);
            n->op = FormulaOp::Negate;
            n->args.push_back(std::move(operand));
            return n;
        }
        if (isOp(peek(), "+")) {
            const int pos = take().pos;
            if (depth_ + ++chain_ > maxDepth)
                fail(s_, pos, QStringLiteral("The formula is nested too deeply"));
            NodePtr n = unary();
            --chain_;
            return n;
        }
        return primary();
    }

    NodePtr primary()
    {
        const Token& t = peek();
        switch (t.kind) {
        case Tok::Number:
        case Tok::String: {
            NodePtr n = makeNode(FormulaNode::Kind::Literal, t.pos);
            n->literal = take().value;
            return n;
        }
        case Tok::Field: {
            NodePtr n = makeNode(FormulaNode::Kind::Field, t.pos);
            n->field = take().field;
            return n;
        }
        case Tok::LParen: {
            take();
            NodePtr n = orExpr();
            expect(Tok::RParen, "\")\"");
            return n;
        }
        case Tok::Word:
            return word();
        case Tok::End:
            fail(s_, t.pos, QStringLiteral("The formula ends too soon"));
        default:
            fail(s_, t.pos, QStringLiteral("Unexpected text"));
        }
    }

    NodePtr word()
    {
        const Token& t = take();
        if (isWord(t, "true") || isWord(t, "yes") || isWord(t, "false") || isWord(t, "no")) {
            NodePtr n = makeNode(FormulaNode::Kind::Literal, t.pos);
            n->literal = ReportValue(isWord(t, "true") || isWord(t, "yes"));
            return n;
        }
        if (peek().kind == Tok::LParen) {
            const FunctionInfo* f = findFunction(t.text);
            if (!f)
                fail(s_, t.pos, QStringLiteral("Unknown function"));
            take();
            NodePtr n = makeNode(FormulaNode::Kind::Call, t.pos);
            n->name = QLatin1String(f->name);
            if (peek().kind != Tok::RParen) {
                n->args.push_back(orExpr());
                while (peek().kind == Tok::Comma) {
                    take();
                    n->args.push_back(orExpr());
                }
            }
            expect(Tok::RParen, "\")\"");
            const int count = int(n->args.size());
            if (count < f->minArgs || count > f->maxArgs)
                fail(s_, t.pos, QStringLiteral("Wrong number of values for %1").arg(n->name));
            if (n->name == QLatin1String("Date"))
                return dateLiteral(std::move(n));
            return n;
        }
        if (const char* special = findSpecial(t.text)) {
            NodePtr n = makeNode(FormulaNode::Kind::Special, t.pos);
            n->name = QLatin1String(special);
            return n;
        }
        fail(s_, t.pos, QStringLiteral("Unknown word"));
    }

    // Date (yyyy,mm,dd) is a constant: the three parts must be whole numbers of a real day.
    NodePtr dateLiteral(NodePtr call)
    {
        int parts[3];
        for (int i = 0; i < 3; ++i) {
            const FormulaNode& a = *call->args[i];
            if (a.kind != FormulaNode::Kind::Literal || a.literal.type() != ReportValue::Type::Int)
                fail(s_, a.position, QStringLiteral("Date needs three whole numbers"));
            if (a.literal.toInt() < 0 || a.literal.toInt() > 9999)
                fail(s_, call->position, QStringLiteral("Not a valid date"));
            parts[i] = int(a.literal.toInt());
        }
        const QDate d(parts[0], parts[1], parts[2]);
        if (!d.isValid() || parts[0] < 100)
            fail(s_, call->position, QStringLiteral("Not a valid date"));
        NodePtr n = makeNode(FormulaNode::Kind::Literal, call->position);
        n->literal = ReportValue(d);
        return n;
    }

    static constexpr int maxDepth = 200;
    const QString& s_;
    QList<Token> t_;
    qsizetype k_ = 0;
    int depth_ = 0;
    int chain_ = 0;   // "not not ..." and "- - ..." runs
};

void walk(const FormulaNode& n, const std::function<void(const FormulaNode&)>& fn)
{
    fn(n);
    for (const auto& a : n.args)
        walk(*a, fn);
}

// ---------------------------------------------------------------------------------------------
// Evaluation

QString asText(const ReportValue& v, DateOrder dates = DateOrder::MonthFirst)
{
    return v.toDisplayText(dates);
}

ReportValue evalCall(const FormulaNode& n, const FormulaContext& ctx)
{
    const QString& f = n.name;
    auto arg = [&](int i) { return evaluateFormula(*n.args[size_t(i)], ctx); };
    if (n.isAggregate())
        return ctx.aggregate(n);
    if (f == QLatin1String("IsNull"))
        return ReportValue(arg(0).isNull());
    if (f == QLatin1String("IIf"))
        return formulaHolds(*n.args[0], ctx) ? arg(1) : arg(2);
    if (f == QLatin1String("Val")) {
        const ReportValue v = arg(0);
        return v.isNumeric() ? v : ReportValue(vbVal(asText(v)));
    }
    if (f == QLatin1String("Abs")) {
        const ReportValue v = arg(0);
        if (v.isNull())
            return v;
        const auto c = ReportValue::compare(v, ReportValue(qint64(0)));
        return c && *c < 0 ? ReportValue::negate(v) : v;
    }
    if (f == QLatin1String("Round")) {
        const ReportValue v = arg(0);
        if (v.isNull())
            return v;
        // Places beyond what a number can hold change nothing, so the count is bounded by the
        // places exact money keeps (more than a double has).
        const int places = n.args.size() > 1 ? int(std::clamp<qint64>(arg(1).toInt(), -ExactMoney::Decimals, ExactMoney::Decimals)) : 0;
        if (v.type() == ReportValue::Type::Money)
            return v.toMoney().rounded(places, ExactMoney::Halves::ToEven);
        if (!v.isNumeric())
            throw ReportError(QStringLiteral("Round wants a number"));
        const double r = roundHalfEven(v.toDouble(), places);
        if (places > 0)
            return ReportValue(r);
        return std::fabs(r) < 9223372036854775808.0 ? ReportValue(qint64(r)) : ReportValue(r);
    }
    if (f == QLatin1String("RoundCents")) {
        // Money to the cent as the form prints it, so that what is added up is what is shown.
        const ReportValue v = arg(0);
        if (v.isNull())
            return v;
        if (!v.isNumeric())
            throw ReportError(QStringLiteral("RoundCents wants a number"));
        return ReportValue(v.toMoney().rounded(2));
    }
    if (f == QLatin1String("ToText")) {
        const ReportValue v = arg(0);
        if (n.args.size() > 1) {
            // A text is a format, as a field's format= takes it ("d MMM yyyy", "#,##0.00");
            // a number is the count of decimals, of which no number has more than exact money keeps.
            const ReportValue how = arg(1);
            if (how.isText())
                return ReportValue(formatReportValue(v, how.text(), ctx.dateOrder()));
            if (v.isNumeric()) {
                const qint64 decimals = std::clamp<qint64>(how.toInt(), 0, ExactMoney::Decimals);
                return ReportValue(formatNumberPicture(v, QStringLiteral("#,##0") + (decimals ? u'.' + QString(decimals, u'0') : QString())));
            }
        }
        return ReportValue(asText(v, ctx.dateOrder()));
    }
    const ReportValue v = arg(0);
    if (v.isNull())
        return v;
    const QString s = asText(v);
    if (f == QLatin1String("Trim")) return ReportValue(s.trimmed());
    if (f == QLatin1String("UCase")) return ReportValue(s.toUpper());
    if (f == QLatin1String("LCase")) return ReportValue(s.toLower());
    if (f == QLatin1String("Len")) return ReportValue(qint64(s.size()));
    if (f == QLatin1String("Left")) return ReportValue(s.left(std::max<qint64>(0, arg(1).toInt())));
    if (f == QLatin1String("Right")) return ReportValue(s.right(std::max<qint64>(0, arg(1).toInt())));
    if (f == QLatin1String("Mid")) {
        const qint64 start = std::max<qint64>(1, arg(1).toInt());
        const qint64 len = n.args.size() > 2 ? std::max<qint64>(0, arg(2).toInt()) : -1;
        return ReportValue(s.mid(start - 1, len));
    }
    throw ReportError(QStringLiteral("%1 cannot be evaluated").arg(f));
}

std::optional<bool> truth(const ReportValue& v)
{
    if (v.isNull())
        return std::nullopt;
    return v.toBool();
}

// ---------------------------------------------------------------------------------------------
// Translation into SQL

enum class SqlType { Condition, Flag, Number, Text, Date, Bytes };

struct Sql {
    QString sql;
    QVariantList params;
    SqlType type = SqlType::Number;
    bool isLiteral = false;   // a single bound parameter
    ReportValue literal;      // its value, while isLiteral
};

SqlType sqlTypeOf(FieldType t)
{
    switch (t) {
    case FieldType::Text:
    case FieldType::Memo: return SqlType::Text;
    case FieldType::Date: return SqlType::Date;
    case FieldType::YesNo: return SqlType::Flag;
    case FieldType::Binary: return SqlType::Bytes;
    default: return SqlType::Number;
    }
}

SqlType sqlTypeOf(const ReportValue& v)
{
    switch (v.type()) {
    case ReportValue::Type::Text: return SqlType::Text;
    case ReportValue::Type::Date:
    case ReportValue::Type::DateTime: return SqlType::Date;
    case ReportValue::Type::Bool: return SqlType::Flag;
    case ReportValue::Type::Bytes: return SqlType::Bytes;
    default: return SqlType::Number;
    }
}

QVariant toParam(const ReportValue& v)
{
    switch (v.type()) {
    case ReportValue::Type::Null: return QVariant();
    case ReportValue::Type::Bool: return qlonglong(v.toBool() ? 1 : 0);
    case ReportValue::Type::Int: return qlonglong(v.toInt());
    case ReportValue::Type::Double:
    case ReportValue::Type::Money: return v.toDouble();
    case ReportValue::Type::Text: return v.text();
    case ReportValue::Type::Date:
    case ReportValue::Type::DateTime: return dateToStorage(v.toDate());
    case ReportValue::Type::Bytes: return v.bytes();
    }
    return QVariant();
}

QString typeName(SqlType t)
{
    switch (t) {
    case SqlType::Condition: return QStringLiteral("a condition");
    case SqlType::Flag: return QStringLiteral("a yes/no value");
    case SqlType::Number: return QStringLiteral("a number");
    case SqlType::Text: return QStringLiteral("text");
    case SqlType::Date: return QStringLiteral("a date");
    case SqlType::Bytes: return QStringLiteral("a picture");
    }
    return QString();
}

class SqlBuilder
{
public:
    SqlBuilder(const QString& text, const SqlFieldResolver& resolve) : text_(text), resolve_(resolve) {}

    Sql condition(const FormulaNode& n)
    {
        Sql s = build(n);
        return asCondition(std::move(s), n);
    }

private:
    [[noreturn]] void error(const FormulaNode& n, const QString& what) const
    {
        throw FormulaError(QStringLiteral("%1 %2 (character %3)").arg(what, near(text_, n.position)).arg(n.position + 1), n.position);
    }

    static Sql param(const ReportValue& v)
    {
        Sql s;
        s.sql = QStringLiteral("?");
        s.params.append(toParam(v));
        s.type = sqlTypeOf(v);
        s.isLiteral = true;
        s.literal = v;
        return s;
    }

    Sql asCondition(Sql s, const FormulaNode& n)
    {
        switch (s.type) {
        case SqlType::Condition:
            return s;
        case SqlType::Flag:
        case SqlType::Number:
            s.sql = QStringLiteral("(%1 <> 0)").arg(s.sql);
            s.type = SqlType::Condition;
            s.isLiteral = false;
            return s;
        default:
            error(n, QStringLiteral("Expected a condition, not %1,").arg(typeName(s.type)));
        }
    }

    Sql build(const FormulaNode& n)
    {
        switch (n.kind) {
        case FormulaNode::Kind::Literal:
            return param(n.literal);
        case FormulaNode::Kind::Field: {
            const SqlField f = resolve_(n.field);
            if (f.sql.isEmpty())
                return param(f.constant);
            Sql s;
            s.sql = f.sql;
            s.type = sqlTypeOf(f.type);
            return s;
        }
        case FormulaNode::Kind::Special:
            if (n.name == QLatin1String("PrintDate"))
                return param(ReportValue(QDate::currentDate()));
            error(n, QStringLiteral("%1 cannot be used to select records").arg(n.name));
        case FormulaNode::Kind::Unary:
            if (n.op == FormulaOp::Not) {
                Sql a = condition(*n.args[0]);
                a.sql = QStringLiteral("(NOT %1)").arg(a.sql);
                return a;
            } else {
                Sql a = number(*n.args[0]);
                a.sql = QStringLiteral("(-%1)").arg(a.sql);
                a.isLiteral = false;
                return a;
            }
        case FormulaNode::Kind::Binary:
            return binaryNode(n);
        case FormulaNode::Kind::Call:
            return call(n);
        }
        error(n, QStringLiteral("Cannot select records"));
    }

    Sql number(const FormulaNode& n)
    {
        Sql s = build(n);
        if (s.type != SqlType::Number && s.type != SqlType::Flag)
            error(n, QStringLiteral("Expected a number, not %1,").arg(typeName(s.type)));
        return s;
    }

    Sql text(const FormulaNode& n)
    {
        Sql s = build(n);
        if (s.type != SqlType::Text)
            error(n, QStringLiteral("Expected text, not %1,").arg(typeName(s.type)));
        return s;
    }

    static Sql join(const QString& pattern, Sql a, Sql b, SqlType type)
    {
        Sql s;
        s.sql = pattern.arg(a.sql, b.sql);
        s.params = a.params + b.params;
        s.type = type;
        return s;
    }

    // Brings two operands of a comparison to one kind: dates by day, a text in quotes against
    // a date as that date, yes/no values by truth. Anything else must already agree.
    void unify(Sql& a, Sql& b, const FormulaNode& at)
    {
        auto dayOf = [](Sql& s) {
            if (!s.isLiteral)
                s.sql = QStringLiteral("substr(%1,1,10)").arg(s.sql);
        };
        if (a.type == SqlType::Date || b.type == SqlType::Date) {
            for (Sql* s : {&a, &b}) {
                if (s->type == SqlType::Text && s->isLiteral) {
                    const QDate d = s->literal.toDate();
                    if (!d.isValid())
                        error(at, QStringLiteral("\"%1\" is not a date").arg(s->literal.text()));
                    *s = param(ReportValue(d));
                }
            }
            if (a.type != SqlType::Date || b.type != SqlType::Date)
                error(at, QStringLiteral("Cannot compare %1 with %2").arg(typeName(a.type), typeName(b.type)));
            dayOf(a);
            dayOf(b);
            return;
        }
        const bool aNum = a.type == SqlType::Number || a.type == SqlType::Flag;
        const bool bNum = b.type == SqlType::Number || b.type == SqlType::Flag;
        if (aNum && bNum) {
            if (a.type == SqlType::Flag || b.type == SqlType::Flag) {
                a.sql = QStringLiteral("(%1 <> 0)").arg(a.sql);
                b.sql = QStringLiteral("(%1 <> 0)").arg(b.sql);
            }
            return;
        }
        if (a.type == SqlType::Text && b.type == SqlType::Text) {
            b.sql += QStringLiteral(" COLLATE NOCASE");
            return;
        }
        error(at, QStringLiteral("Cannot compare %1 with %2").arg(typeName(a.type), typeName(b.type)));
    }

    Sql comparison(const char* op, Sql a, Sql b, const FormulaNode& at)
    {
        unify(a, b, at);
        return join(QStringLiteral("(%1 ") + QLatin1String(op) + QStringLiteral(" %2)"), std::move(a), std::move(b), SqlType::Condition);
    }

    Sql pattern(const FormulaNode& n, bool startsWith)
    {
        Sql p = build(n);
        if (!p.isLiteral || p.type != SqlType::Text)
            error(n, QStringLiteral("Expected a text in quotes"));
        const QString v = p.literal.text();
        return param(ReportValue(startsWith ? sqlLikeEscape(v) + u'*' : formulaLikePattern(v)));
    }

    Sql binaryNode(const FormulaNode& n)
    {
        const FormulaNode& l = *n.args[0];
        const FormulaNode& r = *n.args[1];
        switch (n.op) {
        case FormulaOp::Or:
            return join(QStringLiteral("(%1 OR %2)"), condition(l), condition(r), SqlType::Condition);
        case FormulaOp::And:
            return join(QStringLiteral("(%1 AND %2)"), condition(l), condition(r), SqlType::Condition);
        case FormulaOp::Equal: return comparison("=", build(l), build(r), n);
        case FormulaOp::NotEqual: return comparison("<>", build(l), build(r), n);
        case FormulaOp::Less: return comparison("<", build(l), build(r), n);
        case FormulaOp::Greater: return comparison(">", build(l), build(r), n);
        case FormulaOp::LessEqual: return comparison("<=", build(l), build(r), n);
        case FormulaOp::GreaterEqual: return comparison(">=", build(l), build(r), n);
        case FormulaOp::Like:
            return join(QStringLiteral("(%1 LIKE %2)"), text(l), pattern(r, false), SqlType::Condition);
        case FormulaOp::NotLike:
            return join(QStringLiteral("(NOT (%1 LIKE %2))"), text(l), pattern(r, false), SqlType::Condition);
        case FormulaOp::StartsWith:
            return join(QStringLiteral("(%1 LIKE %2)"), text(l), pattern(r, true), SqlType::Condition);
        case FormulaOp::InRange: {
            // The value is written twice, so translate it twice to keep its parameters in step.
            Sql low = comparison(">=", build(l), build(r), n);
            Sql high = comparison("<=", build(l), build(*n.args[2]), n);
            return join(QStringLiteral("(%1 AND %2)"), std::move(low), std::move(high), SqlType::Condition);
        }
        case FormulaOp::Add: return join(QStringLiteral("(%1 + %2)"), number(l), number(r), SqlType::Number);
        case FormulaOp::Subtract: return join(QStringLiteral("(%1 - %2)"), number(l), number(r), SqlType::Number);
        case FormulaOp::Multiply: return join(QStringLiteral("(%1 * %2)"), number(l), number(r), SqlType::Number);
        case FormulaOp::Divide: return join(QStringLiteral("(%1 * 1.0 / %2)"), number(l), number(r), SqlType::Number);
        case FormulaOp::Concat: {
            Sql a = build(l);
            Sql b = build(r);
            return join(QStringLiteral("(ifnull(%1,'') || ifnull(%2,''))"), std::move(a), std::move(b), SqlType::Text);
        }
        default:
            error(n, QStringLiteral("Cannot select records"));
        }
    }

    Sql call(const FormulaNode& n)
    {
        const QString& f = n.name;
        if (f == QLatin1String("IsNull")) {
            Sql a = build(*n.args[0]);
            a.sql = QStringLiteral("(%1 IS NULL)").arg(a.sql);
            a.type = SqlType::Condition;
            a.isLiteral = false;
            return a;
        }
        auto unaryText = [&](const char* fn, SqlType result) {
            Sql a = text(*n.args[0]);
            a.sql = QLatin1String(fn) + u'(' + a.sql + u')';
            a.type = result;
            a.isLiteral = false;
            return a;
        };
        if (f == QLatin1String("UCase")) return unaryText("upper", SqlType::Text);
        if (f == QLatin1String("LCase")) return unaryText("lower", SqlType::Text);
        if (f == QLatin1String("Trim")) return unaryText("trim", SqlType::Text);
        if (f == QLatin1String("Len")) return unaryText("length", SqlType::Number);
        if (f == QLatin1String("Left"))
            return join(QStringLiteral("substr(%1,1,%2)"), text(*n.args[0]), number(*n.args[1]), SqlType::Text);
        if (f == QLatin1String("Right"))
            return join(QStringLiteral("substr(%1,-(%2))"), text(*n.args[0]), number(*n.args[1]), SqlType::Text);
        if (f == QLatin1String("Abs")) {
            Sql a = number(*n.args[0]);
            a.sql = QStringLiteral("abs(%1)").arg(a.sql);
            a.isLiteral = false;
            return a;
        }
        error(n, QStringLiteral("%1 cannot be used to select records").arg(f));
    }

    const QString& text_;
    const SqlFieldResolver& resolve_;
};

} // namespace

// ---------------------------------------------------------------------------------------------

bool FormulaNode::isAggregate() const
{
    return kind == Kind::Call
        && (name == QLatin1String("Sum") || name == QLatin1String("Count") || name == QLatin1String("Avg")
            || name == QLatin1String("Min") || name == QLatin1String("Max"));
}

Formula Formula::parse(const QString& text)
{
    Formula f;
    f.text_ = text;
    if (text.trimmed().isEmpty())
        return f;
    Lexer lexer(text);
    QList<Token> tokens = lexer.run();
    // Evaluation walks the tree by recursion; a formula is a handful of conditions, so a
    // generous bound keeps any text, however long, from exhausting the stack.
    if (tokens.size() > 4000)
        throw FormulaError(QStringLiteral("The formula is too long"), 0);
    Parser parser(text, std::move(tokens));
    f.root_ = parser.parseAll();
    return f;
}

QList<FieldRef> Formula::fields() const
{
    QList<FieldRef> out;
    forEachNode([&](const FormulaNode& n) {
        if (n.kind != FormulaNode::Kind::Field)
            return;
        for (const FieldRef& r : out)
            if (r.matches(n.field))
                return;
        out.append(n.field);
    });
    return out;
}

void Formula::forEachNode(const std::function<void(const FormulaNode&)>& fn) const
{
    if (root_)
        walk(*root_, fn);
}

SortField SortField::parse(const QString& text)
{
    const QString t = text.trimmed();
    SortField s;
    QString rest = t;
    if (t.startsWith(u'+') || t.startsWith(u'-')) {
        s.descending = t.startsWith(u'-');
        rest = t.mid(1);
    }
    const QString wrong = QStringLiteral("A sort field needs the form +{Table.Field} or -{Table.Field}, not \"%1\"").arg(t);
    Formula f;
    try {
        f = Formula::parse(rest);
    } catch (const FormulaError&) {
        throw FormulaError(wrong, 0);
    }
    if (f.isEmpty() || f.root()->kind != FormulaNode::Kind::Field)
        throw FormulaError(wrong, 0);
    s.field = f.root()->field;
    return s;
}

ReportValue evaluateFormula(const FormulaNode& n, const FormulaContext& ctx)
{
    switch (n.kind) {
    case FormulaNode::Kind::Literal:
        return n.literal;
    case FormulaNode::Kind::Field:
        return ctx.field(n);
    case FormulaNode::Kind::Special:
        return ctx.special(n);
    case FormulaNode::Kind::Call:
        return evalCall(n, ctx);
    case FormulaNode::Kind::Unary: {
        if (n.op == FormulaOp::Not) {
            const auto v = truth(evaluateFormula(*n.args[0], ctx));
            return v ? ReportValue(!*v) : ReportValue();
        }
        return ReportValue::negate(evaluateFormula(*n.args[0], ctx));
    }
    case FormulaNode::Kind::Binary:
        break;
    }

    const FormulaNode& l = *n.args[0];
    const FormulaNode& r = *n.args[1];
    switch (n.op) {
    case FormulaOp::Or: {
        const auto a = truth(evaluateFormula(l, ctx));
        if (a && *a)
            return ReportValue(true);
        const auto b = truth(evaluateFormula(r, ctx));
        if (b && *b)
            return ReportValue(true);
        return a && b ? ReportValue(false) : ReportValue();
    }
    case FormulaOp::And: {
        const auto a = truth(evaluateFormula(l, ctx));
        if (a && !*a)
            return ReportValue(false);
        const auto b = truth(evaluateFormula(r, ctx));
        if (b && !*b)
            return ReportValue(false);
        return a && b ? ReportValue(true) : ReportValue();
    }
    case FormulaOp::Equal:
    case FormulaOp::NotEqual:
    case FormulaOp::Less:
    case FormulaOp::Greater:
    case FormulaOp::LessEqual:
    case FormulaOp::GreaterEqual: {
        const auto c = ReportValue::compare(evaluateFormula(l, ctx), evaluateFormula(r, ctx));
        if (!c)
            return {};
        switch (n.op) {
        case FormulaOp::Equal: return ReportValue(*c == 0);
        case FormulaOp::NotEqual: return ReportValue(*c != 0);
        case FormulaOp::Less: return ReportValue(*c < 0);
        case FormulaOp::Greater: return ReportValue(*c > 0);
        case FormulaOp::LessEqual: return ReportValue(*c <= 0);
        default: return ReportValue(*c >= 0);
        }
    }
    case FormulaOp::Like:
    case FormulaOp::NotLike:
    case FormulaOp::StartsWith: {
        const ReportValue v = evaluateFormula(l, ctx);
        const ReportValue p = evaluateFormula(r, ctx);
        if (v.isNull() || p.isNull())
            return {};
        const QString pattern = n.op == FormulaOp::StartsWith ? sqlLikeEscape(asText(p)) + u'*' : formulaLikePattern(asText(p));
        const bool m = jetLike(asText(v), pattern);
        return ReportValue(n.op == FormulaOp::NotLike ? !m : m);
    }
    case FormulaOp::InRange: {
        const ReportValue v = evaluateFormula(l, ctx);
        const auto lo = ReportValue::compare(v, evaluateFormula(r, ctx));
        const auto hi = ReportValue::compare(v, evaluateFormula(*n.args[2], ctx));
        if (lo && *lo < 0)
            return ReportValue(false);
        if (hi && *hi > 0)
            return ReportValue(false);
        return lo && hi ? ReportValue(true) : ReportValue();
    }
    case FormulaOp::Add: return ReportValue::add(evaluateFormula(l, ctx), evaluateFormula(r, ctx));
    case FormulaOp::Subtract: return ReportValue::subtract(evaluateFormula(l, ctx), evaluateFormula(r, ctx));
    case FormulaOp::Multiply: return ReportValue::multiply(evaluateFormula(l, ctx), evaluateFormula(r, ctx));
    case FormulaOp::Divide: return ReportValue::divide(evaluateFormula(l, ctx), evaluateFormula(r, ctx));
    case FormulaOp::Concat:
        return ReportValue(asText(evaluateFormula(l, ctx), ctx.dateOrder()) + asText(evaluateFormula(r, ctx), ctx.dateOrder()));
    default:
        throw ReportError(QStringLiteral("The formula cannot be evaluated"));
    }
}

bool formulaHolds(const FormulaNode& node, const FormulaContext& context)
{
    const auto t = truth(evaluateFormula(node, context));
    return t && *t;
}

SqlCondition formulaToSql(const Formula& formula, const SqlFieldResolver& resolve)
{
    SqlCondition out;
    if (formula.isEmpty())
        return out;
    SqlBuilder b(formula.text(), resolve);
    Sql s = b.condition(*formula.root());
    out.sql = s.sql;
    out.params = s.params;
    return out;
}

QString sortFieldToSql(const SortField& field, const SqlFieldResolver& resolve)
{
    const SqlField f = resolve(field.field);
    if (f.sql.isEmpty())   // a constant sorts nothing
        return QString();
    QString s = f.sql;
    if (f.type == FieldType::Text || f.type == FieldType::Memo)
        s += QStringLiteral(" COLLATE NOCASE");
    s += field.descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC");
    return s;
}

QString formulaLikePattern(const QString& pattern)
{
    bool inClass = false;
    for (const QChar c : pattern) {
        if (inClass) {
            if (c == u']')
                inClass = false;
            continue;
        }
        if (c == u'[')
            inClass = true;
        else if (c == u'*' || c == u'?')
            return pattern;
    }
    return u'*' + pattern + u'*';
}
