// The receiving screen on a real Inventory.mdb: the views and widths, partial and full receipts per
// vendor with their messages, what is and is not saved, the tab change, the location box, and the
// colour menu.

#include "stock/ReceiveParts.h"

#include "colours/ColorScheme.h"
#include "data/DataControl.h"
#include "parts/PartsTestData.h"
#include "platform/MainWindowLock.h"
#include "stock/RecordGrid.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPrompts.h"

#include <QAction>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

namespace {

ReceiveParts* openScreen()
{
    auto* screen = new ReceiveParts;
    screen->show();
    return screen;
}

void closeScreen(ReceiveParts* screen)
{
    QPointer<ReceiveParts> guard(screen);
    screen->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!guard);
}

void selectVendorTab(ReceiveParts* screen, int vendor)
{
    screen->SSTab1->setCurrentIndex(vendor - 1);
}

void leave(QWidget* box)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &out);
}

QString currentPartNumber(ReceiveParts* screen)
{
    return screen->tab(1).partNumber[0]->text();
}

RecordGrid* gridOf(ReceiveParts* screen, int vendor)
{
    RecordGrid* grids[3] = {screen->SSDBGrid1, screen->SSDBGrid2, screen->SSDBGrid3};
    return grids[vendor - 1];
}

QPushButton* fullReceiptOf(ReceiveParts* screen, int vendor)
{
    QPushButton* buttons[3] = {screen->Command8, screen->Command10, screen->Command9};
    return buttons[vendor - 1];
}

}  // namespace

class TestReceiveParts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensOnAllParts();
    void receivesPerVendor_data();
    void receivesPerVendor();
    void refusalsSaveNothing_data();
    void refusalsSaveNothing();
    void negativeCountBooksNothingButSaves();
    void onlyWholePackagesOfSomePartsAreBooked();
    void noBackOrdersKeepsTheView();
    void leavingTheReceivedBoxBooks();
    void tabChangeReturnsToAllPartsAndKeepsLocation();
    void locationIsUpperCasedAndStored();
    void fullReceipt();
    void fullReceiptSkipsWhatCannotBeBookedAndEnds();
    void fullReceiptOfALargeBackOrder();
    void exitGivesTheMainWindowBack();
    void colourMenu();
};

void TestReceiveParts::opensOnAllParts()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Information SET [Name 1]='PINSETTER SUPPLY', [Name 2]='LANE PARTS INC', "
                                     "[Name 3]='THIRD VENDOR'")));
    ScriptedPrompts prompts;
    ReceiveParts* s = openScreen();
    QCOMPARE(s->windowTitle(), QStringLiteral("Receive Parts"));
    QCOMPARE(s->windowWidthTwips(), 8235);
    QCOMPARE(s->SSTab1->currentIndex(), 0);
    QCOMPARE(s->SSTab1->tabText(1), QStringLiteral("Vendor # 2"));
    QVERIFY(s->Command4->isDefault());
    QCOMPARE(s->backOrderVendor(), 0);
    // Stored order: the first part of the table.
    QCOMPARE(currentPartNumber(s), QStringLiteral("M-500"));
    for (int n = 1; n <= 3; ++n) {
        QVERIFY(!gridOf(s, n)->isVisibleTo(s));
        QVERIFY(!fullReceiptOf(s, n)->isVisibleTo(s));
        QVERIFY(!s->tab(n).showBackOrders->isHidden());
    }
    QVERIFY(!s->Command2->isVisibleTo(s));

    // Headings from Information: the tab vendor's name, the makes over each row.
    QCOMPARE(s->tab(1).heading->text(), QStringLiteral("PINSETTER SUPPLY"));
    QCOMPARE(s->tab(3).heading->text(), QStringLiteral("THIRD VENDOR"));
    QCOMPARE(s->tab(2).vendor[0]->text(), QStringLiteral("AMF"));
    QCOMPARE(s->tab(2).vendor[2]->text(), QStringLiteral("OTHER"));

    // On each tab only the tab vendor's received box and the location take input.
    for (int n = 1; n <= 3; ++n) {
        const ReceiveParts::TabControls& t = s->tab(n);
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(t.received[row]->isReadOnly(), row != n - 1);
            QVERIFY(t.partNumber[row]->isReadOnly() && t.backOrder[row]->isReadOnly());
        }
        QVERIFY(!t.location->isReadOnly());
        QVERIFY(t.inStock->isReadOnly() && t.description->isReadOnly());
    }
    QCOMPARE(s->Text4->toolTip(), QStringLiteral("Enter the number of parts you received"));
    QCOMPARE(s->Text42->text(), QStringLiteral("1"));
    QCOMPARE(s->Text10->text(), QStringLiteral("3"));
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestReceiveParts::receivesPerVendor_data()
{
    QTest::addColumn<int>("vendor");
    QTest::newRow("vendor 1") << 1;
    QTest::newRow("vendor 2") << 2;
    QTest::newRow("vendor 3") << 3;
}

