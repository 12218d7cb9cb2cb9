// The report files shipped beside the program, rendered from a real database to PDF and read
// back as text.

#include "ReportFixture.h"
#include "platform/AppFolder.h"
#include "reports/PaperSize.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class ShippedReports : public QObject
{
    Q_OBJECT

    // Parts spread over areas, enough for several letter pages.
    static QStringList catalogue()
    {
        QStringList s;
        s << QStringLiteral("INSERT INTO Information([Center Name],[Vendor 1],[Vendor 2],[Vendor 3]) VALUES ('Starlite Lanes','AMF','Bowl Supply','Other')");
        const char* areas[] = {"TURRET", "DECK", "PIT", "ELEVATOR"};
        for (int i = 0; i < 160; ++i) {
            s << QStringLiteral("INSERT INTO Parts([Part Number 1],[Part Number 2],Description,[Area of Machine],Location,[In Stock],[Minimum Stock],[Price 1]) "
                                "VALUES ('%1','B-%2','PART NUMBER %3','%4','R%5',%6,%7,%8)")
                     .arg(QStringLiteral("%1-%2").arg(i % 4).arg(i, 4, 10, QLatin1Char('0')))
                     .arg(i).arg(i).arg(QLatin1String(areas[i % 4])).arg(i % 9).arg(i % 5).arg(2).arg(1.25);
        }
        return s;
    }

private Q_SLOTS:
    void everyShippedDefinitionParses()
    {
        ReportFixture f;
        const QStringList files = QDir(f.folder.path()).entryList({QStringLiteral("*.rpt"), QStringLiteral("*.Rpt")}, QDir::Files);
        QVERIFY(files.contains(QStringLiteral("Complete.rpt")));
        QVERIFY(files.contains(QStringLiteral("CompleteA4.rpt")));
        QVERIFY(files.contains(QStringLiteral("PartsUsageByLane.rpt")));
        QVERIFY(files.contains(QStringLiteral("PartsUsageByLaneA4.rpt")));
        for (const QString& name : files) {
            try {
                ReportDefinition::load(f.folder.file(name));
            } catch (const ReportError& e) {
                QFAIL(qPrintable(e.text()));
            }
        }
    }

    void completeReportPrintsEveryPartGroupedWithHeadingsAndTotals()
    {
        ReportFixture f;
        f.makeInventory(catalogue());
        auto doc = Report::load(QStringLiteral("complete.RPT")).run();   // found in any letter case
        QVERIFY(doc->pageCount() >= 3);
        QCOMPARE(doc->rowCount(), 160);

        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("Complete.pdf"));
        doc->exportPdf(pdf);
        if (qEnvironmentVariableIsSet("REPORT_TEST_OUTPUT"))
            QFile::copy(pdf, QDir(qEnvironmentVariable("REPORT_TEST_OUTPUT")).filePath(QStringLiteral("Complete.pdf")));
        const QStringList pages = pdfPages(pdf);
        QCOMPARE(pages.size(), doc->pageCount());

        const QString total = QString::number(doc->pageCount());
        for (int i = 0; i < pages.size(); ++i) {
            const QString& page = pages[i];
            QVERIFY2(page.contains(QStringLiteral("Starlite Lanes")), qPrintable(page));
            QVERIFY(page.contains(QStringLiteral("Complete Database")));
            QVERIFY(page.contains(QStringLiteral("Page %1 of %2").arg(i + 1).arg(total)));
            // Column headings carry the vendors' names from the information table.
            QVERIFY(page.contains(QStringLiteral("AMF")));
            QVERIFY(page.contains(QStringLiteral("BOWL SUPPLY")));
            QVERIFY(page.contains(QStringLiteral("Description")));
        }
        const QString first = pages.first();
        QVERIFY(first.contains(QStringLiteral("DECK")));               // groups in order: DECK first
        QVERIFY(first.contains(QStringLiteral("1-0001")));
        QVERIFY(first.contains(QStringLiteral("$1.25")));
        QVERIFY(first.contains(QDate::currentDate().toString(QStringLiteral("MMMM d, yyyy")), Qt::CaseInsensitive)
                || first.contains(formatLongDate(QDate::currentDate())));

        // Every part number appears once across the pages.
        const QString all = pages.join(u'\n');
        for (int i = 0; i < 160; ++i) {
            const QString pn = QStringLiteral("%1-%2").arg(i % 4).arg(i, 4, 10, QLatin1Char('0'));
            QCOMPARE(all.count(QRegularExpression(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(pn)))), 1);
        }
        // Each area closes with its count; the report closes with the totals.
        for (const char* area : {"TURRET", "DECK", "PIT", "ELEVATOR"})
            QVERIFY(all.contains(QStringLiteral("40 parts in %1").arg(QLatin1String(area))));
        const QStringList last = squeezedLines(pages.last());
        QVERIFY(last.join(u'\n').contains(QStringLiteral("Parts listed 160")));
        // 160 parts, i % 5 in stock: 32 each of 0..4 = 320 units, worth 320 x $1.25.
        QVERIFY(last.join(u'\n').contains(QStringLiteral("Units in stock 320")));
        QVERIFY(last.join(u'\n').contains(QStringLiteral("$400.00")));
    }

    void completeReportPrintsTheShippedCatalogue()
    {
        // The template a centre starts with: no centre name yet, vendor names from the template.
        ReportFixture f;
        QVERIFY(f.folder.installDatabase(QStringLiteral("InventoryAMF.mdb")));
        PaperSize::setA4(true);
        auto doc = Report::load(QStringLiteral("CompleteA4.rpt")).run();
        PaperSize::setA4(false);
        QVERIFY(doc->rowCount() > 20);
        QTemporaryDir out;
        doc->exportPdf(out.filePath(QStringLiteral("amf.pdf")));
        const QString text = pdfPages(out.filePath(QStringLiteral("amf.pdf"))).join(u'\n');
        QVERIFY(text.contains(QStringLiteral("Pinsetter Parts Inventory")));
        QVERIFY(text.contains(QStringLiteral("00-0012")));
        QVERIFY(text.contains(QStringLiteral("DISTRIBUTOR")));
        QVERIFY(text.contains(QStringLiteral("HARDWARE")));
        QVERIFY(text.contains(QStringLiteral("Parts listed")));
    }

    void completeA4TwinUsesA4Paper()
    {
        ReportFixture f;
        f.makeInventory(catalogue());
        auto letter = Report::load(QStringLiteral("Complete.rpt")).run();
        auto a4 = Report::load(QStringLiteral("CompleteA4.rpt")).run();
        QCOMPARE(a4->pageSize().toSize(), QPageSize(QPageSize::A4).size(QPageSize::Point).toSize());
        QCOMPARE(letter->pageSize().toSize(), QSize(612, 792));
        QTemporaryDir out;
        a4->exportPdf(out.filePath(QStringLiteral("a4.pdf")));
        const QStringList pages = pdfPages(out.filePath(QStringLiteral("a4.pdf")));
        QCOMPARE(pages.size(), a4->pageCount());
        QVERIFY(pages.first().contains(QStringLiteral("Complete Database")));
    }

    void usageByLaneSelectsTheLaneRangeAndTotalsEachLane()
    {
        ReportFixture f;
        QStringList s = catalogue();
        // Part 1 used on lanes 3 and 12, part 2 on lane 13 (outside the range), part 3 on lane 3.
        s << QStringLiteral("INSERT INTO PartsUsage VALUES (1, 2, 3, '2004-01-15')")
          << QStringLiteral("INSERT INTO PartsUsage VALUES (3, 1, 3, '2004-01-16')")
          << QStringLiteral("INSERT INTO PartsUsage VALUES (1, 4, 12, '2004-02-20')")
          << QStringLiteral("INSERT INTO PartsUsage VALUES (2, 7, 13, '2004-02-21')");
        f.makeInventory(s);
        Report report = Report::load(QStringLiteral("PartsUsageByLane.rpt"));
        report.setSelectionFormula(QStringLiteral("{PartsUsage.Lane Number} in 1to 12"));
        auto doc = report.run();
        QCOMPARE(doc->rowCount(), 3);
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("lanes.pdf"));
        doc->exportPdf(pdf);
        if (qEnvironmentVariableIsSet("REPORT_TEST_OUTPUT"))
            QFile::copy(pdf, QDir(qEnvironmentVariable("REPORT_TEST_OUTPUT")).filePath(QStringLiteral("PartsUsageByLane.pdf")));
        const QStringList lines = squeezedLines(pdfPages(pdf).join(u'\n'));
        const QString text = lines.join(u'\n');
        QVERIFY2(text.contains(QStringLiteral("Lane 3")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Lane 12")));
        QVERIFY(!text.contains(QStringLiteral("Lane 13")));
        QVERIFY(text.contains(QStringLiteral("Total used on lane 3 3")));
        QVERIFY(text.contains(QStringLiteral("Total used on lane 12 4")));
        QVERIFY(text.contains(QStringLiteral("Total used on all lanes shown 7")));
        QVERIFY(text.contains(QStringLiteral("1/15/2004 0-0000 PART NUMBER 0")));
        QVERIFY(text.indexOf(QStringLiteral("Lane 3")) < text.indexOf(QStringLiteral("Lane 12")));

        PaperSize::setA4(true);
        auto a4 = Report::load(QStringLiteral("PartsUsageByLaneA4.rpt")).run();
        PaperSize::setA4(false);
        QCOMPARE(a4->rowCount(), 4);
        QCOMPARE(a4->pageSize().toSize(), QPageSize(QPageSize::A4).size(QPageSize::Point).toSize());
    }
};

QTEST_MAIN(ShippedReports)
#include "tst_shipped_reports.moc"
