// The filter window on a real Inventory.mdb, with a stand-in for the screen it filters: the rows
// and lists as they grow and reset, the keys, the preview, and what OK, Cancel Filter and Exit
// do to the data source, the indicators and the applied formula, with every message they show.

#include "QueryTestData.h"
#include "data/Connection.h"
#include "data/DataControl.h"
#include "data/Schema.h"
#include "platform/Twips.h"
#include "query/FilterHost.h"
#include "query/FindWindow.h"
#include "support/ScriptedPrompts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// A screen with a parts data source on Parts by inv1 and the four indicators.
class Host : public QWidget, public FilterHost {
public:
    Host()
    {
        Data1 = new DataControl(this);
        Data1->setDatabaseName(InventoryDatabasePath());
        Data1->setRecordSource(QStringLiteral("Parts"));
        Data1->setRecordsetType(Recordset::Kind::Table);
        Data1->refresh();
        Data1->recordset()->setIndex(QStringLiteral("inv1"));
        if (Data1->recordset()->recordCount() > 0)
            Data1->recordset()->moveFirst();
        FilterLabel = new QLabel(QStringLiteral("Filter is ON"), this);
        FilterLabel->hide();
        print = new QAction(this);
        sort = new QAction(this);
        retrieve = new QPushButton(this);
        SetFilterIndicators(false);
        description = new QLineEdit(this);
        Data1->bind(description, QStringLiteral("Description"));
    }
    DataControl* filterDataControl() override { return Data1; }
    QWidget* filterHostWindow() override { return this; }
    void SetFilterIndicators(bool on) override
    {
        FilterLabel->setVisible(on);
        print->setEnabled(on);
        sort->setEnabled(!on);
        retrieve->setEnabled(!on);
    }
    bool filterOn() const override { return !FilterLabel->isHidden(); }

    bool consistent() const
    {
        const bool on = filterOn();
        return print->isEnabled() == on && sort->isEnabled() != on && retrieve->isEnabled() != on;
    }
    QString current() const { return Data1->recordset()->value(QStringLiteral("Record Number")).toString(); }
    int count() const { return Data1->recordset()->recordCount(); }

    DataControl* Data1;
    QLabel* FilterLabel;
    QAction* print;
    QAction* sort;
    QPushButton* retrieve;
    QLineEdit* description;
};

void choose(QComboBox* box, const QString& text)
{
    const int i = box->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    box->setCurrentIndex(i);
    Q_EMIT box->activated(i);
}

QStringList items(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// One criteria row filled in as the user would.
void fillRow(FindWindow* w, int i, const QString& field, const QString& op, const QString& criteria)
{
    choose(w->Field[i], field);
    choose(w->Operator[i], op);
    w->Criteria[i]->setText(criteria);
}

const QStringList Comparisons = {"Equals", "Is Not Equal To", "Is Greater Than", "Is Less Than",
                                 "Is Greater Than or Equal To", "Is Less Than or Equal To"};

}  // namespace

class TestFindWindow : public QObject {
    Q_OBJECT

    QueryTestData* data = nullptr;
    Host* host = nullptr;
    FindWindow* w = nullptr;

private Q_SLOTS:
    void init()
    {
        data = new QueryTestData;
        host = new Host;
        w = FindWindow::instance();
        w->prepare(host);
        w->show();
    }
    void cleanup()
    {
        FindWindow::destroyInstance();
        delete host;
        host = nullptr;
        delete data;
        data = nullptr;
    }

    void loadsItsListsFromTheDataSource();
    void criteriaRowsGrowToFive();
    void firstRowKeepsItsOperatorForTheSameKindOfField();
    void findAllResetsTheRows();
    void sortRowsGrowToThreeAndReset();
    void deleteBoxResetsAndLocksTheSort();
    void typingAndKeys();
    void tabbingNeverWipesTheRows();
    void previewShowsWithoutApplying();

    void applyThenCancelFilter();
    void refusedCriteriaChangeNothing();
    void noMatchBringsBackWhatWasThere();
    void duplicateFilter();
    void countMessages();
    void deleteAsksCountsAndDeletesExactly();
    void deleteFailureDeletesNothing();
    void rejectedStatementPutsTheScreenBack();
    void cancelFilterWithoutAFilter();
    void findAllAndExitLeaveTheScreenUsable();
    void cancelFilterOnAnEmptyTable();
    void pendingEditIsSavedBeforeApplying();
    void actsOnTheScreenThatOpenedIt();
};

