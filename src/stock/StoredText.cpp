#include "stock/StoredText.h"

#include "data/DataControl.h"
#include "data/DbError.h"

QString storedText(const DataControl& data, const QString& field)
{
    const Recordset* rs = data.recordset();
    if (!rs || rs->isClosed() || !rs->hasCurrent())
        return QString();
    try {
        return DataControl::formatValue(rs->value(field), BindFormat::General);
    } catch (const DbError&) {
        return QString();
    }
}
