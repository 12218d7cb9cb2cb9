#include "Values.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace {

// Rounds x to the nearest whole number, ties to even. A value within a tiny relative
// distance of .5 counts as a tie, so that 2.675 * 100 (267.49999...) behaves like the decimal
// the user typed.
double nearestEven(double x)
{
    const double fl = std::floor(x);
    const double diff = x - fl;
    const double eps = 1e-9 * std::max(1.0, std::fabs(x));
    if (std::fabs(diff - 0.5) <= eps)
        return std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
    return std::round(x);
}

// Strips what the lenient number test allows around the digits; returns false for text that
// cannot be a number at all. Sets negative for "(5)" and a trailing "-".
bool normaliseNumberText(QString t, QString& out)
{
    t = t.trimmed();
    if (t.isEmpty())
        return false;
    bool negative = false;
    if (t.startsWith(u'(') && t.endsWith(u')')) {
        negative = true;
        t = t.mid(1, t.size() - 2).trimmed();
    }
    if (t.endsWith(u'-')) {
        negative = !negative;
        t.chop(1);
        t = t.trimmed();
    }
    if (t.startsWith(u'-') || t.startsWith(u'+')) {
        if (t.startsWith(u'-'))
            negative = !negative;
        t = t.mid(1).trimmed();
    }
    if (t.startsWith(u'$'))
        t = t.mid(1).trimmed();
    if (t.startsWith(u'-')) {   // "$-5"
        negative = !negative;
        t = t.mid(1);
    }
    // Thousands separators only between digits.
    static const QRegularExpression grouped(QStringLiteral("^\\d{1,3}(,\\d{3})+(\\.\\d*)?([eE][-+]?\\d+)?$"));
    if (grouped.match(t).hasMatch())
        t.remove(u',');
    static const QRegularExpression plain(QStringLiteral("^(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?$"));
    if (!plain.match(t).hasMatch())
        return false;
    out = negative ? QStringLiteral("-") + t : t;
    return true;
}

} // namespace

std::int64_t roundHalfEven(double value)
{
    return static_cast<std::int64_t>(nearestEven(value));
}

Currency Currency::fromDouble(double value)
{
    return fromUnits(static_cast<std::int64_t>(nearestEven(value * 10000.0)));
}

std::optional<Currency> Currency::parse(const QString& text)
{
    QString t;
    if (!normaliseNumberText(text, t))
        return std::nullopt;
    // Exact decimal parse where possible, so "0.00005" is a true tie.
    static const QRegularExpression decimal(QStringLiteral("^(-?)(\\d*)(?:\\.(\\d*))?$"));
    const auto m = decimal.match(t);
    if (!m.hasMatch())
        return fromDouble(t.toDouble());
    const bool negative = !m.captured(1).isEmpty();
    const QString whole = m.captured(2).isEmpty() ? QStringLiteral("0") : m.captured(2);
    QString frac = m.captured(3);
    if (whole.size() > 14)
        return fromDouble(t.toDouble());
    std::int64_t units = whole.toLongLong() * 10000;
    QString first4 = frac.left(4).leftJustified(4, u'0');
    units += first4.toLongLong();
    const QString rest = frac.mid(4);
    if (!rest.isEmpty()) {
        const int firstRest = rest.at(0).digitValue();
        const bool beyondHalf = rest.mid(1).contains(QRegularExpression(QStringLiteral("[1-9]")));
        if (firstRest > 5 || (firstRest == 5 && beyondHalf) || (firstRest == 5 && !beyondHalf && (units % 2) == 1))
            ++units;
    }
    return fromUnits(negative ? -units : units);
}

Currency Currency::operator*(double factor) const
{
    return fromUnits(static_cast<std::int64_t>(nearestEven(double(units_) * factor)));
}

Currency Currency::operator/(double divisor) const
{
    return fromUnits(static_cast<std::int64_t>(nearestEven(double(units_) / divisor)));
}

std::optional<double> parseNumber(const QString& text)
{
    QString t;
    if (!normaliseNumberText(text, t))
        return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

double vbVal(const QString& text)
{
    QString digits;
    bool seenDot = false, seenDigit = false, seenExp = false;
    int i = 0;
    const auto skipBlanks = [&] { while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r')) ++i; };
    skipBlanks();
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        digits += text[i++];
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u' ' || c == u'\t')
            continue;
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
            seenDigit = true;
        } else if (c == u'.' && !seenDot && !seenExp) {
            digits += c;
            seenDot = true;
        } else if ((c == u'e' || c == u'E' || c == u'd' || c == u'D') && seenDigit && !seenExp) {
            // Only an exponent when digits follow.
            int j = i + 1;
            if (j < text.size() && (text[j] == u'-' || text[j] == u'+'))
                ++j;
            if (j < text.size() && text[j].isDigit()) {
                digits += u'e';
                if (text[i + 1] == u'-' || text[i + 1] == u'+')
                    digits += text[++i];
                seenExp = true;
            } else {
                break;
            }
        } else {
            break;
        }
    }
    bool ok = false;
    const double v = digits.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

int expandTwoDigitYear(int year)
{
    if (year < 0 || year > 99)
        return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

QString dateToStorage(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString dateTimeToStorage(const QDateTime& dt)
{
    if (dt.time() == QTime(0, 0))
        return dateToStorage(dt.date());
    return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QVariant dateFromStorage(const QString& text)
{
    const QString t = text.trimmed();
    if (t.size() == 10) {
        const QDate d = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
        if (d.isValid())
            return d;
    }
    QDateTime dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!dt.isValid())
        dt = QDateTime::fromString(t, Qt::ISODate);
    if (dt.isValid())
        return dt.time() == QTime(0, 0) ? QVariant(dt.date()) : QVariant(dt);
    if (const auto d = parseUsDate(t))
        return *d;
    return {};
}

std::optional<QDate> parseUsDate(const QString& text)
{
    const QString t = text.trimmed();
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    static const QRegularExpression us(QStringLiteral("^(\\d{1,2})[/-](\\d{1,2})[/-](\\d{2}|\\d{4})$"));
    int y = 0, m = 0, d = 0;
    if (const auto mi = iso.match(t); mi.hasMatch()) {
        y = mi.captured(1).toInt();
        m = mi.captured(2).toInt();
        d = mi.captured(3).toInt();
    } else if (const auto mu = us.match(t); mu.hasMatch()) {
        m = mu.captured(1).toInt();
        d = mu.captured(2).toInt();
        y = mu.captured(3).toInt();
        if (mu.captured(3).size() == 2)
            y = expandTwoDigitYear(y);
    } else {
        return std::nullopt;
    }
    const QDate date(y, m, d);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString formatNumber(double value, int decimals)
{
    static const QLocale c(QLocale::English, QLocale::UnitedStates);
    return c.toString(value, 'f', decimals);
}

QString formatCurrency(Currency value)
{
    // Two decimals on screen; the stored four are rounded half to even for display.
    const std::int64_t cents = roundHalfEven(double(value.units()) / 100.0);
    const std::int64_t magnitude = cents < 0 ? -cents : cents;
    const QString text = QStringLiteral("$") + formatNumber(double(magnitude) / 100.0, 2);
    return cents < 0 ? QStringLiteral("(") + text + QStringLiteral(")") : text;
}

QString formatLongDate(const QDate& date)
{
    static const QLocale c(QLocale::English, QLocale::UnitedStates);
    return c.toString(date, QStringLiteral("dddd, MMMM d, yyyy"));
}

QString formatShortDate(const QDate& date)
{
    return date.toString(QStringLiteral("M/d/yyyy"));
}
