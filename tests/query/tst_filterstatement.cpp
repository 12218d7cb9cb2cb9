// The filter window's statement builder and criteria checks as pure functions: the statement,
// the report formula and the sort fields for every operator of every field kind, the joiners,
// sorting, delete and find-all requests, the escaping of user text, and what the checks say and
// rewrite.

#include "query/FilterStatement.h"

#include <QtTest>

Q_DECLARE_METATYPE(FilterRequest)

namespace {

FilterRow row(const QString& field, int code, const QString& op, const QString& criteria, const QString& condition = {})
{
    return FilterRow{field, code, op, criteria, condition};
}

FilterRequest request(QList<FilterRow> rows, QList<FilterSortRow> sorts = {{DoNotSort, {}}}, bool deleteMode = false,
                      const QString& source = QStringLiteral("Parts"))
{
    FilterRequest r;
    r.recordSource = source;
    r.rows = std::move(rows);
    r.sorts = std::move(sorts);
    r.deleteMode = deleteMode;
    return r;
}

const QString Head = QStringLiteral("Select Parts.* From Parts Where ");

}  // namespace

class TestFilterStatement : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void buildsStatementFormulaAndSortFields_data();
    void buildsStatementFormulaAndSortFields();
    void everyComparisonOfNumbersAndDates_data();
    void everyComparisonOfNumbersAndDates();
    void tableNameFromTheRecordSource_data();
    void tableNameFromTheRecordSource();
    void likePatternsEscapeTheirWildcards();
    void criteriaChecks_data();
    void criteriaChecks();
    void failingRowStopsTheCheckAfterEarlierRewrites();
    void numbersAreWrittenBackInOneForm();
};

