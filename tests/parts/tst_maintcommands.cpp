// The maintenance screen's commands that work on its whole parts data source: Sort, Tally, List
// and Filter, and the filtered report and labels, on a real Inventory.mdb with the filter window
// and the result list driven as a user would, and the report control recording what it is given.

#include "MaintScreenDriver.h"
#include "parts/MaintScreen.h"

#include "PartsTestData.h"
#include "data/DataControl.h"
#include "platform/Cursor.h"
#include "query/FindWindow.h"
#include "query/ResultListWindow.h"
#include "reports/PaperSize.h"
#include "support/RecordingReportControl.h"
#include "support/ScriptedModal.h"
#include "support/ScriptedPrompts.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

namespace {

void choose(QComboBox* box, const QString& text)
{
    const int i = box->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    box->setCurrentIndex(i);
    Q_EMIT box->activated(i);
}

// The four indicators agree with "on"; the test fails with what disagrees.
void verifyIndicators(MaintScreen* screen, bool on)
{
    QCOMPARE(screen->filterOn(), on);
    QCOMPARE(screen->FilterLabel->isHidden(), !on);
    QCOMPARE(screen->MnuMaintScreenPrint->menuAction()->isEnabled(), on);
    QCOMPARE(screen->MnuMaintSort->menuAction()->isEnabled(), !on);
    QCOMPARE(screen->SSCommand1->isEnabled(), !on);
}

// "&Filter", then in the window: one criteria row, optional sort rows, OK.
void applyFilter(MaintScreen* screen, ScriptedModal& modal, const QString& field, const QString& op,
                 const QString& criteria, const QStringList& sorts = {})
{
    modal.onNext([=](QWidget* w) {
        auto* find = qobject_cast<FindWindow*>(w);
        QVERIFY(find);
        QCOMPARE(screen->Data1->recordsetType(), Recordset::Kind::Dynaset);
        choose(find->Field[0], field);
        choose(find->Operator[0], op);
        find->Criteria[0]->setText(criteria);
        if (sorts.isEmpty())
            find->ClearSortButton->click();
        for (int k = 0; k < sorts.size(); ++k) {
            choose(find->SortField[k], sorts[k].mid(1));
            choose(find->SortOrder[k], sorts[k].startsWith(u'-') ? "Descending" : "Ascending");
        }
        find->OKButton->click();
        QVERIFY(find->isHidden());
    });
    screen->SSCommand5->click();
    QVERIFY(modal.allHandled());
}

}  // namespace

class TestMaintCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        FindWindow::destroyInstance();
        PaperSize::setA4(false);
    }

    void sortReopensTheTableInAVendorsOrder();
    void tallyCountsWhatTheScreenHolds();
    void listSharesTheCurrentPart();
    void filterAndCancelFilterSwitchTheIndicators();
    void filteredPrintingNeedsAFilter();
    void filteredPrintingHandsOverTheFormulaAndSorts();
    void filterWindowOutlivesTheScreen();
};

void TestMaintCommands::sortReopensTheTableInAVendorsOrder()
{
    PartsTestData data;
    // Every part gets a complete vendor 2, so that leaving any part asks nothing.
    QVERIFY(data.exec(QStringLiteral("UPDATE Parts SET [Part Number 2] = CASE [Record Number] WHEN 1 THEN 'Z1' WHEN 4 THEN 'Y1' "
                                     "WHEN 5 THEN '0A' ELSE [Part Number 2] END, [Price 2] = 1, [Package 2] = 1, [Minimum Buy 2] = 1 "
                                     "WHERE [Record Number] <> 3")));
    ScriptedPrompts prompts;
    MaintScreen* screen = openScreen();
    QCOMPARE(screen->Text1->text(), QStringLiteral("B-200"));
    screen->MnuSortMaint2->trigger();
    QCOMPARE(screen->Data1->recordset()->kind(), Recordset::Kind::Table);
    QCOMPARE(screen->Data1->recordset()->index(), QStringLiteral("inv2"));
    QCOMPARE(screen->Data1->recordSource(), QStringLiteral("Parts"));
    QCOMPARE(screen->Text2->text(), QStringLiteral("0A"));   // the first part by vendor 2's numbers
    screen->Data1->recordset()->moveNext();
    QCOMPARE(screen->Text2->text(), QStringLiteral("2B-2"));

    // A following Retrieve searches by vendor 2.
    screen->SSCommand1->click();
    QVERIFY(screen->findWindow());
    QCOMPARE(screen->findWindow()->focusWidget(), screen->findWindow()->Text2);
    screen->findWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    screen->MnuSortMaint3->trigger();
    QCOMPARE(screen->Data1->recordset()->index(), QStringLiteral("inv3"));
    screen->MnuSortMaint1->trigger();
    QCOMPARE(screen->Data1->recordset()->index(), QStringLiteral("inv1"));
    QCOMPARE(screen->Text1->text(), QStringLiteral("B-200"));
    QCOMPARE(prompts.messages().size(), 0);
    closeScreen(screen);
}

