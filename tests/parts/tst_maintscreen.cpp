// The part maintenance screen on a real Inventory.mdb: the checks and their prompts, the record
// check on leaving a part, the field rules, Add, Delete, Save and Exit, and the faults a centre
// could meet (bad numbers, bad dates, an empty table, an untouched new part).

#include "MaintScreenDriver.h"
#include "parts/MaintScreen.h"

#include "PartsTestData.h"
#include "colours/ColorScheme.h"
#include "data/DataControl.h"
#include "data/DataNavigator.h"
#include "platform/AppInfo.h"
#include "platform/InputRules.h"
#include "platform/MainWindowLock.h"
#include "support/ScriptedPrompts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

namespace {

const QString PricePrompt = QStringLiteral("Please enter the price found in the price pages for part number ");
const QString PackagePrompt = QStringLiteral("Please enter the package quantity of this part number ");
const QString MinimumPrompt = QStringLiteral("Please enter the minimum quantity that has to be purchased for part number ");

// Stands the screen on the part with this vendor-1 number (no check runs on complete parts).
void goTo(MaintScreen* screen, const QString& partNumber1)
{
    Recordset* rs = screen->Data1->recordset();
    rs->setIndex(QStringLiteral("inv1"));
    rs->seek(QStringLiteral(">="), partNumber1);
    QCOMPARE(screen->Text1->text(), partNumber1);
}

void leave(QWidget* box)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &out);
}

}  // namespace

class TestMaintScreen : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensOnFirstPartByVendor1();
    void recordCheckAsksPerVendorInOrder();
    void checkAnswersAndWhenTheyAreWritten();
    void checksFollowTheBoxValueNotItsText();
    void badNumbersAreRefused();
    void countsBelowZeroAreRefused();
    void typedPricesKeepTheirDecimals();
    void emptiedCountsAreStoredAsZero();
    void pricesBelowZeroAreRefused();
    void storedValuesTooLargeAreSaidOncePerVisit();
    void answersThatAreNoCountPutTheDefaultIn();
    void focusLeavingThroughAMessageBoxIsNotALeaving();
    void clearingPartNumberClearsItsVendor();
    void defaultVendorBoxesExcludeEachOther();
    void typingRules();
    void orderNotices();
    void dateEntry();
    void typedDateIsKeptHoweverThePartIsLeft();
    void deleteAsksAndNewPartGetsNewNumber();
    void addRefusedWhileFilterIsOn();
    void untouchedNewPartIsNotStored();
    void saveWritesAndEnterSaves();
    void exitAndCloseBoxKeepEdits();
    void emptyTableShowsEmptyBoxes();
    void colourSchemeReachesItsControls();
};

