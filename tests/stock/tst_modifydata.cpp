// The stock-input screen on a real Inventory.mdb: counts, minimums, locations and default vendors
// saved as parts are left, the box rules and the minimum prompt, the eight list orders and the
// refusal of "&Retrieve" on the own-parts lists, closing, and the colour menu.

#include "stock/ModifyData.h"

#include "colours/ColorScheme.h"
#include "data/DataControl.h"
#include "data/DataNavigator.h"
#include "parts/PartsTestData.h"
#include "platform/MainWindowLock.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedModal.h"
#include "utilities/ImportSetup.h"
#include "support/ScriptedPrompts.h"

#include <QAction>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

namespace {

const QString MinimumQuestion =
    QStringLiteral("Please enter the minimum quantity that you prefer to have on hand at all times for ");

ModifyData* openScreen()
{
    auto* screen = new ModifyData;
    screen->show();
    screen->Form_Activate();
    return screen;
}

void closeScreen(ModifyData* screen)
{
    QPointer<ModifyData> guard(screen);
    screen->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!guard);
}

void leave(QWidget* box)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &out);
}

QString partShown(ModifyData* s)
{
    return s->Label[28]->text();
}

QStringList listed(ModifyData* s)
{
    QStringList parts;
    Recordset* rs = s->Data1->recordset();
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        parts << rs->value(QStringLiteral("Part Number 1")).toString();
    rs->moveFirst();
    return parts;
}

}  // namespace

class TestModifyData : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void minimumRules();
    void opensOnFirstPartByVendor1();
    void enteredValuesAreSavedWhenThePartIsLeft();
    void countInStockIsAlwaysANumber();
    void countsBelowZeroOrInPartsAreRefused();
    void minimumBoxAndItsPrompt();
    void minimumPromptBeforeLeavingAPart();
    void largeCountsSurviveAVisit();
    void yourInventoryOnly();
    void allPartsOrdersAndRetrieve();
    void closingSavesAndGivesTheMainWindowBack();
    void importWindows();
    void colourMenu();
};

void TestModifyData::minimumRules()
{
    QVERIFY(minimumPromptNeeded(QStringLiteral("0"), QStringLiteral("5")));
    QVERIFY(minimumPromptNeeded(QString(), QStringLiteral("1")));
    QVERIFY(minimumPromptNeeded(QStringLiteral("x"), QStringLiteral("2")));
    QVERIFY(!minimumPromptNeeded(QStringLiteral("0"), QStringLiteral("0")));
    QVERIFY(!minimumPromptNeeded(QStringLiteral("0"), QString()));
    QVERIFY(!minimumPromptNeeded(QStringLiteral("2"), QStringLiteral("5")));
    QCOMPARE(minimumFromAnswer(QString()), QStringLiteral("1"));
    QCOMPARE(minimumFromAnswer(QStringLiteral("0")), QStringLiteral("1"));
    QCOMPARE(minimumFromAnswer(QStringLiteral("abc")), QStringLiteral("1"));
    QCOMPARE(minimumFromAnswer(QStringLiteral("4")), QStringLiteral("4"));
    QCOMPARE(minimumFromAnswer(QStringLiteral("-4")), QStringLiteral("1"));
    QCOMPARE(minimumFromAnswer(QStringLiteral("2.5")), QStringLiteral("1"));
}

