#pragma once

#include "ExactMoney.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>
#include <variant>

// The order a report writes dates in: month first ("12/8/2026", "Tuesday, December 8, 2026"), or
// day first, as a reader of A4 paper reads them ("08/12/2026", "Tuesday, 8 December 2026").
enum class DateOrder { MonthFirst, DayFirst };

QString shortDateText(const QDate& date, DateOrder order);
QString longDateText(const QDate& date, DateOrder order);

// Money as a report prints it: "$1,234.50", "($5.00)", to the cent, halves away from zero, the
// way an invoice is reckoned by hand ($1.125 prints $1.13); OutOfRangeMark when out of range.
QString moneyText(const ExactMoney& amount);

// The bytes of a blob field (a picture). A report's rows hold where each picture is stored
// rather than its bytes, and read it when the page that prints it is built, so that a report
// of many pictures never holds them all at once.
class ReportBytes
{
public:
    virtual ~ReportBytes() = default;
    // The bytes as they are stored now; empty when there are none. Throws ReportError when they
    // cannot be read.
    virtual QByteArray read() const = 0;
};

// One value as the report engine sees it: a field of a row, a literal of a formula, or what an
// expression computes. Money stays exact (ExactMoney) through sums, products and quotients.
class ReportValue
{
public:
    enum class Type { Null, Bool, Int, Double, Money, Text, Date, DateTime, Bytes };

    ReportValue() = default;
    ReportValue(bool b) : v_(b) {}
    ReportValue(qint64 i) : v_(i) {}
    ReportValue(int i) : v_(qint64(i)) {}
    ReportValue(double d) : v_(d) {}
    ReportValue(Currency c) : v_(ExactMoney(c)) {}
    ReportValue(const ExactMoney& m) : v_(m) {}
    ReportValue(const QString& s) : v_(s) {}
    ReportValue(const char*) = delete;
    ReportValue(const QDate& d) : v_(d) {}
    ReportValue(const QDateTime& dt) : v_(dt) {}
    ReportValue(const QByteArray& b);                              // bytes held in memory
    explicit ReportValue(std::shared_ptr<const ReportBytes> b);    // read when asked for; null when none

    Type type() const { return Type(v_.index()); }
    bool isNull() const { return type() == Type::Null; }
    bool isNumeric() const;                  // Bool, Int, Double or Money
    bool isDate() const { return type() == Type::Date || type() == Type::DateTime; }
    bool isText() const { return type() == Type::Text; }

    bool toBool() const;                     // numbers: not zero; text: "yes"/"true"/non-zero number
    qint64 toInt() const;                    // fractions half to even, pinned to the 64-bit range
    double toDouble() const;
    ExactMoney toMoney() const;
    QDate toDate() const;                    // the day of a date or date-time; a text in a date form
    QDateTime toDateTime() const;            // a date at midnight
    QString text() const;                    // Text only; empty otherwise
    QByteArray bytes() const;                // Bytes only; a stored blob is read each time

    // The value in words, as `&` joins it and a field without a format prints it: whole numbers
    // plain, fractions in their shortest form, money "$1,234.50" (as printed, to the cent), dates
    // m/d/yyyy or dd/mm/yyyy, yes/no "Yes"/"No"; OutOfRangeMark for money out of range and for a
    // number that is not finite.
    QString toDisplayText(DateOrder dates = DateOrder::MonthFirst) const;

    // Arithmetic with the usual promotions: Int op Int stays Int (except /, and a result beyond
    // 64 bits, which is Double), anything with Double is Double, Money with Int or Money stays
    // Money, and Money times or divided by any number stays Money, exactly. Null in, null out.
    // Throws ReportError for operands that are not numbers.
    static ReportValue add(const ReportValue& a, const ReportValue& b);
    static ReportValue subtract(const ReportValue& a, const ReportValue& b);
    static ReportValue multiply(const ReportValue& a, const ReportValue& b);
    static ReportValue divide(const ReportValue& a, const ReportValue& b);   // by zero: null
    static ReportValue negate(const ReportValue& a);

    // Three-way comparison the way a selection formula compares: numbers by value, text
    // without regard to (ASCII) letter case, dates by day, a date against a text in a date
    // form by day. Returns nothing when either side is null.
    static std::optional<int> compare(const ReportValue& a, const ReportValue& b);
    // Equal for grouping: nulls are equal to each other, otherwise compare() == 0.
    static bool sameKey(const ReportValue& a, const ReportValue& b);

private:
    std::variant<std::monostate, bool, qint64, double, ExactMoney, QString, QDate, QDateTime, std::shared_ptr<const ReportBytes>> v_;
};

// Text ordering of SQLite's NOCASE collation: ASCII letters folded, everything else by code.
int compareNoCase(const QString& a, const QString& b);

// Numbers in the shortest text that reads back the same ("5", "12.5", "1E+20").
QString shortestNumberText(double d);