void TestMaintScreen::opensOnFirstPartByVendor1()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    auto* screen = new MaintScreen;
    QCOMPARE(screen->windowTitle(), QStringLiteral("Maintain Database Information"));
    QVERIFY(!screen->filterOn());
    screen->show();
    // The first activation (not a call from here) opens Parts by inv1 on its first part.
    QTRY_COMPARE(screen->Text1->text(), QStringLiteral("B-200"));
    Recordset* rs = screen->Data1->recordset();
    QCOMPARE(rs->kind(), Recordset::Kind::Table);
    QCOMPARE(rs->index(), QStringLiteral("inv1"));
    QVERIFY(!screen->MnuMaintScreenPrint->menuAction()->isEnabled());
    QVERIFY(screen->MnuMaintSort->menuAction()->isEnabled());
    QVERIFY(screen->SSCommand1->isEnabled());
    // The commands still to come are on the screen.
    for (QPushButton* b : {screen->SSCommand4, screen->SSCommand5, screen->SSCommand6})
        QVERIFY(b->isVisible() && b->isEnabled());
    QVERIFY(!screen->cmdSave->isVisible());

    // Vendor headings from Information, over the part numbers and both quantity frames.
    QCOMPARE(screen->Label[19]->text(), QStringLiteral("AMF"));
    QCOMPARE(screen->Label[20]->text(), QStringLiteral("DISTRIBUTOR"));
    QCOMPARE(screen->Label[21]->text(), QStringLiteral("OTHER"));
    QCOMPARE(screen->Label[16]->text(), QStringLiteral("AMF"));
    QCOMPARE(screen->Label[23]->text(), QStringLiteral("OTHER"));

    // Bound values shown in their formats.
    QCOMPARE(screen->MaskEdBox1->text(), QStringLiteral("$12.50"));
    QCOMPARE(screen->Text9->text(), QStringLiteral("2"));
    QVERIFY(screen->Check2->isChecked());

    // A later activation (after a modal window, say) does not re-open Data1.
    goTo(screen, QStringLiteral("M-500"));
    screen->Form_Activate();
    QCOMPARE(screen->Text1->text(), QStringLiteral("M-500"));
    closeScreen(screen);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestMaintScreen::recordCheckAsksPerVendorInOrder()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    goTo(screen, QStringLiteral("D-400"));   // vendors 1 and 2 with zero minimum, package and price

    prompts.answerInput(QString())              // vendor 1 minimum: Cancel -> 1
        .answerInput(QStringLiteral("0"))       // vendor 1 package: 0 -> 1
        .answerInput(QStringLiteral("12.5"))    // vendor 1 price: kept
        .answerInput(QStringLiteral("-5"))      // vendor 2 minimum: below 0 -> 1
        .answerInput(QStringLiteral("abc"))     // vendor 2 package: not a number -> 1
        .answerInput(QString());                // vendor 2 price: Cancel -> 0.01
    screen->SSDBCommand1->click();               // "&Next"

    const QList<ScriptedPrompts::Recorded> log = prompts.log();
    QCOMPARE(log.size(), 6);
    const QStringList expected = {MinimumPrompt + "D-400", PackagePrompt + "D-400", PricePrompt + "D-400",
                                  MinimumPrompt + "ABC-7", PackagePrompt + "ABC-7", PricePrompt + "ABC-7"};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(log[i].kind, ScriptedPrompts::Recorded::Input);
        QCOMPARE(log[i].text, expected[i]);
        QCOMPARE(log[i].title, QStringLiteral("Warning"));
        QCOMPARE(log[i].defaultText, QString());
        QCOMPARE(log[i].x, 3000);
        QCOMPARE(log[i].y, 5000);
    }
    // Vendor 3 has no part number: skipped. The move went ahead and the part was written.
    QCOMPARE(screen->Text1->text(), QStringLiteral("M-500"));
    QCOMPARE(data.part(3, "Minimum Buy 1").toInt(), 1);
    QCOMPARE(data.part(3, "Package 1").toInt(), 1);
    QCOMPARE(data.part(3, "Price 1").toDouble(), 12.5);
    QCOMPARE(data.part(3, "Minimum Buy 2").toInt(), 1);
    QCOMPARE(data.part(3, "Package 2").toInt(), 1);
    QCOMPARE(data.part(3, "Price 2").toDouble(), 0.01);
    QCOMPARE(data.part(3, "Package 3").toInt(), 0);

    // Coming back asks nothing: no value is zero any more.
    screen->SSDBCommand2->click();
    QCOMPARE(screen->Text1->text(), QStringLiteral("D-400"));
    QCOMPARE(prompts.log().size(), 6);
    closeScreen(screen);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestMaintScreen::checkAnswersAndWhenTheyAreWritten()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Part Number 2] = NULL WHERE [Record Number] = 3")));
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    goTo(screen, QStringLiteral("D-400"));
    screen->Text14->setText(QStringLiteral("SPRING, LONG"));   // typed so far: stored by a writing check

    // Price: Cancel puts 0.01 in and writes the part at once.
    prompts.answerInput(QString());
    screen->MaskEdBox1_LostFocus();
    QCOMPARE(screen->MaskEdBox1->text(), QStringLiteral("$0.01"));
    QCOMPARE(data.part(3, "Price 1").toDouble(), 0.01);
    QCOMPARE(data.part(3, "Description").toString(), QStringLiteral("SPRING, LONG"));

    // Package: "0" puts 1 in; nothing is written until the next write.
    prompts.answerInput(QStringLiteral("0"));
    screen->Text6_LostFocus();
    QCOMPARE(screen->Text6->text(), QStringLiteral("1"));
    QCOMPARE(data.part(3, "Package 1").toInt(), 0);

    // Minimum purchase: -5, no count, puts 1 in and writes (the package with it).
    prompts.answerInput(QStringLiteral("-5"));
    screen->Text27_LostFocus();
    QCOMPARE(screen->Text27->text(), QStringLiteral("1"));
    QCOMPARE(data.part(3, "Minimum Buy 1").toInt(), 1);
    QCOMPARE(data.part(3, "Package 1").toInt(), 1);

    // A vendor without a part number is left without a question.
    goTo(screen, QStringLiteral("M-500"));
    QCOMPARE(screen->MaskEdBox2->text(), QStringLiteral("$0.00"));
    screen->MaskEdBox2_LostFocus();
    screen->Text9_LostFocus();
    screen->Text28_LostFocus();
    QCOMPARE(prompts.log().size(), 3);
    closeScreen(screen);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestMaintScreen::checksFollowTheBoxValueNotItsText()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    goTo(screen, QStringLiteral("M-500"));
    // Text that is not a number counts as 0, so the check asks; an answer that is not a number
    // counts as 0 too, so the default goes in.
    screen->MaskEdBox1->setText(QStringLiteral("abc"));
    prompts.answerInput(QStringLiteral("xyz"));
    screen->MaskEdBox1_LostFocus();
    QCOMPARE(screen->MaskEdBox1->text(), QStringLiteral("$0.01"));
    QCOMPARE(data.part(1, "Price 1").toDouble(), 0.01);
    // "$0.00" is 0 as well.
    screen->MaskEdBox1->setText(QStringLiteral("$0.00"));
    prompts.answerInput(QStringLiteral("$1,234.50"));
    screen->MaskEdBox1_LostFocus();
    QCOMPARE(screen->MaskEdBox1->text(), QStringLiteral("$1,234.50"));
    QCOMPARE(data.part(1, "Price 1").toDouble(), 1234.5);
    QCOMPARE(prompts.log().size(), 2);
    QCOMPARE(prompts.log().at(0).text, PricePrompt + "M-500");
    closeScreen(screen);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestMaintScreen::badNumbersAreRefused()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Minimum Buy 1] = 0 WHERE [Record Number] = 5")));
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    goTo(screen, QStringLiteral("X-900"));

    // Typed into a box without a check (or whose vendor has no part number): refused on leaving.
    screen->Text16->setText(QStringLiteral("7.25"));
    prompts.expectMessage();
    leave(screen->Text16);
    QCOMPARE(prompts.messages().last().text, QStringLiteral("\"7.25\" is not a whole number. Please enter a whole number of 0 or more here."));
    QCOMPARE(prompts.messages().last().style, 48);
    QCOMPARE(screen->Text16->text(), QStringLiteral("7"));
    screen->MaskEdBox2->setText(QStringLiteral("lots"));
    prompts.expectMessage();
    leave(screen->MaskEdBox2);
    QCOMPARE(prompts.messages().last().text,
             QStringLiteral("\"lots\" is not a price. Please enter the price as a number, for example 12.50."));
    QCOMPARE(screen->MaskEdBox2->text(), QStringLiteral("$0.00"));
    // A number beyond what money holds is refused too, never stored as some other amount.
    for (const QString& huge : {QStringLiteral("1e15"), QStringLiteral("9e99")}) {
        screen->MaskEdBox1->setText(huge);
        prompts.expectMessage();
        leave(screen->MaskEdBox1);
        QCOMPARE(prompts.messages().last().text,
                 QStringLiteral("\"%1\" is too large to be a price. Please enter the price as a number, for example 12.50.").arg(huge));
        QCOMPARE(screen->MaskEdBox1->text(), QStringLiteral("$1.00"));
    }

    // Left behind without leaving its box, it is refused before any write: here the write of the
    // minimum-purchase check that runs as the part is left.
    screen->Text20->setText(QStringLiteral("x"));
    screen->Text14->setText(QStringLiteral("CUSHION, REAR"));
    prompts.answerInput(QStringLiteral("3")).expectMessage();
    screen->SSDBCommand2->click();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("\"x\" is not a whole number. Please enter a whole number here."));
    QCOMPARE(screen->Text1->text(), QStringLiteral("M-500"));
    QCOMPARE(data.part(5, "Minimum Buy 1").toInt(), 3);
    QCOMPARE(data.part(5, "Back Ordered 3").toInt(), 0);
    QCOMPARE(data.part(5, "In Stock").toInt(), 7);
    QCOMPARE(data.part(5, "Description").toString(), QStringLiteral("CUSHION, REAR"));
    QCOMPARE(data.part(5, "Price 1").toDouble(), 1.0);
    closeScreen(screen);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestMaintScreen::countsBelowZeroAreRefused()
{
    PartsTestData data;
    // B-200 stores a back order below 0 from vendor 2, as an older file may.
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Back Ordered 2] = -2 WHERE [Record Number] = 2")));
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    goTo(screen, QStringLiteral("X-900"));   // in stock 7, back ordered 2 from vendor 1

    // Typed as a user types them and left by Tab: refused, the box shows the stored count again.
    const QString count = QStringLiteral("\"%1\" is below 0. Please enter a whole number of 0 or more here.");
    // Each keystroke in a tag or back order also brings the notice not to change it here.
    const struct { QLineEdit* box; const char* typed; QString message; const char* stored; int notices; } cases[] = {
        {screen->Text23, "-3", count, "0", 2},   // tagged for vendor 1
        {screen->Text18, "-2", count, "2", 2},   // back ordered from vendor 1
        {screen->Text16, "-1", count, "7", 0},   // in stock
        {screen->Text17, "-4", count, "2", 0},   // minimum stock
    };
    for (const auto& c : cases) {
        QTest::mouseClick(c.box, Qt::LeftButton);
        QTest::keyClick(c.box, Qt::Key_A, Qt::ControlModifier);
        for (int n = 0; n <= c.notices; ++n)
            prompts.expectMessage();
        QTest::keyClicks(c.box, QString::fromLatin1(c.typed));
        QTest::keyClick(c.box, Qt::Key_Tab);
        QCOMPARE(prompts.messages().last().text, c.message.arg(QString::fromLatin1(c.typed)));
        QCOMPARE(prompts.messages().last().style, 48);
        QCOMPARE(c.box->text(), QString::fromLatin1(c.stored));
    }
    QTest::mouseClick(screen->cmdSave, Qt::LeftButton);
    QCOMPARE(data.part(5, "Quantity Ordered 1").toInt(), 0);
    QCOMPARE(data.part(5, "Back Ordered 1").toInt(), 2);
    QCOMPARE(data.part(5, "In Stock").toInt(), 7);
    QCOMPARE(data.part(5, "Minimum Stock").toInt(), 2);

    // One the part already stores was not typed: entering and leaving it says nothing.
    goTo(screen, QStringLiteral("B-200"));
    QTest::mouseClick(screen->Text19, Qt::LeftButton);
    QTest::keyClick(screen->Text19, Qt::Key_Tab);
    QTest::mouseClick(screen->cmdSave, Qt::LeftButton);
    QCOMPARE(prompts.messages().size(), 8);
    QCOMPARE(data.part(2, "Back Ordered 2").toInt(), -2);
    closeScreen(screen);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestMaintScreen::typedPricesKeepTheirDecimals()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Price 2] = 0.4375 WHERE [Record Number] = 2")));
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();   // B-200
    QCOMPARE(screen->MaskEdBox2->text(), QStringLiteral("$0.4375"));
    screen->MaskEdBox1->selectAll();
    QTest::keyClicks(screen->MaskEdBox1, QStringLiteral("0.0625"));
    leave(screen->MaskEdBox1);
    QCOMPARE(screen->MaskEdBox1->text(), QStringLiteral("$0.0625"));
    leave(screen->MaskEdBox2);   // entered and left, not retyped
    screen->cmdSave_Click();
    QCOMPARE(data.part(2, "Price 1").toDouble(), 0.0625);
    QCOMPARE(data.part(2, "Price 2").toDouble(), 0.4375);
    closeScreen(screen);
    QCOMPARE(prompts.log().size(), 0);
}

