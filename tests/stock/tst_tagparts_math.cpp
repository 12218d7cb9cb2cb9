// The arithmetic of the ordering screen: the prices shown per vendor, the needed and tagged
// tests, the tagged total, the typing warnings, automatic tagging quantities and the 16-bit
// submission of tags as back orders.

#include "stock/OrderMath.h"
#include "stock/StockMath.h"

#include <QtTest>

using namespace OrderMath;

namespace {

std::optional<Currency> money(const char* text)
{
    if (!text)
        return std::nullopt;
    return Currency::parse(QString::fromLatin1(text));
}

QString shown(const std::optional<Currency>& c)
{
    return c ? formatCurrency(*c) : QStringLiteral("(empty)");
}

std::optional<double> num(double v)
{
    return v;
}

}  // namespace

class TestTagPartsMath : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sixteenBitWholeNumbers_data();
    void sixteenBitWholeNumbers();
    void vendorPrices_data();
    void vendorPrices();
    void discountText_data();
    void discountText();
    void neededPredicate_data();
    void neededPredicate();
    void taggedForTheRecordCheck();
    void taggedTotal();
    void recordCheckRefusals();
    void typingWarnings_data();
    void typingWarnings();
    void autoTagVendorChoice();
    void autoTagQuantities_data();
    void autoTagQuantities();
    void submitOneVendor();
    void submitAllVendors();
    void submissionRefusals_data();
    void submissionRefusals();
};

void TestTagPartsMath::sixteenBitWholeNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");   // -99999: refused
    QTest::newRow("whole") << "12" << 12;
    QTest::newRow("half down to even") << "2.5" << 2;
    QTest::newRow("half up to even") << "3.5" << 4;
    QTest::newRow("negative half") << "-2.5" << -2;
    QTest::newRow("largest") << "32767" << 32767;
    QTest::newRow("largest, fraction below half") << "32767.4" << 32767;
    QTest::newRow("rounds past the largest") << "32767.5" << -99999;
    QTest::newRow("one past the largest") << "32768" << -99999;
    QTest::newRow("smallest") << "-32768" << -32768;
    QTest::newRow("smallest, half to even") << "-32768.5" << -32768;
    QTest::newRow("below the smallest") << "-32769" << -99999;
    QTest::newRow("empty") << "" << -99999;
    QTest::newRow("not a number") << "abc" << -99999;
    QTest::newRow("blanks around") << " 7 " << 7;
}

void TestTagPartsMath::sixteenBitWholeNumbers()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const std::optional<std::int16_t> v = StockMath::cint16(text);
    if (expected == -99999)
        QVERIFY2(!v, qPrintable(QString::number(v.value_or(0))));
    else
        QCOMPARE(int(v.value_or(-1)), expected);
}

void TestTagPartsMath::vendorPrices_data()
{
    QTest::addColumn<QString>("book");      // "" = empty box
    QTest::addColumn<double>("discount");
    QTest::addColumn<QString>("special");
    QTest::addColumn<double>("package");    // -1 = empty box
    QTest::addColumn<QString>("discountPrice");
    QTest::addColumn<QString>("costEach");

    QTest::newRow("discounted, cost of one of three")
        << "10.00" << 15.0 << "0" << 3.0 << "$8.50" << "$2.83";
    QTest::newRow("special price replaces the discounted price")
        << "10.00" << 15.0 << "6.00" << 3.0 << "$6.00" << "$2.00";
    QTest::newRow("book price 0: zeros, special ignored")
        << "0" << 15.0 << "6.00" << 3.0 << "$0.00" << "$0.00";
    QTest::newRow("negative special changes nothing")
        << "10.00" << 0.0 << "-1" << 2.0 << "$10.00" << "$5.00";
    QTest::newRow("empty book price shows nothing")
        << "" << 15.0 << "6.00" << 3.0 << "(empty)" << "(empty)";
    QTest::newRow("package 0: no cost of one piece")
        << "10.00" << 15.0 << "0" << 0.0 << "$8.50" << "(empty)";
    QTest::newRow("empty package: no cost of one piece")
        << "10.00" << 0.0 << "" << -1.0 << "$10.00" << "(empty)";
    QTest::newRow("fractional discount")
        << "12.50" << 12.5 << "" << 1.0 << "$10.94" << "$10.94";
    QTest::newRow("cents rounded for display only")
        << "12.50" << 15.0 << "" << 1.0 << "$10.62" << "$10.62";
}

