// Turning tags into submitted orders and printing purchase orders from the ordering screen: what
// reaches each part, the exact questions, the 16-bit limit, a failure in the middle of a run, and
// the report files with their A4 twins.

#include "stock/TagParts.h"

#include "data/DataControl.h"
#include "parts/PartsTestData.h"
#include "platform/AppFolder.h"
#include "platform/VendorInformation.h"
#include "reports/PaperSize.h"
#include "support/RecordingReportControl.h"
#include "support/ScriptedPrompts.h"

#include <QCheckBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// Part A (M-500, record 1): 2 tagged and 3 on back order from vendor 1, no default, special price 4.50.
// Part B (B-200, record 2): 1 tagged from vendor 1 and 4 from vendor 2, default 2, special prices
// 9.75 (vendor 2) and 1.25 (vendor 3), no location.
// The other three parts are not tagged; X-900 has 2 on back order from vendor 1.
const char* Tags =
    "UPDATE Parts SET [Quantity Ordered 1]=2, [Back Ordered 1]=3, [Default 1]=0, [Special Price 1]=4.5 "
    "WHERE [Record Number]=1;"
    "UPDATE Parts SET [Quantity Ordered 1]=1, [Quantity Ordered 2]=4, [Special Price 2]=9.75, [Special Price 3]=1.25, "
    "Location=NULL WHERE [Record Number]=2;";

TagParts* openScreen()
{
    auto* screen = new TagParts;
    screen->show();
    screen->Form_Activate();
    return screen;
}

QString today()
{
    return QDate::currentDate().toString(Qt::ISODate);
}

QString confirmation(int vendor)
{
    if (vendor == 0)
        return QStringLiteral("Are you sure you want to convert all tagged parts from all 3 vendor's into 3 submitted parts orders?\r"
                              "By selecting yes, all tagged parts for all 3 vendor's will now be ready to be received in the Receive "
                              "Parts screen");
    return QStringLiteral("Are you sure you want to convert all tagged parts from Vendor # %1 into a submitted parts order?\r"
                          "By selecting yes, all tagged parts for vendor # %1 will now be ready to be received in the Receive "
                          "Parts screen")
        .arg(vendor);
}

void requireAllPartsView(TagParts* s)
{
    QVERIFY(s->MnuShowAll->isChecked());
    QVERIFY(!s->MnuShowNeeded->isChecked() && !s->MnuShowTagged->isChecked());
    QVERIFY(s->Data1->recordset());
    QCOMPARE(s->Data1->recordset()->kind(), Recordset::Kind::Table);
    QCOMPARE(s->Data1->recordSource(), QStringLiteral("Parts"));
    QVERIFY(!s->isListVisible());
    QVERIFY(!s->Command4->isVisibleTo(s));
    QVERIFY(!s->Label[23]->isVisibleTo(s));
}

}  // namespace

class TestTagPartsOrders : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void submitVendor1();
    void submitAll3Vendors();
    void submitAllPassesOverATagBelowZero();
    void submitAllKeepsDefaultsOfAVendorWithoutNumber();
    void nothingTaggedChangesNothing();
    void answeringNoChangesNothing();
    void typedTagIsSubmitted();
    void backOrderBeyond32767SubmitsNothing();
    void failureInTheRunLeavesEveryPartAsItWas();
    void purchaseOrderWithoutTags();
    void purchaseOrderLetterAndA4();
    void purchaseOrderDataEditedFirst();
    void purchaseOrderCountsATypedTag();
};

void TestTagPartsOrders::cleanup()
{
    PaperSize::setA4(false);
    installVendorInformation({});
}