// Clearing a count and leaving it as a user does (a click, the text deleted, Tab) stores 0, never
// nothing: a part with an empty count would never again be found needed. A count an older file
// left empty was not emptied here: passing the part leaves it as it is.
void TestMaintScreen::emptiedCountsAreStoredAsZero()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [In Stock] = NULL, [Minimum Stock] = NULL, [Back Ordered 1] = NULL, "
                                     "[Quantity Ordered 1] = NULL WHERE [Record Number] = 1")));
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    goTo(screen, QStringLiteral("X-900"));   // in stock 7, minimum 2, back ordered 2 from vendor 1
    // The tag and the back order bring their notice at each key; vendor 2 has no part number.
    const struct { QLineEdit* box; int notices; } boxes[] = {
        {screen->Text16, 0}, {screen->Text17, 0}, {screen->Text18, 1}, {screen->Text23, 1}, {screen->Text9, 0}, {screen->Text28, 0},
    };
    for (const auto& b : boxes) {
        QTest::mouseClick(b.box, Qt::LeftButton);
        QTest::keyClick(b.box, Qt::Key_A, Qt::ControlModifier);
        for (int n = 0; n < b.notices; ++n)
            prompts.expectMessage();
        QTest::keyClick(b.box, Qt::Key_Backspace);
        QTest::keyClick(b.box, Qt::Key_Tab);
        QCOMPARE(b.box->text(), QStringLiteral("0"));
    }
    QTest::mouseClick(screen->SSDBCommand1, Qt::LeftButton);   // "&Next": the part is written
    for (const char* field : {"In Stock", "Minimum Stock", "Back Ordered 1", "Quantity Ordered 1", "Package 2", "Minimum Buy 2"})
        QCOMPARE(data.part(5, QString::fromLatin1(field)), QVariant(0LL));
    QCOMPARE(prompts.messages().size(), 2);   // the two notices, nothing else

    goTo(screen, QStringLiteral("M-500"));
    QTest::mouseClick(screen->SSDBCommand1, Qt::LeftButton);   // on to X-900
    QCOMPARE(screen->Text1->text(), QStringLiteral("X-900"));
    for (const char* field : {"In Stock", "Minimum Stock", "Back Ordered 1", "Quantity Ordered 1"})
        QVERIFY(!data.part(1, QString::fromLatin1(field)).isValid());
    QCOMPARE(prompts.messages().size(), 2);
    closeScreen(screen);
    QVERIFY(prompts.verifyAllAnswered());
}

