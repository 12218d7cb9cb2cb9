// The arithmetic of receiving: 16-bit whole numbers rounded half to even with every result
// checked, and one booking worked out from the boxes' texts.

#include "stock/ReceiveParts.h"
#include "stock/StockMath.h"

#include <QtTest>

using StockMath::cint16;

Q_DECLARE_METATYPE(Receipt::Status)
Q_DECLARE_METATYPE(Receipt::Field)

class TestReceiveBooking : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wholeNumbers_data();
    void wholeNumbers();
    void checkedArithmetic();
    void booking_data();
    void booking();
};

void TestReceiveBooking::wholeNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");   // -1000000: nothing
    const int none = -1000000;
    QTest::newRow("plain") << "12" << 12;
    QTest::newRow("blanks around") << " 3 " << 3;
    QTest::newRow("half to even down") << "2.5" << 2;
    QTest::newRow("half to even up") << "3.5" << 4;
    QTest::newRow("just below half") << "1.49" << 1;
    QTest::newRow("negative half") << "-2.5" << -2;
    QTest::newRow("largest") << "32767" << 32767;
    QTest::newRow("rounds to largest") << "32767.4" << 32767;
    QTest::newRow("rounds past largest") << "32767.5" << none;
    QTest::newRow("one past largest") << "32768" << none;
    QTest::newRow("smallest") << "-32768" << -32768;
    QTest::newRow("one below smallest") << "-32769" << none;
    QTest::newRow("thousands separator") << "1,200" << 1200;
    QTest::newRow("empty") << "" << none;
    QTest::newRow("letters") << "abc" << none;
    QTest::newRow("huge") << "1e300" << none;
}

void TestReceiveBooking::wholeNumbers()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    const std::optional<std::int16_t> v = cint16(text);
    if (expected == -1000000)
        QVERIFY(!v);
    else
        QCOMPARE(int(v.value_or(0)), expected);
}

void TestReceiveBooking::checkedArithmetic()
{
    using namespace StockMath;
    QCOMPARE(int(*add16(32766, 1)), 32767);
    QVERIFY(!add16(32767, 1));
    QVERIFY(!add16(-32768, -1));
    QCOMPARE(int(*sub16(0, 32767)), -32767);
    QVERIFY(!sub16(-2, 32767));
    QCOMPARE(int(*mul16(181, 181)), 32761);
    QVERIFY(!mul16(182, 181));
    QVERIFY(!mul16(-32768, -1));
    QCOMPARE(int(*mul16(-32768, 1)), -32768);
}

void TestReceiveBooking::booking_data()
{
    QTest::addColumn<QString>("received");
    QTest::addColumn<QString>("backOrder");
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("inStock");
    QTest::addColumn<Receipt::Status>("status");
    QTest::addColumn<Receipt::Field>("field");
    QTest::addColumn<bool>("notACount");   // below 0 or a part of a package: 0 is booked
    QTest::addColumn<int>("newBackOrder");
    QTest::addColumn<int>("newInStock");

    const auto booked = Receipt::Booked;
    const auto none = Receipt::NoField;
    QTest::newRow("whole back order") << "3" << "3" << "12" << "5" << booked << none << false << 0 << 41;
    QTest::newRow("part of it") << "2" << "3" << "12" << "5" << booked << none << false << 1 << 29;
    QTest::newRow("zero books nothing") << "0" << "3" << "12" << "5" << booked << none << false << 3 << 5;
    QTest::newRow("1.5 against 2 books nothing") << "1.5" << "2" << "1" << "0" << booked << none << true << 2 << 0;
    QTest::newRow("0.5 books nothing") << "0.5" << "1" << "4" << "7" << booked << none << true << 1 << 7;
    QTest::newRow("2.5 against 2 is more") << "2.5" << "2" << "1" << "0" << Receipt::MoreThanBackOrder << none << false << 0 << 0;
    QTest::newRow("more than back order") << "4" << "3" << "12" << "5" << Receipt::MoreThanBackOrder << none << false << 0 << 0;
    QTest::newRow("negative books 0") << "-2" << "3" << "12" << "5" << booked << none << true << 3 << 5;
    QTest::newRow("empty box") << "" << "3" << "12" << "5" << Receipt::Nothing << none << false << 0 << 0;
    QTest::newRow("blank box") << "   " << "3" << "12" << "5" << Receipt::Nothing << none << false << 0 << 0;
    QTest::newRow("not a number") << "a2" << "3" << "12" << "5" << Receipt::NotANumber << none << false << 0 << 0;
    QTest::newRow("stock reaches 32767") << "1" << "1" << "7" << "32760" << booked << none << false << 0 << 32767;
    QTest::newRow("stock would pass 32767") << "100" << "100" << "12" << "32000" << Receipt::OutOfRange
                                            << Receipt::InStock << false << 0 << 0;
    QTest::newRow("product alone too big") << "999" << "999" << "40" << "0" << Receipt::OutOfRange
                                           << Receipt::InStock << false << 0 << 0;
    QTest::newRow("stock already too big") << "1" << "1" << "1" << "40000" << Receipt::OutOfRange << Receipt::InStock
                                           << false << 0 << 0;
    QTest::newRow("back order too big") << "1" << "40000" << "1" << "0" << Receipt::OutOfRange << Receipt::BackOrder
                                        << false << 0 << 0;
    QTest::newRow("full receipt of 1200") << "1200" << "1200" << "1" << "5" << booked << none << false << 0 << 1205;
    QTest::newRow("empty package") << "1" << "1" << "" << "5" << Receipt::UnreadablePart << Receipt::Package << false << 0 << 0;
    QTest::newRow("package 0") << "2" << "2" << "0" << "5" << Receipt::NoPackageSize << Receipt::Package << false << 0 << 0;
    QTest::newRow("package below 0") << "1" << "2" << "-12" << "5" << Receipt::NoPackageSize << Receipt::Package << false << 0 << 0;
    QTest::newRow("nothing of package 0") << "0" << "2" << "0" << "5" << booked << none << false << 2 << 5;
    QTest::newRow("empty count in stock") << "1" << "1" << "2" << "" << Receipt::UnreadablePart << Receipt::InStock
                                          << false << 0 << 0;
    QTest::newRow("empty back order") << "1" << "" << "2" << "3" << Receipt::UnreadablePart << Receipt::BackOrder
                                      << false << 0 << 0;
}

void TestReceiveBooking::booking()
{
    QFETCH(QString, received);
    QFETCH(QString, backOrder);
    QFETCH(QString, package);
    QFETCH(QString, inStock);
    QFETCH(Receipt::Status, status);
    QFETCH(Receipt::Field, field);
    QFETCH(bool, notACount);
    QFETCH(int, newBackOrder);
    QFETCH(int, newInStock);

    const Receipt r = bookReceipt(received, backOrder, package, inStock);
    QCOMPARE(r.status, status);
    QCOMPARE(r.negative || r.fraction, notACount);
    if (status == Receipt::Booked) {
        QCOMPARE(int(r.backOrder), newBackOrder);
        QCOMPARE(int(r.inStock), newInStock);
    } else {
        QCOMPARE(r.field, field);
    }
}

QTEST_APPLESS_MAIN(TestReceiveBooking)
#include "tst_receive_booking.moc"