void TestFindWindow::loadsItsListsFromTheDataSource()
{
    QCOMPARE(w->windowTitle(), QStringLiteral("Set Filter"));
    QCOMPARE(w->size(), QSize(twipsToPx(8970), twipsToPx(3720)));
    const QStringList fields = items(w->Field[0]);
    QCOMPARE(fields.first(), QStringLiteral("** Find All Records **"));
    const QStringList firstFields = {"Record Number", "Part Number 1", "Part Number 2", "Part Number 3", "Description"};
    QCOMPARE(fields.mid(1, 5), firstFields);
    QCOMPARE(fields.size(), 1 + 44);
    QCOMPARE(w->Field[0]->currentText(), QStringLiteral("** Find All Records **"));
    QCOMPARE(w->Field[0]->itemData(fields.indexOf("Price 1")).toInt(), TypeCode::Currency);
    QCOMPARE(w->Field[0]->itemData(fields.indexOf("Date Ordered")).toInt(), TypeCode::Date);
    QCOMPARE(w->Field[0]->itemData(fields.indexOf("Default 2")).toInt(), TypeCode::YesNo);
    QCOMPARE(w->Field[0]->itemData(fields.indexOf("Part Memo")).toInt(), TypeCode::Memo);
    QVERIFY(w->Operator[0]->isHidden() && w->Criteria[0]->isHidden() && w->Condition[0]->isHidden());

    const QStringList sorts = items(w->SortField[0]);
    QCOMPARE(sorts.first(), QStringLiteral("** Do Not Sort **"));
    QVERIFY(!sorts.contains("Part Memo"));
    QCOMPARE(sorts.size(), 1 + 43);
    QCOMPARE(w->SortField[0]->currentText(), QStringLiteral("** Do Not Sort **"));
    QVERIFY(w->SortOrder[0]->isHidden());
    QVERIFY(w->CountCheck->isHidden() && w->DeleteCheck->isHidden() && !w->AdvancedButton->isHidden());
    QVERIFY(w->OKButton->isDefault());
    QVERIFY(w->Picture1->focusPolicy() == Qt::NoFocus && w->Picture2->focusPolicy() == Qt::NoFocus);
}

void TestFindWindow::criteriaRowsGrowToFive()
{
    fillRow(w, 0, "In Stock", "Is Less Than", "5");
    QCOMPARE(items(w->Operator[0]), Comparisons);
    QVERIFY(!w->Condition[0]->isHidden());
    QCOMPARE(w->Condition[0]->currentIndex(), -1);
    QCOMPARE(items(w->Condition[0]), (QStringList{"And", "Or"}));
    QVERIFY(!w->isFieldLoaded(1));

    for (int i = 0; i < 4; ++i) {
        choose(w->Condition[i], i % 2 ? "Or" : "And");
        QVERIFY(w->isFieldLoaded(i + 1));
        QCOMPARE(w->Field[i + 1]->currentIndex(), -1);
        QVERIFY(!items(w->Field[i + 1]).contains("** Find All Records **"));
        QCOMPARE(w->Field[i + 1]->y(), w->Field[0]->y() + (i + 1) * twipsToPx(330));
        QVERIFY(!w->isRowLoaded(i + 1));
        fillRow(w, i + 1, "Location", "Contains", QStringLiteral("X%1").arg(i));
        QCOMPARE(items(w->Operator[i + 1]).size(), 9);
        QCOMPARE(w->Operator[i + 1]->y(), w->Field[i + 1]->y());
    }
    // The fifth row has no condition: there is never a sixth.
    QVERIFY(w->isRowLoaded(4));
    QCOMPARE(w->CreateSQLStatement(),
             QStringLiteral("Select Parts.* From Parts Where [In Stock] < 5 AND [Location] LIKE '*X0*' OR [Location] LIKE "
                            "'*X1*' AND [Location] LIKE '*X2*' OR [Location] LIKE '*X3*'"));

    // Changing a condition whose next row exists only rebuilds; the next row keeps its choice.
    choose(w->Condition[0], "Or");
    QCOMPARE(w->Field[1]->currentText(), QStringLiteral("Location"));
    QVERIFY(w->CreateSQLStatement().contains("[In Stock] < 5 OR [Location]"));
    // The formula and sort fields show in the window's report labels.
    QVERIFY(w->Label4->text().startsWith("{Parts.In Stock} < 5 or {Parts.Location} LIKE \"*X0*\""));
}

