#pragma once

#include "data/Connection.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The filter window's rows turned into what the rest of the program uses: a statement in the
// legacy SQL dialect for the maintenance screen's data source, and a report selection formula
// with up to three report sort fields for the filtered report and labels. Pure functions: the
// window reads its controls into a FilterRequest and shows what comes back.
//
// Every piece of user text reaches the statement through sqlQuote (LIKE patterns through
// EscapeCriteria first), and the formula says the same thing as the statement, so the filtered
// report prints exactly the parts the screen shows.

inline const QString FindAllRecords = QStringLiteral("** Find All Records **");
inline const QString DoNotSort = QStringLiteral("** Do Not Sort **");

// The database engine's field type codes, kept with each entry of the window's field lists.
namespace TypeCode {
constexpr int YesNo = 1;
constexpr int Byte = 2;
constexpr int Integer = 3;
constexpr int Long = 4;
constexpr int Currency = 5;
constexpr int Single = 6;
constexpr int Double = 7;
constexpr int Date = 8;
constexpr int Binary = 9;
constexpr int Text = 10;
constexpr int LongBinary = 11;
constexpr int Memo = 12;
}  // namespace TypeCode

enum class FieldGroup { None, YesNo, Number, Date, Text };

FieldGroup fieldGroup(int typeCode);
int fieldTypeCode(FieldType type);   // the code of a field of our data engine

// One criteria row as the window shows it: the field's name and type code (0 for "** Find All
// Records **"), the operator, the criterion and the condition ("And", "Or") to the next row.
struct FilterRow {
    QString field;
    int typeCode = 0;
    QString op;
    QString criteria;
    QString condition;
};

struct FilterSortRow {
    QString field;   // a field name, or DoNotSort in the first row
    QString order;   // "Ascending" or "Descending"
};

struct FilterRequest {
    QString recordSource;          // of the maintenance screen's Data1: where the table name comes from
    QList<FilterRow> rows;         // the criteria rows that exist, from the first (at most five)
    QList<FilterSortRow> sorts;    // the sort rows that exist, from the first (at most three)
    bool deleteMode = false;       // "&Delete Found Records" ticked
};

// What the maintenance screen's filtered report and labels print with: the selection formula
// and up to three sort fields ("+{Parts.Location}", "-{Parts.Description}"); an unused one is empty.
struct CurrentFilterFormula {
    QString formula;
    std::array<QString, 3> sortFields;
    bool operator==(const CurrentFilterFormula&) const = default;
};

struct FilterStatement {
    QString statement;             // empty when the rows give nothing to run
    CurrentFilterFormula report;
    bool findAll = false;          // the first row reads "** Find All Records **"
};

FilterStatement CreateSQLStatement(const FilterRequest& request);

// The table name in a record source: the source itself when it is a table name; from a select
// statement, what stands between "Select " and the first "." after it ("Parts", "[Parts]").
// "Parts" when the statement has no such name.
QString GetTableName(const QString& recordSource);

// A criterion made literal inside a LIKE pattern: each of # ? ( ) * : ; [ enclosed in brackets,
// blanks around removed. Quotes are left to sqlQuote: O'BRIEN (2) -> O'BRIEN [(]2[)].
QString EscapeCriteria(const QString& text);

// A number criterion written back: "." as the decimal point, no zero before it (.5, -.5), and
// exponent form for very large and very small values (1E+20).
QString formatCriteriaNumber(double value);

// The result of checking the criteria rows before a statement is built for good.
struct CriteriaCheck {
    bool ok = true;
    int failedRow = -1;
    QString title;
    QString message;
    QStringList criteria;   // every row's criterion as the box shows it afterwards
};

// Checks each row's criterion against its field's type, from the first row, and stops at the
// first that cannot be used. On the way numbers are written in one form (12.50 -> 12.5) and
// yes/no words in capitals. A text field's empty criterion is refused and becomes "empty" (so
// that a second OK finds empty fields); a number or yes/no criterion that cannot be read is
// emptied; a date stays as typed. Rows whose field has no type group pass.
CriteriaCheck CheckCriteria(const QList<FilterRow>& rows);
