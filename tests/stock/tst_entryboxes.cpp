// Entry boxes as a centre manager uses them, reached by a click or by Tab and typed into: the date
// boxes of the maintenance screen, the usage screen and the usage report's Date prompt, and the
// prices of the maintenance and ordering screens.

#include "parts/MaintScreenDriver.h"
#include "parts/PartsTestData.h"
#include "reports/UsagePrompts.h"
#include "stock/PartsUsage.h"
#include "stock/TagParts.h"

#include "platform/InputRules.h"
#include "support/RecordingReportControl.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

void clickAt(QWidget* box, int x)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(x, box->height() / 2));
    QCoreApplication::processEvents();   // what the click set going, as between a user's actions
}
void clickMiddle(QWidget* box) { clickAt(box, box->width() / 2); }
void clickRightEnd(QWidget* box) { clickAt(box, box->width() - 3); }

// Keys go where the focus is, as the keyboard's do.
void type(const QString& keys) { QTest::keyClicks(QApplication::focusWidget(), keys); }
void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

template <typename Window>
void closeAndDelete(Window* w)
{
    QPointer<Window> guard(w);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!guard);
}

}  // namespace

class TestEntryBoxes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dateBoxesTakeTypingHoweverTheyAreReached();
    void pricesShowEveryStoredDecimal();
    void amountsShowEveryDigitInTheirBoxes();
};

void TestEntryBoxes::dateBoxesTakeTypingHoweverTheyAreReached()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    const auto dateOrdered = [&data](int part) { return data.part(part, QStringLiteral("Date Ordered")).toString(); };

    // Maintenance screen, "Last Ordered On": a click anywhere in the box, then Enter saves.
    MaintScreen* maint = openScreen();   // B-200 (record 2), never ordered
    QVERIFY(QTest::qWaitForWindowActive(maint));
    clickRightEnd(maint->MaskEdBox5);
    type(QStringLiteral("031507"));
    press(Qt::Key_Return);
    QCOMPARE(dateOrdered(2), QStringLiteral("2007-03-15"));
    clickMiddle(maint->Text22);   // left, and entered again in its middle
    clickMiddle(maint->MaskEdBox5);
    type(QStringLiteral("041607"));
    press(Qt::Key_Return);
    QCOMPARE(dateOrdered(2), QStringLiteral("2007-04-16"));
    // The next part, reached by Tab from "Part Location"; Esc leaves the screen with the date.
    QTest::mouseClick(maint->SSDBCommand1, Qt::LeftButton);
    QCOMPARE(maint->Text1->text(), QStringLiteral("C-300"));
    clickMiddle(maint->Text21);
    press(Qt::Key_Tab);
    type(QStringLiteral("051707"));
    QPointer<MaintScreen> guard(maint);
    press(Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!guard);
    QCOMPARE(dateOrdered(4), QStringLiteral("2007-05-17"));

    // The Date prompt of the usage report: a click in the middle of the empty start box, typing
    // taken up again after a click past what is typed, Tab to the end box, Enter prints.
    RecordingReportControls reports;
    auto* dates = new DateRange;
    dates->show();
    QVERIFY(QTest::qWaitForWindowActive(dates));
    clickMiddle(dates->MaskEdBox1);
    type(QStringLiteral("01"));
    clickRightEnd(dates->MaskEdBox1);
    type(QStringLiteral("152004"));
    press(Qt::Key_Tab);
    type(QStringLiteral("02202004"));
    press(Qt::Key_Return);
    QCOMPARE(reports.runs().size(), 1);
    QCOMPARE(reports.runs()[0].formula,
             std::optional<QString>(QStringLiteral("{PartsUsage.Date Used} >= Date (2004,01,15) and "
                                                   "{PartsUsage.Date Used} <= Date (2004,02,20)")));
    closeAndDelete(dates);

    // The caret left past the first blank (End), the box left, and the focus given back to it by
    // the prompt's refusal: typing goes on from the first blank.
    dates = new DateRange;
    dates->show();
    QVERIFY(QTest::qWaitForWindowActive(dates));
    clickMiddle(dates->MaskEdBox1);
    type(QStringLiteral("01"));
    press(Qt::Key_End);
    press(Qt::Key_Tab);
    prompts.expectMessage();   // "A Starting & Ending Date Is Required": the end box is empty
    press(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), dates->MaskEdBox1);
    type(QStringLiteral("152004"));
    press(Qt::Key_Tab);
    type(QStringLiteral("02202004"));
    press(Qt::Key_Return);
    QCOMPARE(reports.runs().size(), 2);
    QCOMPARE(reports.runs()[1].formula, reports.runs()[0].formula);
    closeAndDelete(dates);

    // The usage screen's date box, reached by Tab from the lane box after a click in the quantity.
    auto* usage = new PartsUsage;
    usage->show();
    QVERIFY(QTest::qWaitForWindowActive(usage));
    QTest::mouseClick(usage->Command2, Qt::LeftButton);   // "&Use This Part" on B-200
    clickMiddle(usage->Text1);
    type(QStringLiteral("1"));
    press(Qt::Key_Tab);
    type(QStringLiteral("9"));
    press(Qt::Key_Tab);
    type(QStringLiteral("3/15/07"));
    press(Qt::Key_Tab);   // leaving the date box shows "&OK" and gives it the focus
    press(Qt::Key_Return);
    QCOMPARE(data.scalar(QStringLiteral("SELECT [Date Used] FROM PartsUsage WHERE [Lane Number]=9")).toString(),
             QStringLiteral("2007-03-15"));
    closeAndDelete(usage);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestEntryBoxes::pricesShowEveryStoredDecimal()
{
    PartsTestData data;
    // B-200: vendor 2 sells at less than half a cent; vendor 3 (book price 10.00) at a special price
    // of less than half a cent. No discounts.
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Price 2]=0.004, [Special Price 3]=0.004 WHERE [Record Number]=2;"
                                     "UPDATE Information SET [Discount 1]='0', [Discount 3]='0'")));
    ScriptedPrompts prompts;   // no price is 0, so nothing may ask for one

    MaintScreen* maint = openScreen();   // B-200
    QVERIFY(QTest::qWaitForWindowActive(maint));
    QCOMPARE(maint->MaskEdBox2->text(), QStringLiteral("$0.004"));
    clickMiddle(maint->MaskEdBox1);
    type(QStringLiteral("0.0625"));
    clickMiddle(maint->MaskEdBox2);   // vendor 1's price left, vendor 2's entered and left
    clickMiddle(maint->Text22);
    QTest::mouseClick(maint->SSDBCommand1, Qt::LeftButton);   // "&Next": B-200 is checked and written
    QTest::mouseClick(maint->SSDBCommand2, Qt::LeftButton);   // and shown again
    QCOMPARE(maint->MaskEdBox1->text(), QStringLiteral("$0.0625"));
    QCOMPARE(maint->MaskEdBox2->text(), QStringLiteral("$0.004"));
    closeAndDelete(maint);
    QCOMPARE(data.part(2, QStringLiteral("Price 1")).toDouble(), 0.0625);
    QCOMPARE(data.part(2, QStringLiteral("Price 2")).toDouble(), 0.004);

    // The ordering screen shows them alike, and the prices that come from them: vendor 1's price
    // without discount, and vendor 3's special price, the price to pay rather than the book price.
    auto* order = new TagParts;
    order->show();
    order->Form_Activate();
    QCOMPARE(order->MaskEdBox11->text(), QStringLiteral("$0.0625"));
    QCOMPARE(order->MaskEdBox14->text(), QStringLiteral("$0.0625"));
    QCOMPARE(order->MaskEdBox12->text(), QStringLiteral("$0.004"));
    QCOMPARE(order->MaskEdBox6->text(), QStringLiteral("$0.004"));
    QCOMPARE(order->MaskEdBox16->text(), QStringLiteral("$0.004"));
    closeAndDelete(order);
    QVERIFY(prompts.verifyAllAnswered());
}

