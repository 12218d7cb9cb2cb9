#include "ExactMoney.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace {

using Int128 = __int128;
using UInt128 = unsigned __int128;

constexpr Int128 Int128Max = Int128(~UInt128(0) >> 1);
constexpr Int128 Int128Min = -Int128Max - 1;

constexpr std::uint64_t pow10(int n)
{
    std::uint64_t p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

constexpr Int128 PerDollar = Int128(pow10(ExactMoney::Decimals));
constexpr Int128 PerUnit = Int128(pow10(ExactMoney::Decimals - 4));   // per Currency unit (1/10000 dollar)
constexpr Int128 RangeLimit = (Int128(1) << 63) * PerUnit;  // Currency's range, exclusive
constexpr int MaxStep = 19;                                 // 10^19 is the largest power of ten in 64 bits

UInt128 magnitude(Int128 v)
{
    return v < 0 ? UInt128(0) - UInt128(v) : UInt128(v);
}

// v x mul / div, rounded half to even, without overflow on the way (the product is held in
// three 64-bit parts); nothing when the result does not fit 128 bits.
std::optional<Int128> mulDiv(Int128 v, std::uint64_t mul, std::uint64_t div)
{
    const UInt128 m = magnitude(v);
    const UInt128 low = UInt128(std::uint64_t(m)) * mul;
    const UInt128 high = UInt128(std::uint64_t(m >> 64)) * mul;
    const UInt128 middle = (low >> 64) + std::uint64_t(high);
    const std::uint64_t parts[3] = {std::uint64_t(low), std::uint64_t(middle), std::uint64_t((middle >> 64) + (high >> 64))};
    std::uint64_t quotient[3];
    UInt128 rest = 0;
    for (int i = 2; i >= 0; --i) {
        const UInt128 current = (rest << 64) | parts[i];
        quotient[i] = std::uint64_t(current / div);
        rest = current % div;
    }
    if (quotient[2] != 0)
        return std::nullopt;
    UInt128 q = (UInt128(quotient[1]) << 64) | quotient[0];
    if (rest * 2 > div || (rest * 2 == div && (q & 1)))
        ++q;
    if (q > UInt128(Int128Max))
        return std::nullopt;
    return v < 0 ? -Int128(q) : Int128(q);
}

// v x 10^exponent (exponent of either sign), in steps that each fit 64 bits.
std::optional<Int128> shiftDecimal(std::optional<Int128> v, int exponent)
{
    while (v && exponent != 0) {
        const int step = std::min(std::abs(exponent), MaxStep);
        v = exponent > 0 ? mulDiv(*v, pow10(step), 1) : mulDiv(*v, 1, pow10(step));
        exponent += exponent > 0 ? -step : step;
    }
    return v;
}

// A finite double as the decimal it reads as: digits x 10^exponent, with at most 17 digits
// (the shortest text that reads back as the same double, so 0.165 is 165 x 10^-3).
struct Decimal {
    std::uint64_t digits = 0;
    int exponent = 0;
    bool negative = false;
};

std::optional<Decimal> decimalOf(double d)
{
    if (!std::isfinite(d))
        return std::nullopt;
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, d, std::chars_format::scientific);
    if (error != std::errc())
        return std::nullopt;
    Decimal out;
    const char* p = text;
    if (*p == '-') {
        out.negative = true;
        ++p;
    }
    int fractionDigits = 0;
    bool afterPoint = false;
    for (; p < end && *p != 'e'; ++p) {
        if (*p == '.') {
            afterPoint = true;
            continue;
        }
        out.digits = out.digits * 10 + std::uint64_t(*p - '0');
        fractionDigits += afterPoint;
    }
    int exponent = 0;
    if (p < end)
        std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);
    out.exponent = exponent - fractionDigits;
    return out;
}

bool beyondRange(Int128 v)
{
    return v >= RangeLimit || v <= -RangeLimit;
}

Int128 stepOf(int decimals)
{
    const int places = ExactMoney::Decimals - decimals;   // 0 to 36
    return Int128(pow10(std::min(places, MaxStep))) * Int128(pow10(std::max(0, places - MaxStep)));
}

// v to `decimals` places (-18 to 18); |v| < 2^127 - 10^36, so the result fits.
Int128 roundTo(Int128 v, int decimals, ExactMoney::Halves halves)
{
    const Int128 step = stepOf(decimals);
    Int128 q = v / step;                   // toward zero; the rest has the sign of v
    const UInt128 rest2 = magnitude(v % step) * 2;
    const UInt128 s = UInt128(step);
    const bool up = halves == ExactMoney::Halves::AwayFromZero ? rest2 >= s : (rest2 > s || (rest2 == s && (q & 1)));
    if (up)
        q += v < 0 ? -1 : 1;
    return q * step;
}

} // namespace

ExactMoney ExactMoney::make(std::optional<Int128> v, bool lost)
{
    // Room is kept above every amount for rounding to the largest step.
    const Int128 kept = v && !lost && magnitude(*v) < UInt128(Int128Max) - UInt128(stepOf(-Decimals)) ? *v : Int128Min;
    ExactMoney m;
    m.low_ = std::uint64_t(kept);
    m.high_ = std::int64_t(kept >> 64);
    return m;
}