void TestFilterStatement::buildsStatementFormulaAndSortFields_data()
{
    QTest::addColumn<FilterRequest>("input");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QStringList>("sorts");
    const QStringList none = {QString(), QString(), QString()};
    const int Text = TypeCode::Text, Long = TypeCode::Long, Memo = TypeCode::Memo, Date = TypeCode::Date,
              YesNo = TypeCode::YesNo, Money = TypeCode::Currency;

    // Whole outputs of the common requests.
    QTest::newRow("find all") << request({row(FindAllRecords, 0, {}, {})}) << "Select Parts.* From Parts" << "" << none;
    QTest::newRow("find all, delete") << request({row(FindAllRecords, 0, {}, {})}, {{DoNotSort, {}}}, true)
                                      << "Delete * From Parts" << "" << none;
    QTest::newRow("find all, sorted")
        << request({row(FindAllRecords, 0, {}, {})}, {{QStringLiteral("Location"), QStringLiteral("Ascending")}})
        << "Select Parts.* From Parts ORDER BY [Location] ASC" << ""
        << QStringList{QStringLiteral("+{Parts.Location}"), QString(), QString()};
    QTest::newRow("in stock below 5") << request({row(QStringLiteral("In Stock"), Long, QStringLiteral("Is Less Than"), QStringLiteral("5"))})
                                      << Head + "[In Stock] < 5" << "{Parts.In Stock} < 5" << none;
    QTest::newRow("contains, or")
        << request({row(QStringLiteral("Location"), Text, QStringLiteral("Contains"), QStringLiteral("A1"), QStringLiteral("Or")),
                    row(QStringLiteral("Minimum Stock"), Long, QStringLiteral("Is Greater Than"), QStringLiteral("2"))})
        << Head + "[Location] LIKE '*A1*' OR [Minimum Stock] > 2"
        << "{Parts.Location} LIKE \"*A1*\" or {Parts.Minimum Stock} > 2" << none;
    QTest::newRow("date, two sorts")
        << request({row(QStringLiteral("Date Ordered"), Date, QStringLiteral("Is Greater Than"), QStringLiteral("12/01/93"))},
                   {{QStringLiteral("Location"), QStringLiteral("Ascending")}, {QStringLiteral("Description"), QStringLiteral("Descending")}})
        << Head + "[Date Ordered] > #12/01/93# ORDER BY [Location] ASC, [Description] DESC"
        << "{Parts.Date Ordered} > Date (1993,12,01)"
        << QStringList{QStringLiteral("+{Parts.Location}"), QStringLiteral("-{Parts.Description}"), QString()};
    QTest::newRow("three sorts")
        << request({row(QStringLiteral("In Stock"), Long, QStringLiteral("Equals"), QStringLiteral("0"))},
                   {{QStringLiteral("Area of Machine"), QStringLiteral("Descending")}, {QStringLiteral("Location"), QStringLiteral("Ascending")},
                    {QStringLiteral("Price 1"), QStringLiteral("Descending")}})
        << Head + "[In Stock] = 0 ORDER BY [Area of Machine] DESC, [Location] ASC, [Price 1] DESC" << "{Parts.In Stock} = 0"
        << QStringList{QStringLiteral("-{Parts.Area of Machine}"), QStringLiteral("+{Parts.Location}"), QStringLiteral("-{Parts.Price 1}")};
    QTest::newRow("second sort row empty ends the sorts")
        << request({row(QStringLiteral("In Stock"), Long, QStringLiteral("Equals"), QStringLiteral("0"))},
                   {{QStringLiteral("Location"), QStringLiteral("Ascending")}, {QString(), QString()}, {QStringLiteral("Description"), QStringLiteral("Ascending")}})
        << Head + "[In Stock] = 0 ORDER BY [Location] ASC" << "{Parts.In Stock} = 0"
        << QStringList{QStringLiteral("+{Parts.Location}"), QString(), QString()};
    QTest::newRow("delete: no sort order, no formula")
        << request({row(QStringLiteral("In Stock"), Long, QStringLiteral("Is Less Than"), QStringLiteral("5"), QStringLiteral("And")),
                    row(QStringLiteral("Location"), Text, QStringLiteral("Begins With"), QStringLiteral("B"))},
                   {{QStringLiteral("Location"), QStringLiteral("Ascending")}}, true)
        << "Delete * From Parts Where [In Stock] < 5 AND [Location] LIKE 'B*'" << "" << none;

    // Text operators, the operator text trimmed first.
    const struct {
        const char* op;
        const char* sql;
        const char* formula;
    } texts[] = {
        {"Equals", "[Location] = 'B1'", "{Parts.Location} = \"B1\""},
        {"Is Not Equal To", "[Location] <> 'B1'", "{Parts.Location} <> \"B1\""},
        {"Is Greater Than", "[Location] > 'B1'", "{Parts.Location} > \"B1\""},
        {"Is Less Than", "[Location] < 'B1'", "{Parts.Location} < \"B1\""},
        {"Is Greater Than or Equal To", "[Location] >= 'B1'", "{Parts.Location} >= \"B1\""},
        {"Is Less Than or Equal To", "[Location] <= 'B1'", "{Parts.Location} <= \"B1\""},
        {"Contains", "[Location] LIKE '*B1*'", "{Parts.Location} LIKE \"*B1*\""},
        {"Does Not Contain", "[Location] NOT LIKE '*B1*'", "{Parts.Location} NOT LIKE \"*B1*\""},
        {" Begins With ", "[Location] LIKE 'B1*'", "{Parts.Location} Starts With \"B1\""},
    };
    for (const auto& t : texts)
        QTest::addRow("text %s", t.op) << request({row(QStringLiteral("Location"), Text, QString::fromLatin1(t.op), QStringLiteral("B1"))})
                                       << Head + QString::fromLatin1(t.sql) << QString::fromLatin1(t.formula) << none;

    // "empty" finds fields that hold nothing; typed in capitals it does so only with Equals.
    QTest::newRow("equals empty") << request({row(QStringLiteral("Description"), Text, QStringLiteral("Equals"), QStringLiteral("empty"))})
                                  << Head + "([Description] IS NULL OR [Description] = '')"
                                  << "(IsNull({Parts.Description}) or {Parts.Description} = \"\")" << none;
    QTest::newRow("equals EMPTY") << request({row(QStringLiteral("Part Memo"), Memo, QStringLiteral("Equals"), QStringLiteral("EMPTY"))})
                                  << Head + "([Part Memo] IS NULL OR [Part Memo] = '')"
                                  << "(IsNull({Parts.Part Memo}) or {Parts.Part Memo} = \"\")" << none;
    QTest::newRow("not equal empty") << request({row(QStringLiteral("Description"), Text, QStringLiteral("Is Not Equal To"), QStringLiteral("empty"))})
                                     << Head + "([Description] IS NOT NULL AND [Description] <> '')"
                                     << "not (IsNull({Parts.Description}) or {Parts.Description} = \"\")" << none;
    QTest::newRow("not equal EMPTY is text") << request({row(QStringLiteral("Description"), Text, QStringLiteral("Is Not Equal To"), QStringLiteral("EMPTY"))})
                                             << Head + "[Description] <> 'EMPTY'" << "{Parts.Description} <> \"EMPTY\"" << none;
    QTest::newRow("greater than empty") << request({row(QStringLiteral("Description"), Text, QStringLiteral("Is Greater Than"), QStringLiteral("empty"))})
                                        << Head + "[Description] > ''" << "{Parts.Description} > \"\"" << none;

    // Yes/no rows compare with the word; the formula with true or false.
    const struct {
        const char* word;
        const char* formula;
    } flags[] = {{"YES", "= true"}, {"TRUE", "= true"}, {"NO", "= false"}, {"FALSE", "= false"}, {"Yes", "= true"}};
    for (const auto& f : flags)
        QTest::addRow("yes/no %s", f.word) << request({row(QStringLiteral("Default 1"), YesNo, QStringLiteral("Equals"), QString::fromLatin1(f.word))})
                                           << Head + "[Default 1] = " + QString::fromLatin1(f.word)
                                           << "{Parts.Default 1} " + QString::fromLatin1(f.formula) << none;

    // Joiners: only between rows that both give a piece; an operator a row's kind does not
    // know gives nothing, and no dangling Where or joiner is left.
    QTest::newRow("and, or: and binds tighter on both sides")
        << request({row(QStringLiteral("In Stock"), Long, QStringLiteral("Equals"), QStringLiteral("0"), QStringLiteral("And")),
                    row(QStringLiteral("Minimum Stock"), Long, QStringLiteral("Is Greater Than"), QStringLiteral("0"), QStringLiteral("Or")),
                    row(QStringLiteral("Price 1"), Money, QStringLiteral("Is Less Than"), QStringLiteral(".5"))})
        << Head + "[In Stock] = 0 AND [Minimum Stock] > 0 OR [Price 1] < .5"
        << "{Parts.In Stock} = 0 and {Parts.Minimum Stock} > 0 or {Parts.Price 1} < .5" << none;
    QTest::newRow("condition but next field not chosen")
        << request({row(QStringLiteral("In Stock"), Long, QStringLiteral("Equals"), QStringLiteral("0"), QStringLiteral("And")),
                    row(QString(), 0, QString(), QString())})
        << Head + "[In Stock] = 0" << "{Parts.In Stock} = 0" << none;
    QTest::newRow("five rows at most")
        << request({row(QStringLiteral("In Stock"), Long, QStringLiteral("Equals"), QStringLiteral("1"), QStringLiteral("Or")),
                    row(QStringLiteral("In Stock"), Long, QStringLiteral("Equals"), QStringLiteral("2"), QStringLiteral("Or")),
                    row(QStringLiteral("In Stock"), Long, QStringLiteral("Equals"), QStringLiteral("3"), QStringLiteral("Or")),
                    row(QStringLiteral("In Stock"), Long, QStringLiteral("Equals"), QStringLiteral("4"), QStringLiteral("Or")),
                    row(QStringLiteral("In Stock"), Long, QStringLiteral("Equals"), QStringLiteral("5"), QStringLiteral("Or")),
                    row(QStringLiteral("In Stock"), Long, QStringLiteral("Equals"), QStringLiteral("6"))})
        << Head + "[In Stock] = 1 OR [In Stock] = 2 OR [In Stock] = 3 OR [In Stock] = 4 OR [In Stock] = 5"
        << "{Parts.In Stock} = 1 or {Parts.In Stock} = 2 or {Parts.In Stock} = 3 or {Parts.In Stock} = 4 or {Parts.In Stock} = 5"
        << none;
    QTest::newRow("unknown operator gives nothing")
        << request({row(QStringLiteral("In Stock"), Long, QStringLiteral(" Equals"), QStringLiteral("0"), QStringLiteral("And")),
                    row(QStringLiteral("Location"), Text, QStringLiteral("Contains"), QStringLiteral("A"))})
        << Head + "[Location] LIKE '*A*'" << "{Parts.Location} LIKE \"*A*\"" << none;
    QTest::newRow("no row gives anything")
        << request({row(QStringLiteral("In Stock"), Long, QStringLiteral("Sounds Like"), QStringLiteral("0"))})
        << "Select Parts.* From Parts" << "" << none;

    // User text: quotes doubled in comparisons, LIKE wildcards made literal, double quotes
    // doubled in the formula; nothing typed can end a literal.
    QTest::newRow("apostrophe and brackets, equals")
        << request({row(QStringLiteral("Description"), Text, QStringLiteral("Equals"), QStringLiteral("O'BRIEN (2)"))})
        << Head + "[Description] = 'O''BRIEN (2)'" << "{Parts.Description} = \"O'BRIEN (2)\"" << none;
    QTest::newRow("apostrophe and brackets, contains")
        << request({row(QStringLiteral("Description"), Text, QStringLiteral("Contains"), QStringLiteral("O'BRIEN (2)"))})
        << Head + "[Description] LIKE '*O''BRIEN [(]2[)]*'" << "{Parts.Description} LIKE \"*O'BRIEN [(]2[)]*\"" << none;
    QTest::newRow("inch marks") << request({row(QStringLiteral("Description"), Text, QStringLiteral("Contains"), QStringLiteral("2\" X 4\""))})
                                << Head + "[Description] LIKE '*2\" X 4\"*'" << "{Parts.Description} LIKE \"*2\"\" X 4\"\"*\"" << none;
    QTest::newRow("wildcards typed")
        << request({row(QStringLiteral("Part Number 1"), Text, QStringLiteral("Begins With"), QStringLiteral("A*[#?:;"))})
        << Head + "[Part Number 1] LIKE 'A[*][[][#][?][:][;]*'" << "{Parts.Part Number 1} Starts With \"A*[#?:;\"" << none;
    QTest::newRow("two quotes are text") << request({row(QStringLiteral("Location"), Text, QStringLiteral("Equals"), QStringLiteral("''"))})
                                         << Head + "[Location] = ''''''" << "{Parts.Location} = \"''\"" << none;
    QTest::newRow("blanks around are dropped") << request({row(QStringLiteral("Location"), Text, QStringLiteral("Equals"), QStringLiteral("  B1  "))})
                                               << Head + "[Location] = 'B1'" << "{Parts.Location} = \"B1\"" << none;
    QTest::newRow("unchecked number stays a literal")
        << request({row(QStringLiteral("In Stock"), Long, QStringLiteral("Equals"), QStringLiteral("5 OR 1=1"))})
        << Head + "[In Stock] = '5 OR 1=1'" << "{Parts.In Stock} = \"5 OR 1=1\"" << none;
    QTest::newRow("unchecked date stays a literal")
        << request({row(QStringLiteral("Date Ordered"), Date, QStringLiteral("Equals"), QStringLiteral("1/1/99# OR 1=1 OR #1/1/99"))})
        << Head + "[Date Ordered] = '1/1/99# OR 1=1 OR #1/1/99'" << "{Parts.Date Ordered} = \"1/1/99# OR 1=1 OR #1/1/99\"" << none;

    // Dates: the statement keeps the typed text, the formula the same day, any century.
    const struct {
        const char* typed;
        const char* formula;
    } dates[] = {{"12/1/93", "Date (1993,12,01)"}, {"01/15/04", "Date (2004,01,15)"}, {"12/01/2004", "Date (2004,12,01)"},
                 {"1/15/29", "Date (2029,01,15)"}, {"1/15/30", "Date (1930,01,15)"}};
    for (const auto& d : dates)
        QTest::addRow("date %s", d.typed) << request({row(QStringLiteral("Date Ordered"), Date, QStringLiteral("Equals"), QString::fromLatin1(d.typed))})
                                          << Head + "[Date Ordered] = #" + QString::fromLatin1(d.typed) + "#"
                                          << "{Parts.Date Ordered} = " + QString::fromLatin1(d.formula) << none;

    // After a delete the record source names the table in brackets: the statement keeps them,
    // the formula and sort fields do not.
    QTest::newRow("bracketed table")
        << request({row(QStringLiteral("In Stock"), Long, QStringLiteral("Is Less Than"), QStringLiteral("5"))},
                   {{QStringLiteral("Location"), QStringLiteral("Ascending")}}, false, QStringLiteral("Select [Parts].* From Parts"))
        << "Select [Parts].* From [Parts] Where [In Stock] < 5 ORDER BY [Location] ASC" << "{Parts.In Stock} < 5"
        << QStringList{QStringLiteral("+{Parts.Location}"), QString(), QString()};
    QTest::newRow("nothing chosen") << request({row(QString(), 0, QString(), QString())}) << "" << "" << none;
}

