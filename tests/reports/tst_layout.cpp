// Laying rows out in pages: breaks, group totals, label sheets, growing bands, charts, barcodes
// and pictures, checked on the page model.

#include "ReportFixture.h"

#include <QDir>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The y of every text item of a band on a page, in order.
QList<double> tops(const ReportPage& page, BandKind band, int level = 0)
{
    QList<double> out;
    for (const ReportItem& it : page.textItems(band, level))
        out.append(it.rect.top());
    return out;
}

QStringList textsOf(const ReportPage& page, BandKind band, int level = 0)
{
    QStringList out;
    for (const ReportItem& it : page.textItems(band, level))
        out.append(it.text);
    return out;
}

// Parts numbered P001.., with an area, stock and price.
QStringList parts(int count, int areas = 1)
{
    QStringList s;
    for (int i = 1; i <= count; ++i)
        s << QStringLiteral("INSERT INTO Parts([Part Number 1],[Area of Machine],[In Stock],[Price 1],Description) VALUES ('P%1','AREA %2',%3,%4,'PART %1')")
                 .arg(i, 3, 10, QLatin1Char('0')).arg(QChar('A' + (i - 1) % areas)).arg(i % 7).arg(0.5);
    return s;
}

const char* const listHead = R"RPT(data table=Parts
page size=letter margins=36pt
band page-header height=50pt
  text x=0 y=0 w=200pt h=20pt : Heading
band page-footer height=20pt
  field x=0 y=0 w=200pt h=20pt : "Page " & PageNumber & " of " & TotalPages
  field x=300pt y=0 w=200pt h=20pt : "Stock on this page " & Sum({Parts.In Stock})
)RPT";

} // namespace

class LayoutTest : public QObject
{
    Q_OBJECT

    std::shared_ptr<ReportDocument> run(ReportFixture& f, const QString& text, const QString& formula = {}, const QStringList& sorts = {})
    {
        f.writeReport(QStringLiteral("Layout.rpt"), text);
        Report r = Report::load(QStringLiteral("Layout.rpt"));
        r.setSelectionFormula(formula);
        r.setSortFields(sorts);
        return r.run();
    }

private Q_SLOTS:
    void pagesBreakBeforeTheFooterAndCountTheirPages()
    {
        ReportFixture f;
        f.makeInventory(parts(100));
        auto doc = run(f, QLatin1String(listHead) + QStringLiteral("band detail height=20pt\n field x=0 y=0 w=100pt h=20pt : {Parts.Part Number 1}\n"));
        // 792 - 36 - 36 = 720 high; 50 of header and 20 of footer leave 650: 32 rows a page.
        QCOMPARE(doc->pageCount(), 4);
        int next = 1;
        for (int p = 0; p < doc->pageCount(); ++p) {
            const ReportPage page = doc->page(p);
            QCOMPARE(page.number, p + 1);
            const QList<double> y = tops(page, BandKind::Detail);
            QCOMPARE(y.size(), p < 3 ? 32 : 4);
            QCOMPARE(y.first(), 86.0);
            for (int i = 1; i < y.size(); ++i)
                QCOMPARE(y[i], y[i - 1] + 20);
            QVERIFY(y.last() + 20 <= 736.0);
            for (const QString& t : textsOf(page, BandKind::Detail))
                QCOMPARE(t, QStringLiteral("P%1").arg(next++, 3, 10, QLatin1Char('0')));
            const QList<ReportItem> footer = page.textItems(BandKind::PageFooter);
            QCOMPARE(footer[0].rect.top(), 736.0);
            QCOMPARE(footer[0].text, QStringLiteral("Page %1 of 4").arg(p + 1));
            QCOMPARE(textsOf(page, BandKind::PageHeader), QStringList{QStringLiteral("Heading")});
        }
        QCOMPARE(next, 101);
        // Page totals cover the rows of their page: rows 97..100 have stock 6, 0, 1, 2.
        QCOMPARE(doc->page(3).textItems(BandKind::PageFooter)[1].text, QStringLiteral("Stock on this page 9"));
    }