// A price below 0 is refused wherever it is typed or answered; one an older file stores is left
// for the user to correct, without a word at every move.
void TestMaintScreen::pricesBelowZeroAreRefused()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Price 1] = 0 WHERE [Record Number] = 5;"
                                     "UPDATE Parts SET [Price 3] = -2 WHERE [Record Number] = 2")));
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    const QString refusal = QStringLiteral("\"%1\" is below 0. Please enter the price as a number of 0 or more, for example 12.50.");

    // Typed into B-200's price of vendor 2 and left by Tab: refused, the stored price comes back.
    QTest::mouseClick(screen->MaskEdBox2, Qt::LeftButton);
    QTest::keyClick(screen->MaskEdBox2, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(screen->MaskEdBox2, QStringLiteral("-5"));
    prompts.expectMessage();
    QTest::keyClick(screen->MaskEdBox2, Qt::Key_Tab);
    QCOMPARE(prompts.messages().size(), 1);
    QCOMPARE(prompts.messages().last().text, refusal.arg(QStringLiteral("-5")));
    QCOMPARE(prompts.messages().last().style, 48);
    QCOMPARE(screen->MaskEdBox2->text(), QStringLiteral("$11.00"));
    // Vendor 3's price below 0 is the file's: entering and leaving it, and leaving the part, say nothing.
    QCOMPARE(screen->MaskEdBox3->text(), QStringLiteral("($2.00)"));
    QTest::mouseClick(screen->MaskEdBox3, Qt::LeftButton);
    QTest::keyClick(screen->MaskEdBox3, Qt::Key_Tab);
    QTest::mouseClick(screen->SSDBCommand1, Qt::LeftButton);
    QCOMPARE(prompts.messages().size(), 1);
    QCOMPARE(data.part(2, "Price 2").toDouble(), 11.0);
    QCOMPARE(data.part(2, "Price 3").toDouble(), -2.0);

    // Answered to the price question (X-900's price is 0): refused, then the default goes in.
    goTo(screen, QStringLiteral("X-900"));
    QTest::mouseClick(screen->MaskEdBox1, Qt::LeftButton);
    prompts.answerInput(QStringLiteral("($7.50)")).expectMessage();
    QTest::keyClick(screen->MaskEdBox1, Qt::Key_Tab);
    QCOMPARE(prompts.messages().last().text, refusal.arg(QStringLiteral("($7.50)")));
    QCOMPARE(screen->MaskEdBox1->text(), QStringLiteral("$0.01"));
    QCOMPARE(data.part(5, "Price 1").toDouble(), 0.01);
    closeScreen(screen);
    QVERIFY(prompts.verifyAllAnswered());
}

// An amount beyond what money holds (only a damaged or foreign file holds one) shows as ####, a
// count beyond what its field holds as it is; each is said once while the part is shown, and the
// user moves on without typing anything. A whole number typed too large is called too large.
void TestMaintScreen::storedValuesTooLargeAreSaidOncePerVisit()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Price 1] = 1e16, [In Stock] = 3000000000 WHERE [Record Number] = 5")));
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    goTo(screen, QStringLiteral("X-900"));
    QCOMPARE(screen->MaskEdBox1->text(), QStringLiteral("####"));
    QCOMPARE(screen->Text16->text(), QStringLiteral("3000000000"));

    // Entered and left, the part saved and left: one word of each, no price asked for. A whole
    // number typed too large is refused as too large.
    QTest::mouseClick(screen->MaskEdBox1, Qt::LeftButton);
    prompts.expectMessage();
    QTest::mouseClick(screen->Text16, Qt::LeftButton);
    QTest::keyClick(screen->Text16, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(screen->Text16, QStringLiteral("1e10"));
    prompts.expectMessage();
    QTest::keyClick(screen->Text16, Qt::Key_Tab);
    QCOMPARE(screen->Text16->text(), QStringLiteral("3000000000"));
    prompts.expectMessage();
    QTest::mouseClick(screen->cmdSave, Qt::LeftButton);
    // "&Next" on the last part passes the end and comes back to it: the same visit, nothing said again.
    QTest::mouseClick(screen->SSDBCommand1, Qt::LeftButton);
    QTest::mouseClick(screen->SSDBCommand1, Qt::LeftButton);
    QCOMPARE(screen->Text1->text(), QStringLiteral("X-900"));
    QTest::mouseClick(screen->SSDBCommand2, Qt::LeftButton);   // "&Previous"
    QCOMPARE(screen->Text1->text(), QStringLiteral("M-500"));
    QCOMPARE(prompts.texts(),
             QStringList({QStringLiteral("This part's Price 1 (####) is too large to be used here. Please enter the right value."),
                          QStringLiteral("\"1E10\" is too large. Please enter a whole number of at most 2147483647 here."),
                          QStringLiteral("This part's In Stock (3000000000) is too large to be used here. Please enter the right value.")}));
    QCOMPARE(data.part(5, "Price 1").toDouble(), 1e16);
    QCOMPARE(data.part(5, "In Stock").toLongLong(), 3000000000LL);
    closeScreen(screen);
    QVERIFY(prompts.verifyAllAnswered());
}