void TestFindWindow::firstRowKeepsItsOperatorForTheSameKindOfField()
{
    fillRow(w, 0, "In Stock", "Is Less Than", "5");
    choose(w->Field[0], "Minimum Stock");
    QCOMPARE(w->Operator[0]->currentText(), QStringLiteral("Is Less Than"));
    QCOMPARE(w->Criteria[0]->text(), QStringLiteral("5"));
    QCOMPARE(w->operatorTag(0), QStringLiteral("Number"));

    choose(w->Field[0], "Location");
    QCOMPARE(w->Operator[0]->currentText(), QStringLiteral("Equals"));
    QCOMPARE(items(w->Operator[0]), (Comparisons + QStringList{"Contains", "Does Not Contain", "Begins With"}));
    QCOMPARE(w->Criteria[0]->text(), QString());

    choose(w->Field[0], "Default 1");
    QCOMPARE(items(w->Operator[0]), QStringList{"Equals"});
    QCOMPARE(w->Criteria[0]->text(), QStringLiteral("Yes"));

    choose(w->Field[0], "Date Ordered");
    QCOMPARE(items(w->Operator[0]), Comparisons);
    QCOMPARE(w->operatorTag(0), QStringLiteral("Date"));

    // A later row refills on every choice, even of the same kind of field.
    choose(w->Condition[0], "And");
    fillRow(w, 1, "Price 1", "Is Greater Than", "2");
    choose(w->Field[1], "Price 2");
    QCOMPARE(w->Operator[1]->currentText(), QStringLiteral("Equals"));
    QCOMPARE(w->Criteria[1]->text(), QString());
}

void TestFindWindow::findAllResetsTheRows()
{
    fillRow(w, 0, "In Stock", "Is Less Than", "5");
    choose(w->Condition[0], "And");
    fillRow(w, 1, "Location", "Equals", "A1");
    choose(w->Field[0], "** Find All Records **");
    QVERIFY(!w->isFieldLoaded(1));
    QVERIFY(w->Operator[0]->isHidden() && w->Criteria[0]->isHidden() && w->Condition[0]->isHidden());
    QCOMPARE(w->Criteria[0]->text(), QString());
    QCOMPARE(w->Field[0]->currentText(), QStringLiteral("** Find All Records **"));
    QCOMPARE(w->CreateSQLStatement(), QStringLiteral("Select Parts.* From Parts"));
    choose(w->Field[0], "** Find All Records **");
    QCOMPARE(w->Field[0]->count(), 45);

    // Clear Find does the same.
    fillRow(w, 0, "Location", "Equals", "A1");
    w->ClearButton->click();
    QVERIFY(w->Operator[0]->isHidden());
    QCOMPARE(w->Field[0]->currentText(), QStringLiteral("** Find All Records **"));
}

void TestFindWindow::sortRowsGrowToThreeAndReset()
{
    choose(w->SortField[0], "Location");
    QVERIFY(!w->SortOrder[0]->isHidden());
    QCOMPARE(items(w->SortOrder[0]), (QStringList{"Ascending", "Descending"}));
    QCOMPARE(w->SortOrder[0]->currentText(), QStringLiteral("Ascending"));
    QVERIFY(w->isSortFieldLoaded(1));
    QCOMPARE(w->SortField[1]->currentIndex(), -1);
    QVERIFY(!items(w->SortField[1]).contains("** Do Not Sort **"));
    QVERIFY(!items(w->SortField[1]).contains("Part Memo"));
    choose(w->SortField[1], "Description");
    choose(w->SortOrder[1], "Descending");
    choose(w->SortField[2], "In Stock");
    QVERIFY(w->isSortOrderLoaded(2));
    QCOMPARE(w->SortField[2]->y(), w->SortField[0]->y() + 2 * twipsToPx(330));
    QCOMPARE(w->CreateSQLStatement(),
             QStringLiteral("Select Parts.* From Parts ORDER BY [Location] ASC, [Description] DESC, [In Stock] ASC"));
    QCOMPARE(w->Label6->text(), QStringLiteral("+{Parts.Location}"));
    QCOMPARE(w->Label7->text(), QStringLiteral("-{Parts.Description}"));
    QCOMPARE(w->Label8->text(), QStringLiteral("+{Parts.In Stock}"));

    choose(w->SortField[0], "** Do Not Sort **");
    QVERIFY(!w->isSortFieldLoaded(1) && w->SortOrder[0]->isHidden());
    // Compact: the labels change only when a statement is built.
    QCOMPARE(w->Label6->text(), QStringLiteral("+{Parts.Location}"));
    QCOMPARE(w->CreateSQLStatement(), QStringLiteral("Select Parts.* From Parts"));
    QCOMPARE(w->Label6->text() + w->Label7->text() + w->Label8->text(), QString());

    choose(w->SortField[0], "Location");
    w->ClearSortButton->click();
    QVERIFY(!w->isSortFieldLoaded(1) && w->SortOrder[0]->isHidden());
    QCOMPARE(w->SortField[0]->currentText(), QStringLiteral("** Do Not Sort **"));
}