void TestTagPartsMath::vendorPrices()
{
    QFETCH(QString, book);
    QFETCH(double, discount);
    QFETCH(QString, special);
    QFETCH(double, package);
    QFETCH(QString, discountPrice);
    QFETCH(QString, costEach);
    const QByteArray b = book.toLatin1(), s = special.toLatin1();
    const PriceFigures f = priceFigures(book.isEmpty() ? std::nullopt : money(b.constData()), discount,
                                        special.isEmpty() ? std::nullopt : money(s.constData()),
                                        package < 0 ? std::nullopt : num(package));
    QCOMPARE(shown(f.discountPrice), discountPrice);
    QCOMPARE(shown(f.costEach), costEach);
}

void TestTagPartsMath::discountText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("percent");
    QTest::newRow("whole") << "15" << 15.0;
    QTest::newRow("fraction") << "12.5" << 12.5;
    QTest::newRow("empty counts as none") << "" << 0.0;
    QTest::newRow("with a percent sign") << "10%" << 10.0;
    QTest::newRow("no number") << "none" << 0.0;
}

void TestTagPartsMath::discountText()
{
    QFETCH(QString, text);
    QFETCH(double, percent);
    QCOMPARE(discountPercent(text), percent);
}

void TestTagPartsMath::neededPredicate_data()
{
    QTest::addColumn<double>("stock");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<int>("nonZeroField");   // -1 none, 0..2 quantity n, 3..5 back order n, 6 a missing field
    QTest::addColumn<bool>("needed");
    QTest::newRow("at the minimum") << 3.0 << 3.0 << -1 << false;
    QTest::newRow("below the minimum") << 2.0 << 3.0 << -1 << true;
    QTest::newRow("negative count") << -1.0 << 0.0 << -1 << true;
    QTest::newRow("tagged for vendor 1") << 2.0 << 3.0 << 0 << false;
    QTest::newRow("tagged for vendor 3") << 2.0 << 3.0 << 2 << false;
    QTest::newRow("on back order from vendor 2") << 2.0 << 3.0 << 4 << false;
    QTest::newRow("a missing back order counts as 0") << 2.0 << 3.0 << 6 << true;
}

void TestTagPartsMath::neededPredicate()
{
    QFETCH(double, stock);
    QFETCH(double, minimum);
    QFETCH(int, nonZeroField);
    QFETCH(bool, needed);
    StockLine line{stock, minimum, {0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}};
    if (nonZeroField >= 0 && nonZeroField < 3)
        line.quantityOrdered[nonZeroField] = 1;
    else if (nonZeroField >= 3 && nonZeroField < 6)
        line.backOrdered[nonZeroField - 3] = 2;
    else if (nonZeroField == 6)
        line.backOrdered[1] = std::nullopt;
    QCOMPARE(isNeeded(line), needed);

    // A missing count in stock is 0: needed below a minimum above 0.
    StockLine noCount = line;
    noCount.inStock = std::nullopt;
    QCOMPARE(isNeeded(noCount), (nonZeroField == -1 || nonZeroField == 6) && minimum > 0);
}

void TestTagPartsMath::taggedForTheRecordCheck()
{
    QVERIFY(!isTagged({QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}));
    QVERIFY(isTagged({QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("4")}));
    // A negative quantity beside a real tag does not hide the tag.
    QVERIFY(isTagged({QStringLiteral("-1"), QStringLiteral("5"), QStringLiteral("0")}));
    QVERIFY(!isTagged({QStringLiteral("-1"), QString(), QStringLiteral("0")}));
    // Empty or non-numeric boxes count as 0 instead of stopping the check.
    QVERIFY(isTagged({QString(), QStringLiteral("abc"), QStringLiteral("2")}));
    QVERIFY(isTagged({QStringLiteral("0.5"), QString(), QString()}));
}

