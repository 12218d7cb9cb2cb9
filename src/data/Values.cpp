#include "Values.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Rounds x to the nearest whole number, ties to even. A value within a tiny relative
// distance of .5 counts as a tie, so that 2.675 * 100 (267.49999...) behaves like the decimal
// the user typed.
double nearestEven(double x)
{
    const double fl = std::floor(x);
    const double diff = x - fl;
    // Capped: a tolerance that grew with the number would at last reach half a unit and make
    // every whole number from about 5e8 on a tie (1000000001 rounded to 1000000002).
    const double eps = std::min(1e-9 * std::max(1.0, std::fabs(x)), 1e-6);
    if (std::fabs(diff - 0.5) <= eps)
        return std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
    return std::round(x);
}

// Number text is scanned by hand rather than matched with regular expressions: it is read for
// every value a screen checks and every row a command tags, and the scan is many times faster.
// Digits are the ASCII ones only.
bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

qsizetype skipDigits(QStringView t, qsizetype i)
{
    while (i < t.size() && isAsciiDigit(t[i]))
        ++i;
    return i;
}

// From i: an optional exponent ([eE][-+]?digits), then the end of the text.
bool exponentToEnd(QStringView t, qsizetype i)
{
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
            ++i;
        const qsizetype digits = i;
        i = skipDigits(t, i);
        if (i == digits)
            return false;
    }
    return i == t.size();
}

// From i: an optional fraction (a point and any digits), then an optional exponent and the end.
bool fractionToEnd(QStringView t, qsizetype i)
{
    if (i < t.size() && t[i] == u'.')
        i = skipDigits(t, i + 1);
    return exponentToEnd(t, i);
}

// Digits in groups of three after one to three leading digits ("1,234,567.5"): at least one group.
bool isGrouped(QStringView t)
{
    qsizetype i = skipDigits(t, 0);
    if (i < 1 || i > 3 || i >= t.size() || t[i] != u',')
        return false;
    while (i < t.size() && t[i] == u',') {
        const qsizetype end = skipDigits(t, i + 1);
        if (end - (i + 1) != 3)
            return false;
        i = end;
    }
    return fractionToEnd(t, i);
}

// Digits with an optional point and fraction, or a point and digits, then an optional exponent.
bool isPlainNumber(QStringView t)
{
    if (t.isEmpty())
        return false;
    if (isAsciiDigit(t[0]))
        return fractionToEnd(t, skipDigits(t, 0));
    if (t[0] != u'.')
        return false;
    const qsizetype end = skipDigits(t, 1);
    return end > 1 && exponentToEnd(t, end);
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
    if (isGrouped(t))
        t.remove(u',');
    if (!isPlainNumber(t))
        return false;
    out = negative ? QStringLiteral("-") + t : t;
    return true;
}

} // namespace

namespace {

// 2^63: the first whole number the 64-bit type cannot hold. Every double below it in magnitude
// converts exactly after rounding (doubles this large are whole numbers).
constexpr double Int64Limit = 9223372036854775808.0;

} // namespace

const QString OutOfRangeMark = QStringLiteral("####");

