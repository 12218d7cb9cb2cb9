// The usage screen on a real Inventory.mdb: recording uses and the count they leave, the use and
// its count stored together, editing a use, the two check boxes and the window's heights, the
// usage graph's precondition and report, the find-part window, and the colour menu.

#include "stock/PartsUsage.h"

#include "colours/ColorScheme.h"
#include "data/DataControl.h"
#include "data/DataNavigator.h"
#include "parts/PartsTestData.h"
#include "platform/AppFolder.h"
#include "platform/MainWindowLock.h"
#include "platform/Twips.h"
#include "reports/PaperSize.h"
#include "stock/RecordGrid.h"
#include "support/RecordingReportControl.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedModal.h"
#include "support/ScriptedPrompts.h"

#include <QAction>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

namespace {

const QString Today = QDate::currentDate().toString(QStringLiteral("M/d/yyyy"));
const QString TodayStored = QDate::currentDate().toString(Qt::ISODate);

PartsUsage* openScreen()
{
    auto* screen = new PartsUsage;
    screen->show();
    return screen;
}

void closeScreen(PartsUsage* screen)
{
    QPointer<PartsUsage> guard(screen);
    screen->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!guard);
}

// "E&xit" stands wholly inside the window's client area, with room to spare below it, so that
// the window's bottom edge does not cut the button.
bool exitWhollyShown(PartsUsage* s)
{
    QCoreApplication::sendPostedEvents();
    const QWidget* client = s->centralWidget();
    const QRect exit = s->Command6->geometry();
    return s->Command6->isVisibleTo(s) && client->rect().contains(exit) && exit.bottom() + 2 < client->height();
}

void focusEvent(QWidget* box, QEvent::Type type)
{
    QFocusEvent e(type, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &e);
}

// Quantity, lane and date as the user enters them, leaving each box in turn.
void enterUse(PartsUsage* s, const QString& quantity, const QString& lane, const QString& date = QString())
{
    s->Text1->setText(quantity);
    focusEvent(s->Text1, QEvent::FocusOut);
    s->Text2->setText(lane);
    focusEvent(s->Text2, QEvent::FocusOut);
    focusEvent(s->Text3, QEvent::FocusIn);
    if (!date.isNull())
        s->Text3->setText(date);
    focusEvent(s->Text3, QEvent::FocusOut);
}

// Replaces what a box holds as the user does: a click into it, Ctrl+A, the keys.
void retype(QLineEdit* box, const QString& text)
{
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
}

struct UsageData : PartsTestData {
    UsageData()
    {
        // B-200 (record 2) is first in vendor-1 order; it has been used twice.
        QVERIFY(exec(QStringLiteral("DELETE FROM PartsUsage;"
                                    "INSERT INTO PartsUsage([Record Number],Used,[Lane Number],[Date Used]) VALUES "
                                    "(2,5,3,'2004-01-15'),(2,1,7,'2004-02-01'),(1,2,1,'2004-03-01')")));
    }
    int uses(int part) const
    {
        return scalar(QStringLiteral("SELECT count(*) FROM PartsUsage WHERE [Record Number]=%1").arg(part)).toInt();
    }
};

}  // namespace

class TestPartsUsage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensCompactOnFirstPart();
    void useLowersCountNeverBelowZero();
    void useAndCountAreOneWrite();
    void zeroQuantityAndTypedDate();
    void badEntriesAreRefused();
    void editGivesBackWhatTheUseTook();
    void editAfterTheCountRoseMovesOnlyTheChange();
    void movingDuringEntryStoresNothing();
    void keepVisibleAndAlwaysRefresh();
    void oneAndOnlyOnePartIsEverListed();
    void graphUsage();
    void retrieve();
    void emptyPartsTable();
    void drivenFromTheMainMenu();
    void colourMenu();
};