ExactMoney::ExactMoney(Currency amount)
{
    *this = make(Int128(amount.units()) * PerUnit, amount.isOutOfRange());
}

ExactMoney ExactMoney::fromWhole(std::int64_t dollars)
{
    return make(Int128(dollars) * PerDollar, false);
}

ExactMoney ExactMoney::fromDouble(double dollars)
{
    return fromWhole(1) * dollars;
}

ExactMoney ExactMoney::outOfRange()
{
    return make(std::nullopt, true);
}

bool ExactMoney::isOutOfRange() const
{
    return lost() || beyondRange(value());
}

double ExactMoney::toDouble() const
{
    return lost() ? std::numeric_limits<double>::quiet_NaN() : double(value()) / double(PerDollar);
}

std::int64_t ExactMoney::toWhole() const
{
    if (lost())
        return 0;
    const Int128 whole = roundTo(value(), 0, Halves::ToEven) / PerDollar;
    if (whole > std::numeric_limits<std::int64_t>::max())
        return std::numeric_limits<std::int64_t>::max();
    if (whole < std::numeric_limits<std::int64_t>::min())
        return std::numeric_limits<std::int64_t>::min();
    return std::int64_t(whole);
}

ExactMoney ExactMoney::operator+(const ExactMoney& o) const
{
    if (isOutOfRange() || o.isOutOfRange())
        return outOfRange();
    return make(value() + o.value());   // both within the range: no overflow
}

ExactMoney ExactMoney::operator-(const ExactMoney& o) const
{
    if (isOutOfRange() || o.isOutOfRange())
        return outOfRange();
    return make(value() - o.value());
}

ExactMoney ExactMoney::operator-() const
{
    return lost() ? *this : make(-value());   // the negation of an amount fits
}

ExactMoney ExactMoney::operator*(std::int64_t n) const
{
    if (lost())
        return *this;
    const std::uint64_t m = n < 0 ? 0 - std::uint64_t(n) : std::uint64_t(n);
    const std::optional<Int128> v = mulDiv(value(), m, 1);
    return make(v && n < 0 ? std::optional<Int128>(-*v) : v);
}

ExactMoney ExactMoney::operator*(double factor) const
{
    if (lost())
        return *this;
    const std::optional<Decimal> d = decimalOf(factor);
    if (!d)
        return outOfRange();
    std::optional<Int128> v;
    if (d->exponent >= 0) {
        v = shiftDecimal(mulDiv(value(), d->digits, 1), d->exponent);
    } else {
        // The first ten-power divides together with the digits' product, so that a factor of
        // up to 19 decimals (every percentage, every package) is exact in one step.
        const int first = std::min(-d->exponent, MaxStep);
        v = shiftDecimal(mulDiv(value(), d->digits, pow10(first)), d->exponent + first);
    }
    return make(v && d->negative ? std::optional<Int128>(-*v) : v);
}

ExactMoney ExactMoney::operator/(std::int64_t n) const
{
    if (lost())
        return *this;
    const std::uint64_t m = n < 0 ? 0 - std::uint64_t(n) : std::uint64_t(n);
    if (m == 0)
        return outOfRange();
    const std::optional<Int128> v = mulDiv(value(), 1, m);
    return make(v && n < 0 ? std::optional<Int128>(-*v) : v);
}

ExactMoney ExactMoney::operator/(double divisor) const
{
    if (lost())
        return *this;
    const std::optional<Decimal> d = decimalOf(divisor);
    if (!d || d->digits == 0)
        return outOfRange();
    std::optional<Int128> v;
    if (d->exponent <= 0) {
        const int first = std::min(-d->exponent, MaxStep);
        v = shiftDecimal(mulDiv(value(), pow10(first), d->digits), -d->exponent - first);
    } else {
        v = shiftDecimal(mulDiv(value(), 1, d->digits), -d->exponent);
    }
    return make(v && d->negative ? std::optional<Int128>(-*v) : v);
}

ExactMoney ExactMoney::rounded(int decimals, Halves halves) const
{
    if (isOutOfRange())
        return outOfRange();
    const Int128 v = roundTo(value(), std::clamp(decimals, -Decimals, Decimals), halves);
    return make(v, beyondRange(v));
}

QString ExactMoney::magnitudeDigits(int decimals) const
{
    decimals = std::clamp(decimals, 0, Decimals);
    const ExactMoney r = rounded(decimals);
    if (r.lost())
        return QString();
    const UInt128 m = magnitude(r.value());
    QString text = QString::number(qulonglong(m / UInt128(PerDollar)));   // below 2^63 dollars
    if (decimals > 0) {
        const UInt128 fraction = (m % UInt128(PerDollar)) / UInt128(pow10(Decimals - decimals));
        text += u'.' + QStringLiteral("%1").arg(qulonglong(fraction), decimals, 10, QLatin1Char('0'));
    }
    return text;
}

int ExactMoney::compare(const ExactMoney& o) const
{
    if (lost() || o.lost())
        return int(lost()) - int(o.lost());
    const Int128 a = value();
    const Int128 b = o.value();
    return (a > b) - (a < b);
}