// An answer to a check that is no count (a part of one, below 0, too large) puts the default in,
// so the question does not come back at every leaving of the part.
void TestMaintScreen::answersThatAreNoCountPutTheDefaultIn()
{
    PartsTestData data;   // D-400: vendors 1 and 2 with zero minimum, package and price
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    goTo(screen, QStringLiteral("D-400"));
    QTest::mouseClick(screen->Text6, Qt::LeftButton);
    prompts.answerInput(QStringLiteral("2.5"));
    QTest::keyClick(screen->Text6, Qt::Key_Tab);   // into the minimum purchase
    QCOMPARE(screen->Text6->text(), QStringLiteral("1"));
    prompts.answerInput(QStringLiteral("3000000000"));
    QTest::keyClick(screen->Text27, Qt::Key_Tab);
    QCOMPARE(screen->Text27->text(), QStringLiteral("1"));
    prompts.answerInput(QStringLiteral("2"));
    QTest::keyClick(screen->MaskEdBox1, Qt::Key_Tab);
    QCOMPARE(data.part(3, "Package 1").toInt(), 1);
    QCOMPARE(data.part(3, "Minimum Buy 1").toInt(), 1);

    // Vendor 2's questions as the part is left; coming back and leaving again asks nothing more.
    prompts.answerInput(QStringLiteral("-1")).answerInput(QStringLiteral("0.5")).answerInput(QStringLiteral("3"));
    QTest::mouseClick(screen->SSDBCommand1, Qt::LeftButton);
    QTest::mouseClick(screen->SSDBCommand2, Qt::LeftButton);
    QCOMPARE(screen->Text1->text(), QStringLiteral("D-400"));
    QTest::mouseClick(screen->SSDBCommand1, Qt::LeftButton);
    QCOMPARE(prompts.log().size(), 6);
    QCOMPARE(prompts.messages().size(), 0);
    QCOMPARE(data.part(3, "Minimum Buy 2").toInt(), 1);
    QCOMPARE(data.part(3, "Package 2").toInt(), 1);
    closeScreen(screen);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestMaintScreen::focusLeavingThroughAMessageBoxIsNotALeaving()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Price 1] = 0 WHERE [Record Number] = 5")));
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    goTo(screen, QStringLiteral("X-900"));

    // A box opening over the window takes the focus: no check.
    for (Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(screen->MaskEdBox1, &out);
    }
    QCOMPARE(prompts.log().size(), 0);

    // A real leaving by Tab runs the check once.
    screen->MaskEdBox1->setFocus(Qt::MouseFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), screen->MaskEdBox1);
    prompts.answerInput(QStringLiteral("4.75"));
    QTest::keyClick(screen->MaskEdBox1, Qt::Key_Tab);
    QCOMPARE(prompts.log().size(), 1);
    QCOMPARE(prompts.log().at(0).text, PricePrompt + "X-900");
    QCOMPARE(data.part(5, "Price 1").toDouble(), 4.75);
    QVERIFY(QApplication::focusWidget() != screen->MaskEdBox1);
    closeScreen(screen);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestMaintScreen::clearingPartNumberClearsItsVendor()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    goTo(screen, QStringLiteral("M-500"));
    QCOMPARE(screen->Text4->text(), QStringLiteral("PB"));

    screen->Text1->setText(QString());
    screen->Text1_LostFocus();
    QCOMPARE(screen->Text27->text(), QStringLiteral("0"));
    QCOMPARE(screen->Text6->text(), QStringLiteral("0"));
    QCOMPARE(screen->MaskEdBox1->text(), QStringLiteral("$0.00"));
    QCOMPARE(screen->Text4->text(), QString());
    QCOMPARE(screen->Text5->text(), QString());
    QCOMPARE(screen->focusWidget(), screen->Text2);
    // Nothing written yet, and no question: the part number is empty.
    QCOMPARE(data.part(1, "Price 1").toDouble(), 9.5);
    QCOMPARE(prompts.log().size(), 0);

    // Part number 3 moves on to the description; a filled box changes nothing.
    screen->Text3_LostFocus();
    QCOMPARE(screen->focusWidget(), screen->Text14);
    goTo(screen, QStringLiteral("B-200"));
    screen->Text2_LostFocus();
    QCOMPARE(screen->MaskEdBox2->text(), QStringLiteral("$11.00"));

    // The cleared vendor went into the part with the move.
    QCOMPARE(data.part(1, "Part Number 1"), QVariant());
    QCOMPARE(data.part(1, "Price 1").toDouble(), 0.0);
    QCOMPARE(data.part(1, "Book 1"), QVariant());
    QCOMPARE(prompts.log().size(), 0);
    closeScreen(screen);
}

void TestMaintScreen::defaultVendorBoxesExcludeEachOther()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    QCOMPARE(screen->Text1->text(), QStringLiteral("B-200"));
    QVERIFY(screen->Check2->isChecked());

    screen->Check1->click();
    QVERIFY(screen->Check1->isChecked());
    QVERIFY(!screen->Check2->isChecked());
    QVERIFY(!screen->Check3->isChecked());
    screen->Check1->click();
    QVERIFY(!screen->Check1->isChecked() && !screen->Check2->isChecked() && !screen->Check3->isChecked());

    // A state set by code clears nothing.
    screen->Check3->setChecked(true);
    screen->Check2->setChecked(true);
    QVERIFY(screen->Check3->isChecked());
    screen->Check3->click();   // clears 3, and 2 with it
    QVERIFY(!screen->Check1->isChecked() && !screen->Check2->isChecked() && !screen->Check3->isChecked());
    screen->Check2->click();

    screen->cmdSave_Click();
    QCOMPARE(data.part(2, "Default 1").toInt(), 0);
    QCOMPARE(data.part(2, "Default 2").toInt(), 1);
    QCOMPARE(data.part(2, "Default 3").toInt(), 0);
    closeScreen(screen);
}

