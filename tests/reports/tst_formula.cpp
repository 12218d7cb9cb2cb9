// The formula language: every form the windows hand over, checked against real rows, with the
// SQL translation and the row-by-row evaluation agreeing on every row.

#include "ReportFixture.h"
#include "data/Connection.h"
#include "platform/AppFolder.h"
#include "reports/Formula.h"
#include "reports/ReportData.h"
#include "reports/ReportFormat.h"

#include <QtTest>

Q_DECLARE_METATYPE(ReportValue)

namespace {

// Evaluates against one row of a ReportData read with every column of a table.
class RowContext : public FormulaContext
{
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
    ReportValue special(const FormulaNode&) const override { return ReportValue(QDate::currentDate()); }
    ReportValue aggregate(const FormulaNode&) const override { throw ReportError(QStringLiteral("no totals here")); }

private:
    const ReportDefinition& def_;
    const ReportData& data_;
    int row_;
};

// Evaluates formulas that read no row: every field, special name and total is blank.
struct EmptyContext : FormulaContext {
    ReportValue field(const FormulaNode&) const override { return {}; }
    ReportValue special(const FormulaNode&) const override { return {}; }
    ReportValue aggregate(const FormulaNode&) const override { return {}; }
};

} // namespace

class FormulaTest : public QObject
{
    Q_OBJECT

    ReportFixture* fixture = nullptr;

    // A definition that reads every column of the table.
    static ReportDefinition everyColumn(const QString& table)
    {
        auto conn = Connection::open(AppFolder::join(QStringLiteral("Inventory.mdb")));
        QString text = QStringLiteral("data table=%1\nband detail height=10\n").arg(table);
        for (const ColumnInfo& c : conn->table(table)->columns)
            text += QStringLiteral("field x=0 y=0 w=10 h=10 : {%1.%2}\n").arg(table, c.name);
        return ReportDefinition::parse(text, QStringLiteral("test.rpt"), AppFolder::path());
    }

    static QString signature(const ReportData& d, int row)
    {
        QStringList cells;
        for (int c = 0; c < d.columnCount(); ++c)
            cells.append(d.cell(row, c).toDisplayText());
        return cells.join(u'|');
    }

    // The rows the formula selects, by SQL and by evaluation; fails the test when they differ.
    // Returns the first column (the record number) of the selected rows.
    static QStringList select(const QString& table, const QString& formula)
    {
        const ReportDefinition def = everyColumn(table);
        const Formula f = Formula::parse(formula);
        const auto bySql = ReportData::read(def, f, {});
        const auto all = ReportData::read(def, Formula(), {});
        QStringList sqlRows, evalRows, numbers;
        for (int r = 0; r < bySql->rowCount(); ++r) {
            sqlRows.append(signature(*bySql, r));
            numbers.append(bySql->cell(r, 0).toDisplayText());
        }
        for (int r = 0; r < all->rowCount(); ++r)
            if (formulaHolds(*f.root(), RowContext(def, *all, r)))
                evalRows.append(signature(*all, r));
        if (sqlRows != evalRows)
            qWarning() << formula << "SQL:" << sqlRows << "evaluated:" << evalRows;
        return sqlRows == evalRows ? numbers : QStringList{QStringLiteral("DISAGREE")};
    }

private Q_SLOTS:
    void init()
    {
        fixture = new ReportFixture;
        fixture->makeInventory({
            QStringLiteral("INSERT INTO Parts([Part Number 1],Description,Location,[In Stock],[Minimum Stock],[Price 1],[Default 1],[Date Ordered]) VALUES "
                           "('ABC','Belt','A1',5,2,12.5,1,'1993-12-01'),"
                           "('abd','Spring','b2',0,3,0.75,0,'2004-01-15 14:30:00'),"
                           "('00123','Bearing','A10',10,0,3.1,0,NULL),"
                           "('X-5','Pin \"deck\"','C3',1,1,1,1,'2004-02-20'),"
                           "('M7',NULL,'xa1y',0,0,99.99,0,NULL),"
                           "('O''BRIEN (2)','Switch*',NULL,-5,0,0.5,0,'2004-01-14')"),
            QStringLiteral("INSERT INTO PartsUsage VALUES (1,2,1,'2004-01-15'),(2,1,12,'2004-02-20'),(3,4,13,'2004-02-21'),(1,1,0,NULL)"),
        });
    }
    void cleanup()
    {
        delete fixture;
        fixture = nullptr;
    }

