// The report launcher: the file-name rule, the precondition steps on a window's Data1, the
// notices, the sort-field rule, the hourglass, and the faults it reports instead of hiding.

#include "ReportFixture.h"
#include "data/DataControl.h"
#include "data/Schema.h"
#include "platform/AppFolder.h"
#include "platform/AppInfo.h"
#include "platform/Cursor.h"
#include "reports/PaperSize.h"
#include "reports/ReportLauncher.h"
#include "support/RecordingReportControl.h"
#include "support/ScriptedPrompts.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString minimumStock = QStringLiteral("Select * from Parts where [Minimum Stock] > 0");
const ReportNotice minimumStockNotice{QStringLiteral("Please check your minimum stock levels"), 64, QStringLiteral("Notice"), true};

ReportRequest locationBook()
{
    ReportRequest r;
    r.letterFile = QStringLiteral("LocationBook.rpt");
    r.hasA4Twin = true;
    r.precondition = ReportPrecondition::onQuery(minimumStock, minimumStockNotice);
    return r;
}

QStringList callKinds(const QList<RecordingReportControl::Call>& calls)
{
    static const char* names[] = {"file", "formula", "sort", "run"};
    QStringList out;
    for (const auto& c : calls)
        out << QLatin1String(names[c.kind]) + (c.kind == RecordingReportControl::Call::SortField ? QString::number(c.k) : QString());
    return out;
}

} // namespace

class LauncherTest : public QObject
{
    Q_OBJECT

    static QStringList stock(bool anyMinimum)
    {
        return {QStringLiteral("INSERT INTO Parts([Part Number 1],[Minimum Stock]) VALUES ('A',%1),('B',0)").arg(anyMinimum ? 2 : 0),
                QStringLiteral("INSERT INTO PartsUsage VALUES (1,2,3,'2004-01-15'),(1,1,12,'2004-02-20'),(2,4,13,'2004-02-21')")};
    }

    static void requireTableParts(const DataControl& data)
    {
        QCOMPARE(data.databaseName(), InventoryDatabasePath());
        QCOMPARE(data.recordSource(), QStringLiteral("Parts"));
        QCOMPARE(data.recordsetType(), Recordset::Kind::Table);
        QVERIFY(data.recordset());
        QCOMPARE(data.recordset()->kind(), Recordset::Kind::Table);
        QCOMPARE(data.recordset()->tableName(), QStringLiteral("Parts"));
    }

private Q_SLOTS:
    void cleanup()
    {
        PaperSize::setA4(false);
        QCOMPARE(WaitCursor::depth(), 0);   // the pointer is back to normal after every test
    }

    void fileNameFollowsThePaper_data()
    {
        QTest::addColumn<QString>("letter");
        QTest::addColumn<bool>("twin");
        QTest::addColumn<bool>("bare");
        QTest::addColumn<bool>("a4");
        QTest::addColumn<QString>("expected");   // "<folder>/" stands for the program's folder
        QTest::newRow("letter") << "Complete.rpt" << true << false << false << "<folder>/Complete.rpt";
        QTest::newRow("A4 twin") << "Complete.rpt" << true << false << true << "<folder>/CompleteA4.rpt";
        QTest::newRow("blank in the name") << "Parts Usage.rpt" << true << false << true << "<folder>/Parts UsageA4.rpt";
        QTest::newRow("no twin on A4") << "FilteredAvery5160.Rpt" << false << true << true << "FilteredAvery5160.Rpt";
        QTest::newRow("label on A4") << "Barcoded5386.rpt" << false << false << true << "<folder>/Barcoded5386.rpt";
        QTest::newRow("bare letter") << "PartsUsageByLane.rpt" << true << true << false << "PartsUsageByLane.rpt";
        QTest::newRow("bare A4") << "PartsUsageByLane.rpt" << true << true << true << "PartsUsageByLaneA4.rpt";
        QTest::newRow("capital R twin") << "Filter.Rpt" << true << true << true << "FilterA4.Rpt";
    }

    void fileNameFollowsThePaper()
    {
        QFETCH(QString, letter);
        QFETCH(bool, twin);
        QFETCH(bool, bare);
        QFETCH(bool, a4);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        AppFolder::setPath(dir.path());
        PaperSize::setA4(a4);
        expected.replace(QStringLiteral("<folder>"), dir.path());
        QCOMPARE(ReportFileForPaper(letter, twin, bare ? ReportPlacement::Bare : ReportPlacement::ProgramFolder), expected);
    }

    void anEmptyPreconditionShowsItsNoticeAndPutsData1BackOnParts()
    {
        ReportFixture f;
        f.makeInventory(stock(false));
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::Ok);
        RecordingReportControl report;
        DataControl Data1;
        Data1.setRecordSource(QStringLiteral("Parts"));   // unbound, as after a first start