void TestFindWindow::deleteBoxResetsAndLocksTheSort()
{
    w->AdvancedButton->click();
    choose(w->SortField[0], "Location");
    w->DeleteCheck->click();
    QVERIFY(!w->SortField[0]->isEnabled());
    QCOMPARE(w->SortField[0]->currentText(), QStringLiteral("** Do Not Sort **"));
    QVERIFY(!w->isSortFieldLoaded(1));
    QCOMPARE(w->SQLLabel->text(), QStringLiteral("Delete * From Parts"));
    w->DeleteCheck->click();
    QVERIFY(w->SortField[0]->isEnabled());
    QCOMPARE(w->SQLLabel->text(), QStringLiteral("Select Parts.* From Parts"));
}

void TestFindWindow::typingAndKeys()
{
    ScriptedPrompts prompts;
    choose(w->Field[0], "Location");
    choose(w->Operator[0], "Begins With");
    QTest::keyClicks(w->Criteria[0], "b2");
    QCOMPARE(w->Criteria[0]->text(), QStringLiteral("B2"));

    // Enter in a criteria box runs OK once: the filter is applied and the window hidden.
    QTest::keyClick(w->Criteria[0], Qt::Key_Return);
    QVERIFY(w->isHidden());
    QCOMPARE(host->Data1->recordSource(), QStringLiteral("Select Parts.* From Parts Where [Location] LIKE 'B2*'"));
    QCOMPARE(prompts.messages().size(), 0);

    // Esc is Exit.
    w->show();
    w->AdvancedButton->click();
    QTest::keyClick(w->Field[0], Qt::Key_Escape);
    QVERIFY(w->isHidden());
    QVERIFY(!w->isAdvanced());
}

void TestFindWindow::tabbingNeverWipesTheRows()
{
    fillRow(w, 0, "In Stock", "Is Less Than", "5");
    choose(w->SortField[0], "Location");
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->Field[0]->setFocus();
    QCOMPARE(QApplication::focusWidget(), w->Field[0]);
    for (int k = 0; k < 40; ++k)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w, Qt::Key_Tab);
    for (int k = 0; k < 40; ++k)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w, Qt::Key_Backtab);
    QCOMPARE(w->Field[0]->currentText(), QStringLiteral("In Stock"));
    QCOMPARE(w->Criteria[0]->text(), QStringLiteral("5"));
    QCOMPARE(w->SortField[0]->currentText(), QStringLiteral("Location"));
    QVERIFY(!w->SortOrder[0]->isHidden());
}

void TestFindWindow::previewShowsWithoutApplying()
{
    ScriptedPrompts prompts;
    // A filter in effect first.
    fillRow(w, 0, "In Stock", "Is Less Than", "5");
    w->OKButton->click();
    QVERIFY(host->filterOn());
    const CurrentFilterFormula applied = w->currentFilterFormula();
    QCOMPARE(applied.formula, QStringLiteral("{Parts.In Stock} < 5"));

    // Compact: nothing is rewritten while typing.
    w->show();
    w->Label4->clear();
    w->Criteria[0]->end(false);
    QTest::keyClicks(w->Criteria[0], "0");
    QCOMPARE(w->SQLLabel->text(), QString());
    QCOMPARE(w->Label4->text(), QString());

    // Advanced: taller, and every change shows at once, but what is applied stays.
    w->AdvancedButton->click();
    QCOMPARE(w->height(), twipsToPx(7380));
    // Grown, it still stands wholly on the screen (the headless one is 600 pixels high).
    QVERIFY(w->screen()->availableGeometry().contains(w->frameGeometry()));
    QVERIFY(!w->CountCheck->isHidden() && !w->DeleteCheck->isHidden());
    w->Criteria[0]->end(false);
    QTest::keyClicks(w->Criteria[0], "1");
    QCOMPARE(w->SQLLabel->text(), QStringLiteral("Select Parts.* From Parts Where [In Stock] < 501"));
    QCOMPARE(w->Label4->text(), QStringLiteral("{Parts.In Stock} < 501"));
    choose(w->Field[0], "** Find All Records **");
    QCOMPARE(w->SQLLabel->text(), QStringLiteral("Select Parts.* From Parts"));
    QVERIFY(host->filterOn());
    QVERIFY(host->consistent());
    QCOMPARE(w->currentFilterFormula(), applied);
    QCOMPARE(host->Data1->recordSource(), QStringLiteral("Select Parts.* From Parts Where [In Stock] < 5"));
}

