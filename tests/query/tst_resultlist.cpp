// The result lists on a real Inventory.mdb and Colors.mdb: one recordset shared with the opener
// (the current record follows both ways, with the opener's record check on every move), the
// filter note, the export files and their failure, printing, the unavailable layout menu, and
// each list's own colours.

#include "QueryTestData.h"
#include "colours/ColorScheme.h"
#include "data/DataControl.h"
#include "data/DataNavigator.h"
#include "data/Schema.h"
#include "platform/AppFolder.h"
#include "platform/Help.h"
#include "platform/Twips.h"
#include "query/ResultListWindow.h"
#include "support/DirectSql.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedModal.h"
#include "support/ScriptedPrompts.h"

#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The opener's side: a data source with a bound box and a count of its record checks.
struct Opener {
    explicit Opener(const QString& source = QStringLiteral("Parts"))
    {
        Data1.setDatabaseName(InventoryDatabasePath());
        Data1.setRecordSource(source);
        Data1.setRecordsetType(Recordset::Kind::Table);
        Data1.refresh();
        if (source == QLatin1String("Parts"))
            Data1.recordset()->setIndex(QStringLiteral("inv1"));
        if (Data1.recordset()->recordCount() > 0)
            Data1.recordset()->moveFirst();
        Data1.bind(&description, QStringLiteral("Description"));
        QObject::connect(&Data1, &DataControl::validate, [this] { ++validations; });
    }
    QString current() const { return Data1.recordset()->value(QStringLiteral("Record Number")).toString(); }

    DataControl Data1;
    QLineEdit description;
    int validations = 0;
};

QString readText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing>");
    return QString::fromUtf8(f.readAll());
}

QString pdfText(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

qint64 storedColor(const QString& table, const QString& key)
{
    const QVariant v = directScalar(ColorsDatabasePath(), QStringLiteral("SELECT [%1] FROM [%2]").arg(key, table));
    return v.isValid() ? v.toLongLong() : -1;
}

QAction* action(QWidget* w, const QString& name)
{
    return w->findChild<QAction*>(name);
}

const QString Heading1 = QStringLiteral(
    "Part Number 1\tPart Number 2\tPart Number 3\tDescription\tPart Memo\tMin. Stock\tIn Stock\tLocation\tArea of Machine\t"
    "Price 1\tPrice 2\tPrice 3\tMin Buy 1\tMin Buy 2\tMin Buy 3\tPkg 1\tPkg 2\tPkg 3\tBook 1\tBook 2\tBook 3\tPage 1\tPage 2\tPage 3\r\n");

}  // namespace

class TestResultList : public QObject {
    Q_OBJECT

    QueryTestData* data = nullptr;

private Q_SLOTS:
    void init() { data = new QueryTestData; }
    void cleanup()
    {
        delete data;
        data = nullptr;
    }

    void twoConfigurations();
    void sharesTheOpenersRecordBothWays();
    void showListOpensModalAndLeavesTheOpenerOnTheLastRow();
    void filteredListAndItsNote();
    void emptyOrClosedRecordset();
    void exportsTheRowsAsked();
    void exportFailureIsSaidAndKeepsTheOldFile();
    void printsTheRowsAsked();
    void layoutMenuIsNeverAvailable();
    void eachListKeepsItsOwnColours();
};

