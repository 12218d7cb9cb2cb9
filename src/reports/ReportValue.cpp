#include "ReportValue.h"

#include "ReportError.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

template <typename T>
int cmp3(const T& a, const T& b) { return a < b ? -1 : (b < a ? 1 : 0); }

QString typeWord(const ReportValue& v)
{
    switch (v.type()) {
    case ReportValue::Type::Text: return QStringLiteral("text");
    case ReportValue::Type::Date:
    case ReportValue::Type::DateTime: return QStringLiteral("a date");
    case ReportValue::Type::Bytes: return QStringLiteral("a picture");
    default: return QStringLiteral("a number");
    }
}

void requireNumbers(const ReportValue& a, const ReportValue& b, const char* op)
{
    if (!a.isNumeric() || !b.isNumeric())
        throw ReportError(QStringLiteral("%1 cannot be applied to %2 and %3")
                              .arg(QLatin1String(op), typeWord(a), typeWord(b)));
}

bool bothIntegral(const ReportValue& a, const ReportValue& b)
{
    auto integral = [](const ReportValue& v) { return v.type() == ReportValue::Type::Int || v.type() == ReportValue::Type::Bool; };
    return integral(a) && integral(b);
}

bool anyDouble(const ReportValue& a, const ReportValue& b)
{
    return a.type() == ReportValue::Type::Double || b.type() == ReportValue::Type::Double;
}


// Whole-number arithmetic that goes over to a fraction rather than overflow.
template <typename Op>
ReportValue wholeOr(qint64 a, qint64 b, Op op, double fallback)
{
    qint64 r = 0;
    if (op(a, b, &r))
        return fallback;
    return r;
}

} // namespace

QString moneyText(const ExactMoney& amount)
{
    const ExactMoney cents = amount.rounded(2);
    QString digits = cents.magnitudeDigits(2);
    if (digits.isEmpty())
        return OutOfRangeMark;
    for (qsizetype k = digits.size() - 6; k > 0; k -= 3)
        digits.insert(k, u',');
    return cents.sign() < 0 ? QStringLiteral("($") + digits + u')' : u'$' + digits;
}

int compareNoCase(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const QChar* pa = a.constData();
    const QChar* pb = b.constData();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = pa[i].unicode();
        char16_t y = pb[i].unicode();
        if (x >= u'A' && x <= u'Z') x += 32;
        if (y >= u'A' && y <= u'Z') y += 32;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return cmp3(a.size(), b.size());
}