void TestFindWindow::applyThenCancelFilter()
{
    ScriptedPrompts prompts;
    fillRow(w, 0, "In Stock", "Is Less Than", "5.0");
    choose(w->SortField[0], "Location");
    choose(w->SortOrder[0], "Descending");
    w->OKButton->click();
    QCOMPARE(w->Criteria[0]->text(), QStringLiteral("5"));
    QVERIFY(w->isHidden());
    QVERIFY(host->filterOn() && host->consistent());
    QCOMPARE(host->Data1->recordSource(), QStringLiteral("Select Parts.* From Parts Where [In Stock] < 5 ORDER BY [Location] DESC"));
    QCOMPARE(host->Data1->recordset()->kind(), Recordset::Kind::Dynaset);
    QCOMPARE(host->count(), 4);
    QCOMPARE(host->current(), QStringLiteral("5"));   // xa1y, b2, A10, [A]1
    QCOMPARE(w->currentFilterFormula().formula, QStringLiteral("{Parts.In Stock} < 5"));
    QCOMPARE(w->currentFilterFormula().sortFields[0], QStringLiteral("-{Parts.Location}"));
    QCOMPARE(prompts.messages().size(), 0);

    w->show();
    w->AdvancedButton->click();
    w->Command1->click();
    QVERIFY(w->isHidden());
    QVERIFY(!w->isAdvanced());
    QVERIFY(!host->filterOn() && host->consistent());
    QVERIFY(!w->isFieldLoaded(1) && w->Operator[0]->isHidden());
    QCOMPARE(w->Field[0]->currentText(), QStringLiteral("** Find All Records **"));
    QCOMPARE(w->SortField[0]->currentText(), QStringLiteral("** Do Not Sort **"));
    QCOMPARE(host->Data1->recordSource(), QStringLiteral("Parts"));
    QCOMPARE(host->Data1->recordset()->kind(), Recordset::Kind::Table);
    QCOMPARE(host->Data1->recordset()->index(), QStringLiteral("inv1"));
    QCOMPARE(host->count(), 7);
    QCOMPARE(host->current(), QStringLiteral("6"));   // *STAR comes first by vendor 1's numbers
    QCOMPARE(w->currentFilterFormula(), CurrentFilterFormula());
    QCOMPARE(prompts.messages().size(), 0);
}

void TestFindWindow::refusedCriteriaChangeNothing()
{
    ScriptedPrompts prompts;
    prompts.expectMessage();
    fillRow(w, 0, "In Stock", "Is Less Than", "ABC");
    w->OKButton->click();
    QCOMPARE(prompts.messages().size(), 1);
    const auto m = prompts.messages().first();
    QCOMPARE(m.text, QStringLiteral("You must supply a valid number when finding based on numeric fields."));
    QCOMPARE(m.style, 48);
    QCOMPARE(m.title, QStringLiteral("Invalid Numeric Criteria"));
    QVERIFY(m.beepBefore);
    QCOMPARE(w->Criteria[0]->text(), QString());
    QVERIFY(!w->isHidden());
    QCOMPARE(w->focusWidget(), w->Criteria[0]);
    QVERIFY(!host->filterOn() && host->consistent());
    QCOMPARE(host->Data1->recordSource(), QStringLiteral("Parts"));

    // An empty text criterion becomes "empty", and the second OK finds the empty fields.
    prompts.expectMessage();
    fillRow(w, 0, "Location", "Equals", "");
    w->OKButton->click();
    QCOMPARE(prompts.messages().last().title, QStringLiteral("Empty Criteria Field"));
    QCOMPARE(w->Criteria[0]->text(), QStringLiteral("empty"));
    w->OKButton->click();
    QCOMPARE(host->count(), 1);
    QCOMPARE(host->current(), QStringLiteral("3"));
}

void TestFindWindow::noMatchBringsBackWhatWasThere()
{
    ScriptedPrompts prompts;
    // From no filter: the table comes back with every indicator off.
    prompts.expectMessage(Prompts::Yes);
    fillRow(w, 0, "In Stock", "Is Greater Than", "100");
    w->OKButton->click();
    auto m = prompts.messages().last();
    QCOMPARE(m.text, QStringLiteral("Your filter has found no matching records.\r\rTry Again?"));
    QCOMPARE(m.style, 36);
    QCOMPARE(m.title, QStringLiteral("Sorry!"));
    QVERIFY(m.beepBefore);
    QVERIFY(!w->isHidden());   // try again
    QVERIFY(!host->filterOn() && host->consistent());
    QCOMPARE(host->Data1->recordSource(), QStringLiteral("Parts"));
    QCOMPARE(host->Data1->recordset()->kind(), Recordset::Kind::Table);
    QCOMPARE(host->Data1->recordset()->index(), QStringLiteral("inv1"));
    QCOMPARE(host->count(), 7);

    // Over a filter in effect: that filter comes back, and the indicators still say so.
    w->Criteria[0]->setText(QStringLiteral("5"));
    choose(w->Operator[0], "Is Less Than");
    w->OKButton->click();
    QCOMPARE(host->count(), 4);
    w->show();
    prompts.expectMessage(Prompts::No);
    w->Criteria[0]->setText(QStringLiteral("-100"));
    w->OKButton->click();
    QVERIFY(w->isHidden());   // No: Exit
    QVERIFY(host->filterOn() && host->consistent());
    QCOMPARE(host->Data1->recordSource(), QStringLiteral("Select Parts.* From Parts Where [In Stock] < 5"));
    QCOMPARE(host->count(), 4);
    QCOMPARE(w->currentFilterFormula().formula, QStringLiteral("{Parts.In Stock} < 5"));
    QVERIFY(prompts.verifyAllAnswered());
}