void TestTagPartsMath::taggedTotal()
{
    const auto line = [](std::optional<double> quantity, const char* book, double discount, const char* special = nullptr) {
        return TaggedLine{quantity, money(book), discount, money(special)};
    };
    const auto cents = [](const ExactMoney& m) { return m.magnitudeDigits(2); };
    // Part A: 2 packages from vendor 1 at 10.00 less 15% (8.50); part B: 1 package from vendor 3 at
    // a special price of 6.00. Tagged for two vendors, both amounts; an empty quantity or price of
    // one vendor drops that vendor only, never the whole part.
    const ExactMoney a = taggedAmount({line(2, "10", 15, "0"), TaggedLine{}, TaggedLine{}});
    const ExactMoney b = taggedAmount({TaggedLine{}, TaggedLine{}, line(1, "4", 0, "6")});
    QCOMPARE(cents(a + b), QStringLiteral("23.00"));
    QCOMPARE(cents(taggedAmount({line(2, "10", 15, "0"), TaggedLine{}, line(3, "4", 0, "6")})), QStringLiteral("35.00"));
    QCOMPARE(cents(taggedAmount({line(2, "10", 15), line(std::nullopt, "4", 0, "6"), line(4, nullptr, 0)})),
             QStringLiteral("17.00"));

    // Exact, rounded once: 1000 packages at $0.4375 less 15% ($0.371875 each) are $371.875, so
    // $371.88, not 1000 x $0.3719.
    const ExactMoney bulk = taggedAmount({line(1000, "0.4375", 15), TaggedLine{}, TaggedLine{}});
    QCOMPARE(cents(bulk), QStringLiteral("371.88"));
    QVERIFY(bulk == ExactMoney::fromDouble(371.875));
    // A price beyond what money holds makes the amount out of range, never another amount.
    QVERIFY(taggedAmount({line(1, "1", 0), TaggedLine{1.0, Currency::outOfRange(), 0, {}}, TaggedLine{}}).isOutOfRange());
}

void TestTagPartsMath::recordCheckRefusals()
{
    // Vendor 1 of a part: what its boxes show, typed on screen or stored by the part.
    const auto check = [](int box, const QString& typed) {
        PartBoxes part;
        part.vendors[0].numbers[box] = Shown(typed);
        return recordCheck(part).refused;
    };
    using Refused = QList<std::pair<int, int>>;
    const Refused none;
    const auto only = [](int box) { return Refused{{1, box}}; };
    for (int box : {QuantityBox, BackOrderBox, MinimumBuyBox, PackageBox}) {
        QCOMPARE(check(box, QStringLiteral("3")), none);
        QCOMPARE(check(box, QString()), none);
        for (const char* bad : {"2.5", "-1", "abc", "3000000000"})
            QCOMPARE(check(box, QString::fromLatin1(bad)), only(box));
    }
    for (int box : {PriceBox, SpecialPriceBox}) {
        QCOMPARE(check(box, QStringLiteral("$1,495.00")), none);
        QCOMPARE(check(box, QStringLiteral("0")), none);
        for (const char* bad : {"-5", "($5.00)", "1e15", "lots", "####"})
            QCOMPARE(check(box, QString::fromLatin1(bad)), only(box));
    }

    // A value the part stores was not typed: one below 0, in parts or not a number is left for the
    // user to correct; only one too large to be used counts, which the screen names once.
    const auto stored = [](int box, const QVariant& value) {
        PartBoxes part;
        part.vendors[0].numbers[box] = Shown(&value, isMoneyBox(box));
        return recordCheck(part).refused;
    };
    for (const QVariant& v : {QVariant(-2LL), QVariant(2.5), QVariant(QStringLiteral("abc")), QVariant()})
        QCOMPARE(stored(PackageBox, v), none);
    QCOMPARE(stored(PackageBox, QVariant(3000000000LL)), only(PackageBox));
    QCOMPARE(stored(PriceBox, QVariant(-5.0)), none);
    QCOMPARE(stored(PriceBox, QVariant(1e16)), only(PriceBox));
}