void TestResultList::twoConfigurations()
{
    Opener opener;
    ResultListWindow one(ResultListConfig::ShowData1(), &opener.Data1);
    ResultListWindow two(ResultListConfig::ShowData2(), &opener.Data1);
    QCOMPARE(one.objectName(), QStringLiteral("ShowData1"));
    QCOMPARE(one.windowTitle(), QStringLiteral("Inventory Database"));
    QCOMPARE(two.windowTitle(), QStringLiteral("Inventory Database"));
    QCOMPARE(helpContext(&one), 730);
    QCOMPARE(helpContext(&two), 740);

    const QAbstractItemModel* m1 = one.SSDBGrid1->model();
    const QAbstractItemModel* m2 = two.SSDBGrid1->model();
    QCOMPARE(m1->columnCount(), 24);
    QCOMPARE(m1->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Part Number 1"));
    QCOMPARE(m2->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Part #3"));
    QCOMPARE(m1->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Min. Stock"));
    QCOMPARE(m2->headerData(23, Qt::Horizontal).toString(), QStringLiteral("Page 3"));
    QCOMPARE(one.SSDBGrid1->columnWidth(7), twipsToPx(1640));
    QCOMPARE(two.SSDBGrid1->columnWidth(7), twipsToPx(1852));
    QCOMPARE(two.SSDBGrid1->columnWidth(12), twipsToPx(1085));
    // Prices in the currency format, the grid read-only.
    QCOMPARE(m1->data(m1->index(1, 9)).toString(), QStringLiteral("$12.50"));
    QCOMPARE(one.SSDBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);

    // Menus: names and captions per list.
    QStringList bar1, bar2;
    for (QAction* a : one.menuBar()->actions())
        bar1 << a->text();
    for (QAction* a : two.menuBar()->actions())
        bar2 << a->text();
    QCOMPARE(bar1, (QStringList{"&Print", "&Export", "&Colors"}));
    QCOMPARE(bar2, (QStringList{"&Print", "&Export", "&Layout", "&Colors"}));
    QCOMPARE(one.printMenu->objectName(), QStringLiteral("MnuPrintList1"));
    QCOMPARE(two.exportMenu->objectName(), QStringLiteral("mnuExport"));
    QCOMPARE(action(&one, "MnuPrintNonHighlighted")->text(), QStringLiteral("&Non Highlighted Rows"));
    QCOMPARE(action(&one, "MnuExportAllHighlighted")->text(), QStringLiteral("&Highlighted Rows"));
    QCOMPARE(action(&two, "MnuPrintNonSelected")->text(), QStringLiteral("&Non Highlighted Rows"));
    QCOMPARE(action(&two, "MnuExportNonHighlighted")->text(), QStringLiteral("&NonHighlighted Rows"));
    QVERIFY(action(&two, "mnuPrintHighlighted"));
    QCOMPARE(one.Command1->text(), QStringLiteral("E&xit"));
    QVERIFY(one.FilterLabel && !two.FilterLabel);
}

void TestResultList::sharesTheOpenersRecordBothWays()
{
    Opener opener;
    opener.Data1.recordset()->moveNext();   // vendor 1's order: *STAR, ABC-1, abd-2 ...
    QCOMPARE(opener.current(), QStringLiteral("1"));
    opener.validations = 0;

    auto* list = new ResultListWindow(ResultListConfig::ShowData1(), &opener.Data1);
    list->show();
    QCOMPARE(list->Data1->recordset(), opener.Data1.recordset());
    QCOMPARE(list->SSDBGrid1->model()->rowCount(), 7);
    QCOMPARE(list->SSDBGrid1->currentIndex().row(), 1);
    QCOMPARE(list->SSDBGrid1->model()->headerData(1, Qt::Vertical).toString(), QStringLiteral("\u25B6"));
    QCOMPARE(list->SSDBData1->caption(), QStringLiteral("BELT"));
    QVERIFY(list->SSDBGrid1->selectionModel()->selectedRows().isEmpty());

    // A row chosen in the list is the opener's current part, with one record check.
    QTest::mouseClick(list->SSDBGrid1->viewport(), Qt::LeftButton, {},
                      list->SSDBGrid1->visualRect(list->SSDBGrid1->model()->index(4, 3)).center());
    QCOMPARE(opener.current(), QStringLiteral("3"));
    QCOMPARE(opener.description.text(), QStringLiteral("O'BRIEN (2)"));
    QCOMPARE(opener.validations, 1);
    QCOMPARE(list->SSDBGrid1->model()->headerData(4, Qt::Vertical).toString(), QStringLiteral("\u25B6"));

    // The list's navigator moves it too; the grid follows.
    list->SSDBData1->lastButton()->click();
    QCOMPARE(opener.current(), QStringLiteral("7"));
    QCOMPARE(list->SSDBGrid1->currentIndex().row(), 6);
    QCOMPARE(opener.description.text(), QStringLiteral("SWITCH*"));

    // And a move of the opener's own shows in the list.
    opener.Data1.recordset()->moveFirst();
    QCOMPARE(list->SSDBGrid1->currentIndex().row(), 0);
    QCOMPARE(list->SSDBData1->caption(), QString());

    // A change typed on the opener's side is saved by a move in the list, not lost.
    opener.description.setText(QStringLiteral("STAR WHEEL"));
    list->SSDBGrid1->setCurrentIndex(list->SSDBGrid1->model()->index(2, 0));
    QCOMPARE(data->column("SELECT Description FROM Parts WHERE [Record Number] = 6"), QStringList{"STAR WHEEL"});
    QCOMPARE(opener.current(), QStringLiteral("2"));

    // Exit: the list goes, the opener keeps its recordset on the last row of the list.
    QPointer<ResultListWindow> guard(list);
    list->setAttribute(Qt::WA_DeleteOnClose);
    list->Command1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!guard);
    QVERIFY(!opener.Data1.recordset()->isClosed());
    QCOMPARE(opener.current(), QStringLiteral("2"));
    opener.Data1.recordset()->moveNext();
    QCOMPARE(opener.current(), QStringLiteral("5"));
}

void TestResultList::showListOpensModalAndLeavesTheOpenerOnTheLastRow()
{
    Opener opener;
    ScriptedModal modal;
    QPointer<QWidget> shown;
    modal.onNext([&](QWidget* w) {
        shown = w;
        auto* list = qobject_cast<ResultListWindow*>(w);
        QVERIFY(list);
        QCOMPARE(list->objectName(), QStringLiteral("ShowData2"));
        QVERIFY(list->isVisible());
        list->SSDBGrid1->setCurrentIndex(list->SSDBGrid1->model()->index(3, 0));
        list->Command1->click();
    });
    ResultListWindow::ShowList(ResultListConfig::ShowData2(), &opener.Data1, nullptr);
    QVERIFY(modal.allHandled());
    QVERIFY(!shown);   // deleted once closed
    QCOMPARE(opener.current(), QStringLiteral("5"));
}

void TestResultList::filteredListAndItsNote()
{
    Opener opener(QStringLiteral("Select Parts.* From Parts Where [In Stock] < 5 ORDER BY [Location] DESC"));
    bool filterOn = true;
    {
        ResultListWindow list(ResultListConfig::ShowData1(), &opener.Data1, nullptr, [&] { return filterOn; });
        QVERIFY(list.FilterLabel->isHidden());
        QCOMPARE(list.FilterLabel->text(), QStringLiteral("Filter is ON"));
        QCOMPARE(list.FilterLabel->toolTip(), QStringLiteral("This lets you know there is a filter currently on"));
        list.show();
        QVERIFY(list.FilterLabel->isVisible());
        const QAbstractItemModel* m = list.SSDBGrid1->model();
        QStringList locations;
        for (int r = 0; r < m->rowCount(); ++r)
            locations << m->data(m->index(r, 7)).toString();
        QCOMPARE(locations, (QStringList{"xa1y", "b2", "A10", "[A]1"}));
    }
    filterOn = false;
    ResultListWindow list(ResultListConfig::ShowData1(), &opener.Data1, nullptr, [&] { return filterOn; });
    list.show();
    QVERIFY(list.FilterLabel->isHidden());
}

void TestResultList::emptyOrClosedRecordset()
{
    ScriptedPrompts prompts;
    Opener opener(QStringLiteral("Select Parts.* From Parts Where [In Stock] > 100"));
    {
        ResultListWindow list(ResultListConfig::ShowData1(), &opener.Data1);
        list.show();
        QCOMPARE(list.SSDBGrid1->model()->rowCount(), 0);
        QVERIFY(!list.SSDBGrid1->currentIndex().isValid());
        prompts.expectMessage();
        list.exportItems[0]->trigger();
        QCOMPARE(readText(AppFolder::join("ExportAllRows.txt")), Heading1);
    }
    opener.Data1.close();
    ResultListWindow list(ResultListConfig::ShowData2(), &opener.Data1);
    list.show();
    QCOMPARE(list.SSDBGrid1->model()->rowCount(), 0);
    list.SSDBData1->lastButton()->click();
    QVERIFY(prompts.verifyAllAnswered());
}

void TestResultList::exportsTheRowsAsked()
{
    ScriptedPrompts prompts;
    QVERIFY(data->exec(QStringLiteral("UPDATE Parts SET [Part Memo] = 'LINE 1' || char(13,10) || 'LINE 2' || char(9) || 'END' "
                                      "WHERE [Record Number] = 2")));
    Opener opener(QStringLiteral("Select Parts.* From Parts Where [In Stock] >= 1 ORDER BY [In Stock]"));   // 4, 1, 7, 3
    ResultListWindow list(ResultListConfig::ShowData1(), &opener.Data1);
    list.show();

    // An earlier export, of another account that shares the folder: replaced, it stays theirs.
    const QByteArray earlier = QFile::encodeName(AppFolder::join("ExportAllRows.txt"));
    QFile(AppFolder::join("ExportAllRows.txt")).open(QIODevice::WriteOnly);
    QCOMPARE(::chmod(earlier.constData(), 0640) | ::chown(earlier.constData(), 1000, 100), 0);   // the test may give files away
    prompts.expectMessage();
    list.exportItems[0]->trigger();
    struct stat st;
    QCOMPARE(::stat(earlier.constData(), &st), 0);
    QCOMPARE((QList<uint>{uint(st.st_mode & 07777), uint(st.st_uid), uint(st.st_gid)}), (QList<uint>{0640, 1000, 100}));
    auto m = prompts.messages().last();
    QCOMPARE(m.text, QStringLiteral("Your data has been successfully exported\rto a file name called ExportAllRows.txt"));
    QCOMPARE(m.style, 0);
    QCOMPARE(m.title, QString());
    const QString all = readText(AppFolder::join("ExportAllRows.txt"));
    QVERIFY2(all.startsWith(Heading1), qPrintable(all));
    const QStringList lines = all.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 1 + 4 + 1);   // heading, four rows, nothing after the last CRLF
    QCOMPARE(lines[1], QStringLiteral("X-5\tV2-3\t\tPIN 2\" X 4\"\t\t1\t1\tA10\t\t$1.00\t$0.00\t$0.00\t1\t0\t0\t1\t0\t0\t\t\t\t\t\t"));
    QCOMPARE(lines[2].section(u'\t', 0, 0), QStringLiteral("ABC-1"));
    QCOMPARE(lines[3].section(u'\t', 0, 0), QStringLiteral("Z9"));
    QCOMPARE(lines[4].section(u'\t', 0, 0), QStringLiteral("O'BRIEN (2)"));

    // Highlighted rows, and the others; a memo's line breaks and tabs become blanks.
    list.SSDBGrid1->selectRow(1);
    list.SSDBGrid1->selectionModel()->select(list.SSDBGrid1->model()->index(3, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    prompts.expectMessage().expectMessage();
    list.exportItems[1]->trigger();
    QCOMPARE(prompts.messages().last().text, QStringLiteral("Your data has been successfully exported\rto a file name called ExportSelectedRows.txt"));
    list.exportItems[2]->trigger();
    QCOMPARE(prompts.messages().last().text,
             QStringLiteral("Your data has been successfully exported\rto a file name called ExportNonSelectedRows.txt"));
    QStringList selected = readText(AppFolder::join("ExportSelectedRows.txt")).split(QStringLiteral("\r\n"));
    QCOMPARE(selected.size(), 4);
    QCOMPARE(selected[1].section(u'\t', 0, 0), QStringLiteral("ABC-1"));
    QCOMPARE(selected[2].section(u'\t', 0, 0), QStringLiteral("O'BRIEN (2)"));
    const QStringList others = readText(AppFolder::join("ExportNonSelectedRows.txt")).split(QStringLiteral("\r\n"));
    QCOMPARE(others.size(), 4);
    QCOMPARE(others[1].section(u'\t', 0, 0), QStringLiteral("X-5"));
    QCOMPARE(others[2].section(u'\t', 0, 0), QStringLiteral("Z9"));

    // The other list writes the same names, replacing the files whole.
    Opener second(QStringLiteral("Select Parts.* From Parts Where [Record Number] = 2"));
    ResultListWindow list2(ResultListConfig::ShowData2(), &second.Data1);
    list2.show();
    prompts.expectMessage();
    list2.exportItems[0]->trigger();
    const QStringList rows2 = readText(AppFolder::join("ExportAllRows.txt")).split(QStringLiteral("\r\n"));
    QCOMPARE(rows2.size(), 3);
    QVERIFY(rows2[0].startsWith("Part #1\tPart #2\tPart #3\t"));
    QCOMPARE(rows2[1].section(u'\t', 4, 4), QStringLiteral("LINE 1  LINE 2 END"));
    // No highlighted row: a heading only, and the message all the same.
    prompts.expectMessage();
    list2.exportItems[1]->trigger();
    QCOMPARE(readText(AppFolder::join("ExportSelectedRows.txt")).count(QStringLiteral("\r\n")), 1);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestResultList::exportFailureIsSaidAndKeepsTheOldFile()
{
    ScriptedPrompts prompts;
    Opener opener;
    ResultListWindow list(ResultListConfig::ShowData1(), &opener.Data1);
    list.show();
    // A folder in the way of the file: nothing can be written there.
    QVERIFY(QDir(AppFolder::path()).mkdir(QStringLiteral("ExportAllRows.txt")));
    prompts.expectMessage();
    list.exportItems[0]->trigger();
    const auto m = prompts.messages().last();
    QVERIFY2(m.text.startsWith("Your data could not be exported to ExportAllRows.txt: "), qPrintable(m.text));
    QCOMPARE(m.style, 48);
    QVERIFY(!m.text.contains("successfully"));

    // An earlier export stays whole when the next one fails.
    prompts.expectMessage();
    list.exportItems[1]->trigger();
    const QString before = readText(AppFolder::join("ExportSelectedRows.txt"));
    QFile::setPermissions(AppFolder::path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile probe(AppFolder::join("probe.txt"));
    const bool folderLocked = !probe.open(QIODevice::WriteOnly);   // root writes anyway
    probe.remove();
    if (folderLocked) {
        prompts.expectMessage();
        list.exportItems[1]->trigger();
        QVERIFY(prompts.messages().last().text.startsWith("Your data could not be exported to ExportSelectedRows.txt: "));
        QCOMPARE(readText(AppFolder::join("ExportSelectedRows.txt")), before);
    }
    QFile::setPermissions(AppFolder::path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestResultList::printsTheRowsAsked()
{
    ScriptedDialogs dialogs;
    ScriptedPrompts prompts;
    Opener opener;
    ResultListWindow list(ResultListConfig::ShowData1(), &opener.Data1);
    list.show();
    const QString pdf = AppFolder::join("list.pdf");
    auto toPdf = [pdf](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf);
    };

    // Cancel in the printer dialog prints nothing.
    dialogs.answerPrinterSetup(false);
    list.printItems[0]->trigger();
    QVERIFY(!QFile::exists(pdf));

    dialogs.answerPrinterSetup(true, toPdf);
    list.printItems[0]->trigger();
    QCOMPARE(dialogs.printerSetupCalls(), 2);
    const QString all = pdfText(pdf);
    QVERIFY2(all.contains("Inventory Database") && all.contains("Part Number 1") && all.contains("SWITCH*")
                 && all.contains("O'BRIEN (2)") && all.contains("$99.99"),
             qPrintable(all));
    // Columns that do not fit continue on a later page, each line still naming its part.
    QVERIFY(all.contains("Page 2") && all.contains("Book 3"));

    list.SSDBGrid1->selectRow(6);   // Z9
    QFile::remove(pdf);
    dialogs.answerPrinterSetup(true, toPdf);
    list.printItems[1]->trigger();
    const QString highlighted = pdfText(pdf);
    QVERIFY(highlighted.contains("Z9") && !highlighted.contains("ABC-1"));
    QFile::remove(pdf);
    dialogs.answerPrinterSetup(true, toPdf);
    list.printItems[2]->trigger();
    const QString others = pdfText(pdf);
    QVERIFY(!others.contains("Z9") && others.contains("ABC-1"));
    QCOMPARE(prompts.messages().size(), 0);
    QVERIFY(dialogs.verifyAllAnswered());
}

void TestResultList::layoutMenuIsNeverAvailable()
{
    Opener opener;
    {
        ResultListWindow list(ResultListConfig::ShowData2(), &opener.Data1);
        list.show();
        QVERIFY(list.MnuLayout);
        QCOMPARE(list.MnuLayout->objectName(), QStringLiteral("MnuLayout"));
        QVERIFY(!list.MnuLayout->menuAction()->isEnabled());
        QCOMPARE(list.MnuLayoutSave->text(), QStringLiteral("&Save"));
        QCOMPARE(list.MnuLayoutOpen->text(), QStringLiteral("&Open"));
        QVERIFY(!list.MnuLayoutSave->isEnabled() && !list.MnuLayoutOpen->isEnabled());
        list.MnuLayoutSave->trigger();
        list.MnuLayoutOpen->trigger();
        list.close();
    }
    // No grid layout file is written or read by either list.
    ResultListWindow one(ResultListConfig::ShowData1(), &opener.Data1);
    QVERIFY(!one.MnuLayout);
    QVERIFY(!AppFolder::find(QStringLiteral("UserLayout.grd")));
}

void TestResultList::eachListKeepsItsOwnColours()
{
    ScriptedDialogs dialogs;
    ScriptedPrompts prompts;
    Opener opener;
    const qint64 list2Even = storedColor("List2Colors", "SSDBGridEvenColor");
    ResultListWindow list(ResultListConfig::ShowData1(), &opener.Data1);
    list.show();
    QCOMPARE(list.colorMenu->objectName(), QStringLiteral("MnuList1Colors"));
    QCOMPARE(list.colorMenu->title(), QStringLiteral("&Colors"));
    QMenu* listWindow = list.colorMenu->findChild<QMenu*>(QStringLiteral("MnuList1ListWindow"));
    QVERIFY(listWindow);
    QCOMPARE(listWindow->title(), QStringLiteral("List Window"));
    QStringList sub;
    for (QAction* a : listWindow->actions())
        sub << a->objectName() + u'=' + a->text();
    QCOMPARE(sub, (QStringList{"MnuList1Text=Text", "MnuList1BackGround1=Background", "MnuList1FirstRow=First Row",
                               "MnuList1NextRow=Next Row"}));
    QCOMPARE(action(&list, "MnuList1BackGround")->text(), QStringLiteral("Background Colors"));
    QCOMPARE(action(&list, "MnuList1Text1")->text(), QStringLiteral("Text Color"));

    // "First Row" colours the first row and every second after it, and is this list's alone.
    dialogs.answerColor(QColor(0x11, 0x22, 0x33));
    action(&list, "MnuList1FirstRow")->trigger();
    QCOMPARE(list.SSDBGrid1->palette().color(QPalette::Base), QColor(0x11, 0x22, 0x33));
    QCOMPARE(storedColor("List1Colors", "SSDBGridEvenColor"), 0x332211);
    QCOMPARE(storedColor("List2Colors", "SSDBGridEvenColor"), list2Even);
    dialogs.answerColor(QColor(0x44, 0x55, 0x66));
    action(&list, "MnuList1NextRow")->trigger();
    QCOMPARE(list.SSDBGrid1->palette().color(QPalette::AlternateBase), QColor(0x44, 0x55, 0x66));
    dialogs.answerColor(QColor(0x77, 0x00, 0x00));
    action(&list, "MnuList1Text")->trigger();
    QCOMPARE(list.SSDBGrid1->palette().color(QPalette::Text), QColor(0x77, 0x00, 0x00));
    QCOMPARE(storedColor("List1Colors", "SSDBGridForeColor"), 0x000077);

    // The ordering screen's list opens in its own colours, with its own menu names.
    ResultListWindow list2(ResultListConfig::ShowData2(), &opener.Data1);
    list2.show();
    QVERIFY(list2.SSDBGrid1->palette().color(QPalette::Base) != QColor(0x11, 0x22, 0x33));
    QCOMPARE(list2.colorMenu->objectName(), QStringLiteral("MnuColors2"));
    QVERIFY(list2.colorMenu->findChild<QMenu*>(QStringLiteral("Mnu2ListWindow")));
    QCOMPARE(action(&list2, "Mnu2TextColors")->text(), QStringLiteral("Text Color"));

    // The right button pops the menu over the window and the grid, not over the bar or Exit.
    QVERIFY(list.Data3->isMenuClick(list.SSDBGrid1->viewport()->mapTo(&list, QPoint(20, 20))));
    QVERIFY(!list.Data3->isMenuClick(list.Command1->mapTo(&list, QPoint(5, 5))));
    QVERIFY(!list.Data3->isMenuClick(list.SSDBData1->mapTo(&list, QPoint(2, 2))));
    QVERIFY(dialogs.verifyAllAnswered());
}

QTEST_MAIN(TestResultList)
#include "tst_resultlist.moc"