    void groupsTotalAndNeverLeaveAHeaderAlone()
    {
        ReportFixture f;
        f.makeInventory(parts(130, 7));
        auto doc = run(f, QLatin1String(listHead) + QString::fromUtf8(R"RPT(group {Parts.Area of Machine}
band group-header 1 height=30pt
  field x=0 y=10pt w=200pt h=20pt : {Parts.Area of Machine}
band detail height=20pt
  field x=0 y=0 w=100pt h=20pt : {Parts.Part Number 1}
  field x=100pt y=0 w=100pt h=20pt : Count()
band group-footer 1 height=20pt
  field x=0 y=0 w=300pt h=20pt : Count() & " parts, " & Sum({Parts.In Stock}) & " in stock, worth " & ToText(Sum({Parts.In Stock} * {Parts.Price 1}))
band report-footer height=20pt
  field x=0 y=0 w=300pt h=20pt : "All: " & Count() & " parts, " & Sum({Parts.In Stock}) & " in stock"
)RPT"));
        // Expected totals straight from the rows.
        QMap<QString, QPair<int, int>> expected;
        int allStock = 0;
        for (int i = 1; i <= 130; ++i) {
            auto& e = expected[QStringLiteral("AREA %1").arg(QChar('A' + (i - 1) % 7))];
            ++e.first;
            e.second += i % 7;
            allStock += i % 7;
        }
        QStringList headers, footers;
        for (int p = 0; p < doc->pageCount(); ++p) {
            const ReportPage page = doc->page(p);
            headers += textsOf(page, BandKind::GroupHeader, 1);
            footers += textsOf(page, BandKind::GroupFooter, 1);
            // A group header is never the last band above the footer.
            double lastDetail = -1, lastHeader = -1;
            for (const ReportItem& it : page.items) {
                if (it.band == BandKind::Detail) lastDetail = it.rect.top();
                if (it.band == BandKind::GroupHeader) lastHeader = it.rect.top();
            }
            QVERIFY2(lastHeader < lastDetail, qPrintable(QStringLiteral("page %1").arg(p + 1)));
        }
        QCOMPARE(headers, QStringList(expected.keys()));

        // With a second level each part is a group of its own: an area's header and a part's
        // header both go over to the next page with the part's first line. Nine parts an area
        // leave the second area's header room at the foot of page 1, but not its first part.
        auto nested = run(f, QLatin1String(listHead) + QString::fromUtf8(R"RPT(group {Parts.Area of Machine}
group {Parts.Part Number 1}
band group-header 1 height=30pt
  field x=0 y=10pt w=200pt h=20pt : {Parts.Area of Machine}
band group-header 2 height=40pt
  field x=0 y=20pt w=200pt h=20pt : {Parts.Part Number 1}
band detail height=20pt
  field x=0 y=0 w=100pt h=20pt : {Parts.Description}
)RPT"), QStringLiteral("{Parts.Part Number 1} <= \"P063\""));
        int areaHeaders = 0;
        for (int p = 0; p < nested->pageCount(); ++p) {
            const ReportPage page = nested->page(p);
            areaHeaders += textsOf(page, BandKind::GroupHeader, 1).size();
            const ReportItem& last = page.items.last().band == BandKind::PageFooter ? page.items[page.items.size() - 3] : page.items.last();
            QVERIFY2(last.band == BandKind::Detail, qPrintable(QStringLiteral("page %1 ends with %2").arg(p + 1).arg(last.text)));
        }
        QCOMPARE(areaHeaders, 7);
        QStringList want;
        for (auto it = expected.begin(); it != expected.end(); ++it)
            want << QStringLiteral("%1 parts, %2 in stock, worth $%3").arg(it->first).arg(it->second)
                        .arg(QString::number(it->second * 0.5, 'f', 2));
        QCOMPARE(footers, want);
        // A total in the detail band covers its group.
        QCOMPARE(textsOf(doc->page(0), BandKind::Detail, 0)[1], QString::number(expected.first().first));
        QCOMPARE(textsOf(doc->page(doc->pageCount() - 1), BandKind::ReportFooter).value(0),
                 QStringLiteral("All: 130 parts, %1 in stock").arg(allStock));
    }

    void continuedGroupsRepeatTheirHeaderAndNewPageGroupsStartPages()
    {
        ReportFixture f;
        f.makeInventory(parts(90, 2));   // 45 rows in each group: each runs over a page
        const QString body = QString::fromUtf8(R"RPT(band group-header 1 height=30pt
  field x=0 y=10pt w=300pt h=20pt : {Parts.Area of Machine} & IIf(Continued, " (continued)", "")
band detail height=20pt
  field x=0 y=0 w=100pt h=20pt : {Parts.Part Number 1}
)RPT");
        auto doc = run(f, QLatin1String(listHead) + QStringLiteral("group {Parts.Area of Machine} repeat-header\n") + body);
        QCOMPARE(textsOf(doc->page(0), BandKind::GroupHeader, 1), QStringList{QStringLiteral("AREA A")});
        QCOMPARE(textsOf(doc->page(1), BandKind::GroupHeader, 1).first(), QStringLiteral("AREA A (continued)"));
        QCOMPARE(tops(doc->page(1), BandKind::GroupHeader, 1).first(), 96.0);   // right under the page header

        auto paged = run(f, QLatin1String(listHead) + QStringLiteral("group {Parts.Area of Machine} newpage\n") + body);
        int starts = 0;
        for (int p = 0; p < paged->pageCount(); ++p) {
            const QStringList h = textsOf(paged->page(p), BandKind::GroupHeader, 1);
            if (!h.isEmpty()) {
                ++starts;
                QCOMPARE(tops(paged->page(p), BandKind::GroupHeader, 1).first(), 96.0);   // top of its page
            }
        }
        QCOMPARE(starts, 2);
    }