void TestFilterStatement::buildsStatementFormulaAndSortFields()
{
    QFETCH(FilterRequest, input);
    QFETCH(QString, statement);
    QFETCH(QString, formula);
    QFETCH(QStringList, sorts);
    const FilterStatement out = CreateSQLStatement(input);
    QCOMPARE(out.statement, statement);
    QCOMPARE(out.report.formula, formula);
    QCOMPARE(QStringList(out.report.sortFields.begin(), out.report.sortFields.end()), sorts);
    QCOMPARE(out.findAll, !input.rows.isEmpty() && input.rows.first().field == FindAllRecords);
}

void TestFilterStatement::everyComparisonOfNumbersAndDates_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("sign");
    QTest::newRow("equals") << "Equals" << "=";
    QTest::newRow("not equal") << "Is Not Equal To" << "<>";
    QTest::newRow("greater") << "Is Greater Than" << ">";
    QTest::newRow("less") << "Is Less Than" << "<";
    QTest::newRow("greater or equal") << "Is Greater Than or Equal To" << ">=";
    QTest::newRow("less or equal") << "Is Less Than or Equal To" << "<=";
}

void TestFilterStatement::everyComparisonOfNumbersAndDates()
{
    QFETCH(QString, op);
    QFETCH(QString, sign);
    for (const int code : {TypeCode::Integer, TypeCode::Long, TypeCode::Currency, TypeCode::Single, TypeCode::Double}) {
        const FilterStatement n = CreateSQLStatement(request({row(QStringLiteral("Price 2"), code, op, QStringLiteral("-1.5E+20"))}));
        QCOMPARE(n.statement, Head + "[Price 2] " + sign + " -1.5E+20");
        QCOMPARE(n.report.formula, "{Parts.Price 2} " + sign + " -1.5E+20");
    }
    const FilterStatement d = CreateSQLStatement(request({row(QStringLiteral("Date Ordered"), TypeCode::Date, op, QStringLiteral("2/29/2004"))}));
    QCOMPARE(d.statement, Head + "[Date Ordered] " + sign + " #2/29/2004#");
    QCOMPARE(d.report.formula, "{Parts.Date Ordered} " + sign + " Date (2004,02,29)");
    // Number and date operators are matched exactly: blanks around make them unknown.
    const FilterStatement spaced = CreateSQLStatement(request({row(QStringLiteral("In Stock"), TypeCode::Long, op + u' ', QStringLiteral("1"))}));
    QCOMPARE(spaced.statement, QStringLiteral("Select Parts.* From Parts"));
    // Fields of no kind give nothing whatever the operator.
    const FilterStatement binary = CreateSQLStatement(request({row(QStringLiteral("Image1"), TypeCode::LongBinary, op, QStringLiteral("1"))}));
    QCOMPARE(binary.statement, QStringLiteral("Select Parts.* From Parts"));
}