void TestTagPartsMath::typingWarnings_data()
{
    QTest::addColumn<int>("vendor");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("backOrder");
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<bool>("backOrderWarning");
    QTest::addColumn<bool>("overFifty");
    QTest::newRow("50 pieces: no warning") << 1 << "5" << "0" << "10" << "AMF" << false << false;
    QTest::newRow("60 pieces") << 1 << "6" << "0" << "10" << "AMF" << false << true;
    QTest::newRow("on back order") << 2 << "1" << "2" << "1" << "DIST" << true << false;
    QTest::newRow("both") << 1 << "51" << "1" << "1" << "AMF" << true << true;
    QTest::newRow("quantity 0") << 1 << "0" << "2" << "100" << "AMF" << false << false;
    QTest::newRow("empty box") << 1 << "" << "2" << "100" << "AMF" << false << false;
    QTest::newRow("not a number") << 1 << "x" << "2" << "100" << "AMF" << false << false;
    QTest::newRow("no heading: no back-order warning") << 1 << "6" << "2" << "10" << "" << false << true;
    QTest::newRow("vendor 3 without heading: none") << 3 << "6" << "2" << "10" << "" << false << false;
    QTest::newRow("vendor 3 with heading") << 3 << "6" << "2" << "10" << "OTHER" << true << true;
    QTest::newRow("empty package: no count of pieces") << 2 << "60" << "0" << "" << "DIST" << false << false;
}

void TestTagPartsMath::typingWarnings()
{
    QFETCH(int, vendor);
    QFETCH(QString, quantity);
    QFETCH(QString, backOrder);
    QFETCH(QString, package);
    QFETCH(QString, heading);
    QFETCH(bool, backOrderWarning);
    QFETCH(bool, overFifty);
    const QuantityWarnings w = quantityWarnings(vendor, quantity, backOrder, package, heading);
    QCOMPARE(w.backOrder, backOrderWarning);
    QCOMPARE(w.overFifty, overFifty);
}

void TestTagPartsMath::autoTagVendorChoice()
{
    const std::array<QString, 3> zeros = {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")};
    const std::array<QString, 3> allNumbers = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};

    // A checked box decides, first checked first; a checked vendor without a part number for the
    // part is never tagged (an order to it could name no part), and no other vendor is either.
    AutoTagVendor v = autoTagVendor({false, true, false}, allNumbers, zeros);
    QCOMPARE(v.vendor, 2);
    QVERIFY(!v.becomesDefault);
    v = autoTagVendor({false, false, true}, {QStringLiteral("A"), QString(), QString()}, zeros);
    QCOMPARE(v.vendor, 0);
    QVERIFY(!v.becomesDefault);

    // None checked: the first vendor with a part number, which becomes the default.
    v = autoTagVendor({false, false, false}, {QString(), QStringLiteral("B"), QStringLiteral("C")}, zeros);
    QCOMPARE(v.vendor, 2);
    QVERIFY(v.becomesDefault);

    // ... whose other two quantities are 0.
    v = autoTagVendor({false, false, false}, allNumbers, {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("2")});
    QCOMPARE(v.vendor, 3);

    // No vendor sells it: nothing.
    v = autoTagVendor({false, false, false}, {QString(), QString(), QString()}, zeros);
    QCOMPARE(v.vendor, 0);
    QVERIFY(!v.becomesDefault);
}

void TestTagPartsMath::autoTagQuantities_data()
{
    QTest::addColumn<QString>("minimum");
    QTest::addColumn<QString>("stock");
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("minimumBuy");
    QTest::addColumn<QString>("boxText");
    QTest::addColumn<qint64>("stored");
    QTest::addColumn<bool>("outOfRange");

    QTest::newRow("shortfall 6 in packages of 2") << "10" << "4" << "2" << "1" << "3" << qint64(3) << false;
    QTest::newRow("1.5 packages stored as 2") << "10" << "4" << "4" << "1" << "1.5" << qint64(2) << false;
    QTest::newRow("minimum buy above the shortfall") << "10" << "4" << "1" << "12" << "12" << qint64(12) << false;
    QTest::newRow("minimum buy equal to the shortfall") << "10" << "4" << "1" << "6" << "6" << qint64(6) << false;
    QTest::newRow("2.5 packages: half to even, not up") << "10" << "5" << "2" << "2" << "2" << qint64(2) << false;
    QTest::newRow("2.5 packages, minimum buy 1") << "10" << "5" << "2" << "1" << "2.5" << qint64(2) << false;
    QTest::newRow("3.5 packages rounds to 4") << "10" << "3" << "2" << "1" << "3.5" << qint64(4) << false;
    QTest::newRow("unrounded thirds") << "10" << "0" << "3" << "1" << "3.33333333333333" << qint64(3) << false;
    QTest::newRow("empty package: minimum buy") << "10" << "4" << "" << "5" << "5" << qint64(5) << false;
    QTest::newRow("package 0: minimum buy") << "10" << "4" << "0" << "5" << "5" << qint64(5) << false;
    QTest::newRow("package 0, minimum buy 0: stays 0") << "10" << "4" << "0" << "0" << "0" << qint64(0) << false;
    QTest::newRow("no minimum buy: the shortfall stands") << "10" << "4" << "2" << "" << "3" << qint64(3) << false;
    QTest::newRow("an empty count in stock is 0") << "10" << "" << "2" << "1" << "5" << qint64(5) << false;
    QTest::newRow("largest quantity") << "32767" << "0" << "1" << "1" << "32767" << qint64(32767) << false;
    QTest::newRow("quantity beyond 16 bits is not tagged") << "40000" << "0" << "1" << "1" << "0" << qint64(0) << true;
    QTest::newRow("minimum buy beyond 16 bits is not tagged") << "10" << "4" << "1" << "70000" << "0" << qint64(0) << true;
}