    void sortFieldsComeBeforeTheGroups()
    {
        ReportFixture f;
        f.makeInventory(parts(6, 2));   // stock 1..6, areas A B A B A B
        auto doc = run(f, QLatin1String(listHead) + QString::fromUtf8(R"RPT(group {Parts.Area of Machine}
band group-header 1 height=20pt
  field x=0 y=0 w=100pt h=20pt : {Parts.Area of Machine}
band detail height=20pt
  field x=0 y=0 w=100pt h=20pt : {Parts.Part Number 1}
)RPT"), QStringLiteral("{Parts.In Stock} > 1"), {QStringLiteral("-{Parts.In Stock}")});
        const ReportPage page = doc->page(0);
        QCOMPARE(textsOf(page, BandKind::Detail), QStringList({"P006", "P005", "P004", "P003", "P002"}));
        // The areas alternate, so every row starts a group of its own.
        QCOMPARE(textsOf(page, BandKind::GroupHeader, 1), QStringList({"AREA B", "AREA A", "AREA B", "AREA A", "AREA B"}));
    }

    void suppressedBandsTakeNoRoomAndWrappedFieldsGrow()
    {
        ReportFixture f;
        const QString memo = QStringLiteral("A LONG NOTE ABOUT THIS PART THAT WILL NOT FIT ON ONE LINE OF A NARROW COLUMN, SO IT WRAPS ONTO SEVERAL LINES");
        f.makeInventory({QStringLiteral("INSERT INTO Parts([Part Number 1],[In Stock],[Part Memo]) VALUES ('A',1,NULL),('B',0,NULL),('C',2,'%1'),('D',3,NULL)").arg(memo)});
        auto doc = run(f, QLatin1String(listHead) + QString::fromUtf8(R"RPT(band detail height=20pt if="{Parts.In Stock} > 0"
  field x=0 y=0 w=50pt h=20pt : {Parts.Part Number 1}
  field x=50pt y=0 w=120pt h=20pt grow : {Parts.Part Memo}
  text  x=200pt y=0 w=50pt h=20pt if="{Parts.In Stock} >= 2" : plenty
)RPT"));
        const ReportPage page = doc->page(0);
        const QList<ReportItem> items = page.textItems(BandKind::Detail);
        QStringList numbers;
        QList<double> y;
        for (const ReportItem& it : items) {
            if (it.rect.left() == 36.0) {
                numbers << it.text;
                y << it.rect.top();
            }
        }
        QCOMPARE(numbers, QStringList({"A", "C", "D"}));   // B is left out and leaves no gap
        QCOMPARE(y[1] - y[0], 20.0);
        QVERIFY2(y[2] - y[1] > 40.0, qPrintable(QString::number(y[2] - y[1])));   // C's band grew
        QCOMPARE(page.texts().count(QStringLiteral("plenty")), 2);
        // The grown field's box reaches the bottom of its band.
        for (const ReportItem& it : items)
            if (it.text == memo)
                QCOMPARE(it.rect.bottom(), y[2]);

        // What lies under a growing field moves down with its foot; what lies beside it stays.
        auto stacked = run(f, QLatin1String(listHead) + QString::fromUtf8(R"RPT(band detail height=30pt
  field x=0 y=0 w=50pt h=15pt : {Parts.Part Number 1}
  field x=50pt y=0 w=120pt h=15pt grow : {Parts.Part Memo}
  field x=50pt y=15pt w=120pt h=15pt : "under " & {Parts.Part Number 1}
)RPT"), QStringLiteral("{Parts.Part Number 1} = \"C\""));
        QRectF grown, under, beside;
        for (const ReportItem& it : stacked->page(0).textItems(BandKind::Detail)) {
            if (it.text == memo) grown = it.rect;
            if (it.text == QLatin1String("under C")) under = it.rect;
            if (it.text == QLatin1String("C")) beside = it.rect;
        }
        QVERIFY(grown.height() > 40.0);
        QCOMPARE(under.top(), grown.bottom());
        QCOMPARE(beside.top(), grown.top());

        // A large font made as small as is legible and still too wide wraps there, inside its box.
        auto large = run(f, QLatin1String(listHead) + QString::fromUtf8(R"RPT(band detail height=40pt
  field x=0 y=0 w=100pt h=40pt size=30 shrink : {Parts.Part Memo}
)RPT"), QStringLiteral("{Parts.Part Number 1} = \"C\""));
        const ReportItem big = large->page(0).textItems(BandKind::Detail).value(0);
        QVERIFY2(big.lines.size() > 1, qPrintable(big.lines.join(u'|')));
        QVERIFY(big.lines.size() * big.lineHeight <= big.rect.height());
    }