    void selectsRowsByEveryForm_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QStringList>("records");
        auto rows = [](std::initializer_list<int> r) {
            QStringList s;
            for (int n : r)
                s.append(QString::number(n));
            return s;
        };
        // Numbers: negatives, fractions without a leading zero, exponents, leading zeros.
        QTest::newRow("less") << "{Parts.In Stock} < 5" << rows({2, 4, 5, 6});
        QTest::newRow("negative") << "{Parts.In Stock} > -5" << rows({1, 2, 3, 4, 5});
        QTest::newRow("equal negative") << "{Parts.In Stock} = -5" << rows({6});
        QTest::newRow("point five") << "{Parts.Price 1} = .5" << rows({6});
        QTest::newRow("exponent") << "{Parts.Price 1} < 1E+20 and {Parts.Price 1} >= 1e1" << rows({1, 5});
        QTest::newRow("leading zeros") << "{Parts.In Stock} = 010" << rows({3});
        QTest::newRow("not equal") << "{Parts.In Stock} <> 0" << rows({1, 3, 4, 6});
        QTest::newRow("less or equal") << "{Parts.In Stock} <= 1" << rows({2, 4, 5, 6});
        QTest::newRow("column to column") << "{Parts.In Stock} < {Parts.Minimum Stock}" << rows({2, 6});
        QTest::newRow("arithmetic") << "{Parts.In Stock} * {Parts.Price 1} > 20" << rows({1, 3});
        // Text: without regard to case, quotes inside quotes, a single quote that is no SQL.
        QTest::newRow("text case") << "{Parts.Part Number 1} = \"abc\"" << rows({1});
        QTest::newRow("doubled quote") << "{Parts.Description} = \"Pin \"\"deck\"\"\"" << rows({4});
        QTest::newRow("apostrophe") << "{Parts.Part Number 1} = \"O'BRIEN (2)\"" << rows({6});
        QTest::newRow("text greater") << "{Parts.Part Number 1} > \"m\"" << rows({4, 5, 6});
        QTest::newRow("text not equal skips blanks") << "{Parts.Location} <> \"a1\"" << rows({2, 3, 4, 5});
        // like with * and ?, a pattern without wildcards anywhere in the text, not like.
        QTest::newRow("like contains") << "{Parts.Location} like \"A1\"" << rows({1, 3, 5});
        QTest::newRow("like question") << "{Parts.Location} LIKE \"A?\"" << rows({1});
        QTest::newRow("like star") << "{Parts.Location} like \"a*\"" << rows({1, 3});
        QTest::newRow("like class") << "{Parts.Description} like \"Switch[*]\"" << rows({6});
        QTest::newRow("not like") << "{Parts.Location} NOT LIKE \"A1\"" << rows({2, 4});
        QTest::newRow("starts with") << "{Parts.Description} Starts With \"b\"" << rows({1, 3});
        QTest::newRow("starts with literal star") << "{Parts.Description} startswith \"Switch*\"" << rows({6});
        // Dates by day, a time of day ignored.
        QTest::newRow("date equal") << "{Parts.Date Ordered} = Date (2004,01,15)" << rows({2});
        QTest::newRow("date range") << "{Parts.Date Ordered} >= Date (2004,01,15) and {Parts.Date Ordered} <= Date (2004,02,20)" << rows({2, 4});
        QTest::newRow("date after") << "{Parts.Date Ordered} > Date (1993,12,01)" << rows({2, 4, 6});
        QTest::newRow("date as text") << "{Parts.Date Ordered} < \"1/1/2000\"" << rows({1});
        // Ranges, the lane prompt's own spelling included.
        QTest::newRow("range") << "{Parts.In Stock} in 1to 10" << rows({1, 3, 4});
        QTest::newRow("range blanks") << "{Parts.In Stock} in 0 to 1" << rows({2, 4, 5});
        QTest::newRow("text range") << "{Parts.Location} in \"a\" to \"b9\"" << rows({1, 2, 3});
        // Yes/no, nulls, logic.
        QTest::newRow("bare yes/no") << "{Parts.Default 1}" << rows({1, 4});
        QTest::newRow("not yes/no") << "not {Parts.Default 1}" << rows({2, 3, 5, 6});
        QTest::newRow("yes/no literal") << "{Parts.Default 1} = True" << rows({1, 4});
        QTest::newRow("is null") << "IsNull({Parts.Date Ordered})" << rows({3, 5});
        QTest::newRow("not null text") << "not IsNull({Parts.Location}) and {Parts.In Stock} = 0" << rows({2, 5});
        QTest::newRow("and binds tighter") << "{Parts.In Stock} = 5 or {Parts.In Stock} = 0 and {Parts.Minimum Stock} = 3" << rows({1, 2});
        QTest::newRow("parentheses") << "({Parts.In Stock} = 5 or {Parts.In Stock} = 0) and {Parts.Minimum Stock} > 0" << rows({1, 2});
        QTest::newRow("not of comparison") << "not {Parts.Location} = \"A1\"" << rows({2, 3, 4, 5});
        QTest::newRow("bracketed table") << "{[Parts].In Stock} < 1 and {Parts.Location} = \"B2\"" << rows({2});
        QTest::newRow("function in selection") << "UCase({Parts.Location}) = \"XA1Y\" or Len({Parts.Part Number 1}) = 2" << rows({5});
        QTest::newRow("every record") << "" << rows({1, 2, 3, 4, 5, 6});
    }

    void selectsRowsByEveryForm()
    {
        QFETCH(QString, formula);
        QFETCH(QStringList, records);
        if (formula.isEmpty()) {
            const auto all = ReportData::read(everyColumn(QStringLiteral("Parts")), Formula::parse(formula), {});
            QCOMPARE(all->rowCount(), records.size());
            return;
        }
        QCOMPARE(select(QStringLiteral("Parts"), formula), records);
    }

    void laneAndDatePromptsSelectTheirRows()
    {
        // The lane prompt's formula: no blank between the start and "to".
        QCOMPARE(select(QStringLiteral("PartsUsage"), QStringLiteral("{PartsUsage.Lane Number} in 1to 12")),
                 QStringList({QStringLiteral("1"), QStringLiteral("2")}));
        // The date prompt's formula, both ends included.
        QCOMPARE(select(QStringLiteral("PartsUsage"),
                        QStringLiteral("{PartsUsage.Date Used} >= Date (2004,01,15) and {PartsUsage.Date Used} <= Date (2004,02,20)")),
                 QStringList({QStringLiteral("1"), QStringLiteral("2")}));
        // The usage screen's formula, the number straight after the sign.
        QCOMPARE(select(QStringLiteral("PartsUsage"), QStringLiteral("{PartsUsage.Record Number} =1")),
                 QStringList({QStringLiteral("1"), QStringLiteral("1")}));
    }

    void valuesAreBoundNeverPasted()
    {
        const ReportDefinition def = everyColumn(QStringLiteral("Parts"));
        const QString evil = QStringLiteral("x' OR 1=1 --");
        const auto data = ReportData::read(def, Formula::parse(QStringLiteral("{Parts.Part Number 1} = \"%1\"").arg(evil)), {});
        QCOMPARE(data->rowCount(), 0);
        QVERIFY(!data->sql().contains(QStringLiteral("OR 1=1")));
        QVERIFY(data->params().contains(QVariant(evil)));
        const auto like = ReportData::read(def, Formula::parse(QStringLiteral("{Parts.Location} like \"A1\"")), {});
        QVERIFY(like->params().contains(QVariant(QStringLiteral("*A1*"))));
    }

    void formulasThatDoNotParseAreErrors_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::newRow("dangling reference") << "{Parts.";
        QTest::newRow("dangling table") << "{Parts.In Stock} < 5 and {Parts.";
        QTest::newRow("no field") << "{Parts}";
        QTest::newRow("missing value") << "{Parts.In Stock} <";
        QTest::newRow("word for value") << "{Parts.In Stock} < ABC";
        QTest::newRow("partly typed date") << "{Parts.Date Ordered} > Date (1993,12,1/)";
        QTest::newRow("impossible date") << "{Parts.Date Ordered} > Date (2004,13,45)";
        QTest::newRow("open text") << "{Parts.Location} = \"A1";
        QTest::newRow("open parenthesis") << "({Parts.In Stock} < 5";
        QTest::newRow("range without to") << "{Parts.In Stock} in 1 12";
        QTest::newRow("unknown function") << "Foo({Parts.In Stock})";
        QTest::newRow("stray character") << "{Parts.In Stock} < 5 ;";
        QTest::newRow("joiner without row") << "{Parts.In Stock} < 5 or ";
    }

    void formulasThatDoNotParseAreErrors()
    {
        QFETCH(QString, formula);
        try {
            Formula::parse(formula);
            QFAIL("parsed");
        } catch (const FormulaError& e) {
            QVERIFY(!e.text().isEmpty());
            QVERIFY(e.position() >= 0 && e.position() <= formula.size());
        }
    }

    void noTextCrashesTheParser()
    {
        // Every beginning of real formulas, and text nested or run on past any sense: each
        // either parses and translates or is a FormulaError.
        const QStringList formulas = {
            QStringLiteral("{Parts.Date Ordered} >= Date (2004,01,15) and not ({Parts.Location} like \"A*\" or {Parts.In Stock} in -1to 1E+2)"),
            QStringLiteral("IIf(IsNull({Parts.Description}), \"a\"\"b\", Left({Parts.Description}, 2)) & {Parts.Description} Starts With \"x\""),
        };
        QStringList texts;
        for (const QString& f : formulas)
            for (int n = 0; n <= f.size(); ++n)
                texts << f.left(n) << f.mid(n);
        texts << QString(300, u'(') + QStringLiteral("1") + QString(300, u')')
              << QStringLiteral("not ").repeated(500) + QStringLiteral("{Parts.Default 1}")
              << QStringLiteral("-").repeated(500) + QStringLiteral("1")
              << QStringLiteral("1 + ").repeated(3000) + QStringLiteral("1")
              << QStringLiteral("{") << QStringLiteral("\"") << QStringLiteral("{.}") << QStringLiteral("{[Parts.x}");
        const ReportDefinition def = everyColumn(QStringLiteral("Parts"));
        int parsed = 0;
        for (const QString& t : texts) {
            try {
                const Formula f = Formula::parse(t);
                ++parsed;
                ReportData::read(def, f, {});
            } catch (const ReportError&) {
            }
        }
        QVERIFY(parsed > 10);
        QVERIFY_THROWS_EXCEPTION(FormulaError, Formula::parse(QStringLiteral("1 + ").repeated(3000) + QStringLiteral("1")));
        QVERIFY_THROWS_EXCEPTION(FormulaError, Formula::parse(QString(300, u'(') + QStringLiteral("1") + QString(300, u')')));
    }

    void formulasThatCannotSelectAreErrors_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("says");
        QTest::newRow("text with number") << "{Parts.Location} = 5" << "Cannot compare";
        QTest::newRow("number with text") << "{Parts.In Stock} = \"5\"" << "Cannot compare";
        QTest::newRow("date with word") << "{Parts.Date Ordered} = \"soon\"" << "is not a date";
        QTest::newRow("bare text field") << "{Parts.Location}" << "Expected a condition";
        QTest::newRow("total") << "Sum({Parts.In Stock}) > 5" << "cannot be used to select";
        QTest::newRow("page number") << "PageNumber = 1" << "cannot be used to select";
        QTest::newRow("unknown field") << "{Parts.Colour} = \"red\"" << "is not in the table";
        QTest::newRow("unknown table") << "{Stock.In Stock} = 1" << "is not in the report's tables";
        QTest::newRow("like a field") << "{Parts.Location} like {Parts.Description}" << "Expected a text in quotes";
    }

    void formulasThatCannotSelectAreErrors()
    {
        QFETCH(QString, formula);
        QFETCH(QString, says);
        try {
            ReportData::read(everyColumn(QStringLiteral("Parts")), Formula::parse(formula), {});
            QFAIL("selected");
        } catch (const ReportError& e) {
            QVERIFY2(e.text().contains(says), qPrintable(e.text()));
        }
    }

    void sortFieldsAreParsedAndApplied()
    {
        const SortField up = SortField::parse(QStringLiteral("+{Parts.Location}"));
        QCOMPARE(up.field.table, QStringLiteral("Parts"));
        QCOMPARE(up.field.field, QStringLiteral("Location"));
        QVERIFY(!up.descending);
        const SortField down = SortField::parse(QStringLiteral(" -{[Parts].Description} "));
        QVERIFY(down.descending);
        QCOMPARE(down.field.table, QStringLiteral("Parts"));
        for (const char* bad : {"{Parts.", "+Parts.Location", "+{Parts.A} + 1", "*{Parts.A}"})
            QVERIFY_THROWS_EXCEPTION(FormulaError, SortField::parse(QLatin1String(bad)));

        // Applied in order; text without regard to case; blanks first.
        const ReportDefinition def = everyColumn(QStringLiteral("Parts"));
        const auto data = ReportData::read(def, Formula(), {SortField::parse(QStringLiteral("-{Parts.In Stock}")),
                                                             SortField::parse(QStringLiteral("+{Parts.Location}"))});
        QStringList order;
        for (int r = 0; r < data->rowCount(); ++r)
            order.append(data->cell(r, 0).toDisplayText());
        QCOMPARE(order, QStringList({"3", "1", "4", "2", "5", "6"}));
    }

    void expressionsComputeWithExactMoney()
    {
        const EmptyContext none;
        auto eval = [&](const QString& f) { return evaluateFormula(*Formula::parse(f).root(), none); };
        QCOMPARE(eval(QStringLiteral("\"Page \" & 3 & \" of \" & 7")).text(), QStringLiteral("Page 3 of 7"));
        QCOMPARE(eval(QStringLiteral("2 + 3 * 4")).toInt(), 14);
        QCOMPARE(eval(QStringLiteral("-(2 - 5)")).toInt(), 3);
        QCOMPARE(eval(QStringLiteral("IIf(1 > 2, \"a\", \"b\")")).text(), QStringLiteral("b"));
        QCOMPARE(eval(QStringLiteral("Val(\"12.5%\") / 100")).toDouble(), 0.125);
        QCOMPARE(eval(QStringLiteral("Mid(\"ABCDEF\", 2, 3) & Left(\"xyz\", 1) & Right(\"xyz\", 1)")).text(), QStringLiteral("BCDxz"));
        QCOMPARE(eval(QStringLiteral("Round(2.5) + Round(3.5)")).toInt(), 6);   // half to even
        // Money as a form prints it: to the cent, halves away from zero.
        QCOMPARE(eval(QStringLiteral("RoundCents(1.125) & \" \" & RoundCents(-1.125) & \" \" & RoundCents(0.165 * 3)")).text(),
                 QStringLiteral("$1.13 ($1.13) $0.50"));
        // ToText with a format, as a field's format= takes it; with a number, decimals.
        QCOMPARE(eval(QStringLiteral("\"Ordered \" & ToText(Date (2004,01,05), \"d MMM yyyy\")")).text(), QStringLiteral("Ordered 5 Jan 2004"));
        QCOMPARE(eval(QStringLiteral("ToText(1234.5, \"#,##0.00\")")).text(), QStringLiteral("1,234.50"));
        QCOMPARE(eval(QStringLiteral("ToText(1.5, 2)")).text(), QStringLiteral("1.50"));
        QCOMPARE(eval(QStringLiteral("ToText(Date (2004,01,05))")).text(), QStringLiteral("1/5/2004"));
        QVERIFY(eval(QStringLiteral("1 / 0")).isNull());
        QVERIFY_THROWS_EXCEPTION(ReportError, eval(QStringLiteral("\"a\" * 2")));

        // Money: 0.1 added ten times is exactly one dollar, printed as currency.
        ReportValue sum = ReportValue(Currency::fromUnits(0));
        for (int i = 0; i < 10; ++i)
            sum = ReportValue::add(sum, ReportValue(Currency::fromUnits(1000)));
        QVERIFY(sum.toMoney() == ExactMoney::fromWhole(1));
        QCOMPARE(ReportValue::multiply(ReportValue(Currency::fromUnits(125000)), ReportValue(qint64(3))).toDisplayText(), QStringLiteral("$37.50"));
    }

    void exactMoneyProductsBeyond128BitsAreOutOfRange()
    {
        // $1,000,000 is 10^24 in the 10^-18 dollars an exact amount counts: times 2 x 10^14 it
        // passes the 127 bits of the count's magnitude, times 3.5 x 10^14 the 128 bits of the
        // product. Either is out of range for good, divided back or not, never wrapped round to
        // another amount; times 10^14 it fits, and divided back is the million again.
        const ExactMoney million(*Currency::parse(QStringLiteral("1000000")));
        for (const std::int64_t n : {std::int64_t(200000000000000), std::int64_t(350000000000000)}) {
            QVERIFY2((million * n).isOutOfRange(), qPrintable(QString::number(n)));
            QVERIFY2((million * n / n).isOutOfRange(), qPrintable(QString::number(n)));
            QVERIFY2((million * double(n) / double(n)).isOutOfRange(), qPrintable(QString::number(n)));
        }
        QVERIFY(million * std::int64_t(100000000000000) / std::int64_t(100000000000000) == million);
        const EmptyContext none;
        auto text = [&](const QString& f) { return evaluateFormula(*Formula::parse(f).root(), none).toDisplayText(); };
        QCOMPARE(text(QStringLiteral("RoundCents(1000000) * 350000000000000 / 350000000000000")), OutOfRangeMark);
        QCOMPARE(text(QStringLiteral("RoundCents(1000000) * 200000000000000 / 200000000000000")), OutOfRangeMark);
        QCOMPARE(text(QStringLiteral("RoundCents(1000000) * 100000000000000 / 100000000000000")), QStringLiteral("$1,000,000.00"));
    }

    void noFormulaAbortsHangsOrOverflows()
    {
        // A report file is data: counts of decimals and places far beyond any number, whole
        // numbers that overflow 64 bits and amounts beyond the range of money are each taken
        // in stride, at once, without a crash.
        const EmptyContext none;
        auto text = [&](const QString& f) { return evaluateFormula(*Formula::parse(f).root(), none).toDisplayText(); };
        QCOMPARE(text(QStringLiteral("ToText(1E+300, 2147483647)")).size(), 1 + 300 + 100 + 1 + 18);   // digits, commas, point, decimals
        const std::pair<const char*, QString> cases[] = {
            {"ToText(1.5, 2147483647)", QStringLiteral("1.500000000000000000")},
            {"ToText(1.5, -2147483648)", QStringLiteral("2")},
            {"ToText(2.5, -1E+300)", QStringLiteral("2")},
            {"ToText(RoundCents(1.005), 99999999999)", QStringLiteral("1.010000000000000000")},
            {"Round(2.675, 2147483647)", QStringLiteral("2.675")},
            {"Round(1E+300, -2147483647)", QStringLiteral("1E+300")},
            {"Round(1250, -2)", QStringLiteral("1200")},
            {"Round(RoundCents(12.5), -1E+300)", QStringLiteral("$0.00")},
            // Whole numbers beyond 64 bits go on as fractions, never round to the other sign.
            {"9223372036854775807 + 1", QStringLiteral("9.223372036854776E+18")},
            {"-9223372036854775807 - 2", QStringLiteral("-9.223372036854776E+18")},
            {"9223372036854775807 * 9223372036854775807", QStringLiteral("8.507059173023462E+37")},
            {"Abs(-9223372036854775807 - 1)", QStringLiteral("9.223372036854776E+18")},
            {"-(-9223372036854775807 - 1)", QStringLiteral("9.223372036854776E+18")},
            {"1E+308 * 10", OutOfRangeMark},
            // Counts of characters far beyond the text.
            {"Left(\"abc\", 1E+300) & Right(\"abc\", -1E+300) & Mid(\"abc\", -1E+300, 1E+300) & Mid(\"abc\", 1E+300)", QStringLiteral("abcabc")},
            // Money beyond its range: out of range, and so is what is computed from it.
            {"RoundCents(1E+300)", OutOfRangeMark},
            {"RoundCents(900000000000000 * 1000) - RoundCents(900000000000000 * 1000)", OutOfRangeMark},
            {"RoundCents(900000000000000) * 1000 / 1000", QStringLiteral("$900,000,000,000,000.00")},
            {"RoundCents(5) / 3 * 3", QStringLiteral("$5.00")},
            {"RoundCents(1) * 1E-300 * 1E+300", QStringLiteral("$0.00")},
        };
        for (const auto& [formula, printed] : cases)
            QCOMPARE(text(QLatin1String(formula)), printed);
        // A date of parts beyond any calendar is refused, not wrapped round to another date.
        QVERIFY_THROWS_EXCEPTION(FormulaError, Formula::parse(QStringLiteral("Date (4294969296,1,1)")));
        // Pictures that ask for more decimals than a number has print what it has.
        QCOMPARE(formatReportValue(ReportValue(0.5), QStringLiteral("0.") + QString(1000, u'0')), QStringLiteral("0.") + QStringLiteral("5").leftJustified(18, u'0'));
        QCOMPARE(formatReportValue(ReportValue(ExactMoney::fromWhole(1) / std::int64_t(3)), QStringLiteral("0.") + QString(40, u'#')), QStringLiteral("0.333333333333333333"));
        QCOMPARE(formatReportValue(ReportValue(1e300), QStringLiteral("#,##0")).size(), 301 + 100);
        // Nor does the rest of a definition ask for endless pages or labels.
        for (const char* bad : {"data table=Parts\nband detail height=99999999999in\n", "data table=Parts\nlabels columns=100000 rows=100000\n",
                                "data table=Parts\nfont size=1e300\n"})
            QVERIFY_THROWS_EXCEPTION(ReportError, ReportDefinition::parse(QLatin1String(bad), QStringLiteral("bad.rpt"), AppFolder::path()));
    }

    void formatsPrintNumbersAndDates_data()
    {
        QTest::addColumn<ReportValue>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("dayFirst");
        QTest::newRow("currency") << ReportValue(Currency::fromUnits(12345000)) << "currency" << "$1,234.50" << false;
        QTest::newRow("currency negative") << ReportValue(Currency::fromUnits(-50000)) << "currency" << "($5.00)" << false;
        QTest::newRow("currency picture") << ReportValue(Currency::fromUnits(-50000)) << "$#,##0.00;($#,##0.00)" << "($5.00)" << false;
        QTest::newRow("currency of number") << ReportValue(2.5) << "currency" << "$2.50" << false;
        QTest::newRow("integer") << ReportValue(qint64(1234567)) << "integer" << "1,234,567" << false;
        QTest::newRow("integer negative") << ReportValue(qint64(-1234)) << "integer" << "-1,234" << false;
        QTest::newRow("number") << ReportValue(1234.5) << "number" << "1,234.5" << false;
        QTest::newRow("one decimal") << ReportValue(0.25) << "0.0" << "0.2" << false;   // half to even
        QTest::newRow("no leading zero") << ReportValue(0.5) << "#.##" << ".5" << false;
        QTest::newRow("suffix") << ReportValue(qint64(12)) << "#,##0 pcs" << "12 pcs" << false;
        QTest::newRow("zero section") << ReportValue(qint64(0)) << "#,##0;(#,##0);-" << "-" << false;
        // Printed money rounds half away from zero; a unit price shows the decimals it has.
        QTest::newRow("money half away") << ReportValue(Currency::fromUnits(12500)) << "0.0" << "1.3" << false;
        QTest::newRow("currency half cent") << ReportValue(Currency::fromUnits(11250)) << "currency" << "$1.13" << false;
        QTest::newRow("currency half cent negative") << ReportValue(Currency::fromUnits(-11250)) << "currency" << "($1.13)" << false;
        QTest::newRow("plain money half cent") << ReportValue(Currency::fromUnits(173750)) << "" << "$17.38" << false;
        QTest::newRow("unit price") << ReportValue(Currency::fromUnits(1650)) << "$#,##0.00##" << "$0.165" << false;
        QTest::newRow("long date") << ReportValue(QDate(2004, 1, 5)) << "longdate" << "Monday, January 5, 2004" << false;
        QTest::newRow("short date") << ReportValue(QDate(2004, 1, 5)) << "shortdate" << "1/5/2004" << false;
        QTest::newRow("long date day first") << ReportValue(QDate(2004, 1, 5)) << "longdate" << "Monday, 5 January 2004" << true;
        QTest::newRow("short date day first") << ReportValue(QDate(2004, 1, 5)) << "shortdate" << "05/01/2004" << true;
        QTest::newRow("plain date day first") << ReportValue(QDate(2004, 1, 5)) << "" << "05/01/2004" << true;
        QTest::newRow("pattern as written") << ReportValue(QDate(2004, 1, 5)) << "M/d/yyyy" << "1/5/2004" << true;
        QTest::newRow("date pattern") << ReportValue(QDate(2004, 1, 5)) << "MMMM d, yyyy" << "January 5, 2004" << false;
        QTest::newRow("date time plain") << ReportValue(QDateTime(QDate(2004, 1, 5), QTime(14, 30))) << "MM/dd/yyyy" << "01/05/2004" << false;
        QTest::newRow("yes no") << ReportValue(true) << "yesno" << "Yes" << false;
        QTest::newRow("blank") << ReportValue() << "currency" << "" << false;
        QTest::newRow("text keeps") << ReportValue(QStringLiteral("ABC")) << "currency" << "ABC" << false;
        QTest::newRow("plain double") << ReportValue(12.5) << "" << "12.5" << false;
        QTest::newRow("plain money") << ReportValue(Currency::fromUnits(7500)) << "" << "$0.75" << false;
    }

    void formatsPrintNumbersAndDates()
    {
        QFETCH(ReportValue, value);
        QFETCH(QString, format);
        QFETCH(QString, text);
        QFETCH(bool, dayFirst);
        QCOMPARE(formatReportValue(value, format, dayFirst ? DateOrder::DayFirst : DateOrder::MonthFirst), text);
    }
};

QTEST_MAIN(FormulaTest)
#include "tst_formula.moc"