void TestTagPartsOrders::submitVendor1()
{
    PartsTestData data;
    QVERIFY(data.exec(QString::fromLatin1(Tags)));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());

    // B stays tagged for vendor 2, so leaving it asks for its missing location.
    prompts.expectMessage(Prompts::Yes).answerInput(QStringLiteral("b9"));
    s->MnuTagClearOrder1_Click();
    QVERIFY(prompts.verifyAllAnswered());
    const auto question = prompts.messages()[0];
    QCOMPARE(question.text, confirmation(1));
    QCOMPARE(question.style, 292);
    QCOMPARE(question.title, QStringLiteral("Confirm"));
    QVERIFY(question.beepBefore);
    QCOMPARE(prompts.texts(), QStringList({confirmation(1), QStringLiteral("Please enter a location for this part.")}));

    // A: the tag moved onto the back order; vendor 1 is now its one default.
    QCOMPARE(data.part(1, QStringLiteral("Back Ordered 1")).toInt(), 5);
    QCOMPARE(data.part(1, QStringLiteral("Quantity Ordered 1")).toInt(), 0);
    QCOMPARE(data.part(1, QStringLiteral("Special Price 1")).toDouble(), 0.0);
    QCOMPARE(data.part(1, QStringLiteral("Date Ordered")).toString(), today());
    QCOMPARE(data.part(1, QStringLiteral("Default 1")).toInt(), 1);
    QCOMPARE(data.part(1, QStringLiteral("Default 2")).toInt(), 0);

    // B: vendor 1 submitted, vendor 2's tag and special price kept; vendor 1 replaces vendor 2 as default.
    QCOMPARE(data.part(2, QStringLiteral("Back Ordered 1")).toInt(), 1);
    QCOMPARE(data.part(2, QStringLiteral("Quantity Ordered 1")).toInt(), 0);
    QCOMPARE(data.part(2, QStringLiteral("Quantity Ordered 2")).toInt(), 4);
    QCOMPARE(data.part(2, QStringLiteral("Back Ordered 2")).toInt(), 0);
    QCOMPARE(data.part(2, QStringLiteral("Special Price 2")).toDouble(), 9.75);
    QCOMPARE(data.part(2, QStringLiteral("Default 1")).toInt(), 1);
    QCOMPARE(data.part(2, QStringLiteral("Default 2")).toInt(), 0);
    QCOMPARE(data.part(2, QStringLiteral("Location")).toString(), QStringLiteral("B9"));
    QCOMPARE(data.part(2, QStringLiteral("Date Ordered")).toString(), today());

    // Parts not tagged for vendor 1 are untouched.
    QCOMPARE(data.part(5, QStringLiteral("Back Ordered 1")).toInt(), 2);
    QVERIFY(data.part(5, QStringLiteral("Date Ordered")).isNull());
    QCOMPARE(data.part(4, QStringLiteral("Default 1")).toInt(), 1);

    // The screen shows all parts from the table, without an index, on its first record.
    requireAllPartsView(s.get());
    QCOMPARE(s->Data1->recordset()->index(), QString());
    QCOMPARE(s->Data1->recordset()->absolutePosition(), 0);
    QVERIFY(s->SSCommand1->isEnabled());

    // A second run finds nothing more for vendor 1.
    prompts.expectMessage(Prompts::Yes).expectMessage();
    s->MnuTagClearOrder1_Click();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("There are no vendor # 1 parts tagged for order!"));
    QCOMPARE(data.part(1, QStringLiteral("Back Ordered 1")).toInt(), 5);
}

void TestTagPartsOrders::submitAll3Vendors()
{
    PartsTestData data;
    QVERIFY(data.exec(QString::fromLatin1(Tags)));
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Back Ordered 2]=NULL, [Back Ordered 3]=NULL WHERE [Record Number]=1;"
                                     "UPDATE Parts SET Location='A2' WHERE [Record Number]=2")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    prompts.expectMessage(Prompts::Yes);
    s->MnuClearAll3_Click();
    QCOMPARE(prompts.texts(), QStringList({confirmation(0)}));   // nothing stays tagged: no record check asks
    QCOMPARE(prompts.messages()[0].style, 292);

    // A: tagged for vendor 1 only, which has a part number: vendor 1 becomes its default.
    QCOMPARE(data.part(1, QStringLiteral("Back Ordered 1")).toInt(), 5);
    QCOMPARE(data.part(1, QStringLiteral("Default 1")).toInt(), 1);
    QVERIFY(data.part(1, QStringLiteral("Back Ordered 2")).isNull());   // nothing moved there: left alone

    // B: both tags moved, every quantity cleared, defaults as they were. The special prices of the
    // vendors ordered from end with their orders; vendor 3's, with nothing tagged, is kept.
    QCOMPARE(data.part(2, QStringLiteral("Back Ordered 1")).toInt(), 1);
    QCOMPARE(data.part(2, QStringLiteral("Back Ordered 2")).toInt(), 4);
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(data.part(2, QStringLiteral("Quantity Ordered %1").arg(n)).toInt(), 0);
    QCOMPARE(data.part(1, QStringLiteral("Special Price 1")).toDouble(), 0.0);
    QCOMPARE(data.part(2, QStringLiteral("Special Price 2")).toDouble(), 0.0);
    QCOMPARE(data.part(2, QStringLiteral("Special Price 3")).toDouble(), 1.25);
    QCOMPARE(data.part(2, QStringLiteral("Default 2")).toInt(), 1);
    QCOMPARE(data.part(2, QStringLiteral("Default 1")).toInt(), 0);
    QCOMPARE(data.part(2, QStringLiteral("Date Ordered")).toString(), today());
    QVERIFY(data.part(3, QStringLiteral("Date Ordered")).isNull());
    requireAllPartsView(s.get());
}

