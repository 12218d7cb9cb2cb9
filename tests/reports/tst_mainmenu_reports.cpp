// The main window's report commands, family by family: what each sets on the report control and
// runs, the notices when nothing qualifies, the purchase-order question and the information window
// before a vendor's order form, and what becomes of the main window's parts source Data1.

#include "ReportFixture.h"
#include "data/DataControl.h"
#include "data/Schema.h"
#include "platform/AppFolder.h"
#include "platform/Cursor.h"
#include "platform/VendorInformation.h"
#include "reports/MainMenuReports.h"
#include "reports/PaperSize.h"
#include "support/RecordingReportControl.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

// A catalogue in which every precondition finds rows: a stocked part, a part on back order, one
// tagged for each vendor, one needed, and a use on lane 4.
QStringList everythingQualifies()
{
    return {
        QStringLiteral("INSERT INTO Parts([Part Number 1],[Minimum Stock],[In Stock],[Back Ordered 2],[Quantity Ordered 1],[Quantity Ordered 2],[Quantity Ordered 3]) VALUES "
                       "('A',2,5,3,1,1,1),('B',4,1,0,0,0,0)"),
        QStringLiteral("INSERT INTO PartsUsage VALUES (1,2,4,'2004-01-15')"),
    };
}

// Nothing tagged, nothing stocked, nothing on back order, nothing needed, nothing used on a lane.
QStringList nothingQualifies()
{
    return {
        QStringLiteral("INSERT INTO Parts([Part Number 1],[Minimum Stock],[In Stock]) VALUES ('A',0,5),('B',0,0)"),
        QStringLiteral("INSERT INTO PartsUsage VALUES (1,2,0,'2004-01-15'),(2,1,NULL,'2004-01-16')"),
    };
}

// A vendor information window that records the tab it was opened on and what had run by then.
struct FakeInformation {
    QList<int> vendors;
    QList<int> runsWhenOpened;
    std::function<void()> whileOpen;
    explicit FakeInformation(const RecordingReportControls& recorded)
    {
        installVendorInformation([this, &recorded](int vendor) {
            vendors << vendor;
            runsWhenOpened << int(recorded.runs().size());
            if (whileOpen)
                whileOpen();
        });
    }
    ~FakeInformation() { installVendorInformation({}); }
};

void requireTableParts(const DataControl& data)
{
    QCOMPARE(data.databaseName(), InventoryDatabasePath());
    QCOMPARE(data.recordSource(), QStringLiteral("Parts"));
    QVERIFY(data.recordset());
    QCOMPARE(data.recordset()->kind(), Recordset::Kind::Table);
}

} // namespace

class MainMenuReportsTest : public QObject
{
    Q_OBJECT

    // The main window's printing, as the Print menu finds it.
    struct Window {
        QWidget mainWindow;
        DataControl* Data1 = new DataControl(&mainWindow);
        Window() { Data1->setRecordSource(QStringLiteral("Parts")); }   // unbound, as after a first start
        MainMenuPrinting& printing() { return MainMenuPrinting::of(&mainWindow, Data1); }
    };

private Q_SLOTS:
    void cleanup()
    {
        PaperSize::setA4(false);
        QCOMPARE(WaitCursor::depth(), 0);
    }

    void theCommandTableHoldsTheFiveFamilies()
    {
        QMap<MainMenuFamily, int> families;
        int twins = 0;
        QSet<QString> handlers;
        for (const MainMenuReport& r : MainMenuReports()) {
            ++families[r.family];
            twins += r.hasA4Twin;
            handlers << r.handler;
            // Label and card sheets have one file; every other command an A4 twin.
            QCOMPARE(r.hasA4Twin, r.family != MainMenuFamily::LabelSheet);
            QCOMPARE(r.precondition == MainMenuPrecondition::None, r.family == MainMenuFamily::Plain);
        }
        QCOMPARE(MainMenuReports().size(), 29);
        QCOMPARE(handlers.size(), 29);
        QCOMPARE(families.value(MainMenuFamily::LabelSheet), 6);
        QCOMPARE(families.value(MainMenuFamily::Plain), 11);
        QCOMPARE(families.value(MainMenuFamily::Checked), 7);
        QCOMPARE(families.value(MainMenuFamily::Needed), 2);
        QCOMPARE(families.value(MainMenuFamily::VendorOrder), 3);
        QCOMPARE(twins, 23);
        QVERIFY(!FindMainMenuReport(QStringLiteral("MnuOnePart")));
    }

