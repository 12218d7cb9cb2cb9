// The statement the filter builds and the report formula it builds alongside must select the
// same parts, in the same order: the filtered report and labels print what the screen shows.
// Each request is run both ways on real rows: the statement through the data engine, the
// formula and sort fields through the report engine (its SQL translation, and its evaluation
// row by row).

#include "QueryTestData.h"
#include "data/Connection.h"
#include "data/Recordset.h"
#include "platform/AppFolder.h"
#include "query/FilterStatement.h"
#include "reports/Formula.h"
#include "reports/ReportData.h"
#include "reports/ReportDefinition.h"

#include <QtTest>

Q_DECLARE_METATYPE(FilterRequest)

namespace {

FilterRequest one(const QString& field, int code, const QString& op, const QString& criteria,
                  QList<FilterSortRow> sorts = {{DoNotSort, {}}})
{
    FilterRequest r;
    r.recordSource = QStringLiteral("Parts");
    r.rows = {FilterRow{field, code, op, criteria, {}}};
    r.sorts = std::move(sorts);
    return r;
}

class RowContext : public FormulaContext {
public:
    RowContext(const ReportDefinition& def, const ReportData& data, int row) : def_(def), data_(data), row_(row) {}
    ReportValue field(const FormulaNode& n) const override
    {
        const QList<FieldRef>& fields = def_.dataFields();
        for (int i = 0; i < fields.size(); ++i)
            if (fields[i].matches(n.field))
                return data_.cell(row_, i);
        throw ReportError(QStringLiteral("no field %1").arg(n.field.text()));
    }
    ReportValue special(const FormulaNode&) const override { return {}; }
    ReportValue aggregate(const FormulaNode&) const override { throw ReportError(QStringLiteral("no totals")); }

private:
    const ReportDefinition& def_;
    const ReportData& data_;
    int row_;
};

ReportDefinition everyColumn()
{
    auto conn = Connection::open(AppFolder::join(QStringLiteral("Inventory.mdb")));
    QString text = QStringLiteral("data table=Parts\nband detail height=10\n");
    for (const ColumnInfo& c : conn->table(QStringLiteral("Parts"))->columns)
        text += QStringLiteral("field x=0 y=0 w=10 h=10 : {Parts.%1}\n").arg(c.name);
    return ReportDefinition::parse(text, QStringLiteral("test.rpt"), AppFolder::path());
}

// Record numbers of the rows the statement selects, in its order.
QStringList bySql(const QString& statement)
{
    auto rs = Recordset::openDynaset(Connection::open(AppFolder::join(QStringLiteral("Inventory.mdb"))), statement);
    QStringList out;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        out << rs->value(QStringLiteral("Record Number")).toString();
    return out;
}

}  // namespace

class TestFilterAgreement : public QObject {
    Q_OBJECT

    QueryTestData* data = nullptr;

private Q_SLOTS:
    void init() { data = new QueryTestData; }
    void cleanup()
    {
        delete data;
        data = nullptr;
    }
    void statementAndFormulaSelectTheSameParts_data();
    void statementAndFormulaSelectTheSameParts();
};

