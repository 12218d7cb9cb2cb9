// Reading report definition files: what each statement sets, and faults named by file and line.

#include "ReportFixture.h"
#include "reports/ReportDefinition.h"

#include <QTemporaryDir>
#include <QtTest>

class DefinitionTest : public QObject
{
    Q_OBJECT

    static ReportDefinition parse(const QString& text)
    {
        return ReportDefinition::parse(text, QStringLiteral("Test.rpt"), QDir::tempPath());
    }

private Q_SLOTS:
    void readsEveryStatement()
    {
        const ReportDefinition d = parse(QString::fromUtf8(R"RPT(# A comment, then every kind of line.
report  title="Parts ""Needed"""
data    database=Inventory.mdb table=[Parts]
join    Pictures on {Parts.Record Number} = {Pictures.Record Number} inner
lookup  Information
select  {Parts.In Stock} < {Parts.Minimum Stock}
order   +{Parts.Location}, -{Parts.Description}
group   {Parts.Area of Machine} descending newpage repeat-header
page    size=a4 orientation=landscape margins=1in,20mm,2cm,72pt
font    family="Liberation Serif" size=10
style   money align=right format=currency bold

band report-header height=1in if="Count() > 0" newpage-after
  text    x=0 y=0 w=3in h=20pt size=16 bold italic underline color=navy : Parts "Needed"
band group-header 1 height=20pt fill=#eeeeee
  field   x=0 y=0 w=2in h=14pt : {Parts.Area of Machine}
band detail height=0.25in alternate=#f0f0f0
  field   x=0.5in y=2pt w=1in h=10pt style=money bold=no : {Parts.Price 1} *
        | {Parts.In Stock}
  field   x=1.5in y=0 w=2in h=10pt wrap grow padding=2pt valign=top align=justify : {Parts.Part Memo}
  line    x=0 y=0.25in w=7in h=0 width=0.5pt color=#999999
  box     x=0 y=0 w=1in h=1in border=0 fill=#ffeecc radius=3pt if="{Parts.In Stock} = 0"
  image   x=4in y=0 w=1in h=1in fit=cover : {Pictures.Image1}
  image   x=5in y=0 w=1in h=1in file=logo.png
  barcode x=6in y=0 w=2in h=0.5in symbology=code39 text=no : {Parts.Part Number 1}
band group-footer 1 height=2in
  chart   x=0 y=0 w=6in h=2in category={Parts.Location} value={Parts.In Stock} aggregate=avg bars=5 order=value fill=#336699 : Stock by location
band page-footer height=20pt
  text    x=0 y=0 w=3in h=12pt : Line one
        | Line two
)RPT"));
        QCOMPARE(d.title, QStringLiteral("Parts \"Needed\""));
        QCOMPARE(d.database, QStringLiteral("Inventory.mdb"));
        QCOMPARE(d.table, QStringLiteral("Parts"));
        QCOMPARE(d.joins.size(), 1);
        QCOMPARE(d.joins[0].table, QStringLiteral("Pictures"));
        QCOMPARE(d.joins[0].right.field, QStringLiteral("Record Number"));
        QVERIFY(d.joins[0].inner);
        QCOMPARE(d.lookups, QStringList{QStringLiteral("Information")});
        QVERIFY(!d.selection.isEmpty());
        QCOMPARE(d.order.size(), 2);
        QVERIFY(d.order[1].descending);
        QCOMPARE(d.groups.size(), 1);
        QVERIFY(d.groups[0].descending && d.groups[0].newPage && d.groups[0].repeatHeader);
        QCOMPARE(d.pageSizePoints().toSize(), QPageSize(QPageSize::A4).size(QPageSize::Point).transposed().toSize());
        // Margins: top 1in, right 20mm, bottom 2cm, left 72pt.
        QCOMPARE(d.margins.top(), 72.0);
        QVERIFY(qAbs(d.margins.right() - 20 * 72 / 25.4) < 1e-9);
        QVERIFY(qAbs(d.margins.bottom() - 2 * 72 / 2.54) < 1e-9);
        QCOMPARE(d.margins.left(), 72.0);
        QCOMPARE(d.font.family(), QStringLiteral("Liberation Serif"));

        QCOMPARE(int(d.bands.size()), 5);
        const ReportBand* header = d.band(BandKind::ReportHeader);
        QVERIFY(header && header->newPageAfter && !header->condition.isEmpty());
        QCOMPARE(header->height, 72.0);
        const ReportElement& title = header->elements[0];
        QCOMPARE(title.text, QStringLiteral("Parts \"Needed\""));
        QVERIFY(title.font.bold() && title.font.italic() && title.font.underline());
        QCOMPARE(title.font.pointSizeF(), 16.0);
        QCOMPARE(title.font.family(), QStringLiteral("Liberation Serif"));   // the report's font
        QCOMPARE(title.color, QColor(QStringLiteral("navy")));

        const ReportBand* detail = d.band(BandKind::Detail);
        QVERIFY(detail && detail->alternateFill == QColor(QStringLiteral("#f0f0f0")));
        QCOMPARE(detail->height, 18.0);
        const ReportElement& money = detail->elements[0];
        QCOMPARE(money.rect, QRectF(36, 2, 72, 10));
        QCOMPARE(money.format, QStringLiteral("currency"));   // from the style
        QVERIFY(money.align & Qt::AlignRight);
        QVERIFY(!money.font.bold());                          // the element overrides its style
        QCOMPARE(money.value.fields().size(), 2);             // continued onto the next line
        const ReportElement& memo = detail->elements[1];
        QVERIFY(memo.wrap && memo.grow && memo.padding == 2.0);
        QVERIFY(memo.align & Qt::AlignTop && memo.align & Qt::AlignJustify);
        QCOMPARE(detail->elements[2].kind, ReportElement::Kind::Line);
        QCOMPARE(detail->elements[2].lineWidth, 0.5);
        QCOMPARE(detail->elements[3].kind, ReportElement::Kind::Box);
        QCOMPARE(detail->elements[3].borderWidth, 0.0);
        QCOMPARE(detail->elements[3].radius, 3.0);
        QVERIFY(!detail->elements[3].condition.isEmpty());
        QCOMPARE(detail->elements[4].fit, ReportElement::Fit::Cover);
        QCOMPARE(detail->elements[5].text, QStringLiteral("logo.png"));
        QCOMPARE(detail->elements[6].kind, ReportElement::Kind::Barcode);
        QVERIFY(!detail->elements[6].showText);

        const ReportElement& chart = d.band(BandKind::GroupFooter, 1)->elements[0];
        QCOMPARE(chart.kind, ReportElement::Kind::Chart);
        QCOMPARE(chart.aggregate, ReportElement::Aggregate::Avg);
        QCOMPARE(chart.maxBars, 5);
        QVERIFY(chart.sortByValue);
        QCOMPARE(chart.text, QStringLiteral("Stock by location"));
        QCOMPARE(d.band(BandKind::PageFooter)->elements[0].text, QStringLiteral("Line one\nLine two"));

        // Slots: data fields of the report's tables, lookups after them.
        QVERIFY(d.dataFields().size() >= 5);
        QVERIFY(d.lookupFields().isEmpty());
    }

    void lengthUnitsAgree()
    {
        const ReportDefinition d = parse(QStringLiteral("data table=Parts\nband detail height=1in\n"
                                                        "box x=1in y=25.4mm w=2.54cm h=1440tw\nbox x=72 y=72pt w=0.5in h=.5in\n"));
        const auto& e = d.band(BandKind::Detail)->elements;
        QCOMPARE(e[0].rect, QRectF(72, 72, 72, 72));
        QCOMPARE(e[1].rect, QRectF(72, 72, 36, 36));
    }

    void labelSheetsHaveTheirGeometry()
    {
        const ReportDefinition d = parse(QStringLiteral("data table=Parts\n"
            "labels columns=3 rows=10 width=2.625in height=1in across=2.75in down=1in left=0.1875in top=0.5in order=down\n"
            "band detail height=1in\n"));
        QVERIFY(d.labels.has_value());
        QCOMPARE(d.labels->perPage(), 30);
        QCOMPARE(d.labels->size, QSizeF(189, 72));
        QCOMPARE(d.labels->pitch, QSizeF(198, 72));
        QCOMPARE(d.labels->origin, QPointF(13.5, 36));
        QVERIFY(!d.labels->acrossFirst);
        const ReportDefinition plain = parse(QStringLiteral("data table=Parts\nlabels columns=2 rows=5 width=4in height=2in\n"));
        QCOMPARE(plain.labels->pitch, QSizeF(288, 144));   // the label's own size
    }

    void twinIncludesItsLetterFileAndOverrides()
    {
        QTemporaryDir dir;
        QFile letter(dir.filePath(QStringLiteral("Complete.rpt")));
        QVERIFY(letter.open(QIODevice::WriteOnly));
        letter.write("report title=\"Complete\"\ndata table=Parts\npage size=letter margins=0.5in\n"
                     "band detail height=12pt\n field x=0 y=0 w=1in h=12pt : {Parts.Description}\n"
                     "band page-footer height=20pt\n text x=0 y=0 w=1in h=12pt : Letter\n");
        letter.close();
        QFile twin(dir.filePath(QStringLiteral("CompleteA4.rpt")));
        QVERIFY(twin.open(QIODevice::WriteOnly));
        twin.write("INCLUDE complete.RPT\npage size=a4 margins=10mm\nband page-footer height=30pt\n text x=0 y=0 w=1in h=12pt : A4\n");
        twin.close();
        const ReportDefinition d = ReportDefinition::load(twin.fileName());
        QCOMPARE(d.title, QStringLiteral("Complete"));
        QCOMPARE(d.pageSizePoints().toSize(), QPageSize(QPageSize::A4).size(QPageSize::Point).toSize());
        QCOMPARE(int(d.bands.size()), 2);
        QCOMPARE(d.band(BandKind::PageFooter)->height, 30.0);
        QCOMPARE(d.band(BandKind::PageFooter)->elements.size(), size_t(1));
        QCOMPARE(d.band(BandKind::PageFooter)->elements[0].text, QStringLiteral("A4"));
        QCOMPARE(d.band(BandKind::Detail)->elements.size(), size_t(1));
    }

    void namedFormulasStandForTheirExpression()
    {
        const ReportDefinition d = parse(QString::fromUtf8(R"RPT(data table=Parts
formula Short : {Parts.Minimum Stock} - {Parts.In Stock}
formula twice short : {@short} * 2
select  {@SHORT} > 0
band detail height=10pt
  field x=0 y=0 w=1in h=10pt : {@twice short} & " {@short}"
  field x=1in y=0 w=1in h=10pt if="{@short} >= 3" : "three or more"
)RPT"));
        // Each name is replaced by its expression in parentheses, so "* 2" doubles the difference;
        // a name inside a quoted text is left as written.
        QCOMPARE(d.selection.text(), QStringLiteral("({Parts.Minimum Stock} - {Parts.In Stock}) > 0"));
        const ReportBand* detail = d.band(BandKind::Detail);
        QCOMPARE(detail->elements[0].value.text(), QStringLiteral("(({Parts.Minimum Stock} - {Parts.In Stock}) * 2) & \" {@short}\""));
        QCOMPARE(detail->elements[1].condition.text(), QStringLiteral("({Parts.Minimum Stock} - {Parts.In Stock}) >= 3"));

        // And so the report computes it.
        ReportFixture f;
        f.makeInventory({QStringLiteral("INSERT INTO Parts([Minimum Stock], [In Stock]) VALUES (10, 4)"),
                         QStringLiteral("INSERT INTO Parts([Minimum Stock], [In Stock]) VALUES (2, 2)")});
        f.writeReport(QStringLiteral("Named.rpt"), QStringLiteral("data table=Parts\nformula short : {Parts.Minimum Stock} - {Parts.In Stock}\n"
                                                                  "select {@short} > 0\nband detail height=10pt\n"
                                                                  " field x=0 y=0 w=1in h=10pt : {@short} * 2\n"));
        auto doc = Report::load(QStringLiteral("Named.rpt")).run();
        QCOMPARE(doc->rowCount(), 1);
        QCOMPARE(doc->page(0).texts(), QStringList{QStringLiteral("12")});
    }

    void reportTitleIsTheTitleInForce()
    {
        // A report that includes another under a title of its own prints its own title there.
        ReportFixture f;
        f.makeInventory();
        f.writeReport(QStringLiteral("All.rpt"), QStringLiteral("report title=\"All Parts\"\ndata table=Parts\n"
                                                                "band page-header height=20pt\n field x=0 y=0 w=3in h=14pt : ReportTitle & \"!\"\n"));
        f.writeReport(QStringLiteral("Yours.rpt"), QStringLiteral("include All.rpt\nreport title=\"Your Parts\"\n"));
        QCOMPARE(Report::load(QStringLiteral("All.rpt")).run()->page(0).texts(), QStringList{QStringLiteral("All Parts!")});
        QCOMPARE(Report::load(QStringLiteral("Yours.rpt")).run()->page(0).texts(), QStringList{QStringLiteral("Your Parts!")});
    }

    void faultsNameTheFileAndLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("says");
        const QString head = QStringLiteral("data table=Parts\nband detail height=10pt\n");
        QTest::newRow("unknown attribute") << head + "text x=0 y=0 w=1in h=10pt colour=red : A" << "Test.rpt, line 3: unknown attribute \"colour\"";
        QTest::newRow("unknown line") << head + "label x=0" << "line 3: unknown line \"label\"";
        QTest::newRow("element before band") << "data table=Parts\ntext x=0 y=0 w=1 h=1 : A" << "line 2: text must follow a band line";
        QTest::newRow("bad length") << head + "box x=1inch y=0 w=1 h=1" << "line 3: \"1inch\" is not a length";
        QTest::newRow("bad colour") << head + "box x=0 y=0 w=1 h=1 fill=#12" << "is not a colour";
        QTest::newRow("bad formula") << head + "field x=0 y=0 w=1 h=1 : {Parts.In Stock} <" << "line 3: The formula ends too soon";
        QTest::newRow("field without content") << head + "field x=0 y=0 w=1 h=1" << "line 3: field needs what it shows";
        QTest::newRow("no size") << head + "text x=0 y=0 : A" << "needs a width and a height";
        QTest::newRow("unknown band") << "data table=Parts\nband footer height=1" << "line 2: unknown band kind \"footer\"";
        QTest::newRow("group band without number") << "data table=Parts\nband group-header height=1" << "needs its group number";
        QTest::newRow("group band without group") << "data table=Parts\nband group-footer 2 height=1" << "line 2: there is no group 2";
        QTest::newRow("no table") << "band detail height=1" << "names no table";
        QTest::newRow("unknown style") << head + "text x=0 y=0 w=1 h=1 style=big : A" << "unknown style \"big\"";
        QTest::newRow("bad style attribute") << "style big sise=12" << "line 1: unknown attribute \"sise\"";
        QTest::newRow("open quote") << "report title=\"Parts" << "line 1: a text in quotes is not closed";
        QTest::newRow("bad join") << "data table=Parts\njoin Pictures {Parts.A} = {Pictures.B}" << "line 2: join wants";
        QTest::newRow("bad order") << "data table=Parts\norder Parts.Location" << "line 2: A sort field needs";
        QTest::newRow("missing include") << "include Nothing.rpt" << "line 1: the included file Nothing.rpt was not found";
        QTest::newRow("continuation first") << "| text" << "line 1: a continued line";
        QTest::newRow("bad symbology") << head + "barcode x=0 y=0 w=1 h=1 symbology=qr : {Parts.A}" << "only barcode symbology is code39";
        QTest::newRow("chart without category") << head + "chart x=0 y=0 w=1 h=1 value={Parts.A} : T" << "chart needs category";
        QTest::newRow("labels without size") << "data table=Parts\nlabels columns=3 rows=10" << "labels needs the label's width";
        QTest::newRow("bad page size") << "data table=Parts\npage size=huge" << "size wants letter, a4, legal";
        QTest::newRow("margins leave no room") << "data table=Parts\npage size=letter margins=5.5in" << "line 2: the page size and margins leave less than 1in";
        QTest::newRow("unknown formula name") << head + "field x=0 y=0 w=1 h=1 : {@short} + 1" << "line 3: there is no formula named \"short\"";
        QTest::newRow("formula used before its line") << "data table=Parts\nselect {@short} > 0\nformula short : 1" << "line 2: there is no formula named";
        QTest::newRow("formula without a name") << "data table=Parts\nformula : {Parts.In Stock}" << "line 2: formula wants: formula <name> : <expression>";
        QTest::newRow("formula that does not parse") << "data table=Parts\nformula short : {Parts.In Stock} -" << "line 2: The formula ends too soon";
        QTest::newRow("formula name not closed") << head + "field x=0 y=0 w=1 h=1 : {@short" << "line 3: a formula name is not closed";
    }

    void faultsNameTheFileAndLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, says);
        try {
            parse(text);
            QFAIL("accepted");
        } catch (const ReportError& e) {
            QVERIFY2(e.text().contains(says), qPrintable(e.text()));
        }
    }

    void missingFileIsAnError()
    {
        try {
            ReportDefinition::load(QDir::temp().filePath(QStringLiteral("NoSuchReport.rpt")));
            QFAIL("loaded");
        } catch (const ReportError& e) {
            QCOMPARE(e.text(), QStringLiteral("the report file NoSuchReport.rpt was not found"));
        }
    }
};

QTEST_MAIN(DefinitionTest)
#include "tst_definition.moc"
