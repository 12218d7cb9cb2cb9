#pragma once

#include "data/Values.h"

#include <QString>

#include <cstdint>
#include <optional>

// Money as a report computes it: exactly, and rounded once, where it is printed. A tax, a
// discount or a price per piece is not rounded to Currency's ten-thousandths on the way (which
// makes half cents that were not there: 6.75% of $100.37 is $6.774975, not $6.7750). Amounts
// are kept to 10^-18 of a dollar, which is exact for every amount written in decimals; a
// quotient that does not come out (a price divided by 3) is rounded there, far below anything
// that could move a printed cent.
//
// A product or quotient may go beyond Currency's range on the way and come back (a price times
// the pieces in stock, divided by the pieces in a package). An amount beyond the range prints as
// out of range; rounded as printed (RoundCents) or added to another amount, it is out of range
// for good, and so is everything computed from it, so that a total including it is never shown
// as another amount.
class ExactMoney
{
public:
    enum class Halves { AwayFromZero, ToEven };

    // The decimals of a dollar kept: exact for every amount written in decimals, and more places
    // than a double has, so the most a report rounds or prints to.
    static constexpr int Decimals = 18;

    ExactMoney() = default;
    ExactMoney(Currency amount);                       // exact; Currency's out of range stays so
    static ExactMoney fromWhole(std::int64_t dollars);
    static ExactMoney fromDouble(double dollars);      // the decimal the double reads as ("0.165")
    static ExactMoney outOfRange();

    // Out of range for good, or beyond Currency's range: what cannot print as an amount.
    bool isOutOfRange() const;
    bool isZero() const { return high_ == 0 && low_ == 0; }
    int sign() const { return lost() ? 0 : high_ < 0 ? -1 : int(high_ > 0 || low_ > 0); }
    double toDouble() const;                           // not a number when out of range
    std::int64_t toWhole() const;                      // half to even, pinned to the 64-bit range; 0 when out of range

    ExactMoney operator+(const ExactMoney& o) const;
    ExactMoney operator-(const ExactMoney& o) const;
    ExactMoney operator-() const;
    ExactMoney operator*(std::int64_t n) const;
    ExactMoney operator*(double factor) const;         // by the decimal the factor reads as
    ExactMoney operator/(std::int64_t n) const;        // not by 0: the caller decides what that is
    ExactMoney operator/(double divisor) const;

    // To `decimals` places (-18 to 18). An amount beyond Currency's range is out of range for good.
    ExactMoney rounded(int decimals, Halves halves = Halves::AwayFromZero) const;
    // The digits of the magnitude to `decimals` places (0 to 18), rounded as printed, halves away
    // from zero: "1234.50". Empty when out of range.
    QString magnitudeDigits(int decimals) const;

    // Amounts by value; out of range after every amount (and equal to itself).
    int compare(const ExactMoney& o) const;
    bool operator==(const ExactMoney& o) const { return compare(o) == 0; }

private:
    // The one door to the state: a result that did not fit (nothing) or that comes from an
    // amount out of range for good is out of range for good.
    static ExactMoney make(std::optional<__int128> v, bool lost = false);
    __int128 value() const { return (__int128(high_) << 64) | low_; }
    bool lost() const { return high_ == LostHigh && low_ == 0; }

    // The amount in 10^-18 dollars, a 128-bit number kept in two halves so that a report value
    // holding one stays small. The lowest 128-bit number (which no amount reaches) is out of
    // range for good.
    static constexpr std::int64_t LostHigh = INT64_MIN;
    std::uint64_t low_ = 0;
    std::int64_t high_ = 0;
};