    void aBandTallerThanAPageGoesOnOverPagesAndAFooterNeverStartsOne()
    {
        // 119 lines of notes to vendor 3: the order form's foot grows past the page and goes on
        // over the next ones, each line once, in order, none over the page footer.
        ReportFixture f;
        QStringList notes;
        for (int i = 1; i <= 119; ++i)
            notes << QStringLiteral("Note line %1 of the order").arg(i);
        f.makeInventory({QStringLiteral("INSERT INTO Information([Name 3],[PO 3],[Notes 3]) VALUES ('Lane Parts Inc','SL-3003','%1')").arg(notes.join(u'\n')),
                         QStringLiteral("INSERT INTO Parts([Part Number 3],Description,[Price 3],[Quantity Ordered 3]) VALUES ('Z-44','DECK SPRING',12.25,4)")});
        QTemporaryDir out;
        for (const QString& name : {QStringLiteral("order3.rpt"), QStringLiteral("order3A4.rpt")}) {
            auto doc = Report::load(name).run();
            QVERIFY2(doc->pageCount() >= 3, qPrintable(name));
            for (int p = 0; p < doc->pageCount(); ++p) {
                const ReportPage page = doc->page(p);
                const QList<ReportItem> footer = page.textItems(BandKind::PageFooter);
                QVERIFY(!footer.isEmpty());
                for (const ReportItem& it : page.items)
                    if (it.band != BandKind::PageFooter)
                        QVERIFY2(it.rect.bottom() <= footer.first().rect.top(), qPrintable(QStringLiteral("%1, page %2: %3").arg(name).arg(p + 1).arg(it.text)));
            }
            const QString pdf = out.filePath(QStringLiteral("order.pdf"));
            doc->exportPdf(pdf);
            QStringList printed;
            const QStringList pages = pdfPages(pdf);
            for (int p = 0; p < pages.size(); ++p) {
                const QStringList lines = squeezedLines(pages[p]);
                const QRegularExpression note(QStringLiteral("Note line \\d+ of the order"));
                qsizetype lastNote = -1;
                for (qsizetype i = 0; i < lines.size(); ++i) {
                    for (auto m = note.globalMatch(lines[i]); m.hasNext();) {
                        printed << m.next().captured();
                        lastNote = i;
                    }
                }
                const qsizetype footerLine = lines.indexOf(QRegularExpression(QStringLiteral(".*Page %1 of %2").arg(p + 1).arg(pages.size())));
                QVERIFY2(footerLine > lastNote, qPrintable(QStringLiteral("%1, page %2:\n%3").arg(name).arg(p + 1).arg(lines.join(u'\n'))));
            }
            QCOMPARE(printed, notes);
        }

        // A group footer ("1 use") never starts a page alone: the last line of its group goes
        // over with it, whatever the number of rows puts it at the foot of the page.
        // With a line whose notes run over pages the footer takes the last of them along.
        ReportFixture h;
        QStringList longParts;
        for (int lines = 60; lines <= 72; ++lines) {
            QStringList memo;
            for (int i = 1; i <= lines; ++i)
                memo << QStringLiteral("Memo line %1").arg(i);
            longParts << QStringLiteral("INSERT INTO Parts([Part Number 1],[Area of Machine],[Part Memo]) VALUES ('L%1','AREA','%2')").arg(lines).arg(memo.join(u'\n'));
        }
        h.makeInventory(longParts);
        for (int lines = 60; lines <= 72; ++lines) {
            auto doc = run(h, QLatin1String(listHead) + QString::fromUtf8(R"RPT(group {Parts.Area of Machine}
band detail height=20pt
  field x=0 y=0 w=300pt h=20pt grow : {Parts.Part Memo}
band group-footer 1 height=35pt
  field x=0 y=0 w=300pt h=20pt : Count() & " use"
)RPT"), QStringLiteral("{Parts.Part Number 1} = \"L%1\"").arg(lines));
            QStringList printed;
            for (int p = 0; p < doc->pageCount(); ++p) {
                const ReportPage page = doc->page(p);
                for (const ReportItem& it : page.textItems(BandKind::Detail))
                    printed << it.lines;
                QVERIFY(page.textItems(BandKind::GroupFooter, 1).isEmpty() || !page.textItems(BandKind::Detail).isEmpty());
            }
            QCOMPARE(printed.size(), lines);
            QCOMPARE(printed.last(), QStringLiteral("Memo line %1").arg(lines));
        }