void TestMaintScreen::typingRules()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    for (QLineEdit* box : {screen->Text1, screen->Text24, screen->Text21, screen->Text27}) {
        box->clear();
        QTest::keyClicks(box, QStringLiteral("a"));
    }
    QCOMPARE(screen->Text1->text(), QStringLiteral("A"));
    QCOMPARE(screen->Text24->text(), QStringLiteral("A"));
    QCOMPARE(screen->Text21->text(), QStringLiteral("A"));
    QCOMPARE(screen->Text27->text(), QStringLiteral("a"));   // minimum purchase: as typed
    // Locations take 15 characters when typed; a longer value set by code is shown whole.
    QTest::keyClicks(screen->Text21, QStringLiteral("BCDEFGHIJKLMNOPQ"));
    QCOMPARE(screen->Text21->text(), QStringLiteral("ABCDEFGHIJKLMNO"));
    screen->Text21->setText(QStringLiteral("SHELF 12, BIN 400, BACK ROOM"));
    QCOMPARE(screen->Text21->text(), QStringLiteral("SHELF 12, BIN 400, BACK ROOM"));
    // The longest book names of the shipped catalogues are typed whole.
    screen->Text4->clear();
    QTest::keyClicks(screen->Text4, QStringLiteral("main catalog"));
    QCOMPARE(screen->Text4->text(), QStringLiteral("MAIN CATALOG"));
    screen->Data1->reloadBoundControls();
    closeScreen(screen);
    QCOMPARE(prompts.log().size(), 0);
}

void TestMaintScreen::orderNotices()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    screen->Text19->clear();
    prompts.expectMessage();
    QTest::keyClick(screen->Text19, Qt::Key_5);
    QCOMPARE(screen->Text19->text(), QStringLiteral("5"));
    screen->Text26->clear();
    prompts.expectMessage();
    QTest::keyClick(screen->Text26, Qt::Key_A);
    QCOMPARE(screen->Text26->text(), QStringLiteral("a"));   // neither cancelled nor upper-cased

    const QList<ScriptedPrompts::Recorded> shown = prompts.messages();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0].text, QStringLiteral("It is not recommended to change backorders here. You should only change this number if "
                                           "there is an error. All backorders should be received in the 'Receive Parts Screen.'"));
    QCOMPARE(shown[1].text, QStringLiteral("It is not recommended to change 'On Order' parts here. You should only change this "
                                           "number if there is an error."));
    for (const auto& m : shown) {
        QCOMPARE(m.style, 48);
        QCOMPARE(m.title, QStringLiteral("Notice"));
        QVERIFY(m.beepBefore);
    }
    screen->Text26->setText(QStringLiteral("0"));
    closeScreen(screen);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestMaintScreen::dateEntry()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    goTo(screen, QStringLiteral("M-500"));
    const QString shown = screen->MaskEdBox5->text();
    QCOMPARE(shown, QStringLiteral("Thursday, January 15, 2004"));

    // Entered and left untouched: the date stays.
    screen->MaskEdBox5_GotFocus();
    QVERIFY(!screen->MaskEdBox4->isHidden());
    QVERIFY(screen->MaskEdBox5->isHidden());
    screen->MaskEdBox4_LostFocus();
    QVERIFY(screen->MaskEdBox4->isHidden());
    QCOMPARE(screen->MaskEdBox5->text(), shown);

    // Not a date: refused with a message, the date stays as it was.
    screen->MaskEdBox5_GotFocus();
    QTest::keyClicks(screen->MaskEdBox4, QStringLiteral("134507"));
    QCOMPARE(screen->MaskEdBox4->displayText(), QStringLiteral("13/45/07"));
    prompts.expectMessage();
    screen->MaskEdBox4_LostFocus();
    QCOMPARE(prompts.messages().last().text,
             QStringLiteral("\"13/45/07\" is not a date. Please type the date as month/day/year, for example 03/15/07."));
    QCOMPARE(screen->MaskEdBox5->text(), shown);
    QVERIFY(screen->MaskEdBox4->isBlank());
    screen->cmdSave_Click();
    QCOMPARE(data.part(1, "Date Ordered").toString(), QStringLiteral("2004-01-15"));

    // A real date goes in with the next write.
    screen->MaskEdBox5_GotFocus();
    QTest::keyClicks(screen->MaskEdBox4, QStringLiteral("031507"));
    screen->MaskEdBox4_LostFocus();
    QCOMPARE(screen->MaskEdBox5->text(), QStringLiteral("Thursday, March 15, 2007"));
    QCOMPARE(screen->MaskEdBox4->displayText(), QStringLiteral("__/__/__"));
    screen->cmdSave_Click();
    QCOMPARE(data.part(1, "Date Ordered").toString(), QStringLiteral("2007-03-15"));
    closeScreen(screen);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestMaintScreen::typedDateIsKeptHoweverThePartIsLeft()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    const auto typeDate = [](MaintScreen* screen, const QString& digits) {
        screen->MaskEdBox5_GotFocus();
        QTest::keyClicks(screen->MaskEdBox4, digits);
    };
    const auto dateOrdered = [&data](int part) { return data.part(part, QStringLiteral("Date Ordered")).toString(); };
    const auto pressEsc = [](MaintScreen* screen) {
        QPointer<MaintScreen> guard(screen);
        QTest::keyClick(screen->MaskEdBox4, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guard);
    };

    // Enter saves it; Esc after that keeps it.
    MaintScreen* screen = openScreen();   // B-200, never ordered
    typeDate(screen, QStringLiteral("031507"));
    QTest::keyClick(screen->MaskEdBox4, Qt::Key_Return);
    QCOMPARE(dateOrdered(2), QStringLiteral("2007-03-15"));
    pressEsc(screen);
    QCOMPARE(dateOrdered(2), QStringLiteral("2007-03-15"));

    // Esc alone, and the close box alone, with the entry box never left.
    screen = openScreen();
    typeDate(screen, QStringLiteral("041607"));
    pressEsc(screen);
    QCOMPARE(dateOrdered(2), QStringLiteral("2007-04-16"));
    screen = openScreen();
    typeDate(screen, QStringLiteral("051707"));
    closeScreen(screen);
    QCOMPARE(dateOrdered(2), QStringLiteral("2007-05-17"));

    // A move takes it to the part left, not to the next one; what is no date is refused on the way out.
    screen = openScreen();
    typeDate(screen, QStringLiteral("061807"));
    screen->SSDBCommand1->click();
    QCOMPARE(screen->Text1->text(), QStringLiteral("C-300"));
    QCOMPARE(dateOrdered(2), QStringLiteral("2007-06-18"));
    typeDate(screen, QStringLiteral("134507"));
    prompts.expectMessage();
    closeScreen(screen);
    QVERIFY(!data.part(4, QStringLiteral("Date Ordered")).isValid());
    QVERIFY(prompts.verifyAllAnswered());
}

