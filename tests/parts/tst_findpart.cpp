// The find-part window for each of its four openers: what it seeks, where it leaves the opener,
// and that it never outlives the screen that opened it.

#include "parts/FindPartWindow.h"
#include "parts/MaintScreen.h"

#include "PartsTestData.h"
#include "data/DataControl.h"
#include "data/Schema.h"
#include "support/ScriptedPrompts.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

namespace {

// The least a screen needs to open the window: its parts on inv1, and three focus targets.
class TestOpener : public QWidget, public FindPartOpener {
public:
    explicit TestOpener(bool focusTargets = true)
        : m_focusTargets(focusTargets)
    {
        Data1 = new DataControl(this);
        Data1->setDatabaseName(InventoryDatabasePath());
        Data1->setRecordSource(QStringLiteral("Parts"));
        Data1->refresh();
        Data1->recordset()->setIndex(QStringLiteral("inv1"));
        Data1->recordset()->moveFirst();
        for (int i = 0; i < 3; ++i)
            targets[i] = new QLineEdit(this);
        show();
    }
    QWidget* findPartOpenerWindow() override { return this; }
    DataControl* findPartDataControl() override { return Data1; }
    QWidget* findPartFocusTarget(int vendor) override { return m_focusTargets ? targets[vendor - 1] : nullptr; }

    int current() const { return Data1->recordset()->value(QStringLiteral("Record Number")).toInt(); }
    QString index() const { return Data1->recordset()->index(); }

    DataControl* Data1;
    QLineEdit* targets[3];

private:
    bool m_focusTargets;
};

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

Q_DECLARE_METATYPE(FindPartMember)

class TestFindPart : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void membersDiffer_data();
    void membersDiffer();
    void seeksEveryFilledBoxInTurn();
    void notFoundGoesToFirstRecordOfThatOrder();
    void textIsSoughtAsTyped();
    void exitEscAndCloseBoxReleaseTheOpener();
    void openerWithoutVendorIndex();
    void windowClosesWithItsOpener();
    void maintenanceScreenRetrieve();
};

void TestFindPart::membersDiffer_data()
{
    QTest::addColumn<FindPartMember>("member");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("heading");
    QTest::addColumn<bool>("disables");
    QTest::addColumn<int>("kindLeft");
    QTest::addColumn<QString>("notFound");
    QTest::newRow("maintenance") << FindPartMember::maintenance() << "Search Window" << false << true
                                 << int(Recordset::Kind::Dynaset) << "Sorry, I couldn't find this part number!";
    QTest::newRow("ordering") << FindPartMember::ordering() << "Retrieve Part Number" << true << true
                              << int(Recordset::Kind::Dynaset) << "Sorry, I couldn't find that part number!";
    QTest::newRow("stock input") << FindPartMember::stockInput() << "Retrieve Part Number" << true << true
                                 << int(Recordset::Kind::Table) << "Sorry, I couldn't find that part number!";
    QTest::newRow("usage") << FindPartMember::usage() << "Retrieve Part Number" << true << false
                           << int(Recordset::Kind::Table) << "Sorry, I couldn't find that part number!";
}

void TestFindPart::membersDiffer()
{
    QFETCH(FindPartMember, member);
    QFETCH(QString, caption);
    QFETCH(bool, heading);
    QFETCH(bool, disables);
    QFETCH(int, kindLeft);
    QFETCH(QString, notFound);
    QCOMPARE(member.notFoundText, notFound);

    PartsTestData data;
    ScriptedPrompts prompts;
    TestOpener opener(disables);
    QPointer<FindPartWindow> slot;
    QPointer<FindPartWindow> window = FindPartWindow::RetrievePart(&opener, member, slot);
    QVERIFY(window);
    QCOMPARE(window.data(), slot.data());
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->SSFrame1->title(), QStringLiteral("Vendor"));
    QCOMPARE(window->Label5->isVisibleTo(window), heading);
    QCOMPARE(window->Label2->text(), QStringLiteral("AMF"));
    QCOMPARE(window->Label4->text(), QStringLiteral("OTHER"));
    QCOMPARE(window->Text1->text(), QString());
    QCOMPARE(window->focusWidget(), window->Text1);
    QCOMPARE(opener.isEnabled(), !disables);

    window->Text1->setText(QStringLiteral("C"));
    window->Command1->click();
    flushDeletes();
    QVERIFY(!window);
    QCOMPARE(opener.current(), 4);   // C-300
    QVERIFY(opener.isEnabled());
    QCOMPARE(int(opener.Data1->recordsetType()), kindLeft);
    QCOMPARE(opener.Data1->recordset()->kind(), Recordset::Kind::Table);   // applied at the next re-read only
    if (disables)
        QCOMPARE(opener.focusWidget(), opener.targets[0]);
    QCOMPARE(prompts.log().size(), 0);
}