void TestFilterAgreement::statementAndFormulaSelectTheSameParts_data()
{
    QTest::addColumn<FilterRequest>("input");
    QTest::addColumn<QStringList>("records");   // what both must find; sorted unless the request sorts

    const int Text = TypeCode::Text, Memo = TypeCode::Memo, Long = TypeCode::Long, Money = TypeCode::Currency,
              Date = TypeCode::Date, YesNo = TypeCode::YesNo;
    const QString D = QStringLiteral("Description"), L = QStringLiteral("Location");

    // Text: letter case does not matter; quotes, brackets and wildcards are plain characters.
    QTest::newRow("equals, other case") << one(D, Text, "Equals", "belt") << QStringList{"1"};
    QTest::newRow("not equal") << one(D, Text, "Is Not Equal To", "BELT") << QStringList{"2", "3", "4", "6", "7"};
    QTest::newRow("greater") << one(D, Text, "Is Greater Than", "BELT") << QStringList{"2", "3", "4", "7"};
    QTest::newRow("less") << one(D, Text, "Is Less Than", "BELT") << QStringList{"6"};
    QTest::newRow("greater or equal") << one(L, Text, "Is Greater Than or Equal To", "B2") << QStringList{"2", "5", "7"};
    QTest::newRow("less or equal") << one(L, Text, "Is Less Than or Equal To", "A10") << QStringList{"1", "4", "6"};
    QTest::newRow("contains") << one(D, Text, "Contains", "ELT") << QStringList{"1", "2"};
    QTest::newRow("does not contain") << one(D, Text, "Does Not Contain", "ELT") << QStringList{"3", "4", "6", "7"};
    QTest::newRow("begins with") << one(L, Text, "Begins With", "a1") << QStringList{"1", "4"};
    QTest::newRow("quote and brackets, equals") << one(D, Text, "Equals", "O'BRIEN (2)") << QStringList{"3"};
    QTest::newRow("quote and brackets, contains") << one(D, Text, "Contains", "'BRIEN (") << QStringList{"3"};
    QTest::newRow("inch marks") << one(D, Text, "Contains", "2\" X 4\"") << QStringList{"4"};
    QTest::newRow("open bracket") << one(L, Text, "Contains", "[A") << QStringList{"6"};
    QTest::newRow("star is a star") << one(D, Text, "Contains", "H*") << QStringList{"7"};
    QTest::newRow("star begins") << one(QStringLiteral("Part Number 1"), Text, "Begins With", "*") << QStringList{"6"};
    QTest::newRow("memo contains star") << one(QStringLiteral("Part Memo"), Memo, "Contains", "A*B") << QStringList{"6"};
    QTest::newRow("equals empty") << one(D, Text, "Equals", "empty") << QStringList{"5", "6"};
    QTest::newRow("memo equals empty") << one(QStringLiteral("Part Memo"), Memo, "Equals", "EMPTY")
                                       << QStringList{"1", "3", "4", "5", "7"};
    QTest::newRow("not equal empty") << one(D, Text, "Is Not Equal To", "empty") << QStringList{"1", "2", "3", "4", "7"};
    QTest::newRow("greater than empty") << one(D, Text, "Is Greater Than", "empty") << QStringList{"1", "2", "3", "4", "7"};

    // Numbers, money, negatives.
    QTest::newRow("in stock =") << one(QStringLiteral("In Stock"), Long, "Equals", "0") << QStringList{"2", "5"};
    QTest::newRow("in stock <>") << one(QStringLiteral("In Stock"), Long, "Is Not Equal To", "0") << QStringList{"1", "3", "4", "6", "7"};
    QTest::newRow("in stock >") << one(QStringLiteral("In Stock"), Long, "Is Greater Than", "5") << QStringList{"3", "7"};
    QTest::newRow("in stock <") << one(QStringLiteral("In Stock"), Long, "Is Less Than", "-.5") << QStringList{"6"};
    QTest::newRow("price >=") << one(QStringLiteral("Price 1"), Money, "Is Greater Than or Equal To", ".75") << QStringList{"1", "2", "3", "4", "5"};
    QTest::newRow("price <=") << one(QStringLiteral("Price 1"), Money, "Is Less Than or Equal To", "1") << QStringList{"2", "4", "6", "7"};

    // Dates, both centuries, typed in several forms.
    QTest::newRow("date =") << one(QStringLiteral("Date Ordered"), Date, "Equals", "12/01/93") << QStringList{"1", "7"};
    QTest::newRow("date <>") << one(QStringLiteral("Date Ordered"), Date, "Is Not Equal To", "12/1/93") << QStringList{"2", "4", "5", "6"};
    QTest::newRow("date >") << one(QStringLiteral("Date Ordered"), Date, "Is Greater Than", "01/14/04") << QStringList{"2", "4"};
    QTest::newRow("date <") << one(QStringLiteral("Date Ordered"), Date, "Is Less Than", "1/1/2000") << QStringList{"1", "5", "7"};
    QTest::newRow("date >=") << one(QStringLiteral("Date Ordered"), Date, "Is Greater Than or Equal To", "1/14/2004") << QStringList{"2", "4", "6"};
    QTest::newRow("date <=") << one(QStringLiteral("Date Ordered"), Date, "Is Less Than or Equal To", "7/4/99") << QStringList{"1", "5", "7"};

    // Yes/no, both words for each value.
    QTest::newRow("YES") << one(QStringLiteral("Default 1"), YesNo, "Equals", "YES") << QStringList{"1", "4", "7"};
    QTest::newRow("TRUE") << one(QStringLiteral("Default 1"), YesNo, "Equals", "TRUE") << QStringList{"1", "4", "7"};
    QTest::newRow("NO") << one(QStringLiteral("Default 1"), YesNo, "Equals", "NO") << QStringList{"2", "3", "5", "6"};
    QTest::newRow("FALSE") << one(QStringLiteral("Default 1"), YesNo, "Equals", "FALSE") << QStringList{"2", "3", "5", "6"};

    // Joiners: "and" binds tighter than "or" on both sides.
    FilterRequest joined = one(QStringLiteral("In Stock"), Long, "Is Greater Than", "0");
    joined.rows[0].condition = QStringLiteral("And");
    joined.rows << FilterRow{QStringLiteral("Default 1"), YesNo, QStringLiteral("Equals"), QStringLiteral("YES"), QStringLiteral("Or")}
                << FilterRow{L, Text, QStringLiteral("Equals"), QStringLiteral("empty"), {}};
    QTest::newRow("and, or") << joined << QStringList{"1", "3", "4", "7"};

    // Sorting: the order must agree too (the second key breaks the first one's ties).
    QTest::newRow("sorted descending")
        << one(QStringLiteral("In Stock"), Long, "Is Greater Than", "0", {{QStringLiteral("In Stock"), QStringLiteral("Descending")}})
        << QStringList{"3", "7", "1", "4"};
    QTest::newRow("sorted by two")
        << one(QStringLiteral("Minimum Stock"), Long, "Is Less Than", "10",
               {{QStringLiteral("Minimum Stock"), QStringLiteral("Ascending")}, {QStringLiteral("Part Number 2"), QStringLiteral("Descending")}})
        << QStringList{"5", "3", "6", "4", "1", "7", "2"};
    QTest::newRow("sorted by text, any case")
        << one(QStringLiteral("In Stock"), Long, "Is Less Than", "100", {{QStringLiteral("Part Number 1"), QStringLiteral("Ascending")}})
        << QStringList{"6", "1", "2", "5", "3", "4", "7"};

    FilterRequest afterDelete = one(QStringLiteral("In Stock"), Long, "Is Less Than", "1", {{L, QStringLiteral("Ascending")}});
    afterDelete.recordSource = QStringLiteral("Select [Parts].* From Parts");
    QTest::newRow("table in brackets") << afterDelete << QStringList{"6", "2", "5"};
}