void TestMaintScreen::deleteAsksAndNewPartGetsNewNumber()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    data.exec(QStringLiteral("INSERT INTO PartsUsage([Record Number],Used,[Lane Number]) VALUES (5,1,3)"));
    goTo(screen, QStringLiteral("X-900"));   // the highest record number

    prompts.expectMessage(Prompts::No);
    screen->SSCommand3_Click();
    QCOMPARE(data.count("Parts"), 5);
    QCOMPARE(screen->Text1->text(), QStringLiteral("X-900"));
    const ScriptedPrompts::Recorded ask = prompts.messages().at(0);
    QCOMPARE(ask.text, QString(44, u' ') + "Are you sure you want to delete this part?\r" + QString(8, u' ')
                           + "By selecting yes, all data about this part in the 'Parts Usage' report will be lost.\r"
                           + "It is better to leave this part alone and make the description say 'No Longer Available'");
    QCOMPARE(ask.style, 292);
    QCOMPARE(ask.title, QStringLiteral("Confirm"));
    QVERIFY(ask.beepBefore);

    prompts.expectMessage(Prompts::Yes);
    screen->SSCommand3_Click();
    QCOMPARE(data.count("Parts"), 4);
    QCOMPARE(data.scalar("SELECT count(*) FROM Parts WHERE [Record Number] = 5").toInt(), 0);
    QCOMPARE(data.count("PartsUsage"), 1);   // only the part goes
    // Re-read with the kind set last (a table without index): the first stored part.
    QCOMPARE(screen->Text1->text(), QStringLiteral("M-500"));

    // A part added now never takes the deleted part's number.
    screen->SSCommand2_Click();
    QCOMPARE(screen->focusWidget(), screen->Text1);
    QTest::keyClicks(screen->Text1, QStringLiteral("n-1"));
    screen->Text14->setText(QStringLiteral("NEW PART"));
    screen->Text6->setText(QStringLiteral("1"));
    screen->Text27->setText(QStringLiteral("1"));
    screen->MaskEdBox1->setText(QStringLiteral("5"));
    screen->cmdSave_Click();
    QCOMPARE(data.scalar("SELECT [Record Number] FROM Parts WHERE [Part Number 1] = 'N-1'").toInt(), 6);
    QCOMPARE(data.scalar("SELECT Description FROM Parts WHERE [Record Number] = 6").toString(), QStringLiteral("NEW PART"));
    // Further edits go to the new part.
    screen->Text15->setText(QStringLiteral("DECK"));
    screen->cmdSave_Click();
    QCOMPARE(data.part(6, "Area of Machine").toString(), QStringLiteral("DECK"));
    QCOMPARE(data.count("Parts"), 5);

    closeScreen(screen);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestMaintScreen::addRefusedWhileFilterIsOn()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    screen->SetFilterIndicators(true);
    QVERIFY(screen->filterOn());
    QVERIFY(screen->MnuMaintScreenPrint->menuAction()->isEnabled());
    QVERIFY(!screen->MnuMaintSort->menuAction()->isEnabled());
    QVERIFY(!screen->SSCommand1->isEnabled());

    prompts.expectMessage();
    screen->SSCommand2_Click();
    QCOMPARE(prompts.messages().size(), 1);
    QCOMPARE(prompts.messages()[0].text, QStringLiteral("You must cancel all filters before adding a new record!"));
    QCOMPARE(prompts.messages()[0].style, 0);
    QCOMPARE(prompts.messages()[0].effectiveTitle, AppInfo::title);
    QCOMPARE(screen->Data1->recordset()->editMode(), Recordset::EditMode::None);
    QCOMPARE(screen->Text1->text(), QStringLiteral("B-200"));

    // Retrieve is refused the same way.
    prompts.expectMessage();
    screen->SSCommand1_Click();
    QCOMPARE(prompts.messages()[1].text, QStringLiteral("You must cancel all filters before you can retrieve part numbers!"));
    QVERIFY(!screen->findWindow());

    screen->SetFilterIndicators(false);
    screen->SSCommand2_Click();
    QCOMPARE(screen->Data1->recordset()->editMode(), Recordset::EditMode::Adding);
    QVERIFY(!screen->MnuMaintScreenPrint->menuAction()->isEnabled());
    QCOMPARE(data.count("Parts"), 5);
    closeScreen(screen);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestMaintScreen::untouchedNewPartIsNotStored()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    // Added, part number 1 left empty (its vendor is "cleared"), then left by a move.
    screen->SSCommand2_Click();
    QCOMPARE(screen->SSDBData1->caption(), QStringLiteral("New part"));
    screen->Text1_LostFocus();
    screen->Text2_LostFocus();
    screen->Text3_LostFocus();
    screen->Check1->click();   // ticked and cleared again
    screen->Check1->click();
    screen->MaskEdBox5_GotFocus();
    screen->MaskEdBox4_LostFocus();
    screen->SSDBCommand4->click();
    QCOMPARE(data.count("Parts"), 5);
    QCOMPARE(screen->Text1->text(), QStringLiteral("X-900"));

    // Added and exited.
    screen->SSCommand2_Click();
    screen->CmdEXIT_Click();
    QCOMPARE(data.count("Parts"), 5);
    QCOMPARE(prompts.log().size(), 0);
}