// Every digit and the sign of a price up to $99,999.9999 is seen in its box, on both screens,
// and so are the prices computed from them: no box shows a part of an amount as another amount.
void TestEntryBoxes::amountsShowEveryDigitInTheirBoxes()
{
    PartsTestData data;
    // B-200: prices at the largest, one below 0 (an older file's), and part 03-2230's $1,495.00
    // less 12.5 %, which is $1,308.125.
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Price 1]=-99999.9999, [Special Price 1]=99999.9999, [Price 2]=1495, "
                                     "[Price 3]=12345.6789, [Special Price 3]=1028.8066 WHERE [Record Number]=2;"
                                     "UPDATE Information SET [Discount 1]='0', [Discount 2]='12.5', [Discount 3]='0'")));
    ScriptedPrompts prompts;
    // What the box shows fits inside its frame and the margins a box keeps around its text.
    const auto seenWhole = [](QLineEdit* box) {
        box->grab();   // drawn as on screen
        const qreal text = QFontMetricsF(box->font()).horizontalAdvance(box->text());
        return text + 2 * (2 + 2) + 1 <= box->width();
    };
    MaintScreen* maint = openScreen();
    QVERIFY(QTest::qWaitForWindowExposed(maint));
    QCOMPARE(maint->MaskEdBox1->text(), QStringLiteral("($99,999.9999)"));
    for (QLineEdit* box : {maint->MaskEdBox1, maint->MaskEdBox2, maint->MaskEdBox3})
        QVERIFY2(seenWhole(box), qPrintable(box->objectName() + u' ' + box->text()));
    closeAndDelete(maint);

    auto* order = new TagParts;
    order->show();
    order->Form_Activate();
    QVERIFY(QTest::qWaitForWindowExposed(order));
    QCOMPARE(order->MaskEdBox15->text(), QStringLiteral("$1,308.125"));
    for (QLineEdit* box : {order->MaskEdBox11, order->MaskEdBox12, order->MaskEdBox13, order->MaskEdBox4, order->MaskEdBox5,
                           order->MaskEdBox6, order->MaskEdBox14, order->MaskEdBox15, order->MaskEdBox16, order->MaskEdBox17,
                           order->MaskEdBox18, order->MaskEdBox19})
        QVERIFY2(seenWhole(box), qPrintable(box->objectName() + u' ' + box->text()));
    closeAndDelete(order);
    QVERIFY(prompts.verifyAllAnswered());
}

QTEST_MAIN(TestEntryBoxes)
#include "tst_entryboxes.moc"