void TestMaintCommands::tallyCountsWhatTheScreenHolds()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ScriptedModal modal;
    MaintScreen* screen = openScreen();
    screen->Data1->recordset()->moveLast();
    QCOMPARE(screen->Text1->text(), QStringLiteral("X-900"));

    prompts.expectMessage();
    screen->SSCommand6->click();
    auto m = prompts.messages().last();
    QCOMPARE(m.text, QStringLiteral("Total Records = 5"));
    QCOMPARE(m.style, 0);
    QCOMPARE(m.title, QString());
    QCOMPARE(screen->Text1->text(), QStringLiteral("X-900"));
    QCOMPARE(WaitCursor::depth(), 0);

    applyFilter(screen, modal, "In Stock", "Is Greater Than", "4");
    prompts.expectMessage();
    screen->SSCommand6->click();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("Total Records = 3"));
    closeScreen(screen);

    // An empty table counts 0 and nothing moves.
    PartsTestData empty(false);
    MaintScreen* second = openScreen();
    prompts.expectMessage();
    second->SSCommand6->click();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("Total Records = 0"));
    QVERIFY(prompts.verifyAllAnswered());
    closeScreen(second);
}

void TestMaintCommands::listSharesTheCurrentPart()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ScriptedModal modal;
    MaintScreen* screen = openScreen();
    screen->Data1->recordset()->moveNext();   // C-300
    modal.onNext([&](QWidget* w) {
        auto* list = qobject_cast<ResultListWindow*>(w);
        QVERIFY(list);
        QCOMPARE(list->objectName(), QStringLiteral("ShowData1"));
        QCOMPARE(list->SSDBGrid1->model()->rowCount(), 5);
        QCOMPARE(list->SSDBGrid1->currentIndex().row(), 1);
        QVERIFY(list->FilterLabel->isHidden());
        QCOMPARE(WaitCursor::depth(), 0);
        list->SSDBGrid1->setCurrentIndex(list->SSDBGrid1->model()->index(3, 0));   // M-500
        list->Command1->click();
    });
    screen->SSCommand4->click();
    QVERIFY(modal.allHandled());
    QCOMPARE(screen->Text1->text(), QStringLiteral("M-500"));
    QCOMPARE(screen->Text14->text(), QStringLiteral("SWITCH"));

    // With a filter on: only its parts, in its order, with the note.
    applyFilter(screen, modal, "In Stock", "Is Greater Than", "4", {"-Location"});
    modal.onNext([&](QWidget* w) {
        auto* list = qobject_cast<ResultListWindow*>(w);
        QCOMPARE(list->SSDBGrid1->model()->rowCount(), 3);
        QCOMPARE(list->SSDBGrid1->model()->data(list->SSDBGrid1->model()->index(0, 7)).toString(), QStringLiteral("C3"));
        QVERIFY(list->FilterLabel->isVisible());
        list->SSDBGrid1->setCurrentIndex(list->SSDBGrid1->model()->index(2, 0));
        list->close();
    });
    screen->SSCommand4->click();
    QCOMPARE(screen->Text1->text(), QStringLiteral("B-200"));
    QCOMPARE(prompts.messages().size(), 0);
    closeScreen(screen);
}

void TestMaintCommands::filterAndCancelFilterSwitchTheIndicators()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ScriptedModal modal;
    MaintScreen* screen = openScreen();
    verifyIndicators(screen, false);

    applyFilter(screen, modal, "Location", "Begins With", "B");
    verifyIndicators(screen, true);
    QCOMPARE(screen->Data1->recordSource(), QStringLiteral("Select Parts.* From Parts Where [Location] LIKE 'B*'"));
    QCOMPARE(screen->Text1->text(), QStringLiteral("D-400"));

    // A filter that finds nothing keeps the one in effect, and the indicators say so.
    prompts.expectMessage(Prompts::No);
    applyFilter(screen, modal, "Location", "Equals", "Z9");
    QCOMPARE(prompts.messages().last().title, QStringLiteral("Sorry!"));
    verifyIndicators(screen, true);
    QCOMPARE(screen->Data1->recordSource(), QStringLiteral("Select Parts.* From Parts Where [Location] LIKE 'B*'"));

    // Cancel Filter: the whole table by vendor 1's numbers, all four indicators off.
    modal.onNext([](QWidget* w) { qobject_cast<FindWindow*>(w)->Command1->click(); });
    screen->SSCommand5->click();
    verifyIndicators(screen, false);
    QCOMPARE(screen->Data1->recordset()->kind(), Recordset::Kind::Table);
    QCOMPARE(screen->Data1->recordset()->index(), QStringLiteral("inv1"));
    QCOMPARE(screen->Text1->text(), QStringLiteral("B-200"));

    // Exit without a filter leaves Sort and Retrieve usable, and the next re-read a query result.
    modal.onNext([](QWidget* w) { qobject_cast<FindWindow*>(w)->CancelButton->click(); });
    screen->SSCommand5->click();
    verifyIndicators(screen, false);
    QCOMPARE(screen->Data1->recordsetType(), Recordset::Kind::Dynaset);
    QCOMPARE(WaitCursor::depth(), 0);
    QVERIFY(prompts.verifyAllAnswered());
    closeScreen(screen);
}