void TestModifyData::opensOnFirstPartByVendor1()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    auto* s = new ModifyData;
    QCOMPARE(s->windowTitle(), QStringLiteral("Data Entry "));
    s->show();
    QTRY_COMPARE(partShown(s), QStringLiteral("B-200"));   // the first activation opens the table
    QCOMPARE(s->Data1->recordset()->kind(), Recordset::Kind::Table);
    QCOMPARE(s->Data1->recordset()->index(), QStringLiteral("inv1"));
    QCOMPARE(s->Instock->text(), QStringLiteral("5"));
    QCOMPARE(s->Min->text(), QStringLiteral("2"));
    QCOMPARE(s->PartLocation->text(), QStringLiteral("A2"));
    QCOMPARE(s->Label[18]->text(), QStringLiteral("BELT"));
    QCOMPARE(s->Label[19]->text(), QStringLiteral("DRIVE"));
    QCOMPARE(s->Label[25]->text(), QStringLiteral("AMF"));
    QCOMPARE(s->Label[27]->text(), QStringLiteral("OTHER"));
    QCOMPARE(s->Label[29]->text(), QStringLiteral("2B-2"));
    QCOMPARE(s->Label[15]->text(), QStringLiteral("2"));   // package of vendor 2
    QCOMPARE(s->Label[7]->text(), QStringLiteral("PB"));
    QCOMPARE(s->Label[17]->text(), QStringLiteral("3"));
    QVERIFY(s->Check2->isChecked() && !s->Check1->isChecked());
    QCOMPARE(s->SSDBData1->caption(), QStringLiteral("Inventory Parts"));
    const QStringList menus = {QStringLiteral("Se&lect"), QStringLiteral("&Import"), QStringLiteral("&Colors")};
    QStringList shown;
    for (QAction* a : s->menuBar()->actions())
        shown << a->text();
    QCOMPARE(shown, menus);
    QCOMPARE(s->MnuImportDOS->text(), QStringLiteral("From Version E.&6"));
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestModifyData::enteredValuesAreSavedWhenThePartIsLeft()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ModifyData* s = openScreen();
    s->Instock->setText(QStringLiteral("9"));
    s->Min->setText(QStringLiteral("3"));
    s->PartLocation->clear();
    QTest::keyClicks(s->PartLocation, QStringLiteral("b12"));
    QCOMPARE(s->PartLocation->text(), QStringLiteral("B12"));
    s->Check1->click();
    QVERIFY(s->Check1->isChecked());
    QVERIFY(!s->Check2->isChecked());
    QCOMPARE(data.part(2, "In Stock").toInt(), 5);   // not yet
    s->SSDBCommand1->click();                         // "&Next"
    QCOMPARE(partShown(s), QStringLiteral("C-300"));
    QCOMPARE(data.part(2, "In Stock").toInt(), 9);
    QCOMPARE(data.part(2, "Minimum Stock").toInt(), 3);
    QCOMPARE(data.part(2, "Location").toString(), QStringLiteral("B12"));
    QCOMPARE(data.part(2, "Default 1").toInt(), 1);
    QCOMPARE(data.part(2, "Default 2").toInt(), 0);

    // The typing limits: three characters in the counts, fifteen in the location.
    s->Instock->clear();
    QTest::keyClicks(s->Instock, QStringLiteral("12345"));
    QCOMPARE(s->Instock->text(), QStringLiteral("012"));   // the cleared box showed 0 at once
    s->PartLocation->clear();
    QTest::keyClicks(s->PartLocation, QStringLiteral("abcdefghijklmnopq"));
    QCOMPARE(s->PartLocation->text(), QStringLiteral("ABCDEFGHIJKLMNO"));
    closeScreen(s);
    QCOMPARE(data.part(4, "Location").toString(), QStringLiteral("ABCDEFGHIJKLMNO"));
    QVERIFY(prompts.verifyAllAnswered());
}

