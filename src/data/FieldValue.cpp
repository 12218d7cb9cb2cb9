#include "Connection.h"
#include "Values.h"

#include <QLocale>
#include <limits>

FieldType fieldTypeFromDeclared(const QString& declared, bool integerPrimaryKey)
{
    if (integerPrimaryKey)
        return FieldType::Counter;
    const QString t = declared.trimmed().toUpper();
    const QString base = t.section(u'(', 0, 0).trimmed();
    if (base == QLatin1String("COUNTER") || base == QLatin1String("AUTOINCREMENT"))
        return FieldType::Counter;
    if (base == QLatin1String("LONGTEXT") || base == QLatin1String("MEMO") || base == QLatin1String("NOTE"))
        return FieldType::Memo;
    if (base == QLatin1String("CURRENCY") || base == QLatin1String("MONEY"))
        return FieldType::Currency;
    if (base == QLatin1String("DATETIME") || base == QLatin1String("DATE") || base == QLatin1String("TIMESTAMP"))
        return FieldType::Date;
    if (base == QLatin1String("YESNO") || base == QLatin1String("BIT") || base == QLatin1String("BOOLEAN") || base == QLatin1String("LOGICAL"))
        return FieldType::YesNo;
    if (base == QLatin1String("OLEOBJECT") || base == QLatin1String("LONGBINARY") || base == QLatin1String("BLOB") || base == QLatin1String("IMAGE"))
        return FieldType::Binary;
    if (base.contains(QLatin1String("INT")) || base == QLatin1String("LONG") || base == QLatin1String("BYTE") || base == QLatin1String("SHORT"))
        return FieldType::Long;
    if (base.contains(QLatin1String("DOUB")) || base.contains(QLatin1String("REAL")) || base.contains(QLatin1String("FLOA"))
        || base == QLatin1String("SINGLE") || base == QLatin1String("NUMERIC") || base == QLatin1String("DECIMAL"))
        return FieldType::Double;
    return FieldType::Text;
}

namespace {

[[noreturn]] void conversionError(const QVariant& value, const QString& field, const char* what)
{
    throw DbError(EngineError::TypeConversion,
                  QStringLiteral("Data type conversion error: '%1' is not %2, as the field '%3' needs.")
                      .arg(value.toString(), QLatin1String(what), field));
}

bool isNumberType(const QVariant& v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Long: case QMetaType::Short: case QMetaType::UShort: case QMetaType::Double: case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

std::optional<double> numberOf(const QVariant& v)
{
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool() ? 1.0 : 0.0;
    if (isNumberType(v))
        return v.toDouble();
    return parseNumber(v.toString());
}

std::optional<QVariant> dateOf(const QVariant& v)
{
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate().isValid() ? std::optional<QVariant>(dateToStorage(v.toDate())) : std::nullopt;
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime().isValid() ? std::optional<QVariant>(dateTimeToStorage(v.toDateTime())) : std::nullopt;
    const QString t = v.toString().trimmed();
    const QVariant parsed = dateFromStorage(t);
    if (parsed.metaType().id() == QMetaType::QDate)
        return dateToStorage(parsed.toDate());
    if (parsed.metaType().id() == QMetaType::QDateTime)
        return dateTimeToStorage(parsed.toDateTime());
    static const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QDate longDate = us.toDate(t, QStringLiteral("dddd, MMMM d, yyyy"));
    if (longDate.isValid())
        return dateToStorage(longDate);
    return std::nullopt;
}

} // namespace

QVariant toStorage(FieldType type, const QVariant& value, const QString& field)
{
    if (!value.isValid())
        return type == FieldType::YesNo ? QVariant(0) : QVariant();
    const bool blankText = value.metaType().id() == QMetaType::QString && value.toString().trimmed().isEmpty();
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo:
        if (value.metaType().id() == QMetaType::QString)
            return value;
        if (value.metaType().id() == QMetaType::Bool)
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        if (value.metaType().id() == QMetaType::QDate)
            return formatShortDate(value.toDate());
        if (value.metaType().id() == QMetaType::QByteArray)
            return QString::fromUtf8(value.toByteArray());
        if (value.metaType().id() == QMetaType::Double)
            return numberText(value.toDouble());
        return value.toString();
    case FieldType::Long:
    case FieldType::Counter: {
        if (blankText)
            return {};
        const auto n = numberOf(value);
        if (!n)
            conversionError(value, field, "a whole number");
        const double r = double(roundHalfEven(*n));
        if (type == FieldType::Long && (r > std::numeric_limits<qint32>::max() || r < std::numeric_limits<qint32>::min()))
            conversionError(value, field, "a whole number in range");
        return qlonglong(r);
    }
    case FieldType::Double: {
        if (blankText)
            return {};
        const auto n = numberOf(value);
        if (!n)
            conversionError(value, field, "a number");
        return *n;
    }
    case FieldType::Currency: {
        if (blankText)
            return {};
        std::optional<Currency> c;
        if (isNumberType(value) || value.metaType().id() == QMetaType::Bool)
            c = Currency::fromDouble(*numberOf(value));
        else
            c = Currency::parse(value.toString());
        if (!c)
            conversionError(value, field, "an amount of money");
        return c->toDouble();
    }
    case FieldType::Date: {
        if (blankText)
            return {};
        const auto d = dateOf(value);
        if (!d)
            conversionError(value, field, "a date");
        return *d;
    }
    case FieldType::YesNo: {
        if (value.metaType().id() == QMetaType::Bool)
            return value.toBool() ? 1 : 0;
        if (isNumberType(value))
            return value.toDouble() != 0 ? 1 : 0;
        const QString t = value.toString().trimmed().toLower();
        if (t.isEmpty() || t == QLatin1String("false") || t == QLatin1String("no") || t == QLatin1String("off") || t == QLatin1String("0"))
            return 0;
        if (t == QLatin1String("true") || t == QLatin1String("yes") || t == QLatin1String("on"))
            return 1;
        if (const auto n = parseNumber(t))
            return *n != 0 ? 1 : 0;
        conversionError(value, field, "Yes or No");
    }
    case FieldType::Binary:
        if (value.metaType().id() == QMetaType::QByteArray)
            return value.toByteArray().isEmpty() ? QVariant() : value;
        if (blankText)
            return {};
        return value.toString().toUtf8();
    }
    return value;
}

QVariant fromStorage(FieldType type, const QVariant& v)
{
    if (!v.isValid())
        return {};
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo:
        if (v.metaType().id() == QMetaType::QByteArray)
            return QString::fromUtf8(v.toByteArray());
        if (v.metaType().id() == QMetaType::Double)
            return numberText(v.toDouble());
        return v.toString();
    case FieldType::Long:
    case FieldType::Counter:
        if (v.metaType().id() == QMetaType::LongLong)
            return v;
        if (const auto n = numberOf(v))
            return qlonglong(roundHalfEven(*n));
        return v;
    case FieldType::Double:
    case FieldType::Currency:
        if (const auto n = numberOf(v))
            return *n;
        return v;
    case FieldType::Date: {
        const QVariant d = dateFromStorage(v.toString());
        return d.isValid() ? d : v;
    }
    case FieldType::YesNo:
        if (const auto n = numberOf(v))
            return *n != 0;
        return v.toBool();
    case FieldType::Binary:
        return v.toByteArray();
    }
    return v;
}
