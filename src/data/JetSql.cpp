#include "JetSql.h"

#include "DbError.h"
#include "Values.h"

#include <QList>
#include <QStringList>
#include <cstring>

namespace {

enum class Tok { Space, Word, Bracket, String, Date, Number, Symbol };

struct Token {
    Tok kind;
    QString text;
};

QList<Token> tokenize(const QString& s)
{
    QList<Token> out;
    int i = 0;
    const int n = s.size();
    while (i < n) {
        const QChar c = s[i];
        const int start = i;
        if (c.isSpace()) {
            while (i < n && s[i].isSpace())
                ++i;
            out.append({Tok::Space, s.mid(start, i - start)});
        } else if (c == u'[') {
            while (i < n && s[i] != u']')
                ++i;
            i = std::min(n, i + 1);
            out.append({Tok::Bracket, s.mid(start, i - start)});
        } else if (c == u'\'' || c == u'"') {
            ++i;
            while (i < n) {
                if (s[i] == c) {
                    if (i + 1 < n && s[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out.append({Tok::String, s.mid(start, i - start)});
        } else if (c == u'#') {
            ++i;
            while (i < n && s[i] != u'#')
                ++i;
            i = std::min(n, i + 1);
            out.append({Tok::Date, s.mid(start, i - start)});
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && s[i + 1].isDigit())) {
            while (i < n && (s[i].isDigit() || s[i] == u'.'))
                ++i;
            if (i < n && (s[i] == u'e' || s[i] == u'E')) {
                int j = i + 1;
                if (j < n && (s[j] == u'+' || s[j] == u'-'))
                    ++j;
                if (j < n && s[j].isDigit()) {
                    i = j;
                    while (i < n && s[i].isDigit())
                        ++i;
                }
            }
            out.append({Tok::Number, s.mid(start, i - start)});
        } else if (c.isLetter() || c == u'_') {
            while (i < n && (s[i].isLetterOrNumber() || s[i] == u'_' || s[i] == u'$'))
                ++i;
            out.append({Tok::Word, s.mid(start, i - start)});
        } else {
            // Two-character operators stay together so that "<>" and "<=" read as one.
            if (i + 1 < n) {
                const QString two = s.mid(i, 2);
                if (two == QLatin1String("<>") || two == QLatin1String("<=") || two == QLatin1String(">=")
                    || two == QLatin1String("!=") || two == QLatin1String("||")) {
                    i += 2;
                    out.append({Tok::Symbol, two});
                    continue;
                }
            }
            ++i;
            out.append({Tok::Symbol, QString(c)});
        }
    }
    return out;
}

int nextSolid(const QList<Token>& t, int i)
{
    for (++i; i < t.size(); ++i)
        if (t[i].kind != Tok::Space)
            return i;
    return -1;
}

int prevSolid(const QList<Token>& t, int i)
{
    for (--i; i >= 0; --i)
        if (t[i].kind != Tok::Space)
            return i;
    return -1;
}

bool isWord(const QList<Token>& t, int i, const char* word)
{
    return i >= 0 && i < t.size() && t[i].kind == Tok::Word && t[i].text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

QString dateLiteral(const QString& token)
{
    const QString inner = token.mid(1, token.size() - 2).trimmed();
    // Either a date, or a date followed by a time.
    const int blank = inner.indexOf(u' ');
    const QString datePart = blank < 0 ? inner : inner.left(blank);
    const auto date = parseUsDate(datePart);
    if (!date)
        throw DbError(EngineError::SyntaxError, QStringLiteral("Syntax error in date in query expression '%1'.").arg(token));
    if (blank < 0)
        return sqlQuote(dateToStorage(*date));
    QTime time = QTime::fromString(inner.mid(blank + 1).trimmed(), QStringLiteral("H:mm:ss"));
    if (!time.isValid())
        time = QTime::fromString(inner.mid(blank + 1).trimmed(), QStringLiteral("H:mm"));
    if (!time.isValid())
        throw DbError(EngineError::SyntaxError, QStringLiteral("Syntax error in date in query expression '%1'.").arg(token));
    return sqlQuote(dateTimeToStorage(QDateTime(*date, time)));
}

QString unquoteDoubleQuoted(const QString& token)
{
    QString inner = token.mid(1, token.size() - 2);
    inner.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return inner;
}

// Wildcard match in the legacy dialect over any sequence of code points.
template <typename Seq>
bool likeMatch(const Seq& text, const Seq& pat)
{
    const auto fold = [](auto c) -> char32_t {
        if (c < 128)
            return (c >= 'A' && c <= 'Z') ? c + 32 : c;
        return QChar::toCaseFolded(char32_t(c));
    };
    const size_t tn = text.size(), pn = pat.size();
    size_t ti = 0, pi = 0;
    size_t starP = size_t(-1), starT = 0;

    // Matches one pattern element at pi against text[ti]; sets len to the element's length.
    const auto matchOne = [&](size_t p, char32_t ch, size_t& len) -> bool {
        const char32_t pc = pat[p];
        if (pc == '?') {
            len = 1;
            return true;
        }
        if (pc == '#') {
            len = 1;
            return ch >= '0' && ch <= '9';
        }
        if (pc == '[') {
            size_t q = p + 1;
            bool negate = false;
            if (q < pn && pat[q] == '!') {
                negate = true;
                ++q;
            }
            size_t close = q;
            // A ']' right after '[' or '[!' is a member, not the end.
            if (close < pn && pat[close] == ']')
                ++close;
            while (close < pn && pat[close] != ']')
                ++close;
            if (close >= pn) {   // unterminated: a literal '['
                len = 1;
                return fold(ch) == '[';
            }
            len = close - p + 1;
            bool in = false;
            const char32_t fc = fold(ch);
            for (size_t k = q; k < close; ++k) {
                if (k + 2 < close && pat[k + 1] == '-') {
                    const char32_t lo = fold(pat[k]), hi = fold(pat[k + 2]);
                    if (fc >= lo && fc <= hi)
                        in = true;
                    k += 2;
                } else if (fold(pat[k]) == fc) {
                    in = true;
                }
            }
            return in != negate;
        }
        len = 1;
        return fold(pc) == fold(ch);
    };

    while (ti < tn) {
        size_t len = 1;
        if (pi < pn && pat[pi] == '*') {
            starP = pi++;
            starT = ti;
        } else if (pi < pn && matchOne(pi, text[ti], len)) {
            pi += len;
            ++ti;
        } else if (starP != size_t(-1)) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    while (pi < pn && pat[pi] == '*')
        ++pi;
    return pi == pn;
}

struct ByteView {
    const unsigned char* p;
    size_t n;
    size_t size() const { return n; }
    unsigned char operator[](size_t i) const { return p[i]; }
};

bool isAscii(const char* s, int n)
{
    for (int i = 0; i < n; ++i)
        if (static_cast<unsigned char>(s[i]) >= 128)
            return false;
    return true;
}

} // namespace

bool jetLike(const QString& text, const QString& pattern)
{
    const QList<uint> t = text.toUcs4();
    const QList<uint> p = pattern.toUcs4();
    return likeMatch(t, p);
}

bool jetLikeUtf8(const char* text, int textLen, const char* pattern, int patternLen)
{
    if (isAscii(text, textLen) && isAscii(pattern, patternLen))
        return likeMatch(ByteView{reinterpret_cast<const unsigned char*>(text), size_t(textLen)},
                         ByteView{reinterpret_cast<const unsigned char*>(pattern), size_t(patternLen)});
    return jetLike(QString::fromUtf8(text, textLen), QString::fromUtf8(pattern, patternLen));
}

QString sqlQuote(const QString& text)
{
    QString s = text;
    s.replace(u'\'', QStringLiteral("''"));
    return u'\'' + s + u'\'';
}

QString sqlLikeEscape(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[')
            out += u'[' + QString(c) + u']';
        else
            out += c;
    }
    return out;
}

QString sqlDate(const QDate& date)
{
    return u'#' + date.toString(QStringLiteral("MM/dd/yyyy")) + u'#';
}

QString translateJetSql(const QString& jetSql)
{
    QList<Token> t = tokenize(jetSql);
    const int first = nextSolid(t, -1);
    const bool isCreate = isWord(t, first, "create");
    const bool isAlter = isWord(t, first, "alter");

    QString out;
    out.reserve(jetSql.size() + 16);
    for (int i = 0; i < t.size(); ++i) {
        const Token& tok = t[i];
        switch (tok.kind) {
        case Tok::Date:
            out += dateLiteral(tok.text);
            continue;
        case Tok::String:
            if (tok.text.startsWith(u'"'))
                out += sqlQuote(unquoteDoubleQuoted(tok.text));
            else
                out += tok.text;
            continue;
        case Tok::Symbol:
            // "Delete * From" and "Delete Parts.* From": SQLite takes no column list there.
            if (tok.text == QLatin1String("*")) {
                const int prev = prevSolid(t, i);
                if (isWord(t, prev, "delete") && isWord(t, nextSolid(t, i), "from")) {
                    if (i + 1 < t.size() && t[i + 1].kind == Tok::Space)
                        ++i;
                    continue;
                }
            }
            out += tok.text;
            continue;
        case Tok::Word: {
            const int prev = prevSolid(t, i);
            const int next = nextSolid(t, i);
            const bool qualifiedOrCall = (next >= 0 && (t[next].text == QLatin1String(".") || t[next].text == QLatin1String("(")))
                || (prev >= 0 && t[prev].text == QLatin1String("."));
            if (isWord(t, i, "delete") && next >= 0 && (t[next].kind == Tok::Word || t[next].kind == Tok::Bracket)) {
                // Delete Parts.* From Parts
                const int dot = nextSolid(t, next);
                const int star = nextSolid(t, dot);
                if (dot >= 0 && t[dot].text == QLatin1String(".") && star >= 0 && t[star].text == QLatin1String("*")
                    && isWord(t, nextSolid(t, star), "from")) {
                    out += tok.text;
                    i = star;
                    continue;
                }
            }
            if (!qualifiedOrCall && !isCreate && !isAlter) {
                if (isWord(t, i, "yes") || isWord(t, i, "true")) {
                    out += QLatin1String("1");
                    continue;
                }
                if (isWord(t, i, "no") || isWord(t, i, "false")) {
                    out += QLatin1String("0");
                    continue;
                }
            }
            if (isCreate || isAlter) {
                if (isWord(t, i, "counter") || isWord(t, i, "autoincrement")) {
                    out += QLatin1String("INTEGER");
                    continue;
                }
                if (isWord(t, i, "memo")) {
                    out += QLatin1String("LONGTEXT");
                    continue;
                }
            }
            out += tok.text;
            continue;
        }
        default:
            out += tok.text;
        }
    }
    return out;
}

std::optional<SingleTableSelect> analyseSelect(const QString& sql)
{
    const QList<Token> t = tokenize(sql);
    int i = nextSolid(t, -1);
    if (!isWord(t, i, "select"))
        return std::nullopt;
    // Find FROM at the top level; nothing between SELECT and FROM may make rows
    // that are not table rows.
    int depth = 0;
    int from = -1;
    for (int k = nextSolid(t, i); k >= 0; k = nextSolid(t, k)) {
        if (t[k].text == QLatin1String("("))
            ++depth;
        else if (t[k].text == QLatin1String(")"))
            --depth;
        else if (depth == 0 && (isWord(t, k, "distinct") || isWord(t, k, "count") || isWord(t, k, "sum")
                                || isWord(t, k, "min") || isWord(t, k, "max") || isWord(t, k, "avg")))
            return std::nullopt;
        else if (depth == 0 && isWord(t, k, "from")) {
            from = k;
            break;
        }
    }
    if (from < 0)
        return std::nullopt;
    const int name = nextSolid(t, from);
    if (name < 0 || (t[name].kind != Tok::Word && t[name].kind != Tok::Bracket && t[name].kind != Tok::String))
        return std::nullopt;
    SingleTableSelect r;
    r.table = t[name].text;
    if (t[name].kind != Tok::Word)
        r.table = r.table.mid(1, r.table.size() - 2);
    r.qualifier = t[name].text;
    int after = nextSolid(t, name);
    if (isWord(t, after, "as"))
        after = nextSolid(t, after);
    if (after >= 0 && t[after].kind != Tok::Symbol && !isWord(t, after, "where") && !isWord(t, after, "order")
        && !isWord(t, after, "group") && !isWord(t, after, "limit") && !isWord(t, after, "inner")
        && !isWord(t, after, "left") && !isWord(t, after, "join") && !isWord(t, after, "right")
        && !isWord(t, after, "cross") && !isWord(t, after, "natural") && !isWord(t, after, "union"))
        r.qualifier = t[after].text;   // an alias
    depth = 0;
    bool tableList = true;   // a comma joins tables only in the list after FROM, not in ORDER BY
    for (int k = nextSolid(t, from); k >= 0; k = nextSolid(t, k)) {
        if (t[k].text == QLatin1String("("))
            ++depth;
        else if (t[k].text == QLatin1String(")"))
            --depth;
        else if (depth == 0 && (isWord(t, k, "where") || isWord(t, k, "order")))
            tableList = false;
        else if (depth == 0 && ((tableList && t[k].text == QLatin1String(",")) || isWord(t, k, "join") || isWord(t, k, "group")
                                || isWord(t, k, "union") || isWord(t, k, "having") || isWord(t, k, "except")
                                || isWord(t, k, "intersect")))
            return std::nullopt;
    }
    for (int k = from + 1; k < t.size(); ++k)
        r.fromClause += t[k].text;
    return r;
}