void TestModifyData::countInStockIsAlwaysANumber()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [In Stock]=NULL WHERE [Record Number]=4")));   // C-300
    ScriptedPrompts prompts;
    ModifyData* s = openScreen();
    s->Instock->clear();
    QCOMPARE(s->Instock->text(), QStringLiteral("0"));
    s->Instock->setText(QStringLiteral("x"));
    QCOMPARE(s->Instock->text(), QStringLiteral("0"));
    s->SSDBCommand1->click();   // B-200 stored with 0 (its minimum 2 asks nothing)
    QCOMPARE(data.part(2, "In Stock").toInt(), 0);
    // A part without a count shows 0, and 0 is stored when it is left.
    QCOMPARE(partShown(s), QStringLiteral("C-300"));
    QCOMPARE(s->Instock->text(), QStringLiteral("0"));
    QVERIFY(!data.part(4, "In Stock").isValid());
    s->SSDBCommand1->click();
    QCOMPARE(data.part(4, "In Stock").toInt(), 0);
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestModifyData::countsBelowZeroOrInPartsAreRefused()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [In Stock]=-3 WHERE [Record Number]=4")));   // C-300, an older file's count
    ScriptedPrompts prompts;
    ModifyData* s = openScreen();
    s->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s));
    QCOMPARE(partShown(s), QStringLiteral("B-200"));
    const QString fraction = QStringLiteral("\"2.5\" is not a whole number. Please enter a whole number of 0 or more here.");
    const QString belowZero = QStringLiteral("\"-3\" is below 0. Please enter a whole number of 0 or more here.");

    // A count below 0 (a lone "-" would be 0 at once: the sign goes in front of the digits).
    QTest::mouseClick(s->Instock, Qt::LeftButton);
    QTest::keyClick(s->Instock, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(s->Instock, QStringLiteral("3"));
    QTest::keyClick(s->Instock, Qt::Key_Home);
    QTest::keyClicks(s->Instock, QStringLiteral("-"));
    QCOMPARE(s->Instock->text(), QStringLiteral("-3"));
    // A minimum with a part of a part, refused as the box is left.
    QTest::keyClick(s->Instock, Qt::Key_Tab);
    QTest::keyClicks(s->Min, QStringLiteral("2.5"));
    prompts.expectMessage();
    QTest::keyClick(s->Min, Qt::Key_Tab);
    QCOMPARE(prompts.texts(), QStringList{fraction});
    QCOMPARE(prompts.messages()[0].style, 48);
    QCOMPARE(prompts.messages()[0].title, QString());
    QCOMPARE(s->Min->text(), QStringLiteral("2"));
    // The count, as the part is left.
    prompts.expectMessage();
    QTest::mouseClick(s->SSDBCommand1, Qt::LeftButton);   // "&Next"
    QCOMPARE(prompts.texts(), QStringList({fraction, belowZero}));
    QCOMPARE(data.part(2, "In Stock").toInt(), 5);
    QCOMPARE(data.part(2, "Minimum Stock").toInt(), 2);

    // A count below 0 that the part already stores was not typed: leaving it says nothing.
    QCOMPARE(partShown(s), QStringLiteral("C-300"));
    QCOMPARE(s->Instock->text(), QStringLiteral("-3"));
    QTest::mouseClick(s->SSDBCommand1, Qt::LeftButton);
    QCOMPARE(prompts.messages().size(), 2);
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestModifyData::minimumBoxAndItsPrompt()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ModifyData* s = openScreen();
    // Deleting the minimum: the notice, the text left as it is.
    prompts.expectMessage();
    s->Min->clear();
    QCOMPARE(prompts.texts(), QStringList{QStringLiteral("You need to enter a number here")});
    QCOMPARE(prompts.messages()[0].style, 0);
    QCOMPARE(prompts.messages()[0].title, QString());
    QCOMPARE(s->Min->text(), QString());

    // Leaving it: 0, and with 5 in stock the question; 0 as the answer stores 1.
    prompts.answerInput(QStringLiteral("0"));
    leave(s->Min);
    const ScriptedPrompts::Recorded ask = prompts.log().last();
    QCOMPARE(ask.kind, ScriptedPrompts::Recorded::Input);
    QCOMPARE(ask.text, MinimumQuestion + QStringLiteral("BELT!"));
    QCOMPARE(ask.title, QStringLiteral("Warning"));
    QCOMPARE(ask.defaultText, QString());
    QCOMPARE(ask.x, 3000);
    QCOMPARE(ask.y, 5000);
    QCOMPARE(s->Min->text(), QStringLiteral("1"));
    QCOMPARE(data.part(2, "Minimum Stock").toInt(), 1);   // written by the prompt at once

    // 4 stores 4; a message box taking the focus is no leaving.
    s->Min->setText(QStringLiteral("0"));
    QFocusEvent toBox(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(s->Min, &toBox);
    prompts.answerInput(QStringLiteral("4"));
    leave(s->Min);
    QCOMPARE(data.part(2, "Minimum Stock").toInt(), 4);

    // A cancelled question: the notice for the empty answer, then 1.
    s->Min->setText(QStringLiteral("0"));
    prompts.answerInput(QString()).expectMessage();
    leave(s->Min);
    QCOMPARE(s->Min->text(), QStringLiteral("1"));
    QCOMPARE(data.part(2, "Minimum Stock").toInt(), 1);

    // Nothing in stock: no question.
    s->Instock->setText(QStringLiteral("0"));
    s->Min->setText(QStringLiteral("0"));
    const int asked = prompts.log().size();
    leave(s->Min);
    QCOMPARE(prompts.log().size(), asked);
    closeScreen(s);
    QCOMPARE(data.part(2, "Minimum Stock").toInt(), 0);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestModifyData::minimumPromptBeforeLeavingAPart()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Minimum Stock]=0 WHERE [Record Number]=4;"       // C-300, 10 in stock
                                     "UPDATE Parts SET [Minimum Stock]=NULL WHERE [Record Number]=3")));  // D-400, none in stock
    ScriptedPrompts prompts;
    ModifyData* s = openScreen();
    s->SSDBCommand1->click();
    QCOMPARE(partShown(s), QStringLiteral("C-300"));
    QVERIFY(prompts.log().isEmpty());   // arriving asks nothing
    // The box was never entered: leaving the part asks (a cancelled answer first shows the
    // notice for the emptied box). Arriving on D-400, whose minimum is empty, shows it again.
    prompts.answerInput(QString()).expectMessage().expectMessage();
    s->SSDBCommand1->click();
    QCOMPARE(prompts.log().size(), 3);
    QCOMPARE(prompts.log()[0].text, MinimumQuestion + QStringLiteral("BEARING!"));
    QCOMPARE(prompts.log()[2].text, QStringLiteral("You need to enter a number here"));
    QCOMPARE(partShown(s), QStringLiteral("D-400"));
    QCOMPARE(data.part(4, "Minimum Stock").toInt(), 1);
    // D-400: nothing in stock; leaving asks nothing and stores 0 for the empty minimum.
    s->SSDBCommand1->click();
    QCOMPARE(prompts.log().size(), 3);
    QCOMPARE(data.part(3, "Minimum Stock"), QVariant(qlonglong(0)));
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestModifyData::largeCountsSurviveAVisit()
{
    PartsTestData data;
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [In Stock]=1500, [Minimum Stock]=1200 WHERE [Record Number]=2")));
    ScriptedPrompts prompts;
    ModifyData* s = openScreen();
    QCOMPARE(s->Instock->text(), QStringLiteral("1500"));
    QCOMPARE(s->Min->text(), QStringLiteral("1200"));
    s->SSDBCommand1->click();
    s->SSDBCommand2->click();
    QCOMPARE(s->Instock->text(), QStringLiteral("1500"));
    closeScreen(s);
    QCOMPARE(data.part(2, "In Stock").toInt(), 1500);
    QCOMPARE(data.part(2, "Minimum Stock").toInt(), 1200);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestModifyData::yourInventoryOnly()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ModifyData* s = openScreen();
    s->Instock->setText(QStringLiteral("8"));
    s->MnuMinNo1->trigger();
    QCOMPARE(data.part(2, "In Stock").toInt(), 8);   // saved before the list is read
    QCOMPARE(s->Data1->recordSource(),
             QStringLiteral("Select * from Parts Where [Minimum Stock] >= 1 Order By [Part Number 1] ASC "));
    QCOMPARE(s->Data1->recordset()->kind(), Recordset::Kind::Dynaset);
    // D-400 keeps no minimum: not one of the centre's own parts.
    QCOMPARE(listed(s), (QStringList{"B-200", "C-300", "M-500", "X-900"}));

    s->MnuMinLocation->trigger();
    QCOMPARE(s->Data1->recordSource(),
             QStringLiteral("Select * from Parts Where [Minimum Stock] >= 1 Order By [Location] ASC "));
    QCOMPARE(listed(s), (QStringList{"M-500", "B-200", "C-300", "X-900"}));
    s->MnuMinNo3->trigger();
    QCOMPARE(s->Data1->recordSource(),
             QStringLiteral("Select * from Parts Where [Minimum Stock] >= 1 Order By [Part Number 3] ASC "));
    s->MnuMinNo2->trigger();
    QCOMPARE(s->Data1->recordset()->recordCount(), 4);

    // No retrieving on an own-parts list.
    prompts.expectMessage();
    s->Command1->click();
    QCOMPARE(prompts.texts(), QStringList{QStringLiteral("You must select all parts before you can use the retrieve button")});
    QCOMPARE(prompts.messages()[0].style, 0);
    QVERIFY(!s->findWindow());
    QVERIFY(s->isEnabled());
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestModifyData::allPartsOrdersAndRetrieve()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ModifyData* s = openScreen();
    s->MnuAllByLocation->trigger();
    QCOMPARE(s->Data1->recordset()->kind(), Recordset::Kind::Table);
    QCOMPARE(s->Data1->recordset()->index(), QStringLiteral("location"));
    QCOMPARE(listed(s), (QStringList{"M-500", "B-200", "D-400", "C-300", "X-900"}));
    s->MnuAllByNo3->trigger();
    QCOMPARE(s->Data1->recordset()->index(), QStringLiteral("inv3"));
    QCOMPARE(s->Data1->recordset()->recordCount(), 5);

    // Retrieve on the location order: vendor 1's order first, the screen waits for the window.
    s->MnuAllByLocation->trigger();
    s->Command1->click();
    QPointer<FindPartWindow> find = s->findWindow();
    QVERIFY(find);
    QCOMPARE(s->Data1->recordset()->index(), QStringLiteral("inv1"));
    QVERIFY(!s->isEnabled());
    find->Text1->setText(QStringLiteral("x"));
    find->Command1_Click();
    QVERIFY(s->isEnabled());
    QCOMPARE(partShown(s), QStringLiteral("X-900"));
    QCOMPARE(s->Data1->recordsetType(), Recordset::Kind::Table);
    closeScreen(s);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestModifyData::closingSavesAndGivesTheMainWindowBack()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    QWidget main;
    MainWindowLock::setMainWindow(&main);
    ModifyData* s = openScreen();
    MainWindowLock::acquire(s);
    QVERIFY(!main.isEnabled());
    s->Instock->setText(QStringLiteral("0"));
    s->Min->setText(QStringLiteral("0"));
    s->Instock->setText(QStringLiteral("6"));
    // The window's close box: the part's checks, the save, the main window back in front.
    prompts.answerInput(QStringLiteral("2"));
    closeScreen(s);
    QCOMPARE(prompts.log().size(), 1);
    QCOMPARE(data.part(2, "In Stock").toInt(), 6);
    QCOMPARE(data.part(2, "Minimum Stock").toInt(), 2);
    QVERIFY(main.isEnabled());
    QVERIFY(main.isVisible());
    MainWindowLock::setMainWindow(nullptr);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestModifyData::importWindows()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ScriptedModal modal;
    ModifyData* s = openScreen();
    s->SSDBCommand1->click();   // C-300
    s->Instock->setText(QStringLiteral("11"));

    QPointer<QWidget> help;
    modal.onNext([&help](QWidget* w) { help = w; });   // left open for a moment, as the user reads it
    s->MnuImportDOS->trigger();
    QCOMPARE(data.part(4, "In Stock").toInt(), 11);   // saved before the import could store over it
    QVERIFY(qobject_cast<ImportHelp*>(help.data()));
    QCOMPARE(help->windowTitle(), QStringLiteral("Instructions"));
    QPointer<ImportSetup> import;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<ImportSetup*>(w))
            import = found;
    QVERIFY(import && import->isVisible());
    QVERIFY(s->isEnabled());
    help->close();

    // What the import stores shows once its window closes; a count typed meanwhile is kept.
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET Location='IMPORTED', [Minimum Stock]=9 WHERE [Record Number]=4")));
    s->Min->setText(QStringLiteral("7"));
    import->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!import);
    QCOMPARE(partShown(s), QStringLiteral("C-300"));
    QCOMPARE(s->PartLocation->text(), QStringLiteral("IMPORTED"));
    QCOMPARE(s->Min->text(), QStringLiteral("7"));
    QCOMPARE(s->Data1->recordset()->index(), QStringLiteral("inv1"));
    closeScreen(s);
    QCOMPARE(data.part(4, "Location").toString(), QStringLiteral("IMPORTED"));
    QVERIFY(prompts.verifyAllAnswered());
}

