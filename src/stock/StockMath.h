#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Whole-number arithmetic as the ordering and receiving screens have always done it: 16-bit
// signed values (-32768..32767), fractions rounded half to even, and every result checked, so
// that a count which does not fit is refused instead of wrapping round or being cut.
namespace StockMath {

constexpr int Min16 = -32768;
constexpr int Max16 = 32767;

// A number rounded half to even to a 16-bit whole number; nothing when it lies outside.
std::optional<std::int16_t> cint16(double value);
// Text as a count box holds it ("12", " 3 ", "2.5", "1,200"); nothing when it is empty, not a
// number, or does not fit.
std::optional<std::int16_t> cint16(const QString& text);

// Sum, difference and product of 16-bit values; nothing when the result does not fit.
std::optional<std::int16_t> add16(std::int16_t a, std::int16_t b);
std::optional<std::int16_t> sub16(std::int16_t a, std::int16_t b);
std::optional<std::int16_t> mul16(std::int16_t a, std::int16_t b);

}  // namespace StockMath