void TestFindPart::seeksEveryFilledBoxInTurn()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    TestOpener opener;
    QPointer<FindPartWindow> slot;
    FindPartWindow::RetrievePart(&opener, FindPartMember::ordering(), slot);
    slot->Text1->setText(QStringLiteral("B"));
    slot->Text3->setText(QStringLiteral("Z"));
    QTest::keyClick(slot->Text3, Qt::Key_Return);   // Enter in a box searches
    flushDeletes();
    QVERIFY(!slot);
    // The highest filled box decides: ZZ-1 on vendor 3's index.
    QCOMPARE(opener.current(), 4);
    QCOMPARE(opener.index(), QStringLiteral("inv3"));
    QCOMPARE(opener.focusWidget(), opener.targets[2]);
    QCOMPARE(prompts.log().size(), 0);
}

void TestFindPart::notFoundGoesToFirstRecordOfThatOrder()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    TestOpener opener;
    QPointer<FindPartWindow> slot;
    FindPartWindow::RetrievePart(&opener, FindPartMember::stockInput(), slot);
    slot->Text2->setText(QStringLiteral("ZZZ"));
    prompts.expectMessage();
    slot->Command1->click();
    QCOMPARE(prompts.messages().size(), 1);
    QCOMPARE(prompts.messages()[0].text, QStringLiteral("Sorry, I couldn't find that part number!"));
    QCOMPARE(prompts.messages()[0].style, 0);
    QCOMPARE(prompts.messages()[0].title, QString());
    // The first part in vendor 2's order: one without a vendor-2 number, stored first.
    QCOMPARE(opener.index(), QStringLiteral("inv2"));
    QCOMPARE(opener.current(), 1);
    QVERIFY(opener.isEnabled());

    // All boxes empty, after that failed search: nothing to seek, so nothing happens at all.
    FindPartWindow::RetrievePart(&opener, FindPartMember::stockInput(), slot);
    opener.Data1->recordset()->moveLast();
    const int last = opener.current();
    QVERIFY(last != 1);
    slot->Command1->click();
    flushDeletes();
    QVERIFY(slot);
    QCOMPARE(prompts.messages().size(), 1);
    QCOMPARE(opener.current(), last);
    slot->Command2->click();
    QVERIFY(prompts.verifyAllAnswered());
}

void TestFindPart::textIsSoughtAsTyped()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    TestOpener opener;
    QPointer<FindPartWindow> slot;
    FindPartWindow::RetrievePart(&opener, FindPartMember::ordering(), slot);
    QTest::keyClicks(slot->Text2, QStringLiteral("abc"));
    QCOMPARE(slot->Text2->text(), QStringLiteral("abc"));   // not upper-cased
    slot->Command1->click();
    QCOMPARE(opener.current(), 3);                          // ABC-7: letter case does not matter

    // A leading blank is part of the text: " ABC" comes before every number.
    FindPartWindow::RetrievePart(&opener, FindPartMember::ordering(), slot);
    slot->Text2->setText(QStringLiteral(" ABC"));
    slot->Command1->click();
    QCOMPARE(opener.current(), 2);                          // 2B-2, the first vendor-2 number

    // Fourteen characters at most are typed; the seek lands on what equals or follows them.
    FindPartWindow::RetrievePart(&opener, FindPartMember::ordering(), slot);
    QTest::keyClicks(slot->Text2, QStringLiteral("ABC-7XXXXXXXXXXXX"));
    QCOMPARE(slot->Text2->text(), QStringLiteral("ABC-7XXXXXXXXX"));
    slot->Text2->setText(QStringLiteral("ABC-6999999999"));
    slot->Command1->click();
    QCOMPARE(opener.current(), 3);
    QCOMPARE(prompts.log().size(), 0);
}

void TestFindPart::exitEscAndCloseBoxReleaseTheOpener()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    TestOpener opener;
    QPointer<FindPartWindow> slot;

    FindPartWindow::RetrievePart(&opener, FindPartMember::maintenance(), slot);
    QVERIFY(!opener.isEnabled());
    slot->Text1->setText(QStringLiteral("X"));
    slot->Command2->click();   // "E&xit": no seek
    flushDeletes();
    QVERIFY(!slot);
    QVERIFY(opener.isEnabled());
    QCOMPARE(opener.current(), 2);
    QCOMPARE(opener.Data1->recordsetType(), Recordset::Kind::Table);

    FindPartWindow::RetrievePart(&opener, FindPartMember::maintenance(), slot);
    QTest::keyClick(slot->Text1, Qt::Key_Escape);
    flushDeletes();
    QVERIFY(!slot);
    QVERIFY(opener.isEnabled());

    FindPartWindow::RetrievePart(&opener, FindPartMember::maintenance(), slot);
    slot->close();   // the close box
    flushDeletes();
    QVERIFY(!slot);
    QVERIFY(opener.isEnabled());
    QCOMPARE(prompts.log().size(), 0);
}

