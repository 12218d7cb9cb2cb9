#pragma once

#include "Formula.h"
#include "ReportDefinition.h"

#include <QVector>

#include <memory>

// The rows a report prints: the definition's tables read with its own selection, the run's
// selection formula and sort fields, ordered sort fields first, then the groups, then the
// definition's own order. Holds every field the definition reads (data slots), and the values
// of its single-row lookup tables (lookup slots, after the data slots). A picture of a row is
// held as where it is stored, and read from the database each time its bytes are asked for.
class ReportData
{
public:
    // Throws ReportError (database missing, unknown table or field, formula that cannot select).
    static std::shared_ptr<const ReportData> read(const ReportDefinition& def, const Formula& selection,
                                                  const QList<SortField>& sortFields);

    int rowCount() const { return rows_; }
    int columnCount() const { return columns_; }
    const ReportValue& cell(int row, int column) const { return cells_[size_t(row) * size_t(columns_) + size_t(column)]; }
    const ReportValue& lookup(int index) const { return lookups_[index]; }
    int lookupCount() const { return int(lookups_.size()); }

    QString sql() const { return sql_; }         // the statement that read the rows, for tests
    QVariantList params() const { return params_; }

private:
    int rows_ = 0;
    int columns_ = 0;
    std::vector<ReportValue> cells_;
    QVector<ReportValue> lookups_;
    QString sql_;
    QVariantList params_;
};

// The program-folder path of a definition's database name (found without regard to case).
QString reportDatabasePath(const QString& name);