void TestFindWindow::duplicateFilter()
{
    ScriptedPrompts prompts;
    fillRow(w, 0, "Location", "Contains", "A");
    w->OKButton->click();
    QCOMPARE(host->count(), 4);

    // No: only hidden; the advanced mode and its boxes stay.
    w->show();
    w->AdvancedButton->click();
    w->CountCheck->setChecked(true);
    prompts.expectMessage(Prompts::No);
    w->OKButton->click();
    auto m = prompts.messages().last();
    QCOMPARE(m.text, QStringLiteral("The current filter you have requested matches the current filter previously set.\r\rRefresh the Database?"));
    QCOMPARE(m.style, 51);
    QCOMPARE(m.title, QStringLiteral("Filter Duplicated!"));
    QVERIFY(w->isHidden());
    QVERIFY(w->isAdvanced() && w->CountCheck->isChecked());

    // Cancel: the window stays open.
    w->show();
    prompts.expectMessage(Prompts::Cancel);
    w->OKButton->click();
    QVERIFY(!w->isHidden());

    // Yes: applied again (and counted, the box being ticked).
    host->Data1->recordset()->moveLast();
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w->OKButton->click();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("4 Records Were Found."));
    QVERIFY(w->isHidden());
    QCOMPARE(host->Data1->recordset()->absolutePosition(), 0);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestFindWindow::countMessages()
{
    ScriptedPrompts prompts;
    w->AdvancedButton->click();
    w->CountCheck->setChecked(true);
    prompts.expectMessage();
    fillRow(w, 0, "Location", "Equals", "b2");
    w->OKButton->click();
    auto m = prompts.messages().last();
    QCOMPARE(m.text, QStringLiteral("1 Record Was Found."));
    QCOMPARE(m.style, 48);
    QCOMPARE(m.title, QStringLiteral("Found Record!"));
    QVERIFY(m.beepBefore);
    QVERIFY(!w->CountCheck->isChecked());   // Exit cleared it

    w->show();
    w->AdvancedButton->click();
    w->CountCheck->setChecked(true);
    choose(w->Operator[0], "Is Not Equal To");
    choose(w->SortField[0], "Location");
    prompts.expectMessage();
    host->Data1->recordset()->moveLast();
    w->OKButton->click();
    m = prompts.messages().last();
    QCOMPARE(m.text, QStringLiteral("5 Records Were Found And Sorted."));
    QCOMPARE(m.title, QStringLiteral("Found Records!"));
    QCOMPARE(host->Data1->recordset()->absolutePosition(), 0);   // the count did not move it
    QVERIFY(prompts.verifyAllAnswered());
}