void TestMaintCommands::filteredPrintingNeedsAFilter()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    RecordingReportControls reports;
    MaintScreen* screen = openScreen();
    QAction* items[5] = {screen->MnuFilterRecords, screen->MnuBarcodedFiltered5160, screen->MnuFiltered5160,
                         screen->MnuFilteredBarcode, screen->MnuFilteredNoBarcode};
    for (QAction* item : items) {
        prompts.expectMessage();
        item->trigger();
        const auto m = prompts.messages().last();
        QCOMPARE(m.text, QStringLiteral("You must set a filter on this screen before you can print this report!"));
        QCOMPARE(m.style, 48);
        QCOMPARE(m.title, QStringLiteral("Notice"));
        QVERIFY(m.beepBefore);
    }
    QCOMPARE(reports.runs().size(), 0);
    QCOMPARE(WaitCursor::depth(), 0);
    QVERIFY(screen->MnuMaintSort->menuAction()->isEnabled());
    closeScreen(screen);
}

void TestMaintCommands::filteredPrintingHandsOverTheFormulaAndSorts()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ScriptedModal modal;
    RecordingReportControls reports;
    MaintScreen* screen = openScreen();
    applyFilter(screen, modal, "In Stock", "Is Greater Than", "4", {"+Location", "-Description"});

    screen->MnuFilterRecords->trigger();
    screen->MnuFiltered5160->trigger();
    PaperSize::setA4(true);
    screen->MnuFilterRecords->trigger();
    screen->MnuBarcodedFiltered5160->trigger();
    screen->MnuFilteredBarcode->trigger();
    screen->MnuFilteredNoBarcode->trigger();
    const auto runs = reports.runs();
    QCOMPARE(runs.size(), 6);
    QStringList files;
    for (const auto& r : runs) {
        files << r.file;
        QCOMPARE(r.formula, std::optional<QString>(QStringLiteral("{Parts.In Stock} > 4")));
        QCOMPARE(r.sortFields.value(0), QStringLiteral("+{Parts.Location}"));
        QCOMPARE(r.sortFields.value(1), QStringLiteral("-{Parts.Description}"));
        QVERIFY(!r.sortFields.contains(2));
    }
    QCOMPARE(files, (QStringList{"Filter.rpt", "FilteredAvery5160.Rpt", "FilterA4.rpt", "FilteredBarcoded5160.Rpt",
                                 "FilteredBarcoded5163.Rpt", "FilteredAvery5161.Rpt"}));
    QVERIFY(!screen->MnuMaintSort->menuAction()->isEnabled());
    QCOMPARE(WaitCursor::depth(), 0);

    // A filter without sort rows sets no sort field at all; the formula goes as it is.
    reports.clear();
    applyFilter(screen, modal, "Location", "Contains", "1");
    screen->MnuFiltered5160->trigger();
    QCOMPARE(reports.runs().size(), 1);
    QCOMPARE(reports.runs()[0].formula, std::optional<QString>(QStringLiteral("{Parts.Location} LIKE \"*1*\"")));
    QVERIFY(reports.runs()[0].sortFields.isEmpty());
    QCOMPARE(prompts.messages().size(), 0);
    closeScreen(screen);
}

void TestMaintCommands::filterWindowOutlivesTheScreen()
{
    PartsTestData data;
    ScriptedPrompts prompts;
    ScriptedModal modal;
    MaintScreen* screen = openScreen();
    applyFilter(screen, modal, "In Stock", "Is Greater Than", "4");
    closeScreen(screen);

    // A new screen starts without a filter; the window keeps its rows and acts on the new screen.
    MaintScreen* again = openScreen();
    verifyIndicators(again, false);
    modal.onNext([&](QWidget* w) {
        auto* find = qobject_cast<FindWindow*>(w);
        QCOMPARE(find->Field[0]->currentText(), QStringLiteral("In Stock"));
        QCOMPARE(find->Criteria[0]->text(), QStringLiteral("4"));
        find->OKButton->click();
    });
    again->SSCommand5->click();
    verifyIndicators(again, true);
    QCOMPARE(again->Data1->recordset()->recordCount(), 3);
    QCOMPARE(prompts.messages().size(), 0);
    closeScreen(again);
}

QTEST_MAIN(TestMaintCommands)
#include "tst_maintcommands.moc"