        // So does a report header: above the first page's header, never over a page footer.
        ReportFixture rh;
        rh.makeInventory(parts(2));
        QStringList heading;
        for (int i = 1; i <= 90; ++i)
            heading << QStringLiteral("Heading line %1").arg(i);
        auto headed = run(rh, QLatin1String(listHead) + QStringLiteral("band report-header height=20pt\n  text x=0 y=0 w=300pt h=20pt grow : ")
                                  + heading.join(QLatin1String("\n| ")) + QStringLiteral("\nband detail height=20pt\n  field x=0 y=0 w=100pt h=20pt : {Parts.Part Number 1}\n"));
        QVERIFY(headed->pageCount() >= 2);
        QStringList printedHeading, rows;
        for (int p = 0; p < headed->pageCount(); ++p) {
            const ReportPage page = headed->page(p);
            const double footerTop = page.textItems(BandKind::PageFooter).value(0).rect.top();
            for (const ReportItem& it : page.items)
                if (it.band != BandKind::PageFooter)
                    QVERIFY2(it.rect.bottom() <= footerTop, qPrintable(QStringLiteral("page %1: %2").arg(p + 1).arg(it.text)));
            for (const ReportItem& it : page.textItems(BandKind::ReportHeader))
                printedHeading << it.lines;
            rows << textsOf(page, BandKind::Detail);
        }
        QCOMPARE(printedHeading, heading);
        QCOMPARE(rows, QStringList({"P001", "P002"}));
        QVERIFY(headed->page(0).textItems(BandKind::ReportHeader).value(0).rect.top()
                < headed->page(0).textItems(BandKind::PageHeader).value(0).rect.top());