        QCOMPARE(ReportLauncher(&Data1, report, locationBook()), ReportOutcome::NoRecords);

        QCOMPARE(prompts.beeps(), 1);
        const auto box = prompts.messages().value(0);
        QCOMPARE(box.text, QStringLiteral("Please check your minimum stock levels"));
        QCOMPARE(box.style, 64);
        QCOMPARE(box.title, QStringLiteral("Notice"));
        QVERIFY(box.beepBefore);
        QVERIFY(report.calls().isEmpty());   // nothing is set, nothing runs
        requireTableParts(Data1);
    }

    void aNoticeWithoutBeepOrTitleShowsTheApplicationTitle()
    {
        ReportFixture f;
        f.makeInventory(stock(false));
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::Ok);
        RecordingReportControl report;
        DataControl Data1;
        ReportRequest r;
        r.letterFile = QStringLiteral("CurrentlyTagged.rpt");
        r.hasA4Twin = true;
        r.precondition = ReportPrecondition::onQuery(
            QStringLiteral("Select * from Parts where [Quantity Ordered 1] > 0 or [Quantity Ordered 2] > 0 or [Quantity Ordered 3] > 0"),
            {QStringLiteral("There are no parts currently tagged for ordering!"), 0, QString(), false});
        QCOMPARE(ReportLauncher(&Data1, report, r), ReportOutcome::NoRecords);
        QCOMPARE(prompts.beeps(), 0);
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].style, 0);
        QCOMPARE(prompts.messages()[0].title, QString());
        QCOMPARE(prompts.messages()[0].effectiveTitle, AppInfo::title);
    }

    void foundRecordsRunTheReportAndLeaveData1OnTheQuery()
    {
        ReportFixture f;
        f.makeInventory(stock(true));
        ScriptedPrompts prompts;
        RecordingReportControl report;
        DataControl Data1;
        // A database chosen with File, Open is replaced by Inventory.mdb.
        QFile::copy(f.folder.file(QStringLiteral("Inventory.mdb")), f.folder.file(QStringLiteral("Other.mdb")));
        Data1.setDatabaseName(f.folder.file(QStringLiteral("Other.mdb")));
        Data1.setRecordSource(QStringLiteral("Parts"));
        Data1.refresh();
        PaperSize::setA4(true);

        QCOMPARE(ReportLauncher(&Data1, report, locationBook()), ReportOutcome::Ran);

        QVERIFY(prompts.log().isEmpty());
        QCOMPARE(callKinds(report.calls()), QStringList({"file", "run"}));
        QCOMPARE(report.runs()[0].file, f.folder.path() + QStringLiteral("/LocationBookA4.rpt"));
        QVERIFY(!report.runs()[0].formula.has_value());
        QCOMPARE(Data1.databaseName(), InventoryDatabasePath());
        QCOMPARE(Data1.recordsetType(), Recordset::Kind::Dynaset);
        QCOMPARE(Data1.recordSource(), minimumStock);
        QCOMPARE(Data1.recordset()->kind(), Recordset::Kind::Dynaset);
        QCOMPARE(Data1.recordset()->recordCount(), 1);
    }

    void sortFieldsStopAtTheFirstEmptyText()
    {
        RecordingReportControl report;
        ReportRequest r;
        r.letterFile = QStringLiteral("Filter.rpt");
        r.hasA4Twin = true;
        r.placement = ReportPlacement::Bare;
        r.selectionFormula = QStringLiteral("{Parts.In Stock} < 5");
        r.sortFields = {QStringLiteral("a"), QString(), QStringLiteral("c")};
        QCOMPARE(ReportLauncher(nullptr, report, r), ReportOutcome::Ran);
        QCOMPARE(callKinds(report.calls()), QStringList({"file", "formula", "sort0", "run"}));
        QCOMPARE(report.runs()[0].file, QStringLiteral("Filter.rpt"));
        QCOMPARE(report.runs()[0].formula, std::optional<QString>(QStringLiteral("{Parts.In Stock} < 5")));
        QCOMPARE(report.runs()[0].sortFields, (QMap<int, QString>{{0, QStringLiteral("a")}}));

        r.sortFields = {QStringLiteral("+{Parts.Location}"), QStringLiteral("-{Parts.Description}"), QStringLiteral("+{Parts.Book 1}")};
        ReportLauncher(nullptr, report, r);
        QCOMPARE(report.runs()[1].sortFields.size(), 3);
        QCOMPARE(report.runs()[1].sortFields.value(2), QStringLiteral("+{Parts.Book 1}"));

        r.sortFields = {QString(), QStringLiteral("b")};
        ReportLauncher(nullptr, report, r);
        QVERIFY(report.runs()[2].sortFields.isEmpty());
    }

    void aFailingPreconditionIsReportedAsAnError()
    {
        ReportFixture f;
        f.makeInventory(stock(true));
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::Ok);
        RecordingReportControl report;
        DataControl Data1;
        ReportRequest r;
        r.letterFile = QStringLiteral("PartsUsageByLane.rpt");
        r.hasA4Twin = true;
        r.placement = ReportPlacement::Bare;
        r.precondition = ReportPrecondition::onQuery(QStringLiteral("Select * from PartsUsage where [Lane Number] >= a and [Lane Number] <= 12"),
                                                     {QStringLiteral("No parts have been used in this lane number range."), 64, QStringLiteral("Notice"), true});
        r.precondition->moveFirst = true;

        QCOMPARE(ReportLauncher(&Data1, report, r), ReportOutcome::Failed);
        QCOMPARE(prompts.beeps(), 0);
        QCOMPARE(prompts.messages().size(), 1);
        QVERIFY2(prompts.messages()[0].text.startsWith(QStringLiteral("The report PartsUsageByLane.rpt could not be printed: ")),
                 qPrintable(prompts.messages()[0].text));
        QCOMPARE(prompts.messages()[0].style, 48);
        QVERIFY(report.calls().isEmpty());
        requireTableParts(Data1);
    }

    void aReportThatCannotBeProducedIsToldOnce()
    {
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::Ok);
        RecordingReportControl report;
        report.failNextRun(QStringLiteral("the report file Complete.rpt was not found"));
        ReportRequest r;
        r.letterFile = QStringLiteral("Complete.rpt");
        r.hasA4Twin = true;
        QCOMPARE(ReportLauncher(nullptr, report, r), ReportOutcome::Failed);
        QCOMPARE(prompts.texts(), QStringList{QStringLiteral("The report Complete.rpt could not be printed: the report file Complete.rpt was not found")});
        QCOMPARE(prompts.messages()[0].style, 48);
    }

    void theUsageScreenCountsItsOwnRowsAndRestoresNothing()
    {
        ReportFixture f;
        f.makeInventory(stock(true));
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::Ok);
        RecordingReportControl report;
        DataControl Data4;
        Data4.setDatabaseName(InventoryDatabasePath());
        Data4.setRecordsetType(Recordset::Kind::Dynaset);
        Data4.setRecordSource(QStringLiteral("Select * from PartsUsage where [Record Number] = 7"));
        Data4.refresh();
        ReportRequest r;
        r.letterFile = QStringLiteral("UsedByPartNumber.rpt");
        r.hasA4Twin = true;
        r.selectionFormula = QStringLiteral("{PartsUsage.Record Number} =7");
        r.precondition = ReportPrecondition::onHeldRows(
            {QStringLiteral("You can not graph this parts usage because it has not been used."), 64, QStringLiteral("Notice"), true});

        QCOMPARE(ReportLauncher(&Data4, report, r), ReportOutcome::NoRecords);
        QCOMPARE(prompts.beeps(), 1);
        QCOMPARE(Data4.recordSource(), QStringLiteral("Select * from PartsUsage where [Record Number] = 7"));   // no restore
        QVERIFY(report.calls().isEmpty());

        Data4.setRecordSource(QStringLiteral("Select * from PartsUsage where [Record Number] = 1"));
        Data4.refresh();
        Data4.recordset()->moveLast();
        r.selectionFormula = QStringLiteral("{PartsUsage.Record Number} =1");
        QCOMPARE(ReportLauncher(&Data4, report, r), ReportOutcome::Ran);
        QCOMPARE(Data4.recordset()->absolutePosition(), 0);   // moved to the first
        QCOMPARE(Data4.recordSource(), QStringLiteral("Select * from PartsUsage where [Record Number] = 1"));
    }

    void aCheckInsteadOfAQueryLeavesData1Alone()
    {
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::Ok);
        RecordingReportControl report;
        bool filterOn = false;
        ReportRequest r;
        r.letterFile = QStringLiteral("FilteredAvery5160.Rpt");
        r.placement = ReportPlacement::Bare;
        r.precondition = ReportPrecondition::onCheck([&] { return filterOn; },
            {QStringLiteral("You must set a filter on this screen before you can print this report!"), 48, QStringLiteral("Notice"), true});
        QCOMPARE(ReportLauncher(nullptr, report, r), ReportOutcome::NoRecords);
        QCOMPARE(prompts.beeps(), 1);
        QCOMPARE(prompts.messages()[0].style, 48);
        QVERIFY(report.calls().isEmpty());

        filterOn = true;
        int callsBeforeHook = -1;
        r.beforeRun = [&] { callsBeforeHook = int(report.calls().size()); };
        QCOMPARE(ReportLauncher(nullptr, report, r), ReportOutcome::Ran);
        QCOMPARE(callsBeforeHook, 0);   // the hook comes before anything is set
        QCOMPARE(report.runs().size(), 1);
    }

    void theEngineStartsEveryLaunchCleanAndFindsBareNamesInTheProgramFolder()
    {
        ReportFixture f;
        f.makeInventory(stock(true));
        CapturingViewer viewer;
        ScriptedPrompts prompts;
        // A file dialog elsewhere left the current folder on a folder with a report of the same name.
        QTemporaryDir elsewhere;
        QFile decoy(elsewhere.filePath(QStringLiteral("PartsUsageByLane.rpt")));
        QVERIFY(decoy.open(QIODevice::WriteOnly));
        decoy.write("this is not a report\n");
        decoy.close();
        const QString previous = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());

        RecordingReportControls recorded;   // installed, but the engine's control is made directly
        EngineReportControl CrystalReport1;
        ReportRequest r;
        r.letterFile = QStringLiteral("partsusagebylane.RPT");   // any letter case
        r.placement = ReportPlacement::Bare;
        r.selectionFormula = QStringLiteral("{PartsUsage.Lane Number} in 1to 12");
        r.sortFields = {QStringLiteral("-{PartsUsage.Used}")};
        QCOMPARE(ReportLauncher(nullptr, CrystalReport1, r), ReportOutcome::Ran);
        QDir::setCurrent(previous);
        QCOMPARE(viewer.shown.size(), 1);
        QCOMPARE(viewer.shown[0]->rowCount(), 2);

        // The next launch sets no formula: every row prints.
        ReportRequest all;
        all.letterFile = QStringLiteral("PartsUsageByLane.rpt");
        all.placement = ReportPlacement::Bare;
        QCOMPARE(ReportLauncher(nullptr, CrystalReport1, all), ReportOutcome::Ran);
        QCOMPARE(viewer.shown[1]->rowCount(), 3);
        QVERIFY(prompts.log().isEmpty());
        QVERIFY(recorded.runs().isEmpty());
    }

    void theEngineSaysWhyAReportCannotBeProduced()
    {
        ReportFixture f;
        f.makeInventory(stock(true));
        CapturingViewer viewer;
        ScriptedPrompts prompts;
        EngineReportControl CrystalReport1;

        ReportRequest missing;
        missing.letterFile = QStringLiteral("Nothing.rpt");
        missing.placement = ReportPlacement::Bare;
        prompts.expectMessage(Prompts::Ok);
        QCOMPARE(ReportLauncher(nullptr, CrystalReport1, missing), ReportOutcome::Failed);
        QCOMPARE(prompts.texts().last(), QStringLiteral("The report Nothing.rpt could not be printed: the report file Nothing.rpt was not found"));

        ReportRequest badFormula;
        badFormula.letterFile = QStringLiteral("PartsUsageByLane.rpt");
        badFormula.placement = ReportPlacement::Bare;
        badFormula.selectionFormula = QStringLiteral("{PartsUsage.Date Used} >= Date (2004,01,1_)");
        prompts.expectMessage(Prompts::Ok);
        QCOMPARE(ReportLauncher(nullptr, CrystalReport1, badFormula), ReportOutcome::Failed);
        QVERIFY2(prompts.texts().last().startsWith(QStringLiteral("The report PartsUsageByLane.rpt could not be printed: the selection formula is not valid")),
                 qPrintable(prompts.texts().last()));

        // The failed launch left nothing behind: the same control runs the next report clean.
        ReportRequest good = badFormula;
        good.selectionFormula.reset();
        QCOMPARE(ReportLauncher(nullptr, CrystalReport1, good), ReportOutcome::Ran);
        QCOMPARE(viewer.shown.size(), 1);
        QCOMPARE(prompts.messages().size(), 2);

        // A database the report cannot open.
        QFile::remove(f.folder.file(QStringLiteral("Inventory.mdb")));
        prompts.expectMessage(Prompts::Ok);
        QCOMPARE(ReportLauncher(nullptr, CrystalReport1, good), ReportOutcome::Failed);
        QVERIFY(prompts.texts().last().contains(QStringLiteral("Inventory.mdb")));
    }

    void windowsGetRecordingControlsWhileTestsAskForThem()
    {
        {
            RecordingReportControls recorded;
            auto control = ReportControl::create();
            QVERIFY(dynamic_cast<RecordingReportControl*>(control.get()));
            control->setReportFileName(QStringLiteral("a.rpt"));
            control->run();
            QCOMPARE(recorded.created(), 1);
            QCOMPARE(recorded.runs().size(), 1);
        }
        QVERIFY(dynamic_cast<EngineReportControl*>(ReportControl::create().get()));
    }
};

QTEST_MAIN(LauncherTest)
#include "tst_launcher.moc"