void TestModifyData::colourMenu()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ScriptedDialogs dialogs;
    ModifyData* s = openScreen();
    const ColorSchemeConfig config = modifyDataColorScheme();
    QCOMPARE(config.bindings.size(), 62);
    QCOMPARE(config.tableName, QStringLiteral("ModifyData"));
    for (const ColorBinding& b : config.bindings)
        QVERIFY2(b.control.isEmpty() || s->findChild<QWidget*>(b.control), qPrintable(b.control));
    QVERIFY(config.popupControls.isEmpty());

    const QColor entryBase = s->Instock->palette().color(QPalette::Base);
    dialogs.answerColor(QColor(90, 0, 0)).answerColor(QColor(0, 0, 200));
    s->findChild<QAction*>(QStringLiteral("MnuDataText"))->trigger();
    s->findChild<QAction*>(QStringLiteral("MnuDataBackground"))->trigger();
    // Part and vendor data take the text colour at once; the ten captions keep their white.
    for (int n : {18, 25, 28, 13, 14, 7, 17})
        QCOMPARE(s->Label[n]->palette().color(QPalette::WindowText), QColor(90, 0, 0));
    for (int n : {1, 2, 3, 4, 5, 6, 10, 20, 21, 22})
        QCOMPARE(s->Label[n]->palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(s->Check3->palette().color(QPalette::WindowText), QColor(90, 0, 0));
    QCOMPARE(s->Frame2->palette().color(QPalette::Window), QColor(0, 0, 200));
    QCOMPARE(s->Label[22]->palette().color(QPalette::Window), QColor(0, 0, 200));
    QCOMPARE(s->Instock->palette().color(QPalette::Base), entryBase);
    QCOMPARE(s->Data3->color(QStringLiteral("LabelForeColor")), QColor(90, 0, 0));
    QCOMPARE(s->Data3->color(QStringLiteral("MainFormBackColor")), QColor(0, 0, 200));
    // Only the window's own background pops the menu.
    QVERIFY(!s->Data3->isMenuClick(s->Frame1->mapTo(s, QPoint(3, 3))));
    QVERIFY(!s->Data3->isMenuClick(s->Instock->mapTo(s, QPoint(3, 3))));
    closeScreen(s);
    QVERIFY(dialogs.verifyAllAnswered());
    QVERIFY(prompts.verifyAllAnswered());
}

QTEST_MAIN(TestModifyData)
#include "tst_modifydata.moc"