        ReportFixture g;
        g.makeInventory(parts(34, 1));
        for (int rows = 26; rows <= 34; ++rows) {
            auto doc = run(g, QLatin1String(listHead) + QString::fromUtf8(R"RPT(group {Parts.Area of Machine}
band group-header 1 height=30pt
  field x=0 y=10pt w=200pt h=20pt : {Parts.Area of Machine}
band detail height=20pt
  field x=0 y=0 w=100pt h=20pt : {Parts.Part Number 1}
band group-footer 1 height=35pt
  field x=0 y=0 w=300pt h=20pt : Count() & " uses"
)RPT"), QStringLiteral("{Parts.Part Number 1} <= \"P%1\"").arg(rows, 3, 10, QLatin1Char('0')));
            int lines = 0;
            for (int p = 0; p < doc->pageCount(); ++p) {
                const ReportPage page = doc->page(p);
                lines += textsOf(page, BandKind::Detail).size();
                if (!page.textItems(BandKind::GroupFooter, 1).isEmpty())
                    QVERIFY2(!page.textItems(BandKind::Detail).isEmpty(), qPrintable(QStringLiteral("%1 rows: page %2 starts with the footer").arg(rows).arg(p + 1)));
            }
            QCOMPARE(lines, rows);
        }
    }

    void labelSheetsPlaceEachLabelInItsCell()
    {
        ReportFixture f;
        f.makeInventory(parts(35));
        const QString sheet = QString::fromUtf8(R"RPT(data table=Parts
page size=letter margins=0
labels columns=3 rows=10 width=2.625in height=1in across=2.75in down=1in left=0.1875in top=0.5in order=%1
band detail height=1in
  field x=6pt y=4pt w=170pt h=14pt bold : {Parts.Part Number 1}
  barcode x=6pt y=20pt w=170pt h=40pt : {Parts.Description}
)RPT");
        auto doc = run(f, sheet.arg(QStringLiteral("across")));
        QCOMPARE(doc->pageCount(), 2);
        const ReportPage first = doc->page(0);
        const QList<ReportItem> labels = first.textItems(BandKind::Detail);
        QCOMPARE(labels.size(), 30);
        for (int i = 0; i < 30; ++i) {
            const QPointF cell(13.5 + (i % 3) * 198.0, 36.0 + (i / 3) * 72.0);
            QCOMPARE(labels[i].rect.topLeft(), cell + QPointF(6, 4));
            QCOMPARE(labels[i].text, QStringLiteral("P%1").arg(i + 1, 3, 10, QLatin1Char('0')));
        }
        const QList<ReportItem> second = doc->page(1).textItems(BandKind::Detail);
        QCOMPARE(second.size(), 5);
        QCOMPARE(second[0].rect.topLeft(), QPointF(19.5, 40));
        // Barcodes carry the data in capitals, one per label.
        const QList<ReportItem> bars = first.itemsOf(ReportItem::Kind::Barcode);
        QCOMPARE(bars.size(), 30);
        QCOMPARE(bars[0].text, QStringLiteral("PART 001"));

        auto down = run(f, sheet.arg(QStringLiteral("down")));
        const QList<ReportItem> byColumn = down->page(0).textItems(BandKind::Detail);
        QCOMPARE(byColumn[1].rect.topLeft(), QPointF(19.5, 36.0 + 72 + 4));     // under the first
        QCOMPARE(byColumn[10].rect.topLeft(), QPointF(19.5 + 198, 40));         // top of column 2

        // Drawing a sheet of barcodes puts ink where the bars are.
        const QImage img = doc->renderImage(0, 72);
        if (qEnvironmentVariableIsSet("REPORT_TEST_OUTPUT"))
            doc->renderImage(0, 110).save(QDir(qEnvironmentVariable("REPORT_TEST_OUTPUT")).filePath(QStringLiteral("labels.png")));
        const QRect barArea = bars[0].rect.toRect().adjusted(2, 2, -2, -14);
        int dark = 0;
        for (int x = barArea.left(); x < barArea.right(); ++x)
            dark += qGray(img.pixel(x, barArea.center().y())) < 128 ? 1 : 0;
        QVERIFY2(dark > barArea.width() / 5, qPrintable(QString::number(dark)));
    }

    void anEmptyReportStillPrintsItsFrame()
    {
        ReportFixture f;
        f.makeInventory();
        auto doc = run(f, QLatin1String(listHead) + QString::fromUtf8(R"RPT(band detail height=20pt
  field x=0 y=0 w=100pt h=20pt : {Parts.Part Number 1}
band report-footer height=20pt
  field x=0 y=0 w=200pt h=20pt : Count() & " parts, " & Sum({Parts.In Stock}) & " in stock"
)RPT"));
        QCOMPARE(doc->pageCount(), 1);
        const ReportPage page = doc->page(0);
        QVERIFY(page.hasText(QStringLiteral("Heading")));
        QVERIFY(page.hasText(QStringLiteral("Page 1 of 1")));
        QVERIFY(page.hasText(QStringLiteral("0 parts, 0 in stock")));
        QVERIFY(page.textItems(BandKind::Detail).isEmpty());
    }

    // A band going on over pages prints each line of its text and each bar of its chart once:
    // a row ending a hair below the foot of a page goes over to the next, and a growing text
    // over a chart (as long as a page) goes on over pages line by line, only its last line
    // kept with the first bar.
    void rowsCutOverPagesPrintOnce()
    {
        ReportFixture f;
        QStringList uses, notes, lanes;
        for (int lane = 1; lane <= 60; ++lane) {
            uses << QStringLiteral("(1,%1,%2,'2024-02-01')").arg(1 + lane % 5).arg(lane);
            lanes << QString::number(lane);
        }
        for (int i = 1; i <= 80; ++i)
            notes << QStringLiteral("Note %1").arg(i);
        f.makeInventory({QStringLiteral("INSERT INTO Parts([Part Number 1]) VALUES ('A')"), QStringLiteral("INSERT INTO PartsUsage VALUES ") + uses.join(u',')});
        const QString text = QStringLiteral("text x=0 y=%1pt w=300pt h=20pt grow : ") + notes.join(QLatin1String("\n| "));
        const QString chart = QStringLiteral("chart x=0 y=%1pt w=5in h=14pt size=8 grow category={PartsUsage.Lane Number} value={PartsUsage.Used}");
        // The report header starts at the top of the first page: 700 points above its footer.
        auto run1 = [&](const QString& band) {
            return run(f, QStringLiteral("data table=PartsUsage\npage size=letter margins=36pt\nband page-footer height=20pt\n"
                                         "  field x=0 y=0 w=200pt h=20pt : \"Page \" & PageNumber\nband report-header height=20pt\n  ") + band);
        };
        auto printed = [](const ReportDocument& doc, ReportItem::Kind kind) {
            QStringList out;
            for (int p = 0; p < doc.pageCount(); ++p)
                for (const ReportItem& it : doc.page(p).items)
                    if (it.kind == kind && it.band == BandKind::ReportHeader)
                        out << (kind == ReportItem::Kind::Chart ? it.chart->labels.mid(it.firstBar, it.barCount) : it.lines);
            return out;
        };
        for (const auto& [band, kind, rows] : {std::tuple{text, ReportItem::Kind::Text, notes}, std::tuple{chart, ReportItem::Kind::Chart, lanes}}) {
            // Placed so that the foot of the page falls 0.05 points above the foot of a row.
            const double pitch = run1(band.arg(0))->page(0).itemsOf(kind).value(0).lineHeight;
            QVERIFY(pitch > 5);
            const double at = 700.05 - std::floor(700.05 / pitch) * pitch;
            auto doc = run1(band.arg(at));
            QVERIFY(doc->pageCount() >= 2);
            QCOMPARE(printed(*doc, kind), rows);
        }
        auto doc = run1(text.arg(0) + QStringLiteral("\n  ") + chart.arg(24));
        QCOMPARE(printed(*doc, ReportItem::Kind::Text), notes);
        QCOMPARE(printed(*doc, ReportItem::Kind::Chart), lanes);
    }

    void chartsAddUpEachCategory()
    {
        ReportFixture f;
        f.makeInventory({QStringLiteral("INSERT INTO Parts([Part Number 1]) VALUES ('A'),('B')"),
                         QStringLiteral("INSERT INTO PartsUsage VALUES (1,2,3,'2004-01-01'),(1,1,12,'2004-01-02'),(2,4,3,'2004-01-03'),(2,1,7,NULL)")});
        auto doc = run(f, QString::fromUtf8(R"RPT(data table=PartsUsage
join Parts on {PartsUsage.Record Number} = {Parts.Record Number}
band report-footer height=3in
  chart x=0 y=0 w=5in h=3in category={PartsUsage.Lane Number} value={PartsUsage.Used} : Parts used by lane
  chart x=0 y=0 w=5in h=3in category={Parts.Part Number 1} value={PartsUsage.Used} order=value bars=1 : Most used
)RPT"));
        const QList<ReportItem> charts = doc->page(0).itemsOf(ReportItem::Kind::Chart);
        QCOMPARE(charts.size(), 2);
        QCOMPARE(charts[0].text, QStringLiteral("Parts used by lane"));
        QCOMPARE(charts[0].chart->labels, QStringList({"3", "7", "12"}));
        QCOMPARE(charts[0].chart->values, QList<double>({6, 1, 1}));
        QCOMPARE(charts[1].chart->labels, QStringList{QStringLiteral("B")});
        QCOMPARE(charts[1].chart->values, QList<double>{5});
        QVERIFY(!doc->renderImage(0, 48).isNull());
        if (qEnvironmentVariableIsSet("REPORT_TEST_OUTPUT"))
            doc->renderImage(0, 96).save(QDir(qEnvironmentVariable("REPORT_TEST_OUTPUT")).filePath(QStringLiteral("chart.png")));
    }

    // A growing chart takes a line per bar: a group with one bar takes less room than one with
    // three, and the bars are as tall either way.
    void growingChartsTakeALinePerBar()
    {
        ReportFixture f;
        f.makeInventory({QStringLiteral("INSERT INTO Parts([Part Number 1],[Area of Machine]) VALUES ('A','DECK'),('B','PIT'),('C','PIT'),('D','PIT')"),
                         QStringLiteral("INSERT INTO PartsUsage VALUES (1,1,1,'2004-01-01'),(2,2,1,'2004-01-01'),(3,1,1,'2004-01-01'),(4,5,2,'2004-01-01')")});
        auto doc = run(f, QString::fromUtf8(R"RPT(data table=PartsUsage
join Parts on {PartsUsage.Record Number} = {Parts.Record Number}
group {Parts.Area of Machine}
band group-footer 1 height=12pt
  chart x=0 y=2pt w=5in h=10pt size=10 grow category={Parts.Part Number 1} value={PartsUsage.Used} : By part
  text  x=0 y=0 w=1in h=2pt : .
)RPT"));
        const QList<ReportItem> charts = doc->page(0).itemsOf(ReportItem::Kind::Chart);
        QCOMPARE(charts.size(), 2);
        QCOMPARE(charts[0].chart->labels, QStringList{QStringLiteral("A")});
        QCOMPARE(charts[1].chart->labels, QStringList({"B", "C", "D"}));
        // A line of a 10-point font is a little over 10 points high.
        const double oneBar = charts[0].rect.height();
        const double perBar = (charts[1].rect.height() - oneBar) / 2;
        QVERIFY2(perBar >= 10 * ReportChartData::barLines && perBar <= 13 * ReportChartData::barLines, qPrintable(QString::number(perBar)));
        QVERIFY(oneBar >= 10 * (ReportChartData::titleLines + ReportChartData::barLines));
        // The second group's band starts where the first one's grown band ends.
        QVERIFY(charts[1].rect.top() >= charts[0].rect.bottom());
    }

    void picturesComeFromTheirBlobs()
    {
        ReportFixture f;
        f.makeInventory({QStringLiteral("INSERT INTO Parts([Part Number 1]) VALUES ('A'),('B')")});
        {
            auto conn = Connection::open(f.folder.file(QStringLiteral("Inventory.mdb")));
            conn->execute(QStringLiteral("INSERT INTO Pictures([Record Number], Image1) VALUES (1, ?)"), {pngPicture(Qt::red, QSize(20, 10))});
        }
        auto doc = run(f, QString::fromUtf8(R"RPT(data table=Parts
join Pictures on {Parts.Record Number} = {Pictures.Record Number}
band detail height=1in
  field x=0 y=0 w=1in h=12pt : {Parts.Part Number 1}
  image x=2in y=0 w=1in h=1in : {Pictures.Image1}
)RPT"));
        const QList<ReportItem> images = doc->page(0).itemsOf(ReportItem::Kind::Image);
        QCOMPARE(images.size(), 1);   // part B has no picture
        QCOMPARE(images[0].image.size(), QSize(20, 10));
        QCOMPARE(images[0].row, 0);
        // Drawn to fit: the middle of the picture's box is red.
        const QImage img = doc->renderImage(0, 72);
        QCOMPARE(QColor(img.pixel(int(images[0].rect.center().x()), int(images[0].rect.center().y()))), QColor(Qt::red));
    }

    void picturesAreReadAsStoredWhenTheirPageIsBuilt()
    {
        // A report's rows hold where each picture is stored, not its bytes (photos of tens of
        // megabytes each would otherwise all be held at once): a page built after the rows were
        // read prints a picture changed since as it is now, and one deleted since not at all.
        ReportFixture f;
        f.makeInventory(parts(3));
        const QString database = f.folder.file(QStringLiteral("Inventory.mdb"));
        {
            auto conn = Connection::open(database);
            for (const auto& [record, colour] : {std::pair(1, Qt::red), std::pair(2, Qt::red), std::pair(3, Qt::blue)})
                conn->execute(QStringLiteral("INSERT INTO Pictures([Record Number], Image1) VALUES (?, ?)"), {record, pngPicture(colour)});
        }
        const QString pictures = QStringLiteral("data table=Parts\njoin Pictures on {Parts.Record Number} = {Pictures.Record Number}\n"
                                                "page size=letter margins=36pt\n");
        // Equal pictures of different parts are the same group.
        auto grouped = run(f, pictures + QStringLiteral("group {Pictures.Image1}\nband group-footer 1 height=20pt\n"
                                                        " field x=0 y=0 w=1in h=20pt : Count()\n"));
        QStringList counts = textsOf(grouped->page(0), BandKind::GroupFooter, 1);
        counts.sort();
        QCOMPARE(counts, QStringList({"1", "2"}));

        auto doc = run(f, pictures + QStringLiteral("band detail height=8in\n image x=0 y=0 w=1in h=1in : {Pictures.Image1}\n"));
        QCOMPARE(doc->pageCount(), 3);
        {
            auto conn = Connection::open(database);
            conn->execute(QStringLiteral("UPDATE Pictures SET Image1 = ? WHERE [Record Number] = 2"), {pngPicture(Qt::green)});
            conn->execute(QStringLiteral("DELETE FROM Pictures WHERE [Record Number] = 3"));
        }
        const QList<ReportItem> changed = doc->page(1).itemsOf(ReportItem::Kind::Image);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0].image.pixelColor(10, 5), QColor(Qt::green));
        QVERIFY(doc->page(2).itemsOf(ReportItem::Kind::Image).isEmpty());
    }

    void aPrintOrExportShowsPicturesAsStoredNowOnPagesAlreadyShown()
    {
        // The preview keeps the last pages it showed; a picture replaced in the images window
        // while the preview is open prints and exports as it is now, on those pages too.
        ReportFixture f;
        f.makeInventory(parts(1));
        const QString database = f.folder.file(QStringLiteral("Inventory.mdb"));
        directExec(database, QStringLiteral("INSERT INTO Pictures([Record Number]) VALUES (1)"));
        auto setPicture = [&](const QColor& colour) {
            Connection::open(database)->execute(QStringLiteral("UPDATE Pictures SET Image1 = ?"), {pngPicture(colour)});
        };
        setPicture(Qt::red);
        auto doc = run(f, QStringLiteral("data table=Parts\njoin Pictures on {Parts.Record Number} = {Pictures.Record Number}\n"
                                         "page size=letter margins=36pt\nband detail height=2in\n image x=0 y=0 w=1in h=1in : {Pictures.Image1}\n"));
        const QPointF centre = doc->page(0).itemsOf(ReportItem::Kind::Image).value(0).rect.center();
        auto colourAt = [&](const QImage& page) { return QColor(page.pixel(centre.toPoint())); };
        QCOMPARE(colourAt(doc->renderImage(0, 72)), QColor(Qt::red));

        setPicture(Qt::green);
        QImage printed(doc->pageSize().toSize(), QImage::Format_RGB32);
        printed.fill(Qt::white);
        {
            QPainter painter(&printed);
            doc->render(painter, 0, 1.0);
        }
        QCOMPARE(colourAt(printed), QColor(Qt::green));

        setPicture(Qt::blue);
        const QString pdf = f.folder.file(QStringLiteral("Images.pdf"));
        doc->exportPdf(pdf);
        QProcess toImage;
        toImage.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, f.folder.file(QStringLiteral("exported"))});
        QVERIFY(toImage.waitForFinished(30000));
        const QColor exported = colourAt(QImage(f.folder.file(QStringLiteral("exported.png"))));
        QVERIFY2(exported.blue() > 240 && exported.red() < 16 && exported.green() < 16, qPrintable(exported.name()));
    }

    void aFieldThatCannotBeComputedFailsTheRun()
    {
        ReportFixture f;
        f.makeInventory(parts(3));
        f.writeReport(QStringLiteral("Bad.rpt"), QStringLiteral("data table=Parts\nband detail height=10pt\n field x=0 y=0 w=1in h=10pt : {Parts.Description} * 2\n"));
        try {
            Report::load(QStringLiteral("Bad.rpt")).run();
            QFAIL("ran");
        } catch (const ReportError& e) {
            QVERIFY2(e.text().contains(QStringLiteral("cannot be applied to text")), qPrintable(e.text()));
        }
    }
};

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