void TestMaintScreen::saveWritesAndEnterSaves()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    screen->Text14->setFocus();
    screen->Text14->selectAll();
    QTest::keyClicks(screen->Text14, QStringLiteral("v-belt"));
    QTest::keyClick(screen->Text14, Qt::Key_Return);
    QCOMPARE(data.part(2, "Description").toString(), QStringLiteral("V-BELT"));
    QCOMPARE(screen->Text1->text(), QStringLiteral("B-200"));   // no move
    closeScreen(screen);
    QCOMPARE(prompts.log().size(), 0);
}

void TestMaintScreen::exitAndCloseBoxKeepEdits()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    {
        MaintScreen* screen = openScreen();
        goTo(screen, QStringLiteral("C-300"));
        screen->Text21->setText(QStringLiteral("SHELF 9"));
        QPointer<MaintScreen> guard(screen);
        QTest::mouseClick(screen->CmdEXIT, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guard);
        QCOMPARE(data.part(4, "Location").toString(), QStringLiteral("SHELF 9"));
    }
    {
        // The close box; the screen lets the main window go as it closes.
        QWidget mainWindow;
        MainWindowLock::setMainWindow(&mainWindow);
        MaintScreen* screen = new MaintScreen;
        MainWindowLock::acquire(screen);
        screen->show();
        screen->Form_Activate();
        QVERIFY(!mainWindow.isEnabled());
        goTo(screen, QStringLiteral("X-900"));
        screen->Text16->setText(QStringLiteral("12"));
        closeScreen(screen);
        QCOMPARE(data.part(5, "In Stock").toInt(), 12);
        QVERIFY(mainWindow.isEnabled());
        MainWindowLock::setMainWindow(nullptr);
    }
    {
        // Esc presses "E&xit".
        MaintScreen* screen = openScreen();
        goTo(screen, QStringLiteral("X-900"));
        screen->Text15->setText(QStringLiteral("PIT AREA"));
        QPointer<MaintScreen> guard(screen);
        QTest::keyClick(screen->Text15, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guard);
        QCOMPARE(data.part(5, "Area of Machine").toString(), QStringLiteral("PIT AREA"));
    }
    // Exit of a part whose zero price the user never filled in: the check asks before the write.
    {
        MaintScreen* screen = openScreen();
        goTo(screen, QStringLiteral("D-400"));
        screen->Text14->setText(QStringLiteral("SPRING 2"));
        for (int i = 0; i < 6; ++i)
            prompts.answerInput(QStringLiteral("3"));
        screen->CmdEXIT_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(data.part(3, "Description").toString(), QStringLiteral("SPRING 2"));
        QCOMPARE(data.part(3, "Package 2").toInt(), 3);
    }
    QVERIFY(prompts.verifyAllAnswered());
}

void TestMaintScreen::emptyTableShowsEmptyBoxes()
{
    PartsTestData data(false);
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    QCOMPARE(screen->Text1->text(), QString());
    QCOMPARE(screen->MaskEdBox1->text(), QString());
    QCOMPARE(screen->SSDBData1->caption(), QStringLiteral("No parts"));
    // Nothing to check, delete, save or move: and nothing ends.
    screen->Text1->setText(QStringLiteral("Q-1"));
    screen->MaskEdBox1_LostFocus();
    screen->Text6_LostFocus();
    screen->Text1_LostFocus();
    screen->SSCommand3_Click();
    screen->cmdSave_Click();
    for (QPushButton* b : {screen->SSDBCommand1, screen->SSDBCommand2, screen->SSDBCommand3, screen->SSDBCommand4})
        b->click();
    screen->Data1_Validate();
    QCOMPARE(prompts.log().size(), 0);
    QCOMPARE(data.count("Parts"), 0);

    // The first part of an empty catalogue can be added.
    screen->SSCommand2_Click();
    screen->Text1->setText(QStringLiteral("FIRST"));
    screen->Text6->setText(QStringLiteral("1"));
    screen->Text27->setText(QStringLiteral("1"));
    screen->MaskEdBox1->setText(QStringLiteral("2"));
    screen->CmdEXIT_Click();
    QCOMPARE(data.count("Parts"), 1);
    QCOMPARE(data.scalar("SELECT [Price 1] FROM Parts").toDouble(), 2.0);
    QCOMPARE(prompts.log().size(), 0);
}

void TestMaintScreen::colourSchemeReachesItsControls()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    QApplication::processEvents();
    const ColorSchemeConfig config = maintScreenColorScheme();
    QCOMPARE(config.bindings.size(), 80);
    for (const ColorBinding& b : config.bindings)
        if (!b.control.isEmpty())
            QVERIFY2(screen->findChild<QWidget*>(b.control), qPrintable(b.control));
    QVERIFY(screen->MnuColorBackground && screen->MnuColorForeColor);
    // Shipped colours: labels in LabelForeColor (0x462F1F), frames' text in SSFrameForeColor
    // (0x5E3717); the filter label and the boxes keep their own.
    QCOMPARE(screen->Label[11]->palette().color(QPalette::WindowText), QColor(0x1F, 0x2F, 0x46));
    QCOMPARE(screen->SSFrame6->palette().color(QPalette::WindowText), QColor(0x17, 0x37, 0x5E));
    QCOMPARE(screen->FilterLabel->palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(screen->Check1->palette().color(screen->Check1->backgroundRole()), QColor(0xD5, 0xE0, 0xEB));
    closeScreen(screen);
}

QTEST_MAIN(TestMaintScreen)
#include "tst_maintscreen.moc"