void TestFindWindow::deleteAsksCountsAndDeletesExactly()
{
    ScriptedPrompts prompts;
    w->AdvancedButton->click();
    w->CountCheck->setChecked(true);
    w->DeleteCheck->setChecked(true);

    // Nothing to delete: "Try Again?" Yes keeps the window open.
    prompts.expectMessage(Prompts::Yes);
    fillRow(w, 0, "In Stock", "Is Greater Than", "100");
    w->OKButton->click();
    auto m = prompts.messages().last();
    QCOMPARE(m.text, QStringLiteral("By performing this function, you will not delete any records which meet the filter!\r\rTry Again?"));
    QCOMPARE(m.style, 36);
    QCOMPARE(m.title, QStringLiteral("No Records Found!"));
    QVERIFY(!w->isHidden());

    // Counted, then declined: nothing deleted, nothing changed.
    w->Criteria[0]->setText(QStringLiteral("4"));
    prompts.expectMessage(Prompts::No);
    w->OKButton->click();
    m = prompts.messages().last();
    QCOMPARE(m.text, QStringLiteral("By performing this function, you will delete 3 records which meet your filter!\r\r"
                                    "Are you sure you wish to delete these records?"));
    QCOMPARE(m.style, 292);
    QCOMPARE(m.title, QStringLiteral("Confirm!"));
    QCOMPARE(data->partCount(), 7);
    QVERIFY(!w->isHidden());
    QVERIFY(!host->filterOn() && host->consistent());

    // Yes: exactly those go, then every part left is shown (and counted, the box being ticked).
    prompts.expectMessage(Prompts::Yes).expectMessage().expectMessage();
    w->OKButton->click();
    QCOMPARE(data->column("SELECT [Record Number] FROM Parts ORDER BY 1"), (QStringList{"2", "4", "5", "6"}));
    QCOMPARE(prompts.messages().last().text, QStringLiteral("4 Records Were Found."));
    m = prompts.messages().at(prompts.messages().size() - 2);
    QCOMPARE(m.text, QStringLiteral("The specified records (if any) have been deleted!\r\rAn attempt to find all records will now be performed."));
    QCOMPARE(m.style, 48);
    QCOMPARE(m.title, QStringLiteral("Finished Deleting!"));
    QVERIFY(w->isHidden());
    QCOMPARE(host->Data1->recordSource(), QStringLiteral("Select [Parts].* From Parts"));
    QCOMPARE(host->count(), 4);
    QVERIFY(host->filterOn() && host->consistent());
    QCOMPARE(w->currentFilterFormula(), CurrentFilterFormula());   // a delete leaves nothing to print with

    // Later statements name the table in brackets; the formula does not.
    w->show();
    w->DeleteCheck->setChecked(false);
    fillRow(w, 0, "In Stock", "Is Greater Than", "0");
    w->OKButton->click();
    QCOMPARE(host->Data1->recordSource(), QStringLiteral("Select [Parts].* From [Parts] Where [In Stock] > 0"));
    QCOMPARE(host->count(), 1);
    QCOMPARE(w->currentFilterFormula().formula, QStringLiteral("{Parts.In Stock} > 0"));

    // Without the count: the hint, or the question about everything.
    w->show();
    w->AdvancedButton->click();
    w->DeleteCheck->setChecked(true);
    prompts.expectMessage(Prompts::No);
    w->OKButton->click();
    m = prompts.messages().last();
    QCOMPARE(m.text, QStringLiteral("Hint: Select the 'Count Records' checkbox before performing the function to find out how many "
                                    "records will be deleted.\r\rAre you sure you wish to delete the records which meet the provided criteria?"));
    QCOMPARE(m.style, 292);
    choose(w->Field[0], "** Find All Records **");
    prompts.expectMessage(Prompts::No);
    w->OKButton->click();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("Are you sure you wish to delete all the records in this database?"));
    QCOMPARE(data->partCount(), 4);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestFindWindow::deleteFailureDeletesNothing()
{
    ScriptedPrompts prompts;
    QVERIFY(data->exec(QStringLiteral("CREATE TRIGGER keep7 BEFORE DELETE ON Parts WHEN old.[Record Number] = 7 "
                                      "BEGIN SELECT RAISE(ABORT, 'part 7 is kept'); END;")));
    w->AdvancedButton->click();
    w->DeleteCheck->setChecked(true);
    fillRow(w, 0, "In Stock", "Is Greater Than", "0");
    prompts.expectMessage(Prompts::Yes).expectMessage();
    w->OKButton->click();
    const auto m = prompts.messages().last();
    QVERIFY2(m.text.startsWith("No records were deleted: ") && m.text.contains("part 7 is kept")
                 && m.text.endsWith("\r\rDelete * From Parts Where [In Stock] > 0"),
             qPrintable(m.text));
    QCOMPARE(data->partCount(), 7);
    QVERIFY(!w->isHidden());
    QVERIFY(!host->filterOn() && host->consistent());
    QCOMPARE(host->Data1->recordSource(), QStringLiteral("Parts"));
}

void TestFindWindow::rejectedStatementPutsTheScreenBack()
{
    ScriptedPrompts prompts;
    fillRow(w, 0, "In Stock", "Is Less Than", "5");
    w->OKButton->click();
    QVERIFY(host->filterOn());

    // The field list still names Location; the table no longer has it.
    QVERIFY(data->exec(QStringLiteral("ALTER TABLE Parts RENAME COLUMN Location TO Place")));
    Connection::closeFile(data->database());
    w->show();
    fillRow(w, 0, "Location", "Equals", "A1");
    prompts.expectMessage();
    w->OKButton->click();
    const auto m = prompts.messages().last();
    QVERIFY2(m.text.contains("Location") && m.text.endsWith("\r\rSelect Parts.* From Parts Where [Location] = 'A1'"), qPrintable(m.text));
    QCOMPARE(m.style, 0);
    QVERIFY(!w->isHidden());
    QVERIFY(host->filterOn() && host->consistent());
    QCOMPARE(host->Data1->recordSource(), QStringLiteral("Select Parts.* From Parts Where [In Stock] < 5"));
    QCOMPARE(host->count(), 4);
    QCOMPARE(w->currentFilterFormula().formula, QStringLiteral("{Parts.In Stock} < 5"));
}