void TestFilterStatement::tableNameFromTheRecordSource_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("table");
    QTest::newRow("table") << "Parts" << "Parts";
    QTest::newRow("filter") << "Select Parts.* From Parts Where [In Stock] < 5" << "Parts";
    QTest::newRow("after a delete") << "Select [Parts].* From Parts" << "[Parts]";
    QTest::newRow("sorted find all") << "Select Parts.* From Parts ORDER BY [Location] ASC" << "Parts";
    QTest::newRow("no name before a dot") << "select * from parts" << "Parts";
    QTest::newRow("dot too early") << "Select .* From Parts" << "Parts";
}

void TestFilterStatement::tableNameFromTheRecordSource()
{
    QFETCH(QString, source);
    QFETCH(QString, table);
    QCOMPARE(GetTableName(source), table);
}

void TestFilterStatement::likePatternsEscapeTheirWildcards()
{
    QCOMPARE(EscapeCriteria(QStringLiteral("  O'BRIEN (2)  ")), QStringLiteral("O'BRIEN [(]2[)]"));
    QCOMPARE(EscapeCriteria(QStringLiteral("#?()*:;[]")), QStringLiteral("[#][?][(][)][*][:][;][[]]"));
    QCOMPARE(EscapeCriteria(QStringLiteral("A-1/B")), QStringLiteral("A-1/B"));
}

