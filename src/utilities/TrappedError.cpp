#include "utilities/TrappedError.h"

#include "platform/DriveA.h"

QString diskErrorText(int number, const QString& description)
{
    if (number == DriveA::NoDiskError)
        return QStringLiteral("There is no disk in drive A, or it is not formatted!");
    if (number == DriveA::WriteProtectedError)
        return QStringLiteral("The disk cannot be write protected!");
    return generalErrorText(number, description);
}

QString generalErrorText(int number, const QString& description)
{
    return QString::number(number) + QStringLiteral(": ") + description + QStringLiteral("Please contact Quenmoor");
}

int percentDone(qint64 remaining, qint64 total)
{
    if (total <= 0)
        return 0;
    // remaining / total * 100 - 100 = 100 * (remaining - total) / total, rounded down.
    const qint64 numerator = 100 * (remaining - total);
    qint64 quotient = numerator / total;
    if (numerator % total != 0 && numerator < 0)
        --quotient;
    return int(quotient < 0 ? -quotient : quotient);
}