void TestTagPartsOrders::submitAllPassesOverATagBelowZero()
{
    PartsTestData data;
    // D-400 as an older file may hold it: -3 tagged for vendor 1 (with a special price and 1 on
    // back order), 1 tagged for vendor 2.
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Quantity Ordered 1]=-3, [Special Price 1]=2.5, [Back Ordered 1]=1, "
                                     "[Quantity Ordered 2]=1, [Minimum Stock]=1 WHERE [Record Number]=3")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    prompts.expectMessage(Prompts::Yes);
    s->MnuClearAll3_Click();
    // Vendor 1 had nothing tagged: its back order and special price stay; its tag ends at 0.
    QCOMPARE(data.part(3, QStringLiteral("Back Ordered 1")).toInt(), 1);
    QCOMPARE(data.part(3, QStringLiteral("Special Price 1")).toDouble(), 2.5);
    QCOMPARE(data.part(3, QStringLiteral("Quantity Ordered 1")).toInt(), 0);
    // Vendor 2, the one vendor tagged, is submitted and becomes the default.
    QCOMPARE(data.part(3, QStringLiteral("Back Ordered 2")).toInt(), 1);
    QCOMPARE(data.part(3, QStringLiteral("Default 2")).toInt(), 1);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsOrders::submitAllKeepsDefaultsOfAVendorWithoutNumber()
{
    PartsTestData data;
    // C-300 tagged only for vendor 3, whose part number is empty; its default is vendor 1.
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Part Number 3]=NULL, [Quantity Ordered 3]=2 WHERE [Record Number]=4")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    prompts.expectMessage(Prompts::Yes);
    s->MnuClearAll3_Click();
    QCOMPARE(data.part(4, QStringLiteral("Back Ordered 3")).toInt(), 2);
    QCOMPARE(data.part(4, QStringLiteral("Quantity Ordered 3")).toInt(), 0);
    QCOMPARE(data.part(4, QStringLiteral("Default 1")).toInt(), 1);
    QCOMPARE(data.part(4, QStringLiteral("Default 3")).toInt(), 0);
}

void TestTagPartsOrders::nothingTaggedChangesNothing()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Quantity Ordered 1]=1 WHERE [Record Number]=5")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    s->MnuShowTagged_Click();
    QVERIFY(!s->SSCommand1->isEnabled());

    prompts.expectMessage(Prompts::Yes).expectMessage();
    s->MnuTagClearOrder2_Click();
    const auto notice = prompts.messages().last();
    QCOMPARE(notice.text, QStringLiteral("There are no vendor # 2 parts tagged for order!"));
    QCOMPARE(notice.style, 0);
    QCOMPARE(notice.title, QString());
    QCOMPARE(data.scalar(QStringLiteral("SELECT count(*) FROM Parts WHERE [Date Ordered] IS NOT NULL")).toInt(), 1);
    QCOMPARE(data.part(5, QStringLiteral("Quantity Ordered 1")).toInt(), 1);
    // The screen is brought into the all-parts view whole, with Retrieve working on the table.
    requireAllPartsView(s.get());
    QVERIFY(s->SSCommand1->isEnabled());

    // Nothing tagged at all.
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Quantity Ordered 1]=0")));
    prompts.expectMessage(Prompts::Yes).expectMessage();
    s->MnuClearAll3_Click();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("There are no parts tagged for order!"));
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsOrders::answeringNoChangesNothing()
{
    PartsTestData data;
    QVERIFY(data.exec(QString::fromLatin1(Tags)));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    s->Text3->setText(QStringLiteral("7"));   // typed into B-200, not saved
    prompts.expectMessage(Prompts::No);
    s->MnuClearAll3_Click();
    QCOMPARE(data.part(2, QStringLiteral("Quantity Ordered 3")).toInt(), 0);   // not even the current part
    QCOMPARE(data.part(1, QStringLiteral("Back Ordered 1")).toInt(), 3);
    QCOMPARE(s->Text3->text(), QStringLiteral("7"));
    QCOMPARE(s->Data1->recordset()->index(), QStringLiteral("inv1"));
    QCOMPARE(prompts.texts().size(), 1);
    s->Data1->reloadBoundControls();
}

