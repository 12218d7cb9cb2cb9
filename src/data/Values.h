#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <optional>

// Money as the legacy engine kept it: a 64-bit count of ten-thousandths, rounded half to even.
// Sums and products of prices are done in this type, never in binary floating point.
class Currency
{
public:
    constexpr Currency() = default;
    static constexpr Currency fromUnits(std::int64_t units) { Currency c; c.units_ = units; return c; }
    // The range the 64-bit count holds: about +/-922,337,203,685,477.58.
    static bool fits(double value);
    // A value outside the range (or not a number) is pinned to the nearest end (0 for NaN), never
    // wrapped round to a wrong sign; code that takes a value from the user, a pricing file or an
    // older database uses checked() or parse() and refuses what does not fit.
    static Currency fromDouble(double value);
    static std::optional<Currency> checked(double value);
    // "12.5", "$1,234.50", "($5.00)", "-3"; nothing for text that is not a number or does not fit.
    static std::optional<Currency> parse(const QString& text);

    // An amount that does not fit the range: what arithmetic gives rather than wrap round to
    // another amount (or pin to the end of the range). Whatever is computed from it is out of
    // range too, so that a total including it never shows a wrong sum. (It sorts below every
    // amount, and its double is not a number.)
    static constexpr Currency outOfRange() { Currency c; c.units_ = OutOfRangeUnits; return c; }
    bool isOutOfRange() const { return units_ == OutOfRangeUnits; }

    std::int64_t units() const { return units_; }
    double toDouble() const;

    Currency operator+(Currency o) const;
    Currency operator-(Currency o) const;
    Currency operator-() const { return fromUnits(isOutOfRange() ? units_ : -units_); }
    Currency& operator+=(Currency o) { return *this = *this + o; }
    Currency& operator-=(Currency o) { return *this = *this - o; }
    Currency operator*(std::int64_t n) const;
    Currency operator*(double factor) const;       // rounded half to even to 1/10000
    Currency operator/(double divisor) const;      // likewise
    auto operator<=>(const Currency&) const = default;

private:
    static constexpr std::int64_t OutOfRangeUnits = INT64_MIN;   // outside fits(): no value converts to it
    std::int64_t units_ = 0;
};

// Number parsing with the leniency of the legacy "is this numeric" test: blanks around,
// a leading or trailing sign, a currency sign, thousands separators, a negative in
// parentheses and an exponent are accepted. Empty or anything else gives nothing.
std::optional<double> parseNumber(const QString& text);

// The legacy Val(): the longest numeric prefix after leading blanks ("12abc" -> 12,
// "abc" -> 0, ".5" -> 0.5, "1 000" -> 1000 since blanks are skipped).
double vbVal(const QString& text);

// A count as typed into a box that counts packages or parts: a whole number of 0 or more. Nothing
// for anything else (below 0, a part of one, not a number), which such a box refuses rather than
// storing it rounded or taking it away from the stock.
std::optional<double> wholeCount(const QString& text);
bool isWholeCount(double value);
// Whether a number lies within what a whole-number field holds (32 bits, as the counts are kept).
bool fitsLongField(double value);

// Whole numbers from fractions: rounded half to even, as the engine always stored them.
std::int64_t roundHalfEven(double value);
// A number rounded half to even to `places` decimals (below 0: to tens, hundreds...); one too
// large to have a fraction at that scale is itself.
double roundHalfEven(double value, int places);

// Dates: stored as ISO text; read and typed in the forms the windows use.
QString dateToStorage(const QDate& date);
QString dateTimeToStorage(const QDateTime& dt);         // date only when the time is midnight
QVariant dateFromStorage(const QString& text);            // QDate, QDateTime, or null when unreadable
// Month/day/year with one- or two-digit month and day and a two- or four-digit year
// (00-29 -> 2000s, 30-99 -> 1900s), or ISO yyyy-mm-dd. Only real calendar dates.
std::optional<QDate> parseUsDate(const QString& text);
int expandTwoDigitYear(int year);

// A number as text with up to 15 significant digits: QString::number(value, 'g', 15).
QString numberText(double value);

// What shows in place of an amount that does not fit (money out of range, a number too large to
// be one), as a spreadsheet fills a cell it cannot show: never another amount.
extern const QString OutOfRangeMark;

// Display formats.
QString formatCurrency(Currency value);                  // "$1,234.50", "($5.00)"; OutOfRangeMark out of range
QString formatCurrencyExact(Currency value);             // likewise, with the decimals the amount has beyond two ("$0.0625")
QString formatNumber(double value, int decimals);        // "1,234.50"
QString formatLongDate(const QDate& date);               // "Monday, January 5, 2004"
QString formatShortDate(const QDate& date);              // "1/5/2004"