void TestFilterStatement::criteriaChecks_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("title");

    const QString text = QStringLiteral("Empty Criteria Field");
    const QString number = QStringLiteral("Invalid Numeric Criteria");
    const QString logical = QStringLiteral("Bad Logical Criteria");
    const QString date = QStringLiteral("Missing or Invalid Date");

    QTest::newRow("text empty") << TypeCode::Text << "" << false << "empty" << text;
    QTest::newRow("memo empty") << TypeCode::Memo << "" << false << "empty" << text;
    QTest::newRow("text of blanks") << TypeCode::Text << "   " << true << "   " << "";
    QTest::newRow("text") << TypeCode::Text << "BELT" << true << "BELT" << "";

    QTest::newRow("number") << TypeCode::Long << "12" << true << "12" << "";
    QTest::newRow("fraction") << TypeCode::Currency << "0.50" << true << ".5" << "";
    QTest::newRow("negative fraction") << TypeCode::Double << "-0.5" << true << "-.5" << "";
    QTest::newRow("thousands") << TypeCode::Long << "1,000" << true << "1000" << "";
    QTest::newRow("money") << TypeCode::Currency << "$5.00" << true << "5" << "";
    QTest::newRow("blanks around") << TypeCode::Long << " 7 " << true << "7" << "";
    QTest::newRow("exponent") << TypeCode::Double << "1e20" << true << "1E+20" << "";
    QTest::newRow("number then letters") << TypeCode::Long << "12ABC" << false << "" << number;
    QTest::newRow("letters then number") << TypeCode::Long << "A12" << false << "" << number;
    QTest::newRow("letters") << TypeCode::Integer << "ABC" << false << "" << number;
    QTest::newRow("lone minus") << TypeCode::Long << "-" << false << "" << number;
    QTest::newRow("lone point") << TypeCode::Long << "." << false << "" << number;
    QTest::newRow("number empty") << TypeCode::Long << "" << false << "" << number;

    QTest::newRow("yes") << TypeCode::YesNo << "yes" << true << "YES" << "";
    QTest::newRow("False") << TypeCode::YesNo << "False" << true << "FALSE" << "";
    QTest::newRow("NO") << TypeCode::YesNo << "NO" << true << "NO" << "";
    QTest::newRow("leading blank") << TypeCode::YesNo << " yes" << false << "" << logical;
    QTest::newRow("other word") << TypeCode::YesNo << "MAYBE" << false << "" << logical;

    QTest::newRow("date") << TypeCode::Date << "12/1/93" << true << "12/1/93" << "";
    QTest::newRow("four-digit year") << TypeCode::Date << "12/01/2004" << true << "12/01/2004" << "";
    QTest::newRow("date empty") << TypeCode::Date << "" << false << "" << date;
    QTest::newRow("day first") << TypeCode::Date << "25/12/04" << false << "25/12/04" << date;
    QTest::newRow("no such day") << TypeCode::Date << "2/30/04" << false << "2/30/04" << date;
    QTest::newRow("a time") << TypeCode::Date << "12:30" << false << "12:30" << date;

    QTest::newRow("find all") << 0 << "" << true << "" << "";
    QTest::newRow("binary") << TypeCode::LongBinary << "" << true << "" << "";
}