void TestFilterAgreement::statementAndFormulaSelectTheSameParts()
{
    QFETCH(FilterRequest, input);
    QFETCH(QStringList, records);
    const FilterStatement built = CreateSQLStatement(input);
    const bool sorted = !built.report.sortFields[0].isEmpty();

    QStringList sql = bySql(built.statement);
    if (!sorted)
        std::sort(sql.begin(), sql.end());
    QCOMPARE(sql, records);

    // The report engine, with the formula and sort fields as the filtered report gets them.
    const ReportDefinition def = everyColumn();
    const Formula formula = Formula::parse(built.report.formula);
    QList<SortField> sorts;
    for (const QString& s : built.report.sortFields)
        if (!s.isEmpty())
            sorts << SortField::parse(s);
    const auto printed = ReportData::read(def, formula, sorts);
    QStringList report;
    for (int r = 0; r < printed->rowCount(); ++r)
        report << printed->cell(r, 0).toDisplayText();
    if (!sorted)
        std::sort(report.begin(), report.end());
    QCOMPARE(report, records);

    // And the formula evaluated row by row.
    const auto all = ReportData::read(def, Formula(), {});
    QStringList evaluated;
    for (int r = 0; r < all->rowCount(); ++r)
        if (formula.isEmpty() || formulaHolds(*formula.root(), RowContext(def, *all, r)))
            evaluated << all->cell(r, 0).toDisplayText();
    std::sort(evaluated.begin(), evaluated.end());
    QStringList expected = records;
    std::sort(expected.begin(), expected.end());
    QCOMPARE(evaluated, expected);
}

QTEST_MAIN(TestFilterAgreement)
#include "tst_filteragreement.moc"