    // Every command with every precondition met: the file in the program's folder, the A4 twin on
    // A4 paper where there is one, and never a formula or a sort field.
    void everyCommandRunsItsFileForThePaper_data()
    {
        QTest::addColumn<bool>("a4");
        QTest::newRow("letter") << false;
        QTest::newRow("A4") << true;
    }

    void everyCommandRunsItsFileForThePaper()
    {
        QFETCH(bool, a4);
        ReportFixture f;
        f.makeInventory(everythingQualifies());
        RecordingReportControls recorded;
        ScriptedPrompts prompts;
        FakeInformation info(recorded);
        Window w;
        PaperSize::setA4(a4);
        for (const MainMenuReport& r : MainMenuReports()) {
            if (r.family == MainMenuFamily::VendorOrder)
                prompts.expectMessage(Prompts::No);
            const qsizetype before = recorded.runs().size();
            QCOMPARE(w.printing().print(r.item), ReportOutcome::Ran);
            QCOMPARE(recorded.runs().size(), before + 1);
            const RecordingReportControl::Run& run = recorded.runs().last();
            QString name = r.letterFile;
            if (a4 && r.family != MainMenuFamily::LabelSheet)
                name.insert(name.lastIndexOf(u'.'), QStringLiteral("A4"));
            QCOMPARE(run.file, f.folder.path() + u'/' + name);
            QVERIFY(!run.formula.has_value());
            QVERIFY(run.sortFields.isEmpty());
        }
        QCOMPARE(recorded.created(), 1);   // the main window's one report control
        QVERIFY(info.vendors.isEmpty());
        QVERIFY(prompts.verifyAllAnswered());
        // Exact names where the spelling is easy to get wrong.
        const QStringList files = [&] {
            QStringList out;
            for (const auto& run : recorded.runs())
                out << run.file.mid(f.folder.path().size() + 1);
            return out;
        }();
        QVERIFY(files.contains(a4 ? QStringLiteral("Parts UsageA4.rpt") : QStringLiteral("Parts Usage.rpt")));
        QVERIFY(files.contains(a4 ? QStringLiteral("Parts LoanA4.rpt") : QStringLiteral("Parts Loan.rpt")));
        QVERIFY(files.contains(QStringLiteral("Barcoded5386.rpt")));
    }

    void labelSheetsAndCountsNeedAStockedPart()
    {
        ReportFixture f;
        f.makeInventory(nothingQualifies());
        RecordingReportControls recorded;
        ScriptedPrompts prompts;
        Window w;
        PaperSize::setA4(true);
        const QStringList items = {"MnuLabelNoBarcode", "mnuLabelWBarcodes", "MnuNoBarcodesAvery5160", "MnuBarcoded5160",
                                   "MnuRolodexCards", "MnuAvery5385", "MnuLocation", "MnuByLocation", "MnuSortByNumber"};
        for (const QString& item : items) {
            prompts.expectMessage(Prompts::Ok);
            QCOMPARE(w.printing().print(item), ReportOutcome::NoRecords);
            const auto box = prompts.messages().last();
            QCOMPARE(box.text, QStringLiteral("Please check your minimum stock levels"));
            QCOMPARE(box.style, 64);
            QCOMPARE(box.title, QStringLiteral("Notice"));
            QVERIFY2(box.beepBefore, qPrintable(item));
            requireTableParts(*w.Data1);
        }
        QCOMPARE(prompts.beeps(), items.size());
        QVERIFY(recorded.calls().isEmpty());
    }

