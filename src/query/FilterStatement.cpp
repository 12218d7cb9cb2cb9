#include "query/FilterStatement.h"

#include "data/JetSql.h"
#include "data/Values.h"

#include <QRegularExpression>

namespace {

const QString EmptyWord = QStringLiteral("empty");

// A statement piece and the formula piece that selects the same rows.
struct Piece {
    QString sql;
    QString formula;
};

QString formulaString(const QString& text)
{
    QString s = text;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

bool isNumberLiteral(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[-+]?(\\d+\\.?\\d*|\\.\\d+)([Ee][-+]?\\d+)?$"));
    return number.match(text).hasMatch();
}

// The comparison signs of number, date and text rows, by the operator's exact text.
QString comparisonSign(const QString& op)
{
    if (op == QLatin1String("Equals"))
        return QStringLiteral(" = ");
    if (op == QLatin1String("Is Not Equal To"))
        return QStringLiteral(" <> ");
    if (op == QLatin1String("Is Greater Than"))
        return QStringLiteral(" > ");
    if (op == QLatin1String("Is Less Than"))
        return QStringLiteral(" < ");
    if (op == QLatin1String("Is Greater Than or Equal To"))
        return QStringLiteral(" >= ");
    if (op == QLatin1String("Is Less Than or Equal To"))
        return QStringLiteral(" <= ");
    return QString();
}

std::optional<Piece> yesNoPiece(const QString& column, const QString& ref, const QString& c)
{
    const QString word = c.toLower();
    if (word == QLatin1String("yes") || word == QLatin1String("true"))
        return Piece{column + QStringLiteral(" = ") + c, ref + QStringLiteral(" = true")};
    if (word == QLatin1String("no") || word == QLatin1String("false"))
        return Piece{column + QStringLiteral(" = ") + c, ref + QStringLiteral(" = false")};
    // Only an unchecked preview gets here; the text stays a quoted literal.
    return Piece{column + QStringLiteral(" = ") + sqlQuote(c), ref + QStringLiteral(" = ") + formulaString(c)};
}

std::optional<Piece> numberPiece(const QString& column, const QString& ref, const QString& op, const QString& c)
{
    const QString sign = comparisonSign(op);
    if (sign.isEmpty())
        return std::nullopt;
    if (isNumberLiteral(c))
        return Piece{column + sign + c, ref + sign + c};
    return Piece{column + sign + sqlQuote(c), ref + sign + formulaString(c)};
}

std::optional<Piece> datePiece(const QString& column, const QString& ref, const QString& op, const QString& c)
{
    const QString sign = comparisonSign(op);
    if (sign.isEmpty())
        return std::nullopt;
    // The statement keeps the date as typed (the engine reads it month first, as the check
    // did); the formula gets the same calendar day.
    if (const std::optional<QDate> d = parseUsDate(c))
        return Piece{column + sign + u'#' + c + u'#',
                     ref + sign + QStringLiteral("Date (%1,%2,%3)")
                                      .arg(d->year(), 4, 10, QLatin1Char('0'))
                                      .arg(d->month(), 2, 10, QLatin1Char('0'))
                                      .arg(d->day(), 2, 10, QLatin1Char('0'))};
    return Piece{column + sign + sqlQuote(c), ref + sign + formulaString(c)};
}

std::optional<Piece> textPiece(const QString& column, const QString& ref, const QString& rawOp, const QString& c)
{
    const QString op = rawOp.trimmed();
    const QString sign = comparisonSign(op);
    if (!sign.isEmpty()) {
        // "empty" asks for fields that hold nothing: no value at all, or an empty text.
        if (op == QLatin1String("Equals") && c.toLower() == EmptyWord)
            return Piece{QStringLiteral("(%1 IS NULL OR %1 = '')").arg(column),
                         QStringLiteral("(IsNull(%1) or %1 = \"\")").arg(ref)};
        if (c == EmptyWord) {
            if (op == QLatin1String("Is Not Equal To"))
                return Piece{QStringLiteral("(%1 IS NOT NULL AND %1 <> '')").arg(column),
                             QStringLiteral("not (IsNull(%1) or %1 = \"\")").arg(ref)};
            return Piece{column + sign + QStringLiteral("''"), ref + sign + QStringLiteral("\"\"")};
        }
        return Piece{column + sign + sqlQuote(c), ref + sign + formulaString(c)};
    }
    if (op == QLatin1String("Contains") || op == QLatin1String("Does Not Contain")) {
        const QString pattern = u'*' + EscapeCriteria(c) + u'*';
        const QString like = op == QLatin1String("Contains") ? QStringLiteral(" LIKE ") : QStringLiteral(" NOT LIKE ");
        return Piece{column + like + sqlQuote(pattern), ref + like + formulaString(pattern)};
    }
    if (op == QLatin1String("Begins With"))
        return Piece{column + QStringLiteral(" LIKE ") + sqlQuote(EscapeCriteria(c) + u'*'),
                     ref + QStringLiteral(" Starts With ") + formulaString(c)};
    return std::nullopt;
}

std::optional<Piece> rowPiece(const FilterRow& row, const QString& formulaTable)
{
    const QString column = u'[' + row.field + u']';
    const QString ref = u'{' + formulaTable + u'.' + row.field + u'}';
    const QString c = row.criteria.trimmed();
    switch (fieldGroup(row.typeCode)) {
    case FieldGroup::YesNo:
        return yesNoPiece(column, ref, c);
    case FieldGroup::Number:
        return numberPiece(column, ref, row.op, c);
    case FieldGroup::Date:
        return datePiece(column, ref, row.op, c);
    case FieldGroup::Text:
        return textPiece(column, ref, row.op, c);
    case FieldGroup::None:
        break;
    }
    return std::nullopt;
}

QString unbracketed(const QString& name)
{
    if (name.size() >= 2 && name.startsWith(u'[') && name.endsWith(u']'))
        return name.mid(1, name.size() - 2);
    return name;
}

}  // namespace

FieldGroup fieldGroup(int typeCode)
{
    switch (typeCode) {
    case TypeCode::YesNo:
        return FieldGroup::YesNo;
    case TypeCode::Byte:
    case TypeCode::Integer:
    case TypeCode::Long:
    case TypeCode::Currency:
    case TypeCode::Single:
    case TypeCode::Double:
        return FieldGroup::Number;
    case TypeCode::Date:
        return FieldGroup::Date;
    case TypeCode::Text:
    case TypeCode::Memo:
        return FieldGroup::Text;
    default:
        return FieldGroup::None;
    }
}

int fieldTypeCode(FieldType type)
{
    switch (type) {
    case FieldType::Text: return TypeCode::Text;
    case FieldType::Memo: return TypeCode::Memo;
    case FieldType::Long: return TypeCode::Long;
    case FieldType::Counter: return TypeCode::Long;
    case FieldType::Double: return TypeCode::Double;
    case FieldType::Currency: return TypeCode::Currency;
    case FieldType::Date: return TypeCode::Date;
    case FieldType::YesNo: return TypeCode::YesNo;
    case FieldType::Binary: return TypeCode::LongBinary;
    }
    return 0;
}

QString GetTableName(const QString& recordSource)
{
    if (!recordSource.toLower().contains(QLatin1String("select")))
        return recordSource;
    // "Select " + name + ".* From ...": the name ends at the first "." after the keyword.
    const qsizetype dot = recordSource.indexOf(u'.', 6);
    if (dot <= 7)
        return QStringLiteral("Parts");
    return recordSource.mid(7, dot - 7);
}

QString EscapeCriteria(const QString& text)
{
    static const QString special = QStringLiteral("#?()*:;[");
    const QString s = text.trimmed();
    QString out;
    out.reserve(s.size() + 8);
    for (const QChar ch : s) {
        if (special.contains(ch))
            out += u'[' + QString(ch) + u']';
        else
            out += ch;
    }
    return out;
}

FilterStatement CreateSQLStatement(const FilterRequest& request)
{
    FilterStatement out;
    const QString table = GetTableName(request.recordSource);
    const QString formulaTable = unbracketed(table);
    if (request.rows.isEmpty() || request.rows.first().field.isEmpty())
        return out;   // nothing chosen: nothing to run

    QString statement = request.deleteMode ? QStringLiteral("Delete * From ") + table
                                           : QStringLiteral("Select ") + table + QStringLiteral(".* From ") + table;
    QString formula;
    if (request.rows.first().field == FindAllRecords) {
        out.findAll = true;
    } else {
        QString where;
        QString pendingCondition;
        const int rows = std::min<int>(int(request.rows.size()), 5);
        for (int i = 0; i < rows; ++i) {
            const FilterRow& row = request.rows[i];
            if (row.field.isEmpty())
                break;
            if (const std::optional<Piece> piece = rowPiece(row, formulaTable)) {
                if (!where.isEmpty()) {
                    where += u' ' + pendingCondition.toUpper() + u' ';
                    formula += u' ' + pendingCondition.toLower() + u' ';
                }
                where += piece->sql;
                formula += piece->formula;
            }
            // The next row counts only when this one leads to it with a condition.
            const bool next = i < 4 && !row.condition.isEmpty() && i + 1 < rows && !request.rows[i + 1].field.isEmpty();
            if (!next)
                break;
            pendingCondition = row.condition;
        }
        if (!where.isEmpty())
            statement += QStringLiteral(" Where ") + where;
    }

    if (!request.deleteMode && !request.sorts.isEmpty() && !request.sorts.first().field.isEmpty()
        && request.sorts.first().field != DoNotSort) {
        const int sorts = std::min<int>(int(request.sorts.size()), 3);
        for (int k = 0; k < sorts; ++k) {
            const FilterSortRow& s = request.sorts[k];
            if (s.field.isEmpty())
                break;
            const bool ascending = s.order == QLatin1String("Ascending");
            statement += (k == 0 ? QStringLiteral(" ORDER BY [") : QStringLiteral(", [")) + s.field + u']'
                + (ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC"));
            out.report.sortFields[k] = (ascending ? u'+' : u'-') + (u'{' + formulaTable + u'.' + s.field + u'}');
        }
    }

    // A delete prints nothing: no formula and no sort fields are left behind by it.
    if (!request.deleteMode)
        out.report.formula = formula;
    out.statement = statement;
    return out;
}

QString formatCriteriaNumber(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    QString s = QString::number(value, 'g', 15);
    s.replace(u'e', u'E');
    if (s.startsWith(QLatin1String("0.")))
        s.remove(0, 1);
    else if (s.startsWith(QLatin1String("-0.")))
        s.remove(1, 1);
    return s;
}

CriteriaCheck CheckCriteria(const QList<FilterRow>& rows)
{
    CriteriaCheck check;
    for (const FilterRow& row : rows)
        check.criteria.append(row.criteria);

    auto fail = [&check](int i, const QString& title, const QString& message, std::optional<QString> after) {
        check.ok = false;
        check.failedRow = i;
        check.title = title;
        check.message = message;
        if (after)
            check.criteria[i] = *after;
        return check;
    };

    const int count = std::min<int>(int(rows.size()), 5);
    for (int i = 0; i < count; ++i) {
        const FilterRow& row = rows[i];
        const QString text = row.criteria;
        switch (fieldGroup(row.typeCode)) {
        case FieldGroup::Text:
            if (text.isEmpty())
                return fail(i, QStringLiteral("Empty Criteria Field"),
                            QStringLiteral("When finding a text or memo field that equals nothing, use the criteria 'empty'."),
                            EmptyWord);
            break;
        case FieldGroup::Number: {
            // The whole text must be a number: 12ABC or A12 would otherwise filter on 12 or 0.
            const std::optional<double> n = parseNumber(text);
            if (!n)
                return fail(i, QStringLiteral("Invalid Numeric Criteria"),
                            QStringLiteral("You must supply a valid number when finding based on numeric fields."),
                            QString());
            check.criteria[i] = formatCriteriaNumber(*n);
            break;
        }
        case FieldGroup::YesNo: {
            const QString word = text.toLower();
            if (word != QLatin1String("true") && word != QLatin1String("false") && word != QLatin1String("yes")
                && word != QLatin1String("no"))
                return fail(i, QStringLiteral("Bad Logical Criteria"),
                            QStringLiteral("For checkbox fields and radio buttons, you must supply 'Yes', 'No', 'True', "
                                           "or 'False' for the criteria."),
                            QString());
            check.criteria[i] = text.toUpper();
            break;
        }
        case FieldGroup::Date:
            // Month first whatever the machine's settings, as the engine reads the statement.
            if (text.isEmpty() || !parseUsDate(text))
                return fail(i, QStringLiteral("Missing or Invalid Date"),
                            QStringLiteral("You must supply a valid date in the find criteria based on a date field.")
                                + QStringLiteral("\r\r") + QStringLiteral("Example Date Format: 12/1/93"),
                            std::nullopt);
            break;
        case FieldGroup::None:
            break;
        }
    }
    return check;
}