QString shortestNumberText(double d)
{
    if (std::isnan(d) || std::isinf(d))
        return QString();
    if (d == std::floor(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    char buf[40];
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*G", precision, d);
        if (std::strtod(buf, nullptr) == d)
            break;
    }
    QString s = QString::fromLatin1(buf);
    // "1E+20" rather than C's "1E+20"/"1E-05" spelled with padded exponents.
    const qsizetype e = s.indexOf(u'E');
    if (e >= 0) {
        QString exp = s.mid(e + 2);
        while (exp.size() > 2 && exp.startsWith(u'0'))
            exp.remove(0, 1);
        s = s.left(e + 2) + exp;
    }
    return s;
}

bool ReportValue::isNumeric() const
{
    switch (type()) {
    case Type::Bool:
    case Type::Int:
    case Type::Double:
    case Type::Money:
        return true;
    default:
        return false;
    }
}

bool ReportValue::toBool() const
{
    switch (type()) {
    case Type::Bool: return std::get<bool>(v_);
    case Type::Int: return std::get<qint64>(v_) != 0;
    case Type::Double: return std::get<double>(v_) != 0.0;
    case Type::Money: return !std::get<ExactMoney>(v_).isZero();
    case Type::Text: {
        const QString t = std::get<QString>(v_).trimmed();
        if (t.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0 || t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        const auto n = parseNumber(t);
        return n && *n != 0.0;
    }
    default:
        return false;
    }
}

qint64 ReportValue::toInt() const
{
    switch (type()) {
    case Type::Bool: return std::get<bool>(v_) ? 1 : 0;
    case Type::Int: return std::get<qint64>(v_);
    case Type::Double: return roundHalfEven(std::get<double>(v_));
    case Type::Money: return std::get<ExactMoney>(v_).toWhole();
    case Type::Text: return roundHalfEven(vbVal(std::get<QString>(v_)));
    default: return 0;
    }
}

double ReportValue::toDouble() const
{
    switch (type()) {
    case Type::Bool: return std::get<bool>(v_) ? 1.0 : 0.0;
    case Type::Int: return double(std::get<qint64>(v_));
    case Type::Double: return std::get<double>(v_);
    case Type::Money: return std::get<ExactMoney>(v_).toDouble();
    case Type::Text: return vbVal(std::get<QString>(v_));
    default: return 0.0;
    }
}

ExactMoney ReportValue::toMoney() const
{
    switch (type()) {
    case Type::Money: return std::get<ExactMoney>(v_);
    case Type::Int: return ExactMoney::fromWhole(std::get<qint64>(v_));
    case Type::Bool: return ExactMoney::fromWhole(std::get<bool>(v_) ? 1 : 0);
    default: return ExactMoney::fromDouble(toDouble());
    }
}

QDate ReportValue::toDate() const
{
    switch (type()) {
    case Type::Date: return std::get<QDate>(v_);
    case Type::DateTime: return std::get<QDateTime>(v_).date();
    case Type::Text: {
        const QString& t = std::get<QString>(v_);
        const QVariant stored = dateFromStorage(t);
        if (stored.isValid())
            return stored.typeId() == QMetaType::QDate ? stored.toDate() : stored.toDateTime().date();
        return parseUsDate(t).value_or(QDate());
    }
    default:
        return QDate();
    }
}

QDateTime ReportValue::toDateTime() const
{
    if (type() == Type::DateTime)
        return std::get<QDateTime>(v_);
    const QDate d = toDate();
    return d.isValid() ? d.startOfDay() : QDateTime();
}

QString ReportValue::text() const
{
    return type() == Type::Text ? std::get<QString>(v_) : QString();
}

namespace {

class HeldBytes : public ReportBytes
{
public:
    explicit HeldBytes(const QByteArray& bytes) : bytes_(bytes) {}
    QByteArray read() const override { return bytes_; }

private:
    QByteArray bytes_;
};

} // namespace

ReportValue::ReportValue(const QByteArray& b) : v_(std::shared_ptr<const ReportBytes>(std::make_shared<HeldBytes>(b))) {}

ReportValue::ReportValue(std::shared_ptr<const ReportBytes> b)
{
    if (b)
        v_ = std::move(b);
}

QByteArray ReportValue::bytes() const
{
    if (type() != Type::Bytes)
        return QByteArray();
    const auto& b = std::get<std::shared_ptr<const ReportBytes>>(v_);
    return b ? b->read() : QByteArray();
}

QString shortDateText(const QDate& date, DateOrder order)
{
    return order == DateOrder::DayFirst ? date.toString(QStringLiteral("dd/MM/yyyy")) : formatShortDate(date);
}

QString longDateText(const QDate& date, DateOrder order)
{
    if (order == DateOrder::MonthFirst)
        return formatLongDate(date);
    static const QLocale english(QLocale::English, QLocale::UnitedKingdom);
    return english.toString(date, QStringLiteral("dddd, d MMMM yyyy"));
}

QString ReportValue::toDisplayText(DateOrder dates) const
{
    switch (type()) {
    case Type::Null: return QString();
    case Type::Bool: return std::get<bool>(v_) ? QStringLiteral("Yes") : QStringLiteral("No");
    case Type::Int: return QString::number(std::get<qint64>(v_));
    case Type::Double: return std::isfinite(std::get<double>(v_)) ? shortestNumberText(std::get<double>(v_)) : OutOfRangeMark;
    case Type::Money: return moneyText(std::get<ExactMoney>(v_));
    case Type::Text: return std::get<QString>(v_);
    case Type::Date: return shortDateText(std::get<QDate>(v_), dates);
    case Type::DateTime: {
        const QDateTime& dt = std::get<QDateTime>(v_);
        const QString time = dt.time().toString(dates == DateOrder::DayFirst ? QStringLiteral("HH:mm") : QStringLiteral("h:mm AP"));
        return shortDateText(dt.date(), dates) + u' ' + time;
    }
    case Type::Bytes: return QString();
    }
    return QString();
}

ReportValue ReportValue::add(const ReportValue& a, const ReportValue& b)
{
    if (a.isNull() || b.isNull())
        return {};
    requireNumbers(a, b, "+");
    if (bothIntegral(a, b))
        return wholeOr(a.toInt(), b.toInt(), [](qint64 x, qint64 y, qint64* r) { return __builtin_add_overflow(x, y, r); },
                       a.toDouble() + b.toDouble());
    if (anyDouble(a, b))
        return a.toDouble() + b.toDouble();
    return a.toMoney() + b.toMoney();
}

ReportValue ReportValue::subtract(const ReportValue& a, const ReportValue& b)
{
    if (a.isNull() || b.isNull())
        return {};
    requireNumbers(a, b, "-");
    if (bothIntegral(a, b))
        return wholeOr(a.toInt(), b.toInt(), [](qint64 x, qint64 y, qint64* r) { return __builtin_sub_overflow(x, y, r); },
                       a.toDouble() - b.toDouble());
    if (anyDouble(a, b))
        return a.toDouble() - b.toDouble();
    return a.toMoney() - b.toMoney();
}

ReportValue ReportValue::multiply(const ReportValue& a, const ReportValue& b)
{
    if (a.isNull() || b.isNull())
        return {};
    requireNumbers(a, b, "*");
    if (bothIntegral(a, b))
        return wholeOr(a.toInt(), b.toInt(), [](qint64 x, qint64 y, qint64* r) { return __builtin_mul_overflow(x, y, r); },
                       a.toDouble() * b.toDouble());
    const bool aMoney = a.type() == Type::Money;
    const bool bMoney = b.type() == Type::Money;
    if (!aMoney && !bMoney)
        return a.toDouble() * b.toDouble();
    // Money times a number, exactly: the number as written (8.25, not its nearest binary fraction).
    const ReportValue& money = aMoney ? a : b;
    const ReportValue& factor = aMoney ? b : a;
    if (factor.type() == Type::Int || factor.type() == Type::Bool)
        return money.toMoney() * std::int64_t(factor.toInt());
    return money.toMoney() * factor.toDouble();
}

ReportValue ReportValue::divide(const ReportValue& a, const ReportValue& b)
{
    if (a.isNull() || b.isNull())
        return {};
    requireNumbers(a, b, "/");
    if (b.toDouble() == 0.0)
        return {};
    if (a.type() == Type::Money && b.type() != Type::Money) {
        if (b.type() == Type::Int || b.type() == Type::Bool)
            return a.toMoney() / std::int64_t(b.toInt());
        return a.toMoney() / b.toDouble();
    }
    return a.toDouble() / b.toDouble();
}

ReportValue ReportValue::negate(const ReportValue& a)
{
    switch (a.type()) {
    case Type::Null: return {};
    case Type::Bool:
    case Type::Int: return a.toInt() == std::numeric_limits<qint64>::min() ? ReportValue(-a.toDouble()) : ReportValue(-a.toInt());
    case Type::Double: return -a.toDouble();
    case Type::Money: return -a.toMoney();
    default:
        throw ReportError(QStringLiteral("- cannot be applied to %1").arg(typeWord(a)));
    }
}

std::optional<int> ReportValue::compare(const ReportValue& a, const ReportValue& b)
{
    if (a.isNull() || b.isNull())
        return std::nullopt;
    if (a.isNumeric() && b.isNumeric()) {
        if (a.type() == Type::Bool || b.type() == Type::Bool)   // yes/no by truth: -1 and 1 are both Yes
            return cmp3(a.toBool(), b.toBool());
        if (bothIntegral(a, b))
            return cmp3(a.toInt(), b.toInt());
        if (!anyDouble(a, b))
            return a.toMoney().compare(b.toMoney());
        return cmp3(a.toDouble(), b.toDouble());
    }
    if (a.isDate() || b.isDate()) {
        const QDate x = a.toDate();
        const QDate y = b.toDate();
        if (x.isValid() && y.isValid())
            return cmp3(x, y);
        auto iso = [](const ReportValue& v) { return v.isDate() ? v.toDate().toString(Qt::ISODate) : v.toDisplayText(); };
        return compareNoCase(iso(a), iso(b));
    }
    if (a.isText() && b.isText())
        return compareNoCase(a.text(), b.text());
    if (a.isText() != b.isText() && (a.isNumeric() || b.isNumeric())) {
        // A number against text: numerically when the text is a number, otherwise numbers
        // come before text, as the database orders them.
        const ReportValue& t = a.isText() ? a : b;
        bool ok = false;
        const double n = t.text().trimmed().toDouble(&ok);
        if (ok) {
            const double other = a.isText() ? b.toDouble() : a.toDouble();
            return a.isText() ? cmp3(n, other) : cmp3(other, n);
        }
        return a.isText() ? 1 : -1;
    }
    if (a.type() == Type::Bytes && b.type() == Type::Bytes)
        return cmp3(a.bytes(), b.bytes());
    return cmp3(int(a.type()), int(b.type()));
}

bool ReportValue::sameKey(const ReportValue& a, const ReportValue& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    const auto c = compare(a, b);
    return c && *c == 0;
}