void TestTagPartsOrders::typedTagIsSubmitted()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    QCOMPARE(s->Label[6]->text(), QStringLiteral("B-200"));
    s->Text3->setText(QStringLiteral("6"));
    prompts.expectMessage(Prompts::Yes);
    s->MnuTagClearOrder3_Click();
    QCOMPARE(data.part(2, QStringLiteral("Back Ordered 3")).toInt(), 6);
    QCOMPARE(data.part(2, QStringLiteral("Quantity Ordered 3")).toInt(), 0);
    QCOMPARE(data.part(2, QStringLiteral("Default 3")).toInt(), 1);
    QCOMPARE(data.part(2, QStringLiteral("Default 2")).toInt(), 0);
}

void TestTagPartsOrders::backOrderBeyond32767SubmitsNothing()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral(
        "UPDATE Parts SET [Quantity Ordered 1]=2, [Back Ordered 1]=7 WHERE [Record Number]=2;"
        "UPDATE Parts SET [Quantity Ordered 1]=1, [Back Ordered 1]=32767 WHERE [Record Number]=4;")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    prompts.expectMessage(Prompts::Yes).expectMessage();
    s->MnuTagClearOrder1_Click();
    const auto refusal = prompts.messages().last();
    QCOMPARE(refusal.text,
             QStringLiteral("Nothing has been submitted. These parts cannot be submitted:\r"
                            "C-300 (vendor # 1: the back order would be 32768 packages, more than 32767)\r"
                            "Please correct their quantities and try again."));
    QCOMPARE(refusal.style, 48);
    // Neither part changed: the order goes whole or not at all.
    QCOMPARE(data.part(4, QStringLiteral("Back Ordered 1")).toInt(), 32767);
    QCOMPARE(data.part(4, QStringLiteral("Quantity Ordered 1")).toInt(), 1);
    QCOMPARE(data.part(2, QStringLiteral("Back Ordered 1")).toInt(), 7);
    QCOMPARE(data.part(2, QStringLiteral("Quantity Ordered 1")).toInt(), 2);
    QCOMPARE(data.scalar(QStringLiteral("SELECT count(*) FROM Parts WHERE [Date Ordered] IS NOT NULL")).toInt(), 1);
    requireAllPartsView(s.get());

    // Exactly 32767 fits.
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Back Ordered 1]=32766 WHERE [Record Number]=4")));
    prompts.expectMessage(Prompts::Yes);
    s->MnuTagClearOrder1_Click();
    QCOMPARE(data.part(4, QStringLiteral("Back Ordered 1")).toInt(), 32767);
    QCOMPARE(data.part(2, QStringLiteral("Back Ordered 1")).toInt(), 9);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsOrders::failureInTheRunLeavesEveryPartAsItWas()
{
    PartsTestData data;
    QVERIFY(data.exec(QString::fromLatin1(Tags)));
    QVERIFY(data.exec(QStringLiteral(
        "UPDATE Parts SET Location='A2' WHERE [Record Number]=2;"
        "CREATE TRIGGER refuse BEFORE UPDATE ON Parts WHEN OLD.[Record Number] = 2 "
        "BEGIN SELECT RAISE(ABORT, 'the disk refused the write'); END;")));
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    prompts.expectMessage(Prompts::Yes).expectMessage();
    s->MnuTagClearOrder1_Click();
    const auto told = prompts.messages().last();
    QVERIFY2(told.text.startsWith(QStringLiteral("The tagged parts could not be submitted: ")), qPrintable(told.text));
    QVERIFY(told.text.contains(QStringLiteral("the disk refused the write")));
    QVERIFY(told.text.endsWith(QStringLiteral("\rNothing has been submitted.")));
    QCOMPARE(told.style, 48);
    // Part A was written before B failed; the whole run was undone.
    QCOMPARE(data.part(1, QStringLiteral("Back Ordered 1")).toInt(), 3);
    QCOMPARE(data.part(1, QStringLiteral("Quantity Ordered 1")).toInt(), 2);
    QCOMPARE(data.part(1, QStringLiteral("Date Ordered")).toString(), QStringLiteral("2004-01-15"));
    QCOMPARE(data.part(2, QStringLiteral("Quantity Ordered 1")).toInt(), 1);
    requireAllPartsView(s.get());
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsOrders::purchaseOrderWithoutTags()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Quantity Ordered 1]=2 WHERE [Record Number]=1")));
    RecordingReportControls reports;
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    s->MnuShowTagged_Click();

    prompts.expectMessage();
    s->MnuTagOrder2_Click();
    QCOMPARE(prompts.texts().size(), 1);   // the notice, no question
    const auto notice = prompts.messages()[0];
    QCOMPARE(notice.text, QStringLiteral("There are no parts currently tagged for vendor # 2"));
    QCOMPARE(notice.style, 0);
    QCOMPARE(notice.title, QString());
    QVERIFY(!notice.beepBefore);
    QCOMPARE(reports.runs().size(), 0);
    requireAllPartsView(s.get());
    QCOMPARE(s->Data1->recordset()->index(), QString());
    QVERIFY(!s->SSCommand1->isEnabled());   // left as the tagged view had it
}