void TestPartsUsage::opensCompactOnFirstPart()
{
    UsageData data;
    ScriptedPrompts prompts;
    PartsUsage* s = openScreen();
    QCOMPARE(s->windowTitle(), QStringLiteral("Use Parts"));
    QCOMPARE(s->Label1->text(), QStringLiteral("B-200"));
    QCOMPARE(s->Label2->text(), QStringLiteral("2B-2"));
    QCOMPARE(s->Label3->text(), QStringLiteral("3B-2"));
    QCOMPARE(s->Label12->text(), QStringLiteral("AMF"));
    QCOMPARE(s->Label14->text(), QStringLiteral("OTHER"));
    QCOMPARE(s->Label4->text(), QStringLiteral("BELT"));
    QCOMPARE(s->Label5->text(), QStringLiteral("A2"));
    QCOMPARE(s->Label8->text(), QStringLiteral("5"));
    QCOMPARE(s->Data1->recordset()->index(), QStringLiteral("inv1"));
    QCOMPARE(s->windowHeightTwips(), 4455);
    QVERIFY(!s->SSFrame1->isVisibleTo(s));
    QVERIFY(!s->SSDBGrid2->isVisibleTo(s));
    QVERIFY(!s->Command1->isVisibleTo(s));
    QVERIFY(!s->Command5->isVisibleTo(s));
    QVERIFY(!s->Command7->isVisibleTo(s));
    QVERIFY(!s->SSCheck1->isChecked() && !s->SSCheck1->isEnabled());
    QVERIFY(!s->SSCheck2->isChecked());
    QCOMPARE(s->Command6->pos(), twipsPoint(7027, 3237));
    QVERIFY(exitWhollyShown(s));
    QCOMPARE(s->SSDBData1->caption(), QStringLiteral("Parts"));
    QCOMPARE(s->Label23->text(), QStringLiteral("Date Used  "));
    QVERIFY(s->Command1->isDefault());
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartsUsage::useLowersCountNeverBelowZero()
{
    UsageData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [In Stock]=2 WHERE [Record Number]=2")));
    ScriptedPrompts prompts;
    PartsUsage* s = openScreen();
    s->Command2->click();
    QCOMPARE(s->windowHeightTwips(), 7650);
    QCOMPARE(s->Command6->pos(), twipsPoint(6545, 6536));
    QVERIFY(exitWhollyShown(s));
    QVERIFY(s->SSFrame1->isVisibleTo(s));
    QVERIFY(s->SSDBGrid2->isVisibleTo(s));
    QVERIFY(!s->Command1->isVisibleTo(s));
    QCOMPARE(s->SSDBGrid2->caption(), QStringLiteral("BELT"));
    QCOMPARE(s->SSDBGrid2->model()->rowCount(), 2);
    QCOMPARE(s->Label9->text(), QStringLiteral("2"));

    enterUse(s, QStringLiteral("3"), QStringLiteral("12"));
    QCOMPARE(s->Text3->text(), Today);   // filled in on entering the empty box
    QVERIFY(s->Command1->isVisibleTo(s));
    s->Command1->click();

    QCOMPARE(s->Label8->text(), QStringLiteral("0"));
    QCOMPARE(data.uses(2), 3);
    QCOMPARE(data.scalar(QStringLiteral("SELECT Used FROM PartsUsage WHERE [Lane Number]=12")).toDouble(), 3.0);
    QCOMPARE(data.scalar(QStringLiteral("SELECT [Date Used] FROM PartsUsage WHERE [Lane Number]=12")).toString(), TodayStored);
    QCOMPARE(data.scalar(QStringLiteral("SELECT [Record Number] FROM PartsUsage WHERE [Lane Number]=12")).toInt(), 2);
    QVERIFY(!s->SSFrame1->isVisibleTo(s));
    QVERIFY(!s->Command1->isVisibleTo(s));
    QCOMPARE(s->windowHeightTwips(), 4290);
    QVERIFY(!s->SSDBGrid2->isVisibleTo(s));
    QCOMPARE(s->Command6->pos(), twipsPoint(7027, 3237));
    QVERIFY(exitWhollyShown(s));   // the lowest of the four heights
    closeScreen(s);
    QCOMPARE(data.part(2, "In Stock").toInt(), 0);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartsUsage::useAndCountAreOneWrite()
{
    UsageData data;
    ScriptedPrompts prompts;
    PartsUsage* s = openScreen();
    // The count's write fails after the use's row was written: the row goes too, and the entry
    // stays to be confirmed again.
    QVERIFY(data.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE OF [In Stock] ON Parts "
                                     "BEGIN SELECT RAISE(ABORT, 'the disk refused the write'); END;")));
    s->Command2_Click();
    enterUse(s, QStringLiteral("2"), QStringLiteral("4"));
    prompts.expectMessage();
    s->Command1_Click();
    const auto told = prompts.messages().last();
    QVERIFY2(told.text.startsWith(QStringLiteral("This use could not be saved: ")), qPrintable(told.text));
    QVERIFY(told.text.contains(QStringLiteral("the disk refused the write")));
    QVERIFY(told.text.endsWith(QStringLiteral("\rNothing has been stored.")));
    QCOMPARE(told.style, 48);
    QCOMPARE(data.uses(2), 2);
    QCOMPARE(data.part(2, "In Stock").toInt(), 5);
    QCOMPARE(s->Label8->text(), QStringLiteral("5"));
    QVERIFY(s->isEntering());

    // Confirmed again: the row and the count are both in the file at once, before the part is left.
    QVERIFY(data.exec(QStringLiteral("DROP TRIGGER refuse")));
    s->Command1_Click();
    QCOMPARE(s->Label8->text(), QStringLiteral("3"));
    QCOMPARE(data.part(2, "In Stock").toInt(), 3);
    QCOMPARE(data.uses(2), 3);
    QCOMPARE(data.scalar(QStringLiteral("SELECT Used FROM PartsUsage WHERE [Lane Number]=4")).toDouble(), 2.0);
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartsUsage::zeroQuantityAndTypedDate()
{
    UsageData data;
    ScriptedPrompts prompts;
    PartsUsage* s = openScreen();
    s->Command2_Click();
    enterUse(s, QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("3/15/07"));
    s->Command1_Click();
    QCOMPARE(s->Label8->text(), QStringLiteral("5"));
    QCOMPARE(data.uses(2), 3);
    QCOMPARE(data.scalar(QStringLiteral("SELECT [Date Used] FROM PartsUsage WHERE [Lane Number]=2")).toString(),
             QStringLiteral("2007-03-15"));

    // Quantity and lane that are not numbers become 0 on leaving.
    s->Command2_Click();
    enterUse(s, QStringLiteral("ab"), QString(), QStringLiteral("3/16/07"));
    QCOMPARE(s->Text1->text(), QStringLiteral("0"));
    QCOMPARE(s->Text2->text(), QStringLiteral("0"));
    s->Command1_Click();   // lane 0: a use on no lane
    QCOMPARE(data.scalar(QStringLiteral("SELECT count(*) FROM PartsUsage WHERE [Lane Number]=0 AND Used=0")).toInt(), 1);
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartsUsage::badEntriesAreRefused()
{
    UsageData data;
    ScriptedPrompts prompts;
    PartsUsage* s = openScreen();
    s->Command2_Click();
    enterUse(s, QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("13/45/07"));
    prompts.expectMessage();
    s->Command1_Click();
    QCOMPARE(prompts.messages().last().style, 48);
    QVERIFY(prompts.messages().last().text.startsWith(QStringLiteral("\"13/45/07\" is not a date.")));
    QCOMPARE(data.uses(2), 2);
    QCOMPARE(s->Label8->text(), QStringLiteral("5"));
    QVERIFY(s->SSFrame1->isVisibleTo(s));

    // Part of a part or a negative quantity (which would add to the stock), a negative lane or
    // part of a lane: refused, nothing stored.
    s->Text3->setText(QStringLiteral("3/15/07"));
    const QString quantityRule = QStringLiteral("Please enter how many parts you are using as a whole number of 0 or more.");
    const QString laneRule = QStringLiteral("Please enter the lane number as a whole number of 0 or more. "
                                            "Enter 0 for a part that is not used on a lane.");
    const QStringList entries[] = {{"8.5", "2"}, {"-3", "2"}, {"1", "-4"}, {"1", "2.5"}};
    for (const QStringList& entry : entries) {
        s->Text1->setText(entry[0]);
        s->Text2->setText(entry[1]);
        prompts.expectMessage();
        s->Command1_Click();
        QCOMPARE(prompts.messages().last().style, 48);
    }
    QCOMPARE(prompts.texts().mid(1), QStringList({quantityRule, quantityRule, laneRule, laneRule}));
    QCOMPARE(data.uses(2), 2);
    QCOMPARE(s->Label8->text(), QStringLiteral("5"));
    QCOMPARE(data.part(2, "In Stock").toInt(), 5);

    // The boxes take three typed characters; a longer value shown by code stays whole.
    s->Text1->clear();
    QTest::keyClicks(s->Text1, QStringLiteral("12345"));
    QCOMPARE(s->Text1->text(), QStringLiteral("123"));
    s->Text2->setText(QStringLiteral("1000"));
    QCOMPARE(s->Text2->text(), QStringLiteral("1000"));
    closeScreen(s);
    QCOMPARE(data.uses(2), 2);   // closing drops the use not confirmed
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartsUsage::editGivesBackWhatTheUseTook()
{
    UsageData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [In Stock]=10 WHERE [Record Number]=2")));
    ScriptedPrompts prompts;
    PartsUsage* s = openScreen();
    s->Command3_Click();
    QVERIFY(s->Command5->isVisibleTo(s) && s->Command7->isVisibleTo(s));
    // The list stands on its first row, the use of 5.
    QCOMPARE(s->Text1->text(), QStringLiteral("5"));
    s->Command5_Click();
    QVERIFY(s->Command1->isVisibleTo(s));
    QVERIFY(s->SSFrame1->isVisibleTo(s));
    s->Text1->setText(QStringLiteral("3"));
    s->Command1_Click();
    // 5 given back (a use stored before what it took was kept took its whole quantity), 3 taken.
    QCOMPARE(s->Label8->text(), QStringLiteral("12"));
    QCOMPARE(data.scalar(QStringLiteral("SELECT Used FROM PartsUsage WHERE [Lane Number]=3")).toDouble(), 3.0);
    QCOMPARE(data.uses(2), 2);

    // Edit and OK without a change changes no count.
    s->Command3_Click();
    s->Command5_Click();
    s->Command1_Click();
    QCOMPARE(s->Label8->text(), QStringLiteral("12"));
    QCOMPARE(data.part(2, "In Stock").toInt(), 12);

    // A use of 15 with 12 in stock takes the 12 there are and stores 15. Changed to 0 it gives back
    // the 12 it took, not the 15 it asked for; changed to 4 the count is what it would have been
    // had 4 been entered in the first place.
    s->Command2_Click();
    enterUse(s, QStringLiteral("15"), QStringLiteral("6"));
    s->Command1_Click();
    QCOMPARE(data.part(2, "In Stock").toInt(), 0);
    QCOMPARE(data.scalar(QStringLiteral("SELECT Used FROM PartsUsage WHERE [Lane Number]=6")).toDouble(), 15.0);
    const std::pair<const char*, int> edits[] = {{"0", 12}, {"20", 0}, {"4", 8}};
    for (const auto& [quantity, count] : edits) {
        s->Command5_Click();   // the list stands on the use just stored
        QCOMPARE(s->Text2->text(), QStringLiteral("6"));
        s->Text1->setText(QString::fromLatin1(quantity));
        s->Command1_Click();
        QCOMPARE(data.part(2, "In Stock").toInt(), count);
        QCOMPARE(s->Label8->text(), QString::number(count));
    }
    QCOMPARE(data.uses(2), 3);
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartsUsage::editAfterTheCountRoseMovesOnlyTheChange()
{
    UsageData data;
    QVERIFY(data.exec(QStringLiteral("DELETE FROM PartsUsage WHERE [Record Number]=2;"
                                     "UPDATE Parts SET [In Stock]=2 WHERE [Record Number]=2")));
    ScriptedPrompts prompts;
    PartsUsage* s = openScreen();
    s->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s));

    // 5 used on lane 4 with 2 in stock: the count goes to 0, and the use took 2.
    QTest::mouseClick(s->Command2, Qt::LeftButton);   // "&Use This Part"
    QTest::mouseClick(s->Text1, Qt::LeftButton);
    QTest::keyClicks(s->Text1, QStringLiteral("5"));
    QTest::keyClick(s->Text1, Qt::Key_Tab);
    QTest::keyClicks(s->Text2, QStringLiteral("4"));
    QTest::keyClick(s->Text2, Qt::Key_Tab);   // into the date: today
    QTest::keyClick(s->Text3, Qt::Key_Tab);   // out of it: "&OK" shows and takes the focus
    QTest::mouseClick(s->Command1, Qt::LeftButton);
    const QString use = QStringLiteral("SELECT %1 FROM PartsUsage WHERE [Record Number]=2");
    QCOMPARE(data.part(2, "In Stock").toInt(), 0);
    QCOMPARE(data.scalar(use.arg("Used")).toDouble(), 5.0);
    QCOMPARE(data.scalar(use.arg("Taken")).toDouble(), 2.0);

    // A delivery brings the count to 10. Each edit of that use moves the count only by the change
    // in quantity, and keeps what the use took up to date.
    struct Edit {
        const char* what;
        QLineEdit* box;
        const char* typed;
        int count, used, lane, taken;
    };
    const Edit edits[] = {
        {"nothing changed", nullptr, "", 10, 5, 4, 2},
        {"the lane only", s->Text2, "6", 10, 5, 6, 2},
        {"5 to 7 takes the 2 more", s->Text1, "7", 8, 7, 4, 4},
        {"5 to 1 gives back 1 of the 2 taken", s->Text1, "1", 11, 1, 4, 1},
        {"5 to 0 gives back both", s->Text1, "0", 12, 0, 4, 0},
    };
    for (const Edit& e : edits) {
        QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [In Stock]=10 WHERE [Record Number]=2;"
                                         "UPDATE PartsUsage SET Used=5, [Lane Number]=4, Taken=2 WHERE [Record Number]=2")));
        QTest::mouseClick(s->Command3, Qt::LeftButton);   // "&Show Usage": the list stands on the one use
        QTest::mouseClick(s->Command5, Qt::LeftButton);   // "&Edit"
        QCOMPARE(s->Text1->text(), QStringLiteral("5"));
        if (e.box)
            retype(e.box, QString::fromLatin1(e.typed));
        QTest::mouseClick(s->Command1, Qt::LeftButton);   // "&OK"
        QVERIFY2(data.part(2, "In Stock").toInt() == e.count, e.what);
        QVERIFY2(data.scalar(use.arg("Used")).toInt() == e.used, e.what);
        QVERIFY2(data.scalar(use.arg("[Lane Number]")).toInt() == e.lane, e.what);
        QVERIFY2(data.scalar(use.arg("Taken")).toInt() == e.taken, e.what);
        QVERIFY2(s->Label8->text() == QString::number(e.count), e.what);
    }
    QCOMPARE(data.uses(2), 1);
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartsUsage::movingDuringEntryStoresNothing()
{
    UsageData data;
    ScriptedPrompts prompts;
    PartsUsage* s = openScreen();
    s->Command2_Click();
    enterUse(s, QStringLiteral("2"), QStringLiteral("9"));
    // Choosing a listed use meanwhile neither stores the use being entered nor ends the entry.
    s->SSDBGrid2->selectRow(1);
    QCOMPARE(data.uses(2), 2);
    QVERIFY(s->isEntering());
    QCOMPARE(s->Text2->text(), QStringLiteral("9"));
    s->SSDBData1->nextButton()->click();
    QVERIFY(!s->SSFrame1->isVisibleTo(s));
    QVERIFY(!s->isEntering());
    QCOMPARE(data.uses(2), 2);
    QCOMPARE(data.part(2, "In Stock").toInt(), 5);
    QCOMPARE(s->windowHeightTwips(), 4455);

    // The graph, asked for during an entry, leaves the entry rather than storing it.
    {
        RecordingReportControls reports;
        s->Command2_Click();
        enterUse(s, QStringLiteral("3"), QStringLiteral("5"));
        prompts.expectMessage();   // C-300 has not been used
        s->Command7_Click();
        QVERIFY(!s->isEntering());
        QCOMPARE(data.uses(4), 0);
        QCOMPARE(data.part(4, "In Stock").toInt(), 10);
    }

    // "&Use This Part" twice: one row, from the second entry.
    s->Command2_Click();
    s->Command2_Click();
    enterUse(s, QStringLiteral("1"), QStringLiteral("8"));
    s->Command1_Click();
    QCOMPARE(data.uses(4), 1);
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartsUsage::keepVisibleAndAlwaysRefresh()
{
    UsageData data;
    ScriptedPrompts prompts;
    PartsUsage* s = openScreen();
    s->SSCheck2->click();
    QVERIFY(s->SSCheck1->isEnabled());
    s->SSCheck1->click();
    s->Command3_Click();
    QCOMPARE(s->SSDBGrid2->model()->rowCount(), 2);

    // Enlarged across moves, the list following the part.
    s->SSDBData1->nextButton()->click();
    QCOMPARE(s->Label1->text(), QStringLiteral("C-300"));
    QCOMPARE(s->windowHeightTwips(), 7650);
    QCOMPARE(s->listedPart(), std::optional<qint64>(4));
    QCOMPARE(s->SSDBGrid2->model()->rowCount(), 0);
    QCOMPARE(s->SSDBGrid2->caption(), QStringLiteral("BEARING"));
    s->SSDBData1->nextButton()->click();
    QCOMPARE(s->listedPart(), std::optional<qint64>(3));

    // After "&OK" the window stays enlarged.
    s->Command2_Click();
    enterUse(s, QStringLiteral("1"), QStringLiteral("1"));
    s->Command1_Click();
    QCOMPARE(s->windowHeightTwips(), 7650);
    QCOMPARE(s->SSDBGrid2->model()->rowCount(), 1);

    // Clearing "Keep Visible" clears "Always Refresh" and makes it unusable.
    s->SSCheck2->click();
    QVERIFY(!s->SSCheck1->isChecked());
    QVERIFY(!s->SSCheck1->isEnabled());
    s->SSDBData1->previousButton()->click();
    QCOMPARE(s->windowHeightTwips(), 4455);
    QVERIFY(!s->SSDBGrid2->isVisibleTo(s));
    QCOMPARE(s->listedPart(), std::optional<qint64>(3));   // not relisted
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartsUsage::oneAndOnlyOnePartIsEverListed()
{
    UsageData data;
    ScriptedPrompts prompts;
    RecordingReportControls reports;
    PartsUsage* s = openScreen();
    // Nothing listed yet: no edit or graph of some other part's uses.
    QVERIFY(!s->listedPart());
    QVERIFY(!s->Command5->isVisibleTo(s));
    s->Command3_Click();
    QVERIFY(s->Command5->isVisibleTo(s));

    // Keep Visible without Always Refresh: after a move the list still shows B-200's uses, so
    // Edit and Graph stand down; Graph asked directly graphs the part on screen.
    s->SSCheck2->click();
    s->SSDBData1->lastButton()->click();   // X-900, record 5, never used
    QCOMPARE(s->listedPart(), std::optional<qint64>(2));
    QVERIFY(!s->Command5->isVisibleTo(s));
    QVERIFY(!s->Command7->isVisibleTo(s));
    s->Command5_Click();
    QVERIFY(!s->isEntering());
    prompts.expectMessage();
    s->Command7_Click();
    QCOMPARE(prompts.texts(), QStringList{QStringLiteral("You can not graph this parts usage because it has not been used.")});
    QCOMPARE(reports.runs().size(), 0);
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartsUsage::graphUsage()
{
    UsageData data;
    ScriptedPrompts prompts;
    RecordingReportControls reports;
    PartsUsage* s = openScreen();

    // A part never used: the notice after a beep, nothing printed.
    s->SSDBData1->lastButton()->click();
    s->Command3_Click();
    prompts.expectMessage();
    s->Command7_Click();
    QCOMPARE(prompts.messages().size(), 1);
    QCOMPARE(prompts.messages()[0].style, 64);
    QCOMPARE(prompts.messages()[0].title, QStringLiteral("Notice"));
    QVERIFY(prompts.messages()[0].beepBefore);
    QCOMPARE(reports.runs().size(), 0);

    // B-200 on Letter, then on A4.
    s->SSDBData1->firstButton()->click();
    s->Command3_Click();
    s->Command7_Click();
    QCOMPARE(reports.runs().size(), 1);
    QCOMPARE(reports.runs()[0].file, AppFolder::join(QStringLiteral("\\UsedByPartNumber.rpt")));
    QCOMPARE(reports.runs()[0].formula, std::optional<QString>(QStringLiteral("{PartsUsage.Record Number} =2")));
    QVERIFY(reports.runs()[0].sortFields.isEmpty());
    PaperSize::setA4(true);
    s->Command7_Click();
    PaperSize::setA4(false);
    QCOMPARE(reports.runs().size(), 2);
    QCOMPARE(reports.runs()[1].file, AppFolder::join(QStringLiteral("\\UsedByPartNumberA4.rpt")));
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartsUsage::retrieve()
{
    UsageData data;
    ScriptedPrompts prompts;
    PartsUsage* s = openScreen();
    s->MnuUsePartVendor2->trigger();
    s->Command8_Click();
    QPointer<FindPartWindow> find = s->findWindow();
    QVERIFY(find);
    QCOMPARE(find->windowTitle(), QStringLiteral("Retrieve Part Number"));
    QVERIFY(s->isEnabled());   // the usage screen stays usable beside it
    find->Text2->setText(QStringLiteral("ABC"));
    find->Command1_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!find);
    QCOMPARE(s->Label1->text(), QStringLiteral("D-400"));
    QCOMPARE(s->Data1->recordset()->index(), QStringLiteral("inv2"));

    // No vendor index on the parts: no window.
    s->Data1->refresh();
    QVERIFY(s->Data1->recordset()->index().isEmpty());
    s->Command8_Click();
    QVERIFY(!s->findWindow());
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartsUsage::emptyPartsTable()
{
    PartsTestData data(false);
    QVERIFY(data.exec(QStringLiteral("DELETE FROM PartsUsage")));
    ScriptedPrompts prompts;
    RecordingReportControls reports;
    PartsUsage* s = openScreen();
    s->Command2_Click();
    QVERIFY(!s->isEntering());
    s->Command3_Click();
    QCOMPARE(s->windowHeightTwips(), 7650);
    QVERIFY(!s->listedPart());
    {
        // The images window says there is no part and closes.
        ScriptedModal modal;
        prompts.expectMessage();
        s->SSCommand7_Click();
        QTRY_VERIFY(prompts.allAnswered());
        QVERIFY(prompts.messages().last().text.startsWith(QStringLiteral("There is no saved part on the screen")));
    }
    prompts.expectMessage();
    s->Command7_Click();
    QCOMPARE(reports.runs().size(), 0);
    closeScreen(s);
    QCOMPARE(data.count(QStringLiteral("PartsUsage")), 0);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartsUsage::drivenFromTheMainMenu()
{
    UsageData data;
    ScriptedPrompts prompts;
    QWidget main;
    MainWindowLock::setMainWindow(&main);
    // As the main window's "Parts Usage (One Part)" does it, by the controls' names.
    auto* s = new PartsUsage;
    MainWindowLock::acquire(s);
    s->show();
    s->findChild<QAbstractButton*>(QStringLiteral("Command3"))->click();
    for (const char* name : {"SSCheck2", "SSCheck1"})
        s->findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
    QVERIFY(s->SSCheck1->isChecked() && s->SSCheck2->isChecked());
    QCOMPARE(s->windowHeightTwips(), 7650);
    QCOMPARE(s->listedPart(), std::optional<qint64>(2));
    s->SSDBData1->nextButton()->click();
    QCOMPARE(s->windowHeightTwips(), 7650);
    QCOMPARE(s->listedPart(), std::optional<qint64>(4));
    QVERIFY(!main.isEnabled());
    s->Command6->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(main.isEnabled());
    MainWindowLock::setMainWindow(nullptr);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestPartsUsage::colourMenu()
{
    UsageData data;
    ScriptedPrompts prompts;
    ScriptedDialogs dialogs;
    PartsUsage* s = openScreen();
    const ColorSchemeConfig config = partsUsageColorScheme();
    QCOMPARE(config.bindings.size(), 47);
    for (const ColorBinding& b : config.bindings)
        QVERIFY2(b.control.isEmpty() || s->findChild<QWidget*>(b.control), qPrintable(b.control));
    QVERIFY(config.popupControls.isEmpty());
    QCOMPARE(s->menuBar()->actions().size(), 2);
    QCOMPARE(s->menuBar()->actions()[1]->text(), QStringLiteral("&Colors"));

    // A list colour with the list hidden shows it, enlarges the window and lists the part's uses.
    QVERIFY(!s->SSDBGrid2->isVisibleTo(s));
    dialogs.answerColor(QColor(250, 240, 200));
    s->findChild<QAction*>(QStringLiteral("MnuUsageListFirst"))->trigger();
    QVERIFY(s->SSDBGrid2->isVisibleTo(s));
    QCOMPARE(s->windowHeightTwips(), 7650);
    QCOMPARE(s->listedPart(), std::optional<qint64>(2));
    QCOMPARE(s->SSDBGrid2->palette().color(QPalette::Base), QColor(250, 240, 200));
    QCOMPARE(s->Data4->color(QStringLiteral("SSDBGridEvenColor")), QColor(250, 240, 200));

    // Text colour: the data labels change, the vendor makes keep their white.
    dialogs.answerColor(QColor(0, 90, 0));
    s->findChild<QAction*>(QStringLiteral("MnuUsageText"))->trigger();
    QCOMPARE(s->Label4->palette().color(QPalette::WindowText), QColor(0, 90, 0));
    QCOMPARE(s->Label12->palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(s->Data4->color(QStringLiteral("LabelForeColor")), QColor(0, 90, 0));
    // Only the window's own background pops the menu.
    QVERIFY(!s->Data4->isMenuClick(s->SSDBGrid2->mapTo(s, QPoint(20, 40))));
    QVERIFY(!s->Data4->isMenuClick(s->Label4->mapTo(s, QPoint(2, 2))));
    closeScreen(s);
    QVERIFY(dialogs.verifyAllAnswered());
    QVERIFY(prompts.verifyAllAnswered());
}

QTEST_MAIN(TestPartsUsage)
#include "tst_usage.moc"