void TestReceiveParts::receivesPerVendor()
{
    QFETCH(int, vendor);
    PartsTestData data;
    // B-200 (record 2) has part numbers for all three vendors.
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Back Ordered 1]=0, [Back Ordered %1]=3, [Package %1]=12, "
                                     "[In Stock]=5 WHERE [Record Number]=2;"
                                     "UPDATE Parts SET [Back Ordered 1]=0, [Back Ordered %1]=4 WHERE [Record Number]=4;"
                                     "UPDATE Parts SET [Back Ordered 1]=0 WHERE [Record Number]=5;")
                          .arg(vendor)));
    ScriptedPrompts prompts;
    ReceiveParts* s = openScreen();
    selectVendorTab(s, vendor);
    const ReceiveParts::TabControls& t = s->tab(vendor);
    QVERIFY(t.ok->isDefault());

    t.showBackOrders->click();
    QCOMPARE(s->backOrderVendor(), vendor);
    QCOMPARE(s->windowWidthTwips(), 11400);
    QVERIFY(gridOf(s, vendor)->isVisibleTo(s));
    QVERIFY(fullReceiptOf(s, vendor)->isVisibleTo(s));
    QVERIFY(s->Command2->isVisibleTo(s));
    QVERIFY(!t.showBackOrders->isVisibleTo(s));
    QCOMPARE(s->Data1->recordSource(),
             QStringLiteral("Select * from Parts where [Back Ordered %1] >= 1 ORDER BY [Part Number %1] ASC").arg(vendor));
    QCOMPARE(gridOf(s, vendor)->caption(), QStringLiteral("Back Orders"));
    QCOMPARE(gridOf(s, vendor)->model()->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("Part Number %1").arg(vendor));
    QCOMPARE(gridOf(s, vendor)->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Date Ordered"));
    QCOMPARE(gridOf(s, vendor)->model()->rowCount(), 2);

    // Stand on B-200 by choosing its row in the list.
    const int row = currentPartNumber(s) == QStringLiteral("B-200") ? 0 : 1;
    gridOf(s, vendor)->selectRow(row);
    QCOMPARE(currentPartNumber(s), QStringLiteral("B-200"));

    // Partial receipt: 2 of 3 packages; the part stays listed.
    QLineEdit* received = t.received[vendor - 1];
    received->selectAll();
    QTest::keyClicks(received, QStringLiteral("2"));
    t.ok->click();
    QCOMPARE(data.part(2, QStringLiteral("Back Ordered %1").arg(vendor)).toInt(), 1);
    QCOMPARE(data.part(2, "In Stock").toInt(), 29);
    QCOMPARE(data.part(2, QStringLiteral("Received %1").arg(vendor)).toInt(), 0);
    QCOMPARE(gridOf(s, vendor)->model()->rowCount(), 2);
    QCOMPARE(received->text(), QStringLiteral("0"));

    // The rest: the part leaves the list and the remaining one becomes current.
    gridOf(s, vendor)->selectRow(currentPartNumber(s) == QStringLiteral("B-200") ? 0 : 1);
    QCOMPARE(currentPartNumber(s), QStringLiteral("B-200"));
    received->setText(QStringLiteral("1"));
    t.ok->click();
    QCOMPARE(data.part(2, QStringLiteral("Back Ordered %1").arg(vendor)).toInt(), 0);
    QCOMPARE(data.part(2, "In Stock").toInt(), 41);
    QCOMPARE(gridOf(s, vendor)->model()->rowCount(), 1);
    QCOMPARE(currentPartNumber(s), QStringLiteral("C-300"));

    // Show All Parts: every part again, narrow window.
    s->Command2->click();
    QCOMPARE(s->windowWidthTwips(), 8235);
    QCOMPARE(s->Data1->recordSource(), QStringLiteral("Select * from Parts"));
    QVERIFY(!gridOf(s, vendor)->isVisibleTo(s));
    QVERIFY(t.showBackOrders->isVisibleTo(s));
    QCOMPARE(s->Data1->recordset()->recordCount(), 5);
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestReceiveParts::refusalsSaveNothing_data()
{
    QTest::addColumn<int>("vendor");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("style");
    QTest::newRow("vendor 1 more") << 1 << "4" << "You can not receive more than is on backorder!" << 0;
    QTest::newRow("vendor 2 more") << 2 << "4" << "You can not receive more than is on backorder" << 0;
    QTest::newRow("vendor 3 more") << 3 << "2.5" << "You can not receive more than is on backorder" << 0;
    QTest::newRow("not a number") << 1 << "x" << "\"x\" is not a number. Please enter the number of packages you received." << 48;
    QTest::newRow("stock would overflow") << 1 << "3"
                                          << "Nothing was received: the count in stock would go beyond 32767, the largest "
                                             "number this screen can book."
                                          << 48;
    QTest::newRow("empty package") << 2 << "1"
                                   << "Nothing was received: this part's package quantity for vendor # 2 is empty or is not "
                                      "a number. Please correct it on the maintenance screen first."
                                   << 48;
}

void TestReceiveParts::refusalsSaveNothing()
{
    QFETCH(int, vendor);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(int, style);
    PartsTestData data;
    const bool overflow = QTest::currentDataTag() == QByteArray("stock would overflow");
    const bool noPackage = QTest::currentDataTag() == QByteArray("empty package");
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Back Ordered %1]=%2, [Package %1]=%4, [In Stock]=%3 "
                                     "WHERE [Record Number]=1")
                          .arg(vendor)
                          .arg(overflow ? 3 : 2)
                          .arg(overflow ? 32740 : 5)
                          .arg(noPackage ? QStringLiteral("NULL") : QStringLiteral("12"))));
    ScriptedPrompts prompts;
    ReceiveParts* s = openScreen();
    selectVendorTab(s, vendor);
    QCOMPARE(currentPartNumber(s), QStringLiteral("M-500"));
    s->tab(vendor).location->setText(QStringLiteral("Z9"));   // typed, not yet saved
    QLineEdit* received = s->tab(vendor).received[vendor - 1];
    received->setText(typed);
    prompts.expectMessage();
    s->tab(vendor).ok->click();
    QCOMPARE(prompts.messages().size(), 1);
    QCOMPARE(prompts.messages()[0].text, message);
    QCOMPARE(prompts.messages()[0].style, style);
    QCOMPARE(prompts.messages()[0].title, QString());
    QCOMPARE(received->text(), QStringLiteral("0"));
    QCOMPARE(received->selectedText(), QStringLiteral("0"));
    // Nothing saved: counts and the typed location are still only on screen.
    QCOMPARE(data.part(1, QStringLiteral("Back Ordered %1").arg(vendor)).toInt(), overflow ? 3 : 2);
    QCOMPARE(data.part(1, "In Stock").toInt(), overflow ? 32740 : 5);
    QCOMPARE(data.part(1, "Location").toString(), QStringLiteral("A1"));
    QCOMPARE(currentPartNumber(s), QStringLiteral("M-500"));
    // The box now shows 0: pressing OK again is a booking of nothing, without a message. It saves
    // the part (with its location) when the part can take a booking at all.
    s->tab(vendor).ok->click();
    QCOMPARE(prompts.messages().size(), 1);
    QCOMPARE(data.part(1, "Location").toString(), noPackage ? QStringLiteral("A1") : QStringLiteral("Z9"));
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestReceiveParts::negativeCountBooksNothingButSaves()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Back Ordered 1]=3, [Package 1]=12, [In Stock]=5 WHERE [Record Number]=3")));
    ScriptedPrompts prompts;
    ReceiveParts* s = openScreen();
    s->Data1->recordset()->moveToPosition(2);   // D-400, record 3
    QCOMPARE(currentPartNumber(s), QStringLiteral("D-400"));
    s->Text39->setText(QStringLiteral("SHELF 4"));
    s->Text4->setText(QStringLiteral("-2"));
    prompts.expectMessage();
    s->Command4_Click();
    QCOMPARE(prompts.texts(), QStringList{QStringLiteral("You can only enter positive numbers!")});
    QCOMPARE(data.part(3, "Back Ordered 1").toInt(), 3);
    QCOMPARE(data.part(3, "In Stock").toInt(), 5);
    // The booking of 0 saved the part and read the view again, on its first part.
    QCOMPARE(data.part(3, "Location").toString(), QStringLiteral("SHELF 4"));
    QCOMPARE(currentPartNumber(s), QStringLiteral("M-500"));

    // An empty box does nothing at all.
    s->Data1->recordset()->moveToPosition(2);
    s->Text4->clear();
    s->Command4_Click();
    QCOMPARE(currentPartNumber(s), QStringLiteral("D-400"));
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestReceiveParts::onlyWholePackagesOfSomePartsAreBooked()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Back Ordered 1]=2, [Package 1]=12, [In Stock]=5 WHERE [Record Number]=1")));
    ScriptedPrompts prompts;
    ReceiveParts* s = openScreen();
    s->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s));
    QCOMPARE(currentPartNumber(s), QStringLiteral("M-500"));

    // A part of a package or a count below 0, typed and entered: told, and nothing is booked.
    const std::pair<const char*, const char*> typed[] = {
        {"1.5", "\"1.5\" is not a whole number. Please enter a whole number of 0 or more here."},
        {"-2", "You can only enter positive numbers!"},
    };
    for (const auto& [count, message] : typed) {
        QTest::mouseClick(s->Text4, Qt::LeftButton);   // the click selects the whole count
        QTest::keyClicks(s->Text4, QString::fromLatin1(count));
        prompts.expectMessage();
        QTest::keyClick(s->Text4, Qt::Key_Return);     // "O&K"
        QCOMPARE(prompts.messages().last().text, QString::fromLatin1(message));
        QCOMPARE(prompts.messages().last().style, 0);
        QCOMPARE(prompts.messages().last().title, QString());
        QCOMPARE(s->Text4->text(), QStringLiteral("0"));
        QCOMPARE(data.part(1, "Back Ordered 1").toInt(), 2);
        QCOMPARE(data.part(1, "In Stock").toInt(), 5);
    }

    // Packages of no parts (package quantity 0) would clear the back order and bring nothing in:
    // refused, naming the part and what it lacks; the back order stays.
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Package 1]=0 WHERE [Record Number]=1;"
                                     "UPDATE Parts SET [Back Ordered 1]=2, [Package 1]=1, [In Stock]=7 WHERE [Record Number]=5")));
    QTest::mouseClick(s->Command1, Qt::LeftButton);   // "Show Back &Orders": M-500 and X-900
    QCOMPARE(currentPartNumber(s), QStringLiteral("M-500"));
    QCOMPARE(s->Text42->text(), QStringLiteral("0"));
    QTest::mouseClick(s->Text4, Qt::LeftButton);
    QTest::keyClicks(s->Text4, QStringLiteral("2"));
    prompts.expectMessage();
    QTest::keyClick(s->Text4, Qt::Key_Return);
    const QString lacks = QStringLiteral(": its package quantity for vendor # 1 is 0, so the parts received cannot be "
                                         "counted into your stock. Please enter the package quantity on the maintenance "
                                         "screen first.");
    QCOMPARE(prompts.messages().last().text, QStringLiteral("Nothing was received for part M-500") + lacks);
    QCOMPARE(prompts.messages().last().style, 48);
    QCOMPARE(data.part(1, "Back Ordered 1").toInt(), 2);

    prompts.expectMessage(Prompts::Yes).expectMessage();
    QTest::mouseClick(s->Command8, Qt::LeftButton);   // "&Full Receipt"
    QCOMPARE(prompts.messages().last().text, QStringLiteral("These parts could not be received and are still on "
                                                            "backorder:\r\rM-500: Nothing was received")
                                                 + lacks);
    QCOMPARE(data.part(1, "Back Ordered 1").toInt(), 2);
    QCOMPARE(data.part(1, "In Stock").toInt(), 5);
    QCOMPARE(data.part(5, "Back Ordered 1").toInt(), 0);
    QCOMPARE(data.part(5, "In Stock").toInt(), 9);
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestReceiveParts::noBackOrdersKeepsTheView()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ReceiveParts* s = openScreen();
    selectVendorTab(s, 3);
    prompts.expectMessage();
    s->Command3_Click();
    QCOMPARE(prompts.texts(), QStringList{QStringLiteral("There are no parts on backorder for this vendor")});
    QVERIFY(prompts.messages()[0].beepBefore);
    QCOMPARE(s->Data1->recordSource(), QStringLiteral("Select * from Parts"));
    QCOMPARE(s->Data1->recordset()->recordCount(), 5);
    QCOMPARE(s->windowWidthTwips(), 8235);
    QVERIFY(!s->SSDBGrid3->isVisibleTo(s));
    QVERIFY(s->Command3->isVisibleTo(s));
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestReceiveParts::leavingTheReceivedBoxBooks()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Back Ordered 3]=2, [Package 3]=5, [In Stock]=1 WHERE [Record Number]=1;"
                                     "UPDATE Parts SET [Back Ordered 1]=2, [Package 1]=1 WHERE [Record Number]=1")));
    ScriptedPrompts prompts;
    ReceiveParts* s = openScreen();
    // Vendor 1: typing and leaving books at once.
    s->Text4->setText(QStringLiteral("1"));
    leave(s->Text4);
    QCOMPARE(data.part(1, "Back Ordered 1").toInt(), 1);
    QCOMPARE(data.part(1, "In Stock").toInt(), 2);
    // A message box taking the focus is not a leaving.
    s->Text4->setText(QStringLiteral("1"));
    QFocusEvent toBox(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(s->Text4, &toBox);
    QCOMPARE(data.part(1, "Back Ordered 1").toInt(), 1);
    s->Text4->setText(QStringLiteral("0"));

    // Vendor 3 books on leaving too.
    selectVendorTab(s, 3);
    QCOMPARE(currentPartNumber(s), QStringLiteral("M-500"));
    s->Text38->setText(QStringLiteral("2"));
    leave(s->Text38);
    QCOMPARE(data.part(1, "Back Ordered 3").toInt(), 0);
    QCOMPARE(data.part(1, "In Stock").toInt(), 12);
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestReceiveParts::tabChangeReturnsToAllPartsAndKeepsLocation()
{
    PartsTestData data;   // X-900 (record 5) has 2 back-ordered from vendor 1
    ScriptedPrompts prompts;
    ReceiveParts* s = openScreen();
    s->Command1_Click();
    QCOMPARE(s->windowWidthTwips(), 11400);
    QCOMPARE(currentPartNumber(s), QStringLiteral("X-900"));
    s->Text39->setText(QStringLiteral("BIN 7"));

    selectVendorTab(s, 2);
    QCOMPARE(s->windowWidthTwips(), 8235);
    QCOMPARE(s->backOrderVendor(), 0);
    QVERIFY(!s->SSDBGrid1->isVisibleTo(s));
    QVERIFY(!s->Command8->isVisibleTo(s));
    QVERIFY(!s->Command2->isVisibleTo(s));
    QVERIFY(!s->Command1->isHidden());
    QCOMPARE(s->Data1->recordSource(), QStringLiteral("Select * from Parts"));
    QVERIFY(s->Command5->isDefault());
    QVERIFY(!s->Command4->isDefault());
    // The location typed before the change was saved, not dropped by the re-read.
    QCOMPARE(data.part(5, "Location").toString(), QStringLiteral("BIN 7"));
    selectVendorTab(s, 3);
    QVERIFY(s->Command6->isDefault());
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestReceiveParts::locationIsUpperCasedAndStored()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ReceiveParts* s = openScreen();
    QCOMPARE(currentPartNumber(s), QStringLiteral("M-500"));
    s->Text39->clear();
    QTest::keyClicks(s->Text39, QStringLiteral("a1b"));
    QCOMPARE(s->Text39->text(), QStringLiteral("A1B"));
    s->Text39->setText(s->Text39->text() + QStringLiteral("C12345678901234"));   // by code: kept whole
    QCOMPARE(s->Text39->text().size(), 18);
    s->Text39->setText(QStringLiteral("A1B"));
    // A count typed and never booked is not stored with the part.
    s->Text4->setText(QStringLiteral("7"));
    closeScreen(s);
    QCOMPARE(data.part(1, "Location").toString(), QStringLiteral("A1B"));
    QCOMPARE(data.part(1, "Received 1").toInt(), 0);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestReceiveParts::fullReceipt()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Back Ordered 2]=2, [Package 2]=6, [In Stock]=1 WHERE [Record Number]=2;"
                                     "UPDATE Parts SET [Back Ordered 2]=5, [Package 2]=1, [In Stock]=0 WHERE [Record Number]=3;")));
    ScriptedPrompts prompts;
    ReceiveParts* s = openScreen();
    selectVendorTab(s, 2);
    s->Command7_Click();
    QCOMPARE(s->SSDBGrid2->model()->rowCount(), 2);

    // No: nothing changes.
    prompts.expectMessage(Prompts::No);
    s->Command10_Click();
    QCOMPARE(prompts.messages()[0].text,
             QStringLiteral("Do you really want to receive all parts currently on backorder from vendor # 2 into your stock?"));
    QCOMPARE(prompts.messages()[0].style, 324);
    QCOMPARE(prompts.messages()[0].title, QStringLiteral("Confirm?"));
    QVERIFY(prompts.messages()[0].beepBefore);
    QCOMPARE(data.part(2, "Back Ordered 2").toInt(), 2);
    QCOMPARE(s->windowWidthTwips(), 11400);

    prompts.expectMessage(Prompts::Yes);
    s->Command10_Click();
    QCOMPARE(data.part(2, "Back Ordered 2").toInt(), 0);
    QCOMPARE(data.part(2, "In Stock").toInt(), 13);
    QCOMPARE(data.part(3, "Back Ordered 2").toInt(), 0);
    QCOMPARE(data.part(3, "In Stock").toInt(), 5);
    QCOMPARE(data.part(3, "Received 2").toInt(), 0);
    // Back to all parts, a little wider than usual.
    QCOMPARE(s->windowWidthTwips(), 8250);
    QCOMPARE(s->Data1->recordSource(), QStringLiteral("select * from parts"));
    QCOMPARE(s->Data1->recordset()->recordCount(), 5);
    QVERIFY(!s->SSDBGrid2->isVisibleTo(s));
    QVERIFY(!s->Command10->isVisibleTo(s));
    QVERIFY(s->Command7->isVisibleTo(s));
    QCOMPARE(prompts.messages().size(), 2);
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestReceiveParts::fullReceiptSkipsWhatCannotBeBookedAndEnds()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral(
        "UPDATE Parts SET [Back Ordered 1]=2, [Package 1]=1, [In Stock]=0 WHERE [Record Number]=2;"        // B-200
        "UPDATE Parts SET [Back Ordered 1]=1, [Package 1]=10, [In Stock]=32760 WHERE [Record Number]=4;"   // C-300
        "UPDATE Parts SET [Back Ordered 1]=3, [Package 1]=2, [In Stock]=7 WHERE [Record Number]=5;")));
    ScriptedPrompts prompts;
    ReceiveParts* s = openScreen();
    s->Command1_Click();
    QCOMPARE(s->SSDBGrid1->model()->rowCount(), 3);
    prompts.expectMessage(Prompts::Yes).expectMessage();
    s->Command8_Click();
    QCOMPARE(data.part(2, "Back Ordered 1").toInt(), 0);
    QCOMPARE(data.part(2, "In Stock").toInt(), 2);
    QCOMPARE(data.part(5, "Back Ordered 1").toInt(), 0);
    QCOMPARE(data.part(5, "In Stock").toInt(), 13);
    // C-300 would pass 32767: left as it was, and the user is told once.
    QCOMPARE(data.part(4, "Back Ordered 1").toInt(), 1);
    QCOMPARE(data.part(4, "In Stock").toInt(), 32760);
    QCOMPARE(data.part(4, "Received 1").toInt(), 0);
    QCOMPARE(prompts.messages().size(), 2);
    QVERIFY(prompts.messages()[1].text.startsWith(
        QStringLiteral("These parts could not be received and are still on backorder:\r\rC-300: ")));
    QCOMPARE(s->windowWidthTwips(), 8250);
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestReceiveParts::fullReceiptOfALargeBackOrder()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Back Ordered 1]=0 WHERE [Record Number]=5;"
                                     "UPDATE Parts SET [Back Ordered 1]=1200, [Package 1]=1, [In Stock]=5 WHERE [Record Number]=1")));
    ScriptedPrompts prompts;
    ReceiveParts* s = openScreen();
    s->Command1_Click();
    QCOMPARE(s->Text7->text(), QStringLiteral("1200"));
    prompts.expectMessage(Prompts::Yes);
    s->Command8_Click();
    // The whole back order, not its first three digits.
    QCOMPARE(data.part(1, "Back Ordered 1").toInt(), 0);
    QCOMPARE(data.part(1, "In Stock").toInt(), 1205);
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestReceiveParts::exitGivesTheMainWindowBack()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    QWidget main;
    MainWindowLock::setMainWindow(&main);
    ReceiveParts* s = openScreen();
    MainWindowLock::acquire(s);
    QVERIFY(!main.isEnabled());
    QPointer<ReceiveParts> guard(s);
    s->Command11->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!guard);
    QVERIFY(main.isEnabled());
    QVERIFY(main.isVisible());
    MainWindowLock::setMainWindow(nullptr);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestReceiveParts::colourMenu()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ScriptedDialogs dialogs;
    ReceiveParts* s = openScreen();

    // Every control the scheme names is on the screen.
    const ColorSchemeConfig config = receivePartsColorScheme();
    QCOMPARE(config.bindings.size(), 93);
    for (const ColorBinding& b : config.bindings)
        QVERIFY2(b.control.isEmpty() || s->findChild<QWidget*>(b.control), qPrintable(b.control));
    for (const QString& name : config.popupControls)
        QVERIFY(s->findChild<QWidget*>(name));
    QCOMPARE(s->MnuReceiveModify->title(), QStringLiteral("&Colors"));
    QVERIFY(s->findChild<QMenu*>(QStringLiteral("MnuReceiveList")));

    // A background picked on tab 1 reaches the labels of all three tabs and is stored.
    dialogs.answerColor(QColor(10, 20, 30));
    s->findChild<QAction*>(QStringLiteral("MnuReceiveBackground"))->trigger();
    for (const char* name : {"FirstVendr", "Label19", "Label29", "Backorder", "Label34"})
        QCOMPARE(s->findChild<QLabel*>(QString::fromLatin1(name))->palette().color(QPalette::Window), QColor(10, 20, 30));

    // A list colour with no list shown still reaches the hidden lists.
    dialogs.answerColor(QColor(200, 100, 50));
    s->findChild<QAction*>(QStringLiteral("MnuReceiveListFirstRow"))->trigger();
    QVERIFY(!s->SSDBGrid2->isVisibleTo(s));
    QCOMPARE(s->SSDBGrid2->palette().color(QPalette::Base), QColor(200, 100, 50));
    QCOMPARE(s->SSDBGrid3->palette().color(QPalette::Base), QColor(200, 100, 50));
    QCOMPARE(s->Data3->color(QStringLiteral("SSDBGridEvenColor")), QColor(200, 100, 50));
    dialogs.answerColor(QColor(0, 0, 90));
    s->findChild<QAction*>(QStringLiteral("MnuReceiveListText"))->trigger();
    QCOMPARE(s->SSDBGrid1->palette().color(QPalette::Text), QColor(0, 0, 90));
    QCOMPARE(s->Data3->color(QStringLiteral("SSDBGridForeColor")), QColor(0, 0, 90));

    // The right button on the tab control pops the menu; on a box inside it, nothing.
    QVERIFY(s->Data3->isMenuClick(s->SSTab1->mapTo(s, QPoint(s->SSTab1->width() - 5, s->SSTab1->height() - 5))));
    QVERIFY(!s->Data3->isMenuClick(s->Text10->mapTo(s, QPoint(2, 2))));
    closeScreen(s);

    // A reopened screen shows the stored colours.
    ReceiveParts* again = openScreen();
    QCOMPARE(again->findChild<QLabel*>(QStringLiteral("Label19"))->palette().color(QPalette::Window), QColor(10, 20, 30));
    QCOMPARE(again->Data3->color(QStringLiteral("MainFormBackColor")), QColor(10, 20, 30));
    closeScreen(again);
    QVERIFY(dialogs.verifyAllAnswered());
    QVERIFY(prompts.verifyAllAnswered());
}

QTEST_MAIN(TestReceiveParts)
#include "tst_receive.moc"