void TestFilterStatement::criteriaChecks()
{
    QFETCH(int, code);
    QFETCH(QString, typed);
    QFETCH(bool, ok);
    QFETCH(QString, after);
    QFETCH(QString, title);
    const CriteriaCheck check = CheckCriteria({row(QStringLiteral("F"), code, QStringLiteral("Equals"), typed)});
    QCOMPARE(check.ok, ok);
    QCOMPARE(check.criteria, QStringList{after});
    QCOMPARE(check.title, title);
    QCOMPARE(check.failedRow, ok ? -1 : 0);
    const QHash<QString, QString> messages = {
        {QStringLiteral("Empty Criteria Field"),
         QStringLiteral("When finding a text or memo field that equals nothing, use the criteria 'empty'.")},
        {QStringLiteral("Invalid Numeric Criteria"),
         QStringLiteral("You must supply a valid number when finding based on numeric fields.")},
        {QStringLiteral("Bad Logical Criteria"),
         QStringLiteral("For checkbox fields and radio buttons, you must supply 'Yes', 'No', 'True', or 'False' for the criteria.")},
        {QStringLiteral("Missing or Invalid Date"),
         QStringLiteral("You must supply a valid date in the find criteria based on a date field.\r\rExample Date Format: 12/1/93")},
    };
    QCOMPARE(check.message, messages.value(title));
}