void TestTagPartsOrders::purchaseOrderLetterAndA4()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Quantity Ordered 1]=2 WHERE [Record Number]=1")));
    RecordingReportControls reports;
    ScriptedPrompts prompts;
    bool informationOpened = false;
    installVendorInformation([&](int) { informationOpened = true; });
    std::unique_ptr<TagParts> s(openScreen());

    prompts.expectMessage(Prompts::No);
    s->MnuTagOrder1_Click();
    const auto question = prompts.messages()[0];
    QCOMPARE(question.text, QStringLiteral("Do you want to modify any of the purchase order data such as the PO number?"));
    QCOMPARE(question.style, 4);
    QCOMPARE(question.title, QStringLiteral("Purchase Order Information"));
    QVERIFY(!informationOpened);
    QCOMPARE(reports.runs().size(), 1);
    QCOMPARE(reports.runs()[0].file, AppFolder::join(QStringLiteral("\\order1.rpt")));
    QVERIFY(!reports.runs()[0].formula);
    QVERIFY(reports.runs()[0].sortFields.isEmpty());
    requireAllPartsView(s.get());

    // Printing clears no tag: the same order prints again, on A4 now.
    QCOMPARE(data.part(1, QStringLiteral("Quantity Ordered 1")).toInt(), 2);
    PaperSize::setA4(true);
    prompts.expectMessage(Prompts::No);
    s->MnuTagOrder1_Click();
    QCOMPARE(reports.runs().size(), 2);
    QCOMPARE(reports.runs()[1].file, AppFolder::join(QStringLiteral("\\order1A4.rpt")));
    QVERIFY(prompts.verifyAllAnswered());
}

void TestTagPartsOrders::purchaseOrderDataEditedFirst()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Quantity Ordered 3]=1 WHERE [Record Number]=4")));
    RecordingReportControls reports;
    ScriptedPrompts prompts;
    QList<int> tabs;
    int runsWhileOpen = -1;
    // The user switches the paper to A4 while the information window is open.
    installVendorInformation([&](int vendor) {
        tabs << vendor;
        runsWhileOpen = reports.runs().size();
        PaperSize::setA4(true);
    });
    std::unique_ptr<TagParts> s(openScreen());
    prompts.expectMessage(Prompts::Yes);
    s->MnuTagOrder3_Click();
    QCOMPARE(tabs, QList<int>({3}));
    QCOMPARE(runsWhileOpen, 0);   // the report waits for the window
    QCOMPARE(reports.runs().size(), 1);
    QCOMPARE(reports.runs()[0].file, AppFolder::join(QStringLiteral("\\order3A4.rpt")));
    requireAllPartsView(s.get());
}

void TestTagPartsOrders::purchaseOrderCountsATypedTag()
{
    PartsTestData data;
    RecordingReportControls reports;
    ScriptedPrompts prompts;
    std::unique_ptr<TagParts> s(openScreen());
    s->Text2->setText(QStringLiteral("2"));   // B-200, vendor 2, just typed
    prompts.expectMessage(Prompts::No);
    s->MnuTagOrder2_Click();
    QCOMPARE(reports.runs().size(), 1);
    QCOMPARE(reports.runs()[0].file, AppFolder::join(QStringLiteral("\\order2.rpt")));
    QCOMPARE(data.part(2, QStringLiteral("Quantity Ordered 2")).toInt(), 2);
}

QTEST_MAIN(TestTagPartsOrders)
#include "tst_tagparts_orders.moc"
