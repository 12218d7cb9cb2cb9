// Money, numbers, dates and the legacy SQL dialect: the pure pieces every screen relies on.

#include "data/DbError.h"
#include "data/JetSql.h"
#include "data/Values.h"

#include <QTest>

#include <cmath>

class TestValues : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void currencyRoundsHalfToEven_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("units");
        QTest::newRow("plain") << "12.5" << qint64(125000);
        QTest::newRow("tie down to even") << "0.00005" << qint64(0);
        QTest::newRow("tie up to even") << "0.00015" << qint64(2);
        QTest::newRow("beyond half") << "0.000051" << qint64(1);
        QTest::newRow("dollar and thousands") << "$1,234.50" << qint64(12345000);
        QTest::newRow("parentheses negative") << "($5.00)" << qint64(-50000);
        QTest::newRow("leading minus") << "-3" << qint64(-30000);
        QTest::newRow("blanks around") << "  7.25 " << qint64(72500);
    }
    void currencyRoundsHalfToEven()
    {
        QFETCH(QString, text);
        QFETCH(qint64, units);
        const auto c = Currency::parse(text);
        QVERIFY(c);
        QCOMPARE(c->units(), units);
    }

    void currencyArithmeticIsExact()
    {
        // 0.1 + 0.2 is not 0.3 in binary floating point; in money it must be.
        Currency sum;
        for (int i = 0; i < 10; ++i)
            sum += *Currency::parse(QStringLiteral("0.10"));
        QCOMPARE(sum, *Currency::parse(QStringLiteral("1")));
        QCOMPARE((Currency::fromDouble(2.675) * std::int64_t(3)).units(), qint64(80250));
        QCOMPARE(Currency::fromDouble(1.00005).units(), qint64(10000));   // tie to even
        QCOMPARE((*Currency::parse(QStringLiteral("10")) * 0.15).units(), qint64(15000));
        QVERIFY(!Currency::parse(QStringLiteral("abc")));
        QVERIFY(!Currency::parse(QString()));
    }

    void currencyOutOfRangeIsRefusedNeverWrapped()
    {
        // Beyond the 64-bit count: refused when read, pinned (same sign) when converted.
        for (const char* text : {"1e15", "9e99", "-1e15", "1000000000000000", "1e400"})
            QVERIFY2(!Currency::parse(QString::fromLatin1(text)), text);
        QVERIFY(!Currency::checked(1e15) && !Currency::checked(std::nan("")) && !Currency::checked(HUGE_VAL));
        QCOMPARE(Currency::checked(9e14)->units(), qint64(9000000000000000000));
        QVERIFY(Currency::fromDouble(9e99) > Currency::fromDouble(1e14));
        QVERIFY(Currency::fromDouble(-9e99) < Currency());
        QVERIFY(*Currency::parse(QStringLiteral("99999999999999.9999")) > Currency());
    }

    void currencySumsBeyondTheRangeAreOutOfRange()
    {
        // Two amounts in range whose sum or difference is not: out of range, never wrapped round
        // to an amount of the other sign, and a running total stays so whatever is added after.
        const Currency big = *Currency::parse(QStringLiteral("900000000000000"));
        const Currency top = Currency::fromUnits(std::numeric_limits<std::int64_t>::max());
        for (const Currency sum : {big + big, -big + -big, big - -big, -big - big, top + Currency::fromUnits(5), -top + Currency::fromUnits(-5)}) {
            QVERIFY(sum.isOutOfRange());
            QCOMPARE(formatCurrencyExact(sum), QStringLiteral("####"));
        }
        Currency total;
        for (int i = 0; i < 3; ++i)
            total += big;
        total -= big * std::int64_t(2);
        QVERIFY(total.isOutOfRange());
        // Up to the ends of the range, exactly.
        QCOMPARE((top - Currency::fromUnits(5) + Currency::fromUnits(5)).units(), std::numeric_limits<std::int64_t>::max());
        QCOMPARE((-top + Currency::fromUnits(5) - Currency::fromUnits(5)).units(), -std::numeric_limits<std::int64_t>::max());
        QCOMPARE(formatCurrencyExact(big + *Currency::parse(QStringLiteral("22337203685477.5807"))), QStringLiteral("$922,337,203,685,477.5807"));
    }

    void currencyFormat()
    {
        QCOMPARE(formatCurrency(*Currency::parse(QStringLiteral("1234.5"))), QStringLiteral("$1,234.50"));
        QCOMPARE(formatCurrency(*Currency::parse(QStringLiteral("-5"))), QStringLiteral("($5.00)"));
        QCOMPARE(formatCurrency(*Currency::parse(QStringLiteral("0.125"))), QStringLiteral("$0.12"));
        QCOMPARE(formatCurrency(*Currency::parse(QStringLiteral("0.135"))), QStringLiteral("$0.14"));
        // What a price box shows of a typed price: every decimal the amount holds, exactly.
        QCOMPARE(formatCurrencyExact(*Currency::parse(QStringLiteral("0.125"))), QStringLiteral("$0.125"));
        // A sum that did not fit is shown as a marker, never as some other amount.
        const Currency huge = *Currency::parse(QStringLiteral("99999999999999.99"));
        QCOMPARE(formatCurrency(huge * std::int64_t(1000)), QStringLiteral("####"));
        QCOMPARE(formatCurrencyExact(huge * std::int64_t(1000) + huge), QStringLiteral("####"));
        QCOMPARE(formatCurrencyExact(*Currency::parse(QStringLiteral("-1234567890123.4375"))),
                 QStringLiteral("($1,234,567,890,123.4375)"));
        QCOMPARE(formatCurrencyExact(*Currency::parse(QStringLiteral("12.5"))), QStringLiteral("$12.50"));
    }

    void numbersAsTheLegacyTestsThem()
    {
        QCOMPARE(parseNumber(QStringLiteral(" 12 ")), std::optional<double>(12));
        QCOMPARE(parseNumber(QStringLiteral(".5")), std::optional<double>(0.5));
        QCOMPARE(parseNumber(QStringLiteral("1E+20")), std::optional<double>(1e20));
        QCOMPARE(parseNumber(QStringLiteral("(3)")), std::optional<double>(-3));
        QCOMPARE(parseNumber(QStringLiteral("1,000")), std::optional<double>(1000));
        QVERIFY(!parseNumber(QStringLiteral("1,00")));
        QVERIFY(!parseNumber(QStringLiteral("12abc")));
        QVERIFY(!parseNumber(QStringLiteral("")));
        QVERIFY(!parseNumber(QStringLiteral("-")));

        QCOMPARE(vbVal(QStringLiteral("12abc")), 12.0);
        QCOMPARE(vbVal(QStringLiteral("abc")), 0.0);
        QCOMPARE(vbVal(QStringLiteral(" 1 000")), 1000.0);
        QCOMPARE(vbVal(QStringLiteral("-.5x")), -0.5);
        QCOMPARE(vbVal(QStringLiteral("2e3")), 2000.0);
        QCOMPARE(vbVal(QStringLiteral("2e")), 2.0);

        QCOMPARE(roundHalfEven(2.5), 2);
        QCOMPARE(roundHalfEven(3.5), 4);
        QCOMPARE(roundHalfEven(-2.5), -2);
        QCOMPARE(roundHalfEven(2.6), 3);
        // Large whole numbers and amounts are no ties.
        QCOMPARE(roundHalfEven(1000000001.0), 1000000001);
        QCOMPARE(formatCurrencyExact(Currency::fromDouble(50000.0001)), QStringLiteral("$50,000.0001"));
        // Beyond what a whole number holds: pinned, never undefined.
        QCOMPARE(roundHalfEven(1e300), std::numeric_limits<std::int64_t>::max());
        QCOMPARE(roundHalfEven(-1e300), std::numeric_limits<std::int64_t>::min());
        QCOMPARE(roundHalfEven(std::nan("")), 0);
    }

    void datesTypedMonthFirst()
    {
        QCOMPARE(parseUsDate(QStringLiteral("12/01/93")), std::optional<QDate>(QDate(1993, 12, 1)));
        QCOMPARE(parseUsDate(QStringLiteral("1/5/04")), std::optional<QDate>(QDate(2004, 1, 5)));
        QCOMPARE(parseUsDate(QStringLiteral("02/29/2004")), std::optional<QDate>(QDate(2004, 2, 29)));
        QCOMPARE(parseUsDate(QStringLiteral("2004-02-20")), std::optional<QDate>(QDate(2004, 2, 20)));
        QCOMPARE(parseUsDate(QStringLiteral("01/01/29")), std::optional<QDate>(QDate(2029, 1, 1)));
        QCOMPARE(parseUsDate(QStringLiteral("01/01/30")), std::optional<QDate>(QDate(1930, 1, 1)));
        QVERIFY(!parseUsDate(QStringLiteral("13/45/2004")));
        QVERIFY(!parseUsDate(QStringLiteral("02/30/04")));
        QVERIFY(!parseUsDate(QStringLiteral("12/01/")));
        QVERIFY(!parseUsDate(QStringLiteral("12:30")));
        QCOMPARE(formatLongDate(QDate(2004, 1, 5)), QStringLiteral("Monday, January 5, 2004"));
        QCOMPARE(dateFromStorage(QStringLiteral("2004-01-05")), QVariant(QDate(2004, 1, 5)));
        QCOMPARE(dateFromStorage(QStringLiteral("2004-01-05 13:30:00")), QVariant(QDateTime(QDate(2004, 1, 5), QTime(13, 30))));
        QVERIFY(!dateFromStorage(QStringLiteral("rubbish")).isValid());
    }

    void likeWildcards_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("match");
        QTest::newRow("contains") << "BEARING A1X" << "*A1*" << true;
        QTest::newRow("contains, other case") << "bearing a1x" << "*A1*" << true;
        QTest::newRow("begins") << "A10" << "A1*" << true;
        QTest::newRow("begins, no") << "BA1" << "A1*" << false;
        QTest::newRow("one char") << "A2" << "A?" << true;
        QTest::newRow("one char, too long") << "A22" << "A?" << false;
        QTest::newRow("digit") << "A7" << "A#" << true;
        QTest::newRow("digit, letter") << "AB" << "A#" << false;
        QTest::newRow("escaped star") << "A*B" << "A[*]B" << true;
        QTest::newRow("escaped star, no") << "AXB" << "A[*]B" << false;
        QTest::newRow("escaped bracket") << "A[B" << "A[[]B" << true;
        QTest::newRow("class") << "B" << "[A-C]" << true;
        QTest::newRow("negated class") << "B" << "[!A-C]" << false;
        QTest::newRow("percent is plain") << "50%" << "50%" << true;
        QTest::newRow("percent no wildcard") << "50 PERCENT" << "50%" << false;
        QTest::newRow("underscore is plain") << "AXB" << "A_B" << false;
        QTest::newRow("backtracking") << "AAB" << "*AB" << true;
        QTest::newRow("empty pattern") << "" << "" << true;
        QTest::newRow("star matches empty") << "" << "*" << true;
        QTest::newRow("unicode") << "Über" << "ü*" << true;
        QTest::newRow("unterminated bracket") << "A[" << "A[" << true;
    }
    void likeWildcards()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, match);
        QCOMPARE(jetLike(text, pattern), match);
        const QByteArray t = text.toUtf8(), p = pattern.toUtf8();
        QCOMPARE(jetLikeUtf8(t.constData(), int(t.size()), p.constData(), int(p.size())), match);
    }

    void quotingHelpers()
    {
        QCOMPARE(sqlQuote(QStringLiteral("O'BRIEN")), QStringLiteral("'O''BRIEN'"));
        QCOMPARE(sqlLikeEscape(QStringLiteral("A*1?#[")), QStringLiteral("A[*]1[?][#][[]"));
        QCOMPARE(sqlDate(QDate(1993, 12, 1)), QStringLiteral("#12/01/1993#"));
        // A quoted escape pattern matches the user's text literally.
        QVERIFY(jetLike(QStringLiteral("50*2 [X]"), QStringLiteral("*") + sqlLikeEscape(QStringLiteral("*2 [X")) + QStringLiteral("*")));
    }

    void dialectTranslation()
    {
        QCOMPARE(translateJetSql(QStringLiteral("Delete * From Parts Where [In Stock] = 0")),
                 QStringLiteral("Delete From Parts Where [In Stock] = 0"));
        QCOMPARE(translateJetSql(QStringLiteral("DELETE Parts.* FROM Parts")), QStringLiteral("DELETE FROM Parts"));
        QCOMPARE(translateJetSql(QStringLiteral("Select * from Parts where [Date Ordered] > #12/01/93#")),
                 QStringLiteral("Select * from Parts where [Date Ordered] > '1993-12-01'"));
        QCOMPARE(translateJetSql(QStringLiteral("select * from parts where [Default 1] = YES or [Default 2] = false")),
                 QStringLiteral("select * from parts where [Default 1] = 1 or [Default 2] = 0"));
        // Nothing inside a literal or a bracketed name is touched.
        QCOMPARE(translateJetSql(QStringLiteral("select * from Parts where Description = 'yes #1/2/03# Delete * From' and [No] = \"say \"\"no\"\"\"")),
                 QStringLiteral("select * from Parts where Description = 'yes #1/2/03# Delete * From' and [No] = 'say \"no\"'"));
        QCOMPARE(translateJetSql(QStringLiteral("CREATE TABLE T ([Record Number] Counter CONSTRAINT X PRIMARY KEY, M Memo, B YesNo)")),
                 QStringLiteral("CREATE TABLE T ([Record Number] INTEGER CONSTRAINT X PRIMARY KEY, M LONGTEXT, B YesNo)"));
        // "Counter" outside a table definition is a name like any other.
        QCOMPARE(translateJetSql(QStringLiteral("select Counter from T")), QStringLiteral("select Counter from T"));
        QVERIFY_THROWS_EXCEPTION(DbError, translateJetSql(QStringLiteral("select * from Parts where [Date Ordered] > #13/45/2004#")));
    }

    void singleTableSelectShape()
    {
        auto s = analyseSelect(QStringLiteral("Select Parts.* From Parts Where [In Stock] < 5 ORDER BY [Location] ASC"));
        QVERIFY(s);
        QCOMPARE(s->table, QStringLiteral("Parts"));
        QCOMPARE(s->fromClause, QStringLiteral(" Parts Where [In Stock] < 5 ORDER BY [Location] ASC"));
        s = analyseSelect(QStringLiteral("select p.[Part Number 1] from [Parts] as p"));
        QVERIFY(s);
        QCOMPARE(s->table, QStringLiteral("Parts"));
        QCOMPARE(s->qualifier, QStringLiteral("p"));
        QVERIFY(!analyseSelect(QStringLiteral("select distinct Location from Parts")));
        QVERIFY(!analyseSelect(QStringLiteral("select count(*) from Parts")));
        QVERIFY(!analyseSelect(QStringLiteral("select * from Parts, PartsUsage")));
        QVERIFY(!analyseSelect(QStringLiteral("select * from Parts p join PartsUsage u on u.[Record Number] = p.[Record Number]")));
        QVERIFY(!analyseSelect(QStringLiteral("delete from Parts")));
    }
};

QTEST_GUILESS_MAIN(TestValues)
#include "tst_values.moc"