void TestFilterStatement::failingRowStopsTheCheckAfterEarlierRewrites()
{
    const QList<FilterRow> rows = {
        row(QStringLiteral("Price 1"), TypeCode::Currency, QStringLiteral("Equals"), QStringLiteral("0.50"), QStringLiteral("And")),
        row(QStringLiteral("Default 1"), TypeCode::YesNo, QStringLiteral("Equals"), QStringLiteral("true"), QStringLiteral("Or")),
        row(QStringLiteral("Location"), TypeCode::Text, QStringLiteral("Equals"), QString(), QStringLiteral("Or")),
        row(QStringLiteral("In Stock"), TypeCode::Long, QStringLiteral("Equals"), QStringLiteral("X"), QStringLiteral("Or")),
        row(QStringLiteral("Default 2"), TypeCode::YesNo, QStringLiteral("Equals"), QStringLiteral("no")),
    };
    const CriteriaCheck check = CheckCriteria(rows);
    QVERIFY(!check.ok);
    QCOMPARE(check.failedRow, 2);
    QCOMPARE(check.title, QStringLiteral("Empty Criteria Field"));
    QCOMPARE(check.criteria, (QStringList{".5", "TRUE", "empty", "X", "no"}));

    // With the third row answered, the second OK goes on to the fourth.
    QList<FilterRow> again = rows;
    for (int i = 0; i < rows.size(); ++i)
        again[i].criteria = check.criteria[i];
    const CriteriaCheck second = CheckCriteria(again);
    QCOMPARE(second.failedRow, 3);
    QCOMPARE(second.criteria, (QStringList{".5", "TRUE", "empty", "", "no"}));
    again[3].criteria = QStringLiteral("4");
    const CriteriaCheck third = CheckCriteria(again);
    QVERIFY(third.ok);
    QCOMPARE(third.criteria, (QStringList{".5", "TRUE", "empty", "4", "NO"}));
}

void TestFilterStatement::numbersAreWrittenBackInOneForm()
{
    QCOMPARE(formatCriteriaNumber(0), QStringLiteral("0"));
    QCOMPARE(formatCriteriaNumber(-0.0), QStringLiteral("0"));
    QCOMPARE(formatCriteriaNumber(0.5), QStringLiteral(".5"));
    QCOMPARE(formatCriteriaNumber(-0.25), QStringLiteral("-.25"));
    QCOMPARE(formatCriteriaNumber(12.5), QStringLiteral("12.5"));
    QCOMPARE(formatCriteriaNumber(123456789), QStringLiteral("123456789"));
    QCOMPARE(formatCriteriaNumber(1e20), QStringLiteral("1E+20"));
    QCOMPARE(formatCriteriaNumber(1.5e-7), QStringLiteral("1.5E-07"));
    QCOMPARE(formatCriteriaNumber(0.1 + 0.2), QStringLiteral(".3"));
}

QTEST_GUILESS_MAIN(TestFilterStatement)
#include "tst_filterstatement.moc"