void TestTagPartsMath::autoTagQuantities()
{
    QFETCH(QString, minimum);
    QFETCH(QString, stock);
    QFETCH(QString, package);
    QFETCH(QString, minimumBuy);
    QFETCH(QString, boxText);
    QFETCH(qint64, stored);
    QFETCH(bool, outOfRange);
    const AutoTagQuantity q = autoTagQuantity(minimum, stock, package, QStringLiteral("0"), minimumBuy);
    QCOMPARE(q.orderQuantity, boxText);
    QCOMPARE(q.outOfRange, outOfRange);
    // The whole-number field keeps the text rounded half to even.
    QCOMPARE(roundHalfEven(parseNumber(q.orderQuantity).value_or(-1)), stored);
}

void TestTagPartsMath::submitOneVendor()
{
    // 2 tagged and 3 on back order from vendor 1, no default: back order 5, vendor 1 the default.
    OrderLine a{{QStringLiteral("A-1"), QString(), QString()},
                {QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("0")},
                {QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("0")},
                {false, false, false}};
    Submission s = submitPart(1, a);
    QVERIFY(s.ok);
    QCOMPARE(s.backOrders[0], QStringLiteral("5"));
    QCOMPARE(s.backOrders[1], QStringLiteral("0"));
    QCOMPARE(s.defaults, (std::array<bool, 3>{true, false, false}));

    // Tagged 1 for vendor 1 and 4 for vendor 2, default 2: vendor 1 moves alone and becomes the default.
    OrderLine b{{QStringLiteral("B-1"), QStringLiteral("B-2"), QString()},
                {QStringLiteral("1"), QStringLiteral("4"), QStringLiteral("0")},
                {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")},
                {false, true, false}};
    s = submitPart(1, b);
    QCOMPARE(s.backOrders, (std::array<QString, 3>{QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0")}));
    QCOMPARE(s.defaults, (std::array<bool, 3>{true, false, false}));

    // Already the default: the boxes stay.
    b.defaults = {true, false, true};
    s = submitPart(1, b);
    QCOMPARE(s.defaults, (std::array<bool, 3>{true, false, true}));

    // An empty back order counts as none; the sum up to 32767 fits.
    OrderLine c{{QString(), QString(), QStringLiteral("C-3")},
                {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("32000")},
                {QString(), QString(), QStringLiteral("767")},
                {}};
    s = submitPart(3, c);
    QVERIFY(s.ok);
    QCOMPARE(s.backOrders[2], QStringLiteral("32767"));
    c.backOrders[2] = QString();
    QCOMPARE(submitPart(3, c).backOrders[2], QStringLiteral("32000"));
}

void TestTagPartsMath::submitAllVendors()
{
    // Tagged for vendors 1 and 2: both move, defaults stay (two vendors were tagged).
    OrderLine b{{QStringLiteral("B-1"), QStringLiteral("B-2"), QString()},
                {QStringLiteral("1"), QStringLiteral("4"), QStringLiteral("0")},
                {QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("0")},
                {false, true, false}};
    Submission s = submitPart(0, b);
    QVERIFY(s.ok);
    QCOMPARE(s.backOrders, (std::array<QString, 3>{QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("0")}));
    QCOMPARE(s.defaults, (std::array<bool, 3>{false, true, false}));

    // Tagged only for vendor 3, which has no part number: submitted, defaults untouched.
    OrderLine c{{QStringLiteral("C-1"), QString(), QString()},
                {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("2")},
                {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1")},
                {true, false, false}};
    s = submitPart(0, c);
    QCOMPARE(s.backOrders[2], QStringLiteral("3"));
    QCOMPARE(s.defaults, (std::array<bool, 3>{true, false, false}));

    // The one tagged vendor with a part number becomes the default.
    c.partNumbers[2] = QStringLiteral("C-3");
    QCOMPARE(submitPart(0, c).defaults, (std::array<bool, 3>{false, false, true}));

    // A tag below 0 (an older file's) is no tag: its back order stays as it is and it is not
    // submitted (its special price stays); the one vendor tagged becomes the default.
    OrderLine n{{QStringLiteral("N-1"), QStringLiteral("N-2"), QString()},
                {QStringLiteral("-3"), QStringLiteral("2"), QStringLiteral("0")},
                {QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0")},
                {true, false, false}};
    s = submitPart(0, n);
    QVERIFY(s.ok);
    QCOMPARE(s.backOrders, (std::array<QString, 3>{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("0")}));
    QCOMPARE(s.submitted, (std::array<bool, 3>{false, true, false}));
    QCOMPARE(s.defaults, (std::array<bool, 3>{false, true, false}));

    // An untagged vendor's back order is left as it is, even one that would not fit 16 bits.
    OrderLine d{{QStringLiteral("D-1"), QString(), QString()},
                {QStringLiteral("1"), QString(), QStringLiteral("0")},
                {QStringLiteral("0"), QString(), QStringLiteral("40000")},
                {}};
    s = submitPart(0, d);
    QVERIFY(s.ok);
    QCOMPARE(s.backOrders, (std::array<QString, 3>{QStringLiteral("1"), QString(), QStringLiteral("40000")}));
}

void TestTagPartsMath::submissionRefusals_data()
{
    QTest::addColumn<int>("vendor");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("backOrder");
    QTest::addColumn<QString>("problem");
    QTest::newRow("sum one past 32767") << 1 << "1" << "32767" << "vendor # 1: the back order would be 32768 packages, more than 32767";
    QTest::newRow("all vendors, sum past 32767") << 0 << "30000" << "2768" << "vendor # 1: the back order would be 32768 packages, more than 32767";
    QTest::newRow("back order already beyond 16 bits") << 1 << "1" << "40000"
                                                       << "vendor # 1: the back order \"40000\" is not a whole number of packages from 0 to 32767";
    QTest::newRow("back order not a number") << 1 << "1" << "abc"
                                             << "vendor # 1: the back order \"abc\" is not a whole number of packages from 0 to 32767";
    QTest::newRow("back order below 0") << 1 << "1" << "-2"
                                        << "vendor # 1: the back order \"-2\" is not a whole number of packages from 0 to 32767";
    QTest::newRow("part of a package") << 1 << "1.5" << "0"
                                       << "vendor # 1: the quantity \"1.5\" is not a whole number of packages from 0 to 32767";
    QTest::newRow("quantity not a number") << 1 << "x" << "0"
                                           << "vendor # 1: the quantity \"x\" is not a whole number of packages from 0 to 32767";
}

void TestTagPartsMath::submissionRefusals()
{
    QFETCH(int, vendor);
    QFETCH(QString, quantity);
    QFETCH(QString, backOrder);
    QFETCH(QString, problem);
    const OrderLine line{{QStringLiteral("P-1"), QString(), QString()},
                         {quantity, QStringLiteral("0"), QStringLiteral("0")},
                         {backOrder, QStringLiteral("0"), QStringLiteral("0")},
                         {}};
    const Submission s = submitPart(vendor, line);
    QVERIFY(!s.ok);
    QCOMPARE(s.problem, problem);
}

QTEST_GUILESS_MAIN(TestTagPartsMath)
#include "tst_tagparts_math.moc"