    void theOtherNoticesFollowTheirPrecondition_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("beep");
        QTest::newRow("nothing tagged") << "MnuCurrentTagged" << "There are no parts currently tagged for ordering!" << 0 << "" << false;
        QTest::newRow("no back orders") << "MnuPrintBackOrders" << "There are NO parts on back order!" << 64 << "Notice" << true;
        const QString needed = QStringLiteral("There are no parts currently needed to order. ") + QChar(13)
            + QStringLiteral("Note: They may already be tagged, or they are on backorder.");
        QTest::newRow("needed, no barcodes") << "MnuNoBarcode" << needed << 64 << "Notice" << true;
        QTest::newRow("needed, barcodes") << "MnuBarcode" << needed << 64 << "Notice" << true;
        // Usage rows exist, but none on a lane numbered 1 or more.
        QTest::newRow("usage list") << "MnuUsageAll" << "There are no parts that have been used." << 64 << "Notice" << true;
        QTest::newRow("usage graph") << "MnuGraphUsage" << "There are no parts that have been used." << 64 << "Notice" << true;
    }

    void theOtherNoticesFollowTheirPrecondition()
    {
        QFETCH(QString, item);
        QFETCH(QString, text);
        QFETCH(int, style);
        QFETCH(QString, title);
        QFETCH(bool, beep);
        ReportFixture f;
        f.makeInventory(nothingQualifies());
        RecordingReportControls recorded;
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::Ok);
        Window w;
        QCOMPARE(w.printing().print(item), ReportOutcome::NoRecords);
        QCOMPARE(prompts.messages().size(), 1);
        QCOMPARE(prompts.messages()[0].text, text);
        QCOMPARE(prompts.messages()[0].style, style);
        QCOMPARE(prompts.messages()[0].title, title);
        QCOMPARE(prompts.beeps(), beep ? 1 : 0);
        QVERIFY(recorded.calls().isEmpty());
        requireTableParts(*w.Data1);
    }

    void theNeededNoticeShowsTwoLines()
    {
        ReportFixture f;
        f.makeInventory(nothingQualifies());
        RecordingReportControls recorded;
        Window w;
        // The real message box, read and closed as soon as it shows.
        QString shown;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        poll.start();
        QCOMPARE(w.printing().print(QStringLiteral("MnuNoBarcode")), ReportOutcome::NoRecords);
        poll.stop();
        QCOMPARE(shown.split(u'\n'), QStringList({"There are no parts currently needed to order. ",
                                                 "Note: They may already be tagged, or they are on backorder."}));
    }

    void aVendorsOrderFormWithNothingTaggedAsksNothing()
    {
        ReportFixture f;
        QStringList s = everythingQualifies();
        s << QStringLiteral("UPDATE Parts SET [Quantity Ordered 2] = 0");
        f.makeInventory(s);
        RecordingReportControls recorded;
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::Ok);
        FakeInformation info(recorded);
        Window w;
        w.printing().MnuVendor2_Click();
        QCOMPARE(prompts.log().size(), 1);   // the notice only: no beep, no question
        QCOMPARE(prompts.messages()[0].text, QStringLiteral("There are no parts currently tagged for vendor # 2"));
        QCOMPARE(prompts.messages()[0].style, 0);
        QCOMPARE(prompts.messages()[0].title, QString());
        QVERIFY(info.vendors.isEmpty());
        QVERIFY(recorded.calls().isEmpty());
        requireTableParts(*w.Data1);
    }

    void aVendorsOrderFormAnsweredNoRunsAtOnce()
    {
        ReportFixture f;
        f.makeInventory(everythingQualifies());
        RecordingReportControls recorded;
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::No);
        FakeInformation info(recorded);
        Window w;
        w.printing().MnuVendor2_Click();
        QCOMPARE(prompts.log().size(), 1);
        const auto question = prompts.messages()[0];
        QCOMPARE(question.text, QStringLiteral("Do you want to modify any of the purchase order data such as the PO number?"));
        QCOMPARE(question.style, 4);
        QCOMPARE(question.title, QStringLiteral("Purchase Order Information"));
        QVERIFY(!question.beepBefore);
        QVERIFY(info.vendors.isEmpty());
        QCOMPARE(recorded.runs().size(), 1);
        QCOMPARE(recorded.runs()[0].file, AppFolder::join(QStringLiteral("\\order2.rpt")));
        // After the run Data1 stays on the vendor's query.
        QCOMPARE(w.Data1->recordSource(), QStringLiteral("Select * from Parts where [Quantity Ordered 2] > 0"));
        QCOMPARE(w.Data1->recordset()->kind(), Recordset::Kind::Dynaset);
    }

    void aVendorsOrderFormAnsweredYesOpensTheVendorsTabFirst_data()
    {
        QTest::addColumn<int>("vendor");
        QTest::newRow("vendor 1") << 1;
        QTest::newRow("vendor 2") << 2;
        QTest::newRow("vendor 3") << 3;
    }

    void aVendorsOrderFormAnsweredYesOpensTheVendorsTabFirst()
    {
        QFETCH(int, vendor);
        ReportFixture f;
        f.makeInventory(everythingQualifies());
        RecordingReportControls recorded;
        ScriptedPrompts prompts;
        prompts.expectMessage(Prompts::Yes);
        FakeInformation info(recorded);
        // The paper is read when the window has closed: A4 chosen meanwhile prints the A4 twin.
        info.whileOpen = [] { PaperSize::setA4(true); };
        Window w;
        QCOMPARE(w.printing().print(QStringLiteral("MnuVendor%1").arg(vendor)), ReportOutcome::Ran);
        QCOMPARE(info.vendors, QList<int>{vendor});
        QCOMPARE(info.runsWhenOpened, QList<int>{0});   // the report waits for the window
        QCOMPARE(recorded.runs().size(), 1);
        QCOMPARE(recorded.runs()[0].file, AppFolder::join(QStringLiteral("\\order%1A4.rpt").arg(vendor)));
    }

    void aPreconditionPutsData1BackOnInventoryAndAPlainCommandLeavesItAlone()
    {
        ReportFixture f;
        f.makeInventory(everythingQualifies());
        f.makeInventory({}, QStringLiteral("Other.mdb"));
        RecordingReportControls recorded;
        ScriptedPrompts prompts;
        Window w;
        // A database chosen with File, Open.
        w.Data1->setDatabaseName(f.folder.file(QStringLiteral("Other.mdb")));

        w.printing().MnuComplete_Click();   // no precondition: Data1 untouched
        QCOMPARE(w.Data1->databaseName(), f.folder.file(QStringLiteral("Other.mdb")));
        QVERIFY(!w.Data1->recordset());

        w.printing().MnuLocation_Click();
        QCOMPARE(w.Data1->databaseName(), InventoryDatabasePath());
        QCOMPARE(w.Data1->recordSource(), QStringLiteral("Select * from Parts where [Minimum Stock] > 0"));
        QCOMPARE(w.Data1->recordset()->recordCount(), 2);
        QCOMPARE(recorded.runs().size(), 2);
        QVERIFY(prompts.log().isEmpty());
    }

    void theUsagePromptsOpenFromTheMenu()
    {
        ReportFixture f;
        f.makeInventory(everythingQualifies());
        Window w;
        // The lane prompt: modeless, the main window usable, the same prompt on a second choice.
        w.printing().MnuUsageLane_Click();
        QPointer<LaneNumber> lane = w.printing().laneNumber();
        QVERIFY(lane);
        QVERIFY(lane->isVisible());
        QCOMPARE(lane->windowModality(), Qt::NonModal);
        QVERIFY(w.mainWindow.isEnabled());
        w.printing().MnuUsageLane_Click();
        QCOMPARE(w.printing().laneNumber(), lane.data());
        lane->Command2->click();   // "E&xit" unloads it
        QTRY_VERIFY(!lane);
        w.printing().MnuUsageLane_Click();
        QVERIFY(w.printing().laneNumber());
        // Closing the main window's printing takes the prompt with it.
        QPointer<LaneNumber> second = w.printing().laneNumber();
        delete &w.printing();
        QVERIFY(!second);
    }
};

QTEST_MAIN(MainMenuReportsTest)
#include "tst_mainmenu_reports.moc"