std::int64_t roundHalfEven(double value)
{
    // Pinned to the 64-bit range (0 for NaN): converting a double beyond it is undefined, and
    // callers test the result against the narrower range of the field it goes into.
    if (std::isnan(value))
        return 0;
    const double r = nearestEven(value);
    if (r >= Int64Limit)
        return std::numeric_limits<std::int64_t>::max();
    if (r < -Int64Limit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(r);
}

double roundHalfEven(double value, int places)
{
    const double scale = std::pow(10.0, places);
    const double scaled = value * scale;
    // From 2^53 on a double has no fraction left to round at that scale.
    return std::fabs(scaled) < 9007199254740992.0 ? double(roundHalfEven(scaled)) / scale : value;
}

namespace {

// Ten-thousandths pinned to the range money holds, short of the count that marks an amount out
// of range.
std::int64_t unitsPinned(double units)
{
    return std::max(roundHalfEven(units), -std::numeric_limits<std::int64_t>::max());
}

// The units of a product or quotient: out of range where they do not fit, never pinned.
Currency unitsOrOutOfRange(double units)
{
    const double r = nearestEven(units);
    if (!(std::abs(r) < Int64Limit))   // not a number either
        return Currency::outOfRange();
    return Currency::fromUnits(static_cast<std::int64_t>(r));
}

} // namespace

bool Currency::fits(double value)
{
    return !unitsOrOutOfRange(value * 10000.0).isOutOfRange();
}

Currency Currency::fromDouble(double value)
{
    return fromUnits(unitsPinned(value * 10000.0));
}

std::optional<Currency> Currency::checked(double value)
{
    if (!fits(value))
        return std::nullopt;
    return fromDouble(value);
}

std::optional<Currency> Currency::parse(const QString& text)
{
    QString t;
    if (!normaliseNumberText(text, t))
        return std::nullopt;
    // Exact decimal parse where possible, so "0.00005" is a true tie.
    const bool negative = t.startsWith(u'-');
    const QStringView body = QStringView(t).mid(negative ? 1 : 0);
    // Exponents and long whole parts go through a double; an overflow there is refused too.
    const auto viaDouble = [&t]() -> std::optional<Currency> {
        bool ok = false;
        const double v = t.toDouble(&ok);
        return ok ? checked(v) : std::nullopt;
    };
    if (body.contains(u'e') || body.contains(u'E'))
        return viaDouble();
    const qsizetype point = body.indexOf(u'.');
    const QStringView wholeText = point < 0 ? body : body.left(point);
    const QStringView frac = point < 0 ? QStringView() : body.mid(point + 1);
    if (wholeText.size() > 14)
        return viaDouble();
    std::int64_t units = (wholeText.isEmpty() ? 0 : wholeText.toLongLong()) * 10000;
    for (qsizetype i = 0; i < 4; ++i)
        units = units + (i < frac.size() ? frac[i].unicode() - u'0' : 0) * std::int64_t(i == 0 ? 1000 : i == 1 ? 100 : i == 2 ? 10 : 1);
    const QStringView rest = frac.size() > 4 ? frac.mid(4) : QStringView();
    if (!rest.isEmpty()) {
        const int firstRest = rest[0].unicode() - u'0';
        bool beyondHalf = false;
        for (qsizetype i = 1; i < rest.size() && !beyondHalf; ++i)
            beyondHalf = rest[i] != u'0';
        if (firstRest > 5 || (firstRest == 5 && beyondHalf) || (firstRest == 5 && !beyondHalf && (units % 2) == 1))
            ++units;
    }
    return fromUnits(negative ? -units : units);
}

double Currency::toDouble() const
{
    return isOutOfRange() ? std::numeric_limits<double>::quiet_NaN() : double(units_) / 10000.0;
}

Currency Currency::operator+(Currency o) const
{
    std::int64_t sum = 0;
    if (isOutOfRange() || o.isOutOfRange() || __builtin_add_overflow(units_, o.units_, &sum))
        return outOfRange();
    return fromUnits(sum);
}

Currency Currency::operator-(Currency o) const
{
    std::int64_t difference = 0;
    if (isOutOfRange() || o.isOutOfRange() || __builtin_sub_overflow(units_, o.units_, &difference))
        return outOfRange();
    return fromUnits(difference);
}

Currency Currency::operator*(std::int64_t n) const
{
    std::int64_t product = 0;
    if (isOutOfRange() || __builtin_mul_overflow(units_, n, &product))
        return outOfRange();
    return fromUnits(product);
}

Currency Currency::operator*(double factor) const
{
    return isOutOfRange() ? *this : unitsOrOutOfRange(double(units_) * factor);
}

Currency Currency::operator/(double divisor) const
{
    return isOutOfRange() ? *this : unitsOrOutOfRange(double(units_) / divisor);
}

std::optional<double> parseNumber(const QString& text)
{
    // Whole numbers as the program writes them ("12", "-3") are read directly: every such text of
    // up to 15 digits is exactly the double the full reading below gives.
    const qsizetype start = text.startsWith(u'-') ? 1 : 0;
    if (text.size() > start && text.size() - start <= 15) {
        std::int64_t whole = 0;
        qsizetype i = start;
        for (; i < text.size() && isAsciiDigit(text[i]); ++i)
            whole = whole * 10 + (text[i].unicode() - u'0');
        if (i == text.size())
            return start ? -double(whole) : double(whole);
    }
    QString t;
    if (!normaliseNumberText(text, t))
        return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<double> wholeCount(const QString& text)
{
    const std::optional<double> n = parseNumber(text);
    if (!n || !isWholeCount(*n))
        return std::nullopt;
    return *n + 0.0;   // -0 is 0
}

bool isWholeCount(double value)
{
    return std::isfinite(value) && value >= 0 && std::floor(value) == value;
}

bool fitsLongField(double value)
{
    return std::abs(value) <= double(std::numeric_limits<std::int32_t>::max());
}

QString numberText(double value)
{
    // A whole number below 10^15 shows all its digits and nothing else, as its integer text does;
    // that is quicker to make. (-0 keeps its sign.)
    if (value == std::trunc(value) && std::abs(value) < 1e15 && !(value == 0 && std::signbit(value)))
        return QString::number(qlonglong(value));
    return QString::number(value, 'g', 15);
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
        // The form dates are stored in is read directly: it is read for every date of every row.
        auto digits = [&t](int from, int count) {
            int n = 0;
            for (int i = from; i < from + count; ++i) {
                if (!isAsciiDigit(t[i]))
                    return -1;
                n = n * 10 + (t[i].unicode() - u'0');
            }
            return n;
        };
        if (t[4] == u'-' && t[7] == u'-') {
            const int y = digits(0, 4), m = digits(5, 2), d = digits(8, 2);
            if (y >= 0 && m >= 0 && d >= 0 && QDate::isValid(y, m, d))
                return QDate(y, m, d);
        }
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
    // An amount that did not fit (a total beyond what money holds) is never shown as another one.
    if (value.isOutOfRange())
        return OutOfRangeMark;
    // Two decimals on screen; the stored four are rounded half to even for display.
    const std::int64_t cents = roundHalfEven(double(value.units()) / 100.0);
    const std::int64_t magnitude = cents < 0 ? -cents : cents;
    const QString text = QStringLiteral("$") + formatNumber(double(magnitude) / 100.0, 2);
    return cents < 0 ? QStringLiteral("(") + text + QStringLiteral(")") : text;
}

QString formatCurrencyExact(Currency value)
{
    const std::int64_t units = value.units();
    if (units % 100 == 0 || value.isOutOfRange())
        return formatCurrency(value);
    // Whole digits and ten-thousandths apart: a double would lose the last places of large amounts.
    static const QLocale c(QLocale::English, QLocale::UnitedStates);
    const std::uint64_t magnitude = units < 0 ? 0 - std::uint64_t(units) : std::uint64_t(units);
    QString fraction = QStringLiteral("%1").arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
    if (fraction.endsWith(u'0'))
        fraction.chop(1);
    const QString text = QStringLiteral("$") + c.toString(qulonglong(magnitude / 10000)) + u'.' + fraction;
    return units < 0 ? QStringLiteral("(") + text + QStringLiteral(")") : text;
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