void TestFindWindow::cancelFilterWithoutAFilter()
{
    ScriptedPrompts prompts;
    fillRow(w, 0, "In Stock", "Is Less Than", "5");
    prompts.expectMessage();
    w->Command1->click();
    QCOMPARE(prompts.messages().size(), 1);
    const auto m = prompts.messages().first();
    QCOMPARE(m.text, QStringLiteral("There is no active filter to cancel !"));
    QCOMPARE(m.style, 48);
    QCOMPARE(m.title, QStringLiteral("Notice"));
    QVERIFY(m.beepBefore);
    QVERIFY(!w->isHidden());
    QCOMPARE(w->Field[0]->currentText(), QStringLiteral("In Stock"));   // the rows stay
    QCOMPARE(host->Data1->recordSource(), QStringLiteral("Parts"));
}

void TestFindWindow::findAllAndExitLeaveTheScreenUsable()
{
    ScriptedPrompts prompts;
    choose(w->SortField[0], "Description");
    w->OKButton->click();
    QCOMPARE(host->Data1->recordSource(), QStringLiteral("Select Parts.* From Parts ORDER BY [Description] ASC"));
    QCOMPARE(host->count(), 7);
    // Every part, so no filter: Sort, Retrieve usable; nothing to print filtered.
    QVERIFY(!host->filterOn() && host->consistent());

    // Exit without a filter: indicators off, the next re-read a query result.
    host->Data1->setRecordsetType(Recordset::Kind::Table);
    w->show();
    w->AdvancedButton->click();
    w->CountCheck->setChecked(true);
    w->DeleteCheck->setChecked(true);
    w->CancelButton->click();
    QVERIFY(w->isHidden());
    QCOMPARE(w->height(), twipsToPx(3720));
    QVERIFY(!w->isAdvanced() && !w->CountCheck->isChecked() && !w->DeleteCheck->isChecked());
    QVERIFY(w->SortField[0]->isEnabled());
    QCOMPARE(host->Data1->recordsetType(), Recordset::Kind::Dynaset);
    QVERIFY(!host->filterOn() && host->consistent());

    // Exit with a filter on changes nothing on the screen; the close box is Exit too.
    fillRow(w, 0, "In Stock", "Is Less Than", "5");
    w->show();
    w->OKButton->click();
    host->Data1->setRecordsetType(Recordset::Kind::Table);
    w->show();
    w->close();
    QVERIFY(w->isHidden());
    QVERIFY(host->filterOn() && host->consistent());
    QCOMPARE(host->Data1->recordsetType(), Recordset::Kind::Table);
    QCOMPARE(prompts.messages().size(), 0);
}

void TestFindWindow::cancelFilterOnAnEmptyTable()
{
    ScriptedPrompts prompts;
    fillRow(w, 0, "In Stock", "Is Less Than", "5");
    w->OKButton->click();
    QVERIFY(data->exec(QStringLiteral("DELETE FROM Parts")));
    w->show();
    prompts.expectMessage(Prompts::Yes);
    w->Command1->click();
    QCOMPARE(prompts.messages().last().title, QStringLiteral("Sorry!"));
    QVERIFY(w->isHidden());
    QVERIFY(!host->filterOn() && host->consistent());
    QCOMPARE(host->Data1->recordSource(), QStringLiteral("Parts"));
    QCOMPARE(host->Data1->recordset()->index(), QStringLiteral("inv1"));
    QCOMPARE(host->count(), 0);
    QVERIFY(!host->Data1->recordset()->hasCurrent());
}

void TestFindWindow::pendingEditIsSavedBeforeApplying()
{
    ScriptedPrompts prompts;
    QCOMPARE(host->current(), QStringLiteral("6"));
    host->description->setText(QStringLiteral("STAR WHEEL"));
    fillRow(w, 0, "Description", "Begins With", "STAR");
    w->OKButton->click();
    QCOMPARE(data->column("SELECT Description FROM Parts WHERE [Record Number] = 6"), QStringList{"STAR WHEEL"});
    QCOMPARE(host->count(), 1);
    QCOMPARE(host->description->text(), QStringLiteral("STAR WHEEL"));
}

void TestFindWindow::actsOnTheScreenThatOpenedIt()
{
    ScriptedPrompts prompts;
    fillRow(w, 0, "In Stock", "Is Less Than", "5");
    w->OKButton->click();
    QVERIFY(host->filterOn());

    // The screen closes and opens anew; the window, its rows and its formula stay.
    delete host;
    host = new Host;
    QVERIFY(FindWindow::existingInstance() == w);
    QCOMPARE(w->Field[0]->currentText(), QStringLiteral("In Stock"));
    w->prepare(host);
    w->show();
    w->OKButton->click();
    QCOMPARE(host->Data1->recordSource(), QStringLiteral("Select Parts.* From Parts Where [In Stock] < 5"));
    QVERIFY(host->filterOn() && host->consistent());
}

QTEST_MAIN(TestFindWindow)
#include "tst_findwindow.moc"
