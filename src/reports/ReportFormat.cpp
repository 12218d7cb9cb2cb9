#include "ReportFormat.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

// The digits of |value| with `decimals` places: money as printed (halves away from zero,
// exactly), other numbers rounded half to even.
QString plainDigits(const ReportValue& value, int decimals)
{
    if (value.type() == ReportValue::Type::Money)
        return value.toMoney().magnitudeDigits(decimals);
    return QString::number(roundHalfEven(std::fabs(value.toDouble()), decimals), 'f', decimals);
}

// A value that has no digits to print: money out of range, a number that is not finite.
bool outOfRange(const ReportValue& v)
{
    if (v.type() == ReportValue::Type::Money)
        return v.toMoney().isOutOfRange();
    return v.type() == ReportValue::Type::Double && !std::isfinite(v.toDouble());
}

struct Picture {
    QString prefix;
    QString suffix;
    int minInt = 0;        // zeros before the point
    int minFrac = 0;       // zeros after the point
    int maxFrac = 0;       // zeros and #s after the point
    bool grouped = false;
    bool digits = false;   // a section of literal text only ("-", "none") prints just that
};

Picture parsePicture(const QString& p)
{
    Picture pic;
    qsizetype i = 0;
    auto isDigitChar = [](QChar c) { return c == u'#' || c == u'0' || c == u',' || c == u'.'; };
    while (i < p.size() && !isDigitChar(p[i]))
        pic.prefix += p[i++];
    bool fraction = false;
    while (i < p.size() && isDigitChar(p[i])) {
        const QChar c = p[i++];
        pic.digits = pic.digits || c == u'#' || c == u'0';
        if (c == u'.') {
            fraction = true;
        } else if (c == u',') {
            if (!fraction)
                pic.grouped = true;
        } else if (fraction) {
            // No more decimals than exact money keeps.
            pic.maxFrac = std::min(pic.maxFrac + 1, ExactMoney::Decimals);
            if (c == u'0')
                pic.minFrac = pic.maxFrac;
        } else if (c == u'0') {
            ++pic.minInt;
        }
    }
    pic.suffix = p.mid(i);
    return pic;
}

QString applyPicture(const ReportValue& value, const Picture& pic)
{
    if (!pic.digits)
        return pic.prefix + pic.suffix;
    QString digits = plainDigits(value, pic.maxFrac);
    QString intPart = digits;
    QString frac;
    const qsizetype dot = digits.indexOf(u'.');
    if (dot >= 0) {
        intPart = digits.left(dot);
        frac = digits.mid(dot + 1);
    }
    while (frac.size() > pic.minFrac && frac.endsWith(u'0'))
        frac.chop(1);
    while (intPart.size() > 1 && intPart.startsWith(u'0'))
        intPart.remove(0, 1);
    if (intPart == QLatin1String("0") && pic.minInt == 0)
        intPart.clear();
    intPart = intPart.rightJustified(pic.minInt, u'0');
    if (pic.grouped)
        for (qsizetype k = intPart.size() - 3; k > 0; k -= 3)
            intPart.insert(k, u',');
    QString out = intPart;
    if (!frac.isEmpty())
        out += u'.' + frac;
    if (out.isEmpty())
        out = QStringLiteral("0");
    return pic.prefix + out + pic.suffix;
}

bool isZero(const ReportValue& v)
{
    if (v.type() == ReportValue::Type::Money)
        return v.toMoney().isZero();
    return v.toDouble() == 0.0;
}

} // namespace

QString formatNumberPicture(const ReportValue& value, const QString& picture)
{
    if (outOfRange(value))
        return OutOfRangeMark;
    const QStringList sections = picture.split(u';');
    const bool negative = value.type() == ReportValue::Type::Money ? value.toMoney().sign() < 0 : value.toDouble() < 0;
    if (sections.size() >= 3 && isZero(value))
        return applyPicture(value, parsePicture(sections[2]));
    if (negative && sections.size() >= 2)
        return applyPicture(value, parsePicture(sections[1]));
    const QString s = applyPicture(value, parsePicture(sections[0]));
    if (negative) {
        // "-0" would read oddly once rounding has made the number zero.
        const QString zero = applyPicture(ReportValue(qint64(0)), parsePicture(sections[0]));
        return s == zero ? s : u'-' + s;
    }
    return s;
}

QString formatReportValue(const ReportValue& value, const QString& format, DateOrder dates)
{
    if (value.isNull())
        return QString();
    const QString f = format.trimmed();
    if (f.isEmpty())
        return value.toDisplayText(dates);
    const QString key = f.toLower();
    if (key == QLatin1String("currency")) {
        if (!value.isNumeric())
            return value.toDisplayText();
        return moneyText(value.toMoney());
    }
    if (key == QLatin1String("integer"))
        return value.isNumeric() ? formatNumberPicture(value, QStringLiteral("#,##0")) : value.toDisplayText();
    if (key == QLatin1String("number"))
        return value.isNumeric() ? formatNumberPicture(value, QStringLiteral("#,##0.##")) : value.toDisplayText();
    if (key == QLatin1String("yesno"))
        return value.toBool() ? QStringLiteral("Yes") : QStringLiteral("No");
    if (key == QLatin1String("longdate") || key == QLatin1String("shortdate")) {
        const QDate d = value.toDate();
        if (!d.isValid())
            return value.toDisplayText();
        return key == QLatin1String("longdate") ? longDateText(d, dates) : shortDateText(d, dates);
    }
    if (value.isDate()) {
        // Patterns are Qt's; the locale is fixed so that month names stay English.
        static const QLocale c(QLocale::English, QLocale::UnitedStates);
        if (value.type() == ReportValue::Type::DateTime)
            return c.toString(value.toDateTime(), f);
        return c.toString(value.toDate(), f);
    }
    if (value.isNumeric())
        return formatNumberPicture(value, f);
    return value.toDisplayText();
}
