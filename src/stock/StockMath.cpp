#include "stock/StockMath.h"

#include "data/Values.h"

#include <cmath>

namespace StockMath {

namespace {

std::optional<std::int16_t> fit(std::int64_t v)
{
    if (v < Min16 || v > Max16)
        return std::nullopt;
    return static_cast<std::int16_t>(v);
}

}  // namespace

std::optional<std::int16_t> cint16(double value)
{
    if (!std::isfinite(value) || value < Min16 - 1.0 || value > Max16 + 1.0)
        return std::nullopt;
    return fit(roundHalfEven(value));
}

std::optional<std::int16_t> cint16(const QString& text)
{
    const std::optional<double> n = parseNumber(text);
    if (!n)
        return std::nullopt;
    return cint16(*n);
}

std::optional<std::int16_t> add16(std::int16_t a, std::int16_t b)
{
    return fit(std::int64_t(a) + b);
}

std::optional<std::int16_t> sub16(std::int16_t a, std::int16_t b)
{
    return fit(std::int64_t(a) - b);
}

std::optional<std::int16_t> mul16(std::int16_t a, std::int16_t b)
{
    return fit(std::int64_t(a) * b);
}

}  // namespace StockMath
