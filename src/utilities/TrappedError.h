#pragma once

#include <QString>

// An error that a window traps and answers by its number, as the drive-A and price-update
// commands do: 52 (no disk), 3050 (write protected), or any other with its description.
struct TrappedError {
    int number = 0;
    QString description;
};

// The sentence for a trapped error: 52 and 3050 have their own, any other is told by number and
// description and asks the user to call for support.
QString diskErrorText(int number, const QString& description);
// The sentence for any other error, whatever its number: an error of a file on this computer (the
// database in use by another program, say) is never told as one of the disk in drive A.
QString generalErrorText(int number, const QString& description);

// How far a run has got, in percent, from the count still to go and the count at the start:
// |Int(remaining / total * 100 - 100)|, Int rounding down. With 3 to do and 2 still to go this
// is 34. Exact in whole numbers; 0 when there was nothing to do.
int percentDone(qint64 remaining, qint64 total);