void TestFindPart::openerWithoutVendorIndex()
{
    PartsTestData data;
    TestOpener opener;
    opener.Data1->recordset()->setIndex(QStringLiteral("location"));
    QPointer<FindPartWindow> slot;
    // The usage screen opens nothing then.
    QVERIFY(!FindPartWindow::RetrievePart(&opener, FindPartMember::usage(), slot));
    // The others fall back to vendor 1's index and box.
    FindPartWindow::RetrievePart(&opener, FindPartMember::ordering(), slot);
    QVERIFY(slot);
    QCOMPARE(opener.index(), QStringLiteral("inv1"));
    QCOMPARE(slot->focusWidget(), slot->Text1);
    slot->close();
    flushDeletes();

    // On vendor 2's order box 2 is focused; the usage window open already comes forward with its texts.
    opener.Data1->recordset()->setIndex(QStringLiteral("inv2"));
    FindPartWindow* first = FindPartWindow::RetrievePart(&opener, FindPartMember::usage(), slot);
    QCOMPARE(slot->focusWidget(), slot->Text2);
    slot->Text3->setText(QStringLiteral("KEEP"));
    opener.Data1->recordset()->setIndex(QStringLiteral("inv3"));
    QCOMPARE(FindPartWindow::RetrievePart(&opener, FindPartMember::usage(), slot), first);
    QCOMPARE(slot->Text3->text(), QStringLiteral("KEEP"));
    QCOMPARE(slot->focusWidget(), slot->Text3);
    slot->close();
}

void TestFindPart::windowClosesWithItsOpener()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    QPointer<FindPartWindow> slot;
    {
        TestOpener opener;
        FindPartWindow::RetrievePart(&opener, FindPartMember::usage(), slot);
        slot->Text1->setText(QStringLiteral("C"));
        opener.close();
        flushDeletes();
        QVERIFY(!slot);
    }
    {
        auto* opener = new TestOpener;
        FindPartWindow::RetrievePart(opener, FindPartMember::usage(), slot);
        FindPartWindow* window = slot;
        delete opener;
        flushDeletes();
        QVERIFY(!slot);
        Q_UNUSED(window);
    }
    QCOMPARE(prompts.log().size(), 0);
}

void TestFindPart::maintenanceScreenRetrieve()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    auto* screen = new MaintScreen;
    screen->show();
    screen->Form_Activate();

    screen->SSCommand1_Click();
    QPointer<FindPartWindow> window = screen->findWindow();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Search Window"));
    QVERIFY(!screen->isEnabled());
    QTest::keyClicks(window->Text1, QStringLiteral("c-3"));
    window->Command1->click();
    flushDeletes();
    QVERIFY(!window);
    QVERIFY(screen->isEnabled());
    QCOMPARE(screen->Text1->text(), QStringLiteral("C-300"));
    QCOMPARE(screen->focusWidget(), screen->Text1);
    QCOMPARE(screen->Data1->recordsetType(), Recordset::Kind::Dynaset);
    // Disabled and enabled again by the window, the screen keeps its menus as they were.
    QVERIFY(!screen->MnuMaintScreenPrint->menuAction()->isEnabled());
    QVERIFY(screen->MnuMaintSort->menuAction()->isEnabled());

    // Deleting re-reads Data1 as a query result; Retrieve then reopens the table on vendor 1.
    prompts.expectMessage(Prompts::Yes);
    screen->SSCommand3_Click();
    QCOMPARE(screen->Data1->recordset()->kind(), Recordset::Kind::Dynaset);
    screen->SSCommand1_Click();
    window = screen->findWindow();
    QVERIFY(window);
    QCOMPARE(screen->Data1->recordset()->kind(), Recordset::Kind::Table);
    QCOMPARE(screen->Data1->recordset()->index(), QStringLiteral("inv1"));
    QCOMPARE(window->focusWidget(), window->Text1);

    // The screen closing takes its window with it; nothing is sought on a closed screen.
    window->Text1->setText(QStringLiteral("X"));
    QPointer<MaintScreen> guard(screen);
    screen->close();
    flushDeletes();
    QVERIFY(!window);
    QVERIFY(!guard);
    QVERIFY(prompts.verifyAllAnswered());
}

QTEST_MAIN(TestFindPart)
#include "tst_findpart.moc"
