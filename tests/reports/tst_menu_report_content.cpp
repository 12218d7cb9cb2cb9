// What the main menu's order forms and usage reports print, rendered by the real engine from a
// database and read back from the page model: the purchase-order arithmetic checked against
// amounts worked out by hand, the parts each report lists, its groups and totals, and how the A4
// twin differs from the letter file. With REPORT_TEST_OUTPUT set, every report is also written
// there as a PDF of a centre with tagged, back-ordered and used parts.

#include "ReportFixture.h"
#include "data/Database.h"
#include "reports/PaperSize.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Every text of every page, in print order.
QStringList allTexts(const ReportDocument& doc)
{
    QStringList out;
    for (int i = 0; i < doc.pageCount(); ++i)
        out += doc.page(i).texts();
    return out;
}

int indexOf(const QStringList& texts, const QString& text)
{
    return int(texts.indexOf(text));
}

// The text printed just right of a caption on the same line ("Subtotal" -> "$67.78").
QString valueBeside(const ReportDocument& doc, const QString& caption)
{
    for (int i = 0; i < doc.pageCount(); ++i) {
        const ReportPage page = doc.page(i);
        for (const ReportItem& label : page.items) {
            if (label.kind != ReportItem::Kind::Text || label.text != caption)
                continue;
            QString best;
            double bestX = 1e9;
            for (const ReportItem& v : page.items) {
                if (v.kind != ReportItem::Kind::Text || v.text.isEmpty() || &v == &label)
                    continue;
                if (qAbs(v.rect.center().y() - label.rect.center().y()) < 2 && v.rect.left() > label.rect.left()
                    && v.rect.left() < bestX) {
                    bestX = v.rect.left();
                    best = v.text;
                }
            }
            return best;
        }
    }
    return QStringLiteral("<no %1>").arg(caption);
}

std::shared_ptr<ReportDocument> run(const QString& file, const QString& formula = QString())
{
    Report report = Report::load(file);
    if (!formula.isEmpty())
        report.setSelectionFormula(formula);
    return report.run();
}

// The lines of the exported PDF as a reader sees them, blank runs made single.
QStringList pdfLines(const ReportDocument& doc)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    doc.exportPdf(pdf);
    return squeezedLines(pdfPages(pdf).join(u'\n'));
}

// A line of an exported PDF as a reader sees it: its words, and where it prints.
struct PdfLine {
    int page = 0;
    QString text;
    QRectF box;
};

QList<PdfLine> pdfLinesAt(const ReportDocument& doc)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    doc.exportPdf(pdf);
    QList<PdfWord> words = pdfWords(pdf);
    std::stable_sort(words.begin(), words.end(), [](const PdfWord& a, const PdfWord& b) {
        if (a.page != b.page)
            return a.page < b.page;
        if (qAbs(a.box.top() - b.box.top()) > 1)
            return a.box.top() < b.box.top();
        return a.box.left() < b.box.left();
    });
    QList<PdfLine> lines;
    for (const PdfWord& w : words) {
        if (lines.isEmpty() || lines.last().page != w.page || qAbs(lines.last().box.top() - w.box.top()) > 1)
            lines.append({w.page, w.text, w.box});
        else
            lines.last().text += u' ' + w.text, lines.last().box |= w.box;
    }
    return lines;
}

void keepPdf(const ReportDocument& doc, const QString& name)
{
    if (!qEnvironmentVariableIsSet("REPORT_TEST_OUTPUT"))
        return;
    doc.exportPdf(QDir(qEnvironmentVariable("REPORT_TEST_OUTPUT")).filePath(name + QStringLiteral(".pdf")));
}

// The centre of the order tests. Vendor 1 (10% discount, 7.5% tax) has three lines tagged:
//   P-1  10 packages at a book price of $0.4375       = 4.375 -> $4.38
//   P-2   2 packages at $6.95                          =          $13.90
//   P-3   3 packages at a special price of $16.50      =          $49.50   (book $18.75)
// Subtotal $67.78. The discount is taken on the lines at book price only:
//   10% of ($4.38 + $13.90) = $1.828 -> $1.83
// Tax 7.5% of ($67.78 - $1.83 = $65.95) = $4.94625 -> $4.95. Total $65.95 + $4.95 = $70.90.
// P-4 is tagged for vendor 3 only; P-5 for nobody.
QStringList orderCentre()
{
    return {
        QStringLiteral("INSERT INTO Information([Center Name],Address,City,State,Zip,Phone,[Your Name],[Vendor 1],[Vendor 3],"
                       "[Name 1],[Address 1],[City 1],[State 1],[Zip 1],[Contact 1],[PO 1],[Tax 1],[Discount 1],[Notes 1],[Via 1],"
                       "[Name 3],[PO 3],[Tax 3],[Discount 3],[Via 3],[Shipping Name],[shipping address],[Shipping City],[shipping state],[shipping zip]) VALUES "
                       "('Starlite Lanes','12 Main St','Springfield','IL','62704','217-555-0142','Pat Kowalski','AMF','OTHER',"
                       "'Pinsetter Supply Co','400 Industrial Way','Richmond','VA','23220','Order Desk','SL-1001','7.5','10%','Ship complete, please.','UPS Ground',"
                       "'Lane Parts Inc','SL-3003','0','0','Motor Freight','Starlite Lanes Receiving','12 Main St, Dock 2','Springfield','IL','62704')"),
        QStringLiteral("INSERT INTO Parts([Part Number 1],[Part Number 3],Description,[Price 1],[Special Price 1],[Package 1],[Book 1],[Page 1],[Quantity Ordered 1],[Price 3],[Quantity Ordered 3]) VALUES "
                       "('P-1',NULL,'HEX BOLT 3/8',0.4375,0,1,'MAIN CATALOG','88',10,0,0),"
                       "('P-2',NULL,'COTTER PIN BAG',6.95,0,100,'MAIN CATALOG','89',2,0,0),"
                       "('P-3',NULL,'V-BELT A-48',18.75,16.50,1,NULL,'08',3,0,0),"
                       "('P-4','Z-44','DECK SPRING',5,0,1,NULL,NULL,0,12.25,4),"
                       "('P-5',NULL,'NOT TAGGED',99,0,1,NULL,NULL,0,0,0)"),
    };
}

} // namespace

class MenuReportContent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { PaperSize::setA4(false); }

    void orderFormListsTheVendorsTaggedPartsWithHandCheckedTotals()
    {
        ReportFixture f;
        f.makeInventory(orderCentre());
        auto doc = run(QStringLiteral("order1.rpt"));
        QCOMPARE(doc->rowCount(), 3);
        QCOMPARE(doc->pageCount(), 1);
        const QStringList t = allTexts(*doc);

        for (const char* s : {"PURCHASE ORDER", "SL-1001", "UPS Ground", "Pat Kowalski", "Pinsetter Supply Co",
                              "400 Industrial Way", "Richmond, VA  23220", "Attn: Order Desk", "Starlite Lanes Receiving",
                              "12 Main St, Dock 2", "Ship complete, please.", "Catalog MAIN CATALOG, page 88"})
            QVERIFY2(t.contains(QLatin1String(s)), s);
        QVERIFY(!t.contains(QStringLiteral("NOT TAGGED")));
        QVERIFY(!t.contains(QStringLiteral("DECK SPRING")));

        // Each line: packages, units per package, book price, special price only where set, amount.
        QCOMPARE(valueBeside(*doc, QStringLiteral("HEX BOLT 3/8")), QStringLiteral("10"));
        const int bolt = indexOf(t, QStringLiteral("HEX BOLT 3/8"));
        // The book price with the decimals it has, so that 10 x $0.4375 multiplies out to $4.38.
        QCOMPARE(t.mid(bolt + 2, 4), QStringList({"10", "1", "$0.4375", "$4.38"}));   // no special price
        const int belt = indexOf(t, QStringLiteral("V-BELT A-48"));
        QCOMPARE(t.mid(bolt + 2, 4).size(), 4);
        QCOMPARE(t.mid(belt + 2, 5), QStringList({"3", "1", "$18.75", "$16.50", "$49.50"}));
        QVERIFY(t.indexOf(QStringLiteral("P-1")) < t.indexOf(QStringLiteral("P-2")));   // in part-number order

        QCOMPARE(valueBeside(*doc, QStringLiteral("Subtotal")), QStringLiteral("$67.78"));
        QCOMPARE(valueBeside(*doc, QStringLiteral("Discount 10% on book prices")), QStringLiteral("($1.83)"));
        QCOMPARE(valueBeside(*doc, QStringLiteral("Sales tax 7.5%")), QStringLiteral("$4.95"));
        QCOMPARE(valueBeside(*doc, QStringLiteral("Total")), QStringLiteral("$70.90"));
        QVERIFY(t.contains(QStringLiteral("3 lines, 15 packages")));
        keepPdf(*doc, QStringLiteral("order1-fixture"));

        // Half cents go up, on the letter form and its A4 twin alike: the discount of 10% on
        // $11.25 is $1.13, and the tax of 7.5% on the $15.00 left is $1.13 again.
        ReportFixture halves;
        halves.makeInventory({QStringLiteral("INSERT INTO Information([Name 2],[Discount 2],[Tax 2]) VALUES ('Lane Parts Inc','10','7.5')"),
                              QStringLiteral("INSERT INTO Parts([Part Number 2],Description,[Price 2],[Special Price 2],[Quantity Ordered 2]) VALUES "
                                             "('H-1','AT BOOK PRICE',11.25,0,1),('H-2','AT SPECIAL PRICE',5,4.88,1)")});
        for (const QString& form : {QStringLiteral("order2.rpt"), QStringLiteral("order2A4.rpt")}) {
            auto po = run(form);
            QCOMPARE(valueBeside(*po, QStringLiteral("Subtotal")), QStringLiteral("$16.13"));
            QCOMPARE(valueBeside(*po, QStringLiteral("Discount 10% on book prices")), QStringLiteral("($1.13)"));
            QCOMPARE(valueBeside(*po, QStringLiteral("Sales tax 7.5%")), QStringLiteral("$1.13"));
            QCOMPARE(valueBeside(*po, QStringLiteral("Total")), QStringLiteral("$16.13"));
        }
    }

    void amountsAreComputedExactlyAndRoundedOnceWherePrinted()
    {
        // Discounts and taxes at common rates whose exact amount is just under a half cent
        // (rounding it to 1/10000 first would make the half cent and print a cent more):
        //   vendor 1, discount 8.25% on $4.06 at book = $0.33495 -> $0.33; 4 x $24.16 special;
        //     subtotal $100.70, less $0.33 = $100.37, tax 6.75% = $6.774975 -> $6.77, total $107.14
        //   vendor 2, discount 5.5% on $4.09 = $0.22495 -> $0.22; 1 x $0.75 special;
        //     subtotal $4.84, less $0.22 = $4.62, tax 7.25% = $0.33495 -> $0.33, total $4.95
        //   vendor 3, discount 9.75% on $2.41 = $0.234975 -> $0.23; 1 x $1.88 special;
        //     subtotal $4.29, less $0.23 = $4.06, tax 8.25% = $0.33495 -> $0.33, total $4.39
        // and 3 pieces in stock of a $24.99 package of 1,000: 3 x $0.02499 = $0.07497 -> $0.07.
        ReportFixture f;
        f.makeInventory({QStringLiteral("INSERT INTO Information([Vendor 1],[Vendor 2],[Vendor 3],[Discount 1],[Tax 1],[Discount 2],[Tax 2],[Discount 3],[Tax 3]) "
                                        "VALUES ('AMF','DISTRIBUTOR','OTHER','8.25','6.75','5.5','7.25','9.75%','8.25%')"),
                         QStringLiteral("INSERT INTO Parts([Part Number 1],[Part Number 2],[Part Number 3],Description,"
                                        "[Price 1],[Special Price 1],[Quantity Ordered 1],[Price 2],[Special Price 2],[Quantity Ordered 2],"
                                        "[Price 3],[Special Price 3],[Quantity Ordered 3],[In Stock],[Package 1],[Default 1]) VALUES "
                                        "('E-1','F-1','G-1','AT BOOK',2.03,0,2,4.09,0,1,2.41,0,1,0,1,0),"
                                        "('E-2','F-2','G-2','AT SPECIAL',30,24.16,4,1,0.75,1,2,1.88,1,0,1,0),"
                                        "('E-3',NULL,NULL,'WASHER',24.99,0,0,0,0,0,0,0,0,3,1000,1)")});
        struct Form {
            const char* name;
            QStringList lines;
        };
        const Form forms[] = {
            {"order1", {"Subtotal $100.70", "Discount 8.25% on book prices ($0.33)", "Sales tax 6.75% $6.77", "Total $107.14"}},
            {"order2", {"Subtotal $4.84", "Discount 5.5% on book prices ($0.22)", "Sales tax 7.25% $0.33", "Total $4.95"}},
            {"order3", {"Subtotal $4.29", "Discount 9.75% on book prices ($0.23)", "Sales tax 8.25% $0.33", "Total $4.39"}},
        };
        for (const Form& form : forms) {
            for (const QString& paper : {QString(), QStringLiteral("A4")}) {
                const QString name = QLatin1String(form.name) + paper + QStringLiteral(".rpt");
                const QStringList lines = pdfLines(*run(name));
                for (const QString& line : form.lines)
                    QVERIFY2(lines.contains(line), qPrintable(name + QStringLiteral(" lacks \"") + line + QStringLiteral("\" in:\n") + lines.join(u'\n')));
            }
        }
        // The tagged parts, per vendor: amount, discount, before tax.
        for (const QString& name : {QStringLiteral("CurrentlyTagged.rpt"), QStringLiteral("CurrentlyTaggedA4.rpt")}) {
            const QString text = pdfLines(*run(name)).join(u'\n');
            for (const char* line : {"AMF (vendor 1) 2 6 $100.70 ($0.33) $100.37", "DISTRIBUTOR (vendor 2) 2 2 $4.84 ($0.22) $4.62",
                                     "OTHER (vendor 3) 2 2 $4.29 ($0.23) $4.06"})
                QVERIFY2(text.contains(QLatin1String(line)), qPrintable(name + QStringLiteral(" lacks ") + QLatin1String(line) + u'\n' + text));
        }
        // The stock valued per piece, the price per piece printed with the decimals it has.
        for (const QString& name : {QStringLiteral("InventoryValue.rpt"), QStringLiteral("InventoryValueA4.rpt")}) {
            const QStringList lines = pdfLines(*run(name));
            QVERIFY2(lines.filter(QStringLiteral("E-3 WASHER")).value(0).endsWith(QLatin1String("$24.99 1,000 $0.02499 $0.07")), qPrintable(lines.join(u'\n')));
            QVERIFY2(lines.contains(QStringLiteral("Total inventory value $0.07")), qPrintable(name));
        }
        for (const QString& name : {QStringLiteral("Complete.rpt"), QStringLiteral("CompleteA4.rpt"), QStringLiteral("Filter.rpt"), QStringLiteral("FilterA4.rpt")})
            QVERIFY2(pdfLines(*run(name)).join(u'\n').contains(QLatin1String("$0.07")), qPrintable(name));
    }

    void storedPricesPrintWithTheirDecimalsInEveryList()
    {
        // A price is stored to the ten-thousandth: the complete database prints it as the
        // filtered list and the price comparison do, never rounded to the cent.
        ReportFixture f;
        f.makeInventory({QStringLiteral("INSERT INTO Parts([Part Number 1],Description,[Area of Machine],[Price 1],[Package 1],[In Stock],[Default 1]) VALUES "
                                        "('P-1','HEX BOLT','DECK',0.4375,1,2,1),('P-2','COTTER PIN','DECK',0.1875,1,3,1),('P-3','V-BELT','DECK',6.95,1,1,1)")});
        for (const char* name : {"Complete", "Filter", "Prices"}) {
            for (const QString& paper : {QString(), QStringLiteral("A4")}) {
                const QString file = QLatin1String(name) + paper + QStringLiteral(".rpt");
                const QStringList lines = pdfLines(*run(file));
                for (const auto& [part, price] : {std::pair{"HEX BOLT", "$0.4375"}, {"COTTER PIN", "$0.1875"}, {"V-BELT", "$6.95"}})
                    QVERIFY2(lines.filter(QLatin1String(part)).value(0).contains(QLatin1String(price)),
                             qPrintable(QStringLiteral("%1: %2 without %3 in:\n%4").arg(file, QLatin1String(part), QLatin1String(price), lines.join(u'\n'))));
            }
        }
    }

    void amountsThatDoNotFitPrintAsOutOfRange()
    {
        // Money arithmetic never wraps round: a sum or product beyond the range is out of range,
        // and so is everything computed from it.
        const Currency top = Currency::fromUnits(std::numeric_limits<std::int64_t>::max());
        QVERIFY((top + Currency::fromUnits(1)).isOutOfRange());
        QVERIFY((-top - Currency::fromUnits(2)).isOutOfRange());
        QVERIFY((*Currency::parse(QStringLiteral("900000000000000")) * std::int64_t(1000)).isOutOfRange());
        QVERIFY((*Currency::parse(QStringLiteral("900000000000000")) * 1000.0).isOutOfRange());
        Currency total = top;
        total += Currency::fromUnits(1);
        total += -top;   // taking the amount off again brings nothing back into range
        QVERIFY(total.isOutOfRange());
        QVERIFY((-total).isOutOfRange());
        QCOMPARE((*Currency::parse(QStringLiteral("12.5")) * std::int64_t(3) + Currency::fromUnits(1)).units(), qint64(375001));

        // On paper: 1,000 packages at $900,000,000,000,000 on the order form, and 1,000 pieces
        // at a typed $999,999,999,999 in stock; what they come to prints as "####", and so does
        // every total that adds them, while the other lines print their amounts.
        ReportFixture f;
        f.makeInventory({QStringLiteral("INSERT INTO Information([Vendor 1],[Discount 1],[Tax 1]) VALUES ('AMF','10','7.5')"),
                         QStringLiteral("INSERT INTO Parts([Part Number 1],Description,[Area of Machine],[Price 1],[Quantity Ordered 1],[In Stock],[Package 1],[Default 1],"
                                        "[Back Ordered 1],[Date Ordered]) VALUES "
                                        "('H-1','HUGE ORDER','PIT',900000000000000,1000,0,1,1,1000,'2024-03-14'),"
                                        "('H-2','HUGE STOCK','PIT',999999999999,0,1000,1,1,0,NULL),"
                                        "('N-1','NORMAL','PIT',2.5,2,4,1,1,0,NULL)")});
        const QRegularExpression wrapped(QStringLiteral("\\(\\$\\d|-\\$"));   // an amount gone negative
        for (const QString& paper : {QString(), QStringLiteral("A4")}) {
            const QStringList po = pdfLines(*run(QStringLiteral("order1%1.rpt").arg(paper)));
            const QString form = po.join(u'\n');
            QVERIFY2(po.filter(QStringLiteral("HUGE ORDER")).value(0).endsWith(QLatin1String("####")), qPrintable(form));
            QVERIFY2(po.filter(QStringLiteral("NORMAL")).value(0).endsWith(QLatin1String("$5.00")), qPrintable(form));
            for (const char* line : {"Subtotal ####", "Discount 10% on book prices ####", "Sales tax 7.5% ####", "Total ####"})
                QVERIFY2(po.contains(QLatin1String(line)), qPrintable(QLatin1String(line) + u'\n' + form));
            QVERIFY2(!form.contains(wrapped), qPrintable(form));

            const QStringList value = pdfLines(*run(QStringLiteral("InventoryValue%1.rpt").arg(paper)));
            const QString all = value.join(u'\n');
            QVERIFY2(value.filter(QStringLiteral("HUGE STOCK")).value(0).endsWith(QLatin1String("$999,999,999,999.00 1 $999,999,999,999.00 ####")), qPrintable(all));
            QVERIFY2(value.filter(QStringLiteral("NORMAL")).value(0).endsWith(QLatin1String("$10.00")), qPrintable(all));
            QVERIFY2(value.filter(QStringLiteral("Total for PIT")).value(0).endsWith(QLatin1String("####")), qPrintable(all));
            QVERIFY2(value.contains(QStringLiteral("Total inventory value ####")), qPrintable(all));
            QVERIFY2(!all.contains(wrapped), qPrintable(all));

            const QString back = pdfLines(*run(QStringLiteral("BackOrders%1.rpt").arg(paper))).join(u'\n');
            QVERIFY2(back.contains(QLatin1String("####")) && !back.contains(wrapped), qPrintable(back));
            const QString tagged = pdfLines(*run(QStringLiteral("CurrentlyTagged%1.rpt").arg(paper))).join(u'\n');
            QVERIFY2(tagged.contains(QLatin1String("AMF (vendor 1) 2 1,002 #### #### ####")) && !tagged.contains(wrapped), qPrintable(tagged));
        }
    }

    void orderFormOfVendorThreeCarriesItsOwnShippingMethod()
    {
        ReportFixture f;
        f.makeInventory(orderCentre());
        auto doc = run(QStringLiteral("order3.rpt"));
        QCOMPARE(doc->rowCount(), 1);
        const QStringList t = allTexts(*doc);
        QVERIFY(t.contains(QStringLiteral("Motor Freight")));
        QVERIFY(!t.contains(QStringLiteral("UPS Ground")));
        QVERIFY(t.contains(QStringLiteral("SL-3003")));
        QVERIFY(t.contains(QStringLiteral("Z-44")));
        QVERIFY(t.contains(QStringLiteral("VENDOR # 3 - OTHER PARTS")));
        // 4 x $12.25, no discount, no tax.
        QCOMPARE(valueBeside(*doc, QStringLiteral("Subtotal")), QStringLiteral("$49.00"));
        QCOMPARE(valueBeside(*doc, QStringLiteral("Total")), QStringLiteral("$49.00"));

        // Nothing tagged for vendor 2: the form prints its heading and zero totals.
        auto empty = run(QStringLiteral("order2.rpt"));
        QCOMPARE(empty->rowCount(), 0);
        QCOMPARE(valueBeside(*empty, QStringLiteral("Total")), QStringLiteral("$0.00"));
    }

    void orderFormWithoutShippingAddressShipsToTheCentre()
    {
        ReportFixture f;
        f.makeInventory({QStringLiteral("INSERT INTO Information([Center Name],Address,City,State,Zip,Phone) VALUES ('Starlite Lanes','12 Main St','Springfield','IL','62704','217-555-0142')"),
                         QStringLiteral("INSERT INTO Parts([Part Number 2],Description,[Price 2],[Quantity Ordered 2]) VALUES ('B-9','GEAR',2.5,4)")});
        const QStringList t = allTexts(*run(QStringLiteral("order2.rpt")));
        // The centre's address under "SHIP TO" as well as at the top.
        QCOMPARE(t.count(QStringLiteral("12 Main St")), 2);
        QCOMPARE(t.count(QStringLiteral("Springfield, IL  62704")), 2);
        QVERIFY(t.contains(QStringLiteral("Phone 217-555-0142")));
    }

    void orderFormA4TwinIsLaidOutForA4()
    {
        ReportFixture f;
        QStringList s = orderCentre();
        for (int i = 0; i < 60; ++i)
            s << QStringLiteral("INSERT INTO Parts([Part Number 1],Description,[Price 1],[Quantity Ordered 1]) VALUES ('Q-%1','FILLER %1',1,1)").arg(i, 2, 10, QLatin1Char('0'));
        f.makeInventory(s);
        auto letter = run(QStringLiteral("order1.rpt"));
        auto a4 = run(QStringLiteral("order1A4.rpt"));
        QCOMPARE(letter->pageSize().toSize(), QSize(612, 792));
        QCOMPARE(a4->pageSize().toSize(), QPageSize(QPageSize::A4).size(QPageSize::Point).toSize());
        QCOMPARE(a4->rowCount(), 63);
        // The same money either way.
        QCOMPARE(valueBeside(*a4, QStringLiteral("Total")), valueBeside(*letter, QStringLiteral("Total")));
        // The A4 columns are narrower and every element stays within the A4 page's margins.
        for (int i = 0; i < a4->pageCount(); ++i)
            for (const ReportItem& it : a4->page(i).items)
                QVERIFY2(it.rect.right() <= a4->pageSize().width() - 39, qPrintable(it.text));
        // Later pages say whose order continues; the date prints day first on A4.
        QVERIFY(a4->pageCount() >= 2);
        QVERIFY(a4->page(1).hasText(QStringLiteral("Purchase order SL-1001 to Pinsetter Supply Co (continued)")));
        QVERIFY(!a4->page(0).hasText(QStringLiteral("Purchase order SL-1001 to Pinsetter Supply Co (continued)")));
        QVERIFY(a4->page(0).hasText(QDate::currentDate().toString(QStringLiteral("d MMMM yyyy"))));
        QVERIFY(letter->page(0).hasText(formatLongDate(QDate::currentDate())));
    }

    void backOrdersAndTaggedPartsShowEachVendorsShare()
    {
        ReportFixture f;
        QStringList s = orderCentre();
        s << QStringLiteral("INSERT INTO Parts([Part Number 1],[Part Number 2],Description,[Price 1],[Price 2],[Back Ordered 1],[Back Ordered 2],[Date Ordered]) VALUES "
                            "('B-1','X-1','SPRING',2.00,3.00,4,1,'2004-01-15'),('B-2',NULL,'BELT',10.00,0,2,0,'2004-01-15'),"
                            "('B-3',NULL,'PULLEY',7.50,0,1,0,'2004-03-01')");
        f.makeInventory(s);

        auto back = run(QStringLiteral("BackOrders.rpt"));
        QCOMPARE(back->rowCount(), 3);
        QStringList t = allTexts(*back);
        const int january = indexOf(t, QStringLiteral("Ordered January 15, 2004"));
        const int march = indexOf(t, QStringLiteral("Ordered March 1, 2004"));
        QVERIFY(january >= 0 && march > january);   // the oldest order first
        // SPRING: 4 x $2.00 + 1 x $3.00 = $11.00; BELT 2 x $10.00 = $20.00; the day: $31.00.
        QCOMPARE(valueBeside(*back, QStringLiteral("SPRING")).isEmpty(), false);
        QVERIFY(t.contains(QStringLiteral("$11.00")));
        QVERIFY(t.contains(QStringLiteral("$31.00")));
        QVERIFY(t.contains(QStringLiteral("2 parts ordered 1/15/2004")));
        QVERIFY(!t.contains(QStringLiteral("HEX BOLT 3/8")));   // tagged, not on back order
        QCOMPARE(valueBeside(*back, QStringLiteral("3 parts on back order")), QStringLiteral("8"));
        keepPdf(*back, QStringLiteral("BackOrders-fixture"));

        auto tagged = run(QStringLiteral("CurrentlyTagged.rpt"));
        QCOMPARE(tagged->rowCount(), 4);   // P-1..P-4
        t = allTexts(*tagged);
        // The lines as the purchase orders print them, and per vendor what the order comes to
        // before tax: vendor 1 $67.78 less its discount of $1.83 = $65.95, vendor 3 4 x $12.25.
        const int bolt = indexOf(t, QStringLiteral("HEX BOLT 3/8"));
        QCOMPARE(t.mid(bolt + 1, 4), QStringList({"0 / 0", "P-1", "10", "$4.38"}));
        const int row1 = indexOf(t, QStringLiteral("AMF (vendor 1)"));
        QCOMPARE(t.mid(row1 + 1, 5), QStringList({"3", "15", "$67.78", "($1.83)", "$65.95"}));
        const int row3 = indexOf(t, QStringLiteral("OTHER (vendor 3)"));
        QCOMPARE(t.mid(row3 + 1, 5), QStringList({"1", "4", "$49.00", "$0.00", "$49.00"}));
        QCOMPARE(valueBeside(*tagged, QStringLiteral("4 parts tagged")), QStringLiteral("19"));
        QVERIFY(t.contains(QStringLiteral("$114.95")));  // all vendors
    }

    void usageReportsGroupTotalAndGraph()
    {
        ReportFixture f;
        f.makeInventory({
            QStringLiteral("INSERT INTO Parts([Record Number],[Part Number 1],Description,[Area of Machine],[In Stock]) VALUES "
                           "(1,'A-1','GEAR','TURRET',5),(2,'A-2','BELT','DECK',1),(3,'A-3','SPRING','TURRET',0)"),
            // Part 9 was deleted from the catalogue; lane 0 is a use without a lane.
            QStringLiteral("INSERT INTO PartsUsage VALUES (1,2,3,'2004-01-15'),(1,1,12,'2004-02-20T16:45:00'),(2,4,3,'2004-02-20'),"
                           "(3,1,5,'2004-02-21'),(9,2,7,'2004-01-10'),(3,3,0,'2004-01-20')"),
        });

        auto all = run(QStringLiteral("Parts Usage.rpt"));
        QCOMPARE(all->rowCount(), 6);
        QStringList t = allTexts(*all);
        QVERIFY(t.indexOf(QStringLiteral("DECK")) < t.indexOf(QStringLiteral("TURRET")));
        QVERIFY(t.contains(QStringLiteral("Total used in TURRET")));
        QCOMPARE(valueBeside(*all, QStringLiteral("Total used in TURRET")), QStringLiteral("7"));
        QVERIFY(t.contains(QStringLiteral("Part record 9 (no longer in the catalogue)")));
        QVERIFY(t.contains(QStringLiteral("no lane")));
        QVERIFY(t.contains(QStringLiteral("2 uses, 1/15/2004 to 2/20/2004")));
        QCOMPARE(valueBeside(*all, QStringLiteral("Quantity used")), QStringLiteral("13"));

        // A day's uses, the end day included whatever its time of day.
        auto byDate = run(QStringLiteral("PartsUsageByDate.rpt"),
                          QStringLiteral("{PartsUsage.Date Used} >= Date (2004,01,15) and {PartsUsage.Date Used} <= Date (2004,02,20)"));
        QCOMPARE(byDate->rowCount(), 4);
        t = allTexts(*byDate);
        QVERIFY(t.contains(QStringLiteral("Friday, February 20, 2004")));
        QCOMPARE(valueBeside(*byDate, QStringLiteral("Total used on 2/20/2004")), QStringLiteral("5"));
        QVERIFY(!t.contains(QStringLiteral("Saturday, February 21, 2004")));
        const QList<ReportItem> charts = byDate->page(byDate->pageCount() - 1).itemsOf(ReportItem::Kind::Chart);
        QCOMPARE(charts.size(), 1);
        QCOMPARE(charts[0].chart->labels.first(), QStringLiteral("A-2  BELT"));   // the most used first
        QCOMPARE(charts[0].chart->values.first(), 4.0);

        auto none = run(QStringLiteral("PartsUsageByDate.rpt"),
                        QStringLiteral("{PartsUsage.Date Used} >= Date (2005,01,01) and {PartsUsage.Date Used} <= Date (2005,12,31)"));
        QVERIFY(allTexts(*none).contains(QStringLiteral("No parts were used on these dates.")));
        QVERIFY(none->page(0).itemsOf(ReportItem::Kind::Chart).isEmpty());

        // One part: its uses by date and a bar for each lane.
        auto one = run(QStringLiteral("UsedByPartNumber.rpt"), QStringLiteral("{PartsUsage.Record Number} =1"));
        QCOMPARE(one->rowCount(), 2);
        t = allTexts(*one);
        QVERIFY(t.contains(QStringLiteral("GEAR")));
        QVERIFY(t.contains(QStringLiteral("3 used in 2 uses from January 15, 2004 to February 20, 2004, 1.5 a time on average")));
        const auto lanes = one->page(0).itemsOf(ReportItem::Kind::Chart);
        QCOMPARE(lanes.size(), 1);
        QCOMPARE(lanes[0].chart->labels, QStringList({"3", "12"}));
        QCOMPARE(lanes[0].chart->values, QList<double>({2, 1}));

        // The bar graph: areas on the first page, the parts of each area, the lanes at the end,
        // on the same page as the last area when they fit there.
        auto graph = run(QStringLiteral("GraphUsage.rpt"));
        QCOMPARE(graph->pageCount(), 1);
        const QList<ReportItem> bars = graph->page(0).itemsOf(ReportItem::Kind::Chart);
        QCOMPARE(bars.size(), 5);   // areas, 3 groups (none, DECK, TURRET), lanes
        QCOMPARE(bars[0].chart->labels, QStringList({"TURRET", "DECK", "(No area of machine)"}));
        QCOMPARE(bars[0].chart->values, QList<double>({7, 4, 2}));
        QCOMPARE(bars[3].chart->labels, QStringList({"A-3  SPRING", "A-1  GEAR"}));
        // The areas' parts are drawn to one scale: the most used part of any area, 4 BELT in DECK
        // and 4 SPRING in TURRET, against 2 of the deleted part in the area without a name.
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(bars[i].chart->scaleMax, 4.0);
        QCOMPARE(bars.last().chart->labels, QStringList({"3", "5", "7", "12", "no lane"}));
        // Each growing chart has a line for every bar: TURRET's two bars take less room than the lanes' five.
        QVERIFY(bars[3].rect.height() < bars.last().rect.height());
        QVERIFY(bars.last().rect.height() >= 5 * 8 * 1.8 * 0.9);
    }

    // A big centre's charts print whole, read back from the PDF: a chart taller than the room
    // goes on over the next pages between its bars, its heading on the page of its first bar,
    // every bar with its label at a readable size, none over another or over the page footer,
    // and no page without something of the report.
    void chartsOfABigCentreGoOnOverPagesBetweenTheirBars()
    {
        // The bars of a chart found in the PDF's lines after its heading, in print order.
        auto checkChart = [](const ReportDocument& doc, const QString& heading, const QString& barPattern, QStringList expected,
                             bool byValue) {
            const QString what = QStringLiteral("%1 (%2): ").arg(doc.fileName(), heading);
            const QList<PdfLine> lines = pdfLinesAt(doc);
            const QRegularExpression bar(barPattern);
            const QRegularExpression footer(QStringLiteral("Page (\\d+) of (\\d+)$"));
            qsizetype at = -1;
            for (qsizetype i = 0; i < lines.size() && at < 0; ++i)
                if (lines[i].text == heading)
                    at = i;
            QVERIFY2(at >= 0, qPrintable(what + QStringLiteral("no heading")));
            QStringList labels;
            QList<int> pagesWithBars;
            for (qsizetype i = at + 1; i < lines.size(); ++i) {
                const QRegularExpressionMatch m = bar.match(lines[i].text);
                if (!m.hasMatch())
                    continue;
                const PdfLine& l = lines[i];
                labels << m.captured(1);
                if (labels.size() == 1)
                    QVERIFY2(l.page == lines[at].page, qPrintable(what + QStringLiteral("the heading is on page %1, the first bar on %2").arg(lines[at].page + 1).arg(l.page + 1)));
                QVERIFY2(l.box.height() >= 6, qPrintable(what + QStringLiteral("%1 is %2 pt tall").arg(l.text).arg(l.box.height())));
                const PdfLine& before = lines[i - 1];
                QVERIFY2(before.page != l.page || before.box.bottom() <= l.box.top() + 0.01,
                         qPrintable(what + QStringLiteral("\"%1\" prints over \"%2\"").arg(l.text, before.text)));
                if (!pagesWithBars.contains(l.page))
                    pagesWithBars << l.page;
            }
            if (byValue) {   // the areas, the most used first
                labels.sort();
                expected.sort();
            }
            QCOMPARE(labels, expected);
            // The bars run on from page to page (the lanes to the end of the report); every
            // page ends with its footer.
            QCOMPARE(pagesWithBars.size(), pagesWithBars.last() - pagesWithBars.first() + 1);
            if (!byValue)
                QCOMPARE(pagesWithBars.last(), doc.pageCount() - 1);
            for (int p = 0; p < doc.pageCount(); ++p) {
                QList<PdfLine> page;
                for (const PdfLine& l : lines)
                    if (l.page == p)
                        page << l;
                QVERIFY(!page.isEmpty());
                const QRegularExpressionMatch m = footer.match(page.last().text);
                QVERIFY2(m.hasMatch() && m.captured(1).toInt() == p + 1 && m.captured(2).toInt() == doc.pageCount(),
                         qPrintable(what + QStringLiteral("page %1 ends with \"%2\"").arg(p + 1).arg(page.last().text)));
                for (qsizetype i = 0; i + 1 < page.size(); ++i)
                    QVERIFY2(page[i].box.bottom() <= page.last().box.top(),
                             qPrintable(what + QStringLiteral("page %1: \"%2\" prints over the footer").arg(p + 1).arg(page[i].text)));
                bool printsSomething = false;
                for (const ReportItem& it : doc.page(p).items)
                    printsSomething = printsSomething || (it.band != BandKind::PageHeader && it.band != BandKind::PageFooter);
                QVERIFY2(printsSomething, qPrintable(what + QStringLiteral("page %1 holds only its header and footer").arg(p + 1)));
            }
        };
        // Each lane and each area used; every part in an area of its own (up to `areas`).
        auto centre = [](int lanes, int areas) {
            QStringList parts, uses;
            for (int p = 1; p <= areas; ++p) {
                parts << QStringLiteral("(%1,'P-%1','PART %1','AREA %2')").arg(p).arg(p, 3, 10, QLatin1Char('0'));
                uses << QStringLiteral("(%1,%2,%3,'2024-02-01')").arg(p).arg(1 + p % 4).arg(1 + p % lanes);
            }
            for (int lane = 1; lane <= lanes; ++lane)
                uses << QStringLiteral("(%1,%2,%3,'2024-02-02')").arg(1 + lane % areas).arg(1 + lane % 7).arg(lane);
            return QStringList{QStringLiteral("INSERT INTO Parts([Record Number],[Part Number 1],Description,[Area of Machine]) VALUES ") + parts.join(u','),
                               QStringLiteral("INSERT INTO PartsUsage VALUES ") + uses.join(u',')};
        };
        // At 49 lanes the lanes' heading comes at the foot of a letter page of the lane report.
        for (const int lanes : {8, 48, 49, 64, 100, 120}) {
            ReportFixture f;
            f.makeInventory(centre(lanes, 5));
            QStringList numbers;
            for (int lane = 1; lane <= lanes; ++lane)
                numbers << QString::number(lane);
            for (const QString& paper : {QString(), QStringLiteral("A4")}) {
                checkChart(*run(QStringLiteral("GraphUsage%1.rpt").arg(paper)), QStringLiteral("Quantity used by lane"),
                           QStringLiteral("^(\\d+) \\d+$"), numbers, false);
                checkChart(*run(QStringLiteral("PartsUsageByLane%1.rpt").arg(paper), QStringLiteral("{PartsUsage.Lane Number} in 1to %1").arg(lanes)),
                           QStringLiteral("Quantity used by lane"), QStringLiteral("^(\\d+) \\d+$"), numbers, false);
                if (QTest::currentTestFailed())
                    return;
            }
        }
        for (const int areas : {60, 160}) {
            ReportFixture f;
            f.makeInventory(centre(12, areas));
            QStringList names;
            for (int a = 1; a <= areas; ++a)
                names << QStringLiteral("AREA %1").arg(a, 3, 10, QLatin1Char('0'));
            for (const QString& paper : {QString(), QStringLiteral("A4")})
                checkChart(*run(QStringLiteral("GraphUsage%1.rpt").arg(paper)), QStringLiteral("Quantity used by area of the machine"),
                           QStringLiteral("^(AREA \\d{3}) \\d+$"), names, true);
            if (QTest::currentTestFailed())
                return;
        }
    }

    // Not a check: the reports of a centre with tagged, back-ordered and used parts, as PDFs to
    // look at, on both papers.
    void writeSampleReports()
    {
        if (!qEnvironmentVariableIsSet("REPORT_TEST_OUTPUT"))
            QSKIP("REPORT_TEST_OUTPUT is not set");
        ReportFixture f;
        QVERIFY(f.folder.installDatabase(QStringLiteral("InventoryAMF.mdb")));
        Database db = Database::open(f.folder.file(QStringLiteral("Inventory.mdb")));
        db.execute(QStringLiteral(
            "UPDATE Information SET [Center Name]='Starlite Lanes', Address='1200 Bowling Green Rd', City='Springfield', State='IL', Zip='62704', "
            "Phone='(217) 555-0142', Fax='(217) 555-0143', [Your Name]='Pat Kowalski', [Shipping Name]='Starlite Lanes - Receiving', "
            "[shipping address]='1200 Bowling Green Rd, Dock 2', [Shipping City]='Springfield', [shipping state]='IL', [shipping zip]='62704', "
            "[shipping phone]='(217) 555-0150', [Name 1]='Keystone Pinsetter Supply', [Address 1]='40 Industrial Pkwy', [City 1]='Harrisburg', "
            "[State 1]='PA', [Zip 1]='17101', [Phone 1]='(800) 555-0101', [Fax 1]='(800) 555-0102', [Contact 1]='Parts Order Desk', "
            "[PO 1]='SL-2024-031', [Tax 1]='7.5', [Discount 1]='10', [Via 1]='UPS Ground', "
            "[Notes 1]='Please ship complete. Call (217) 555-0150 before delivery; the dock is closed on Sundays.', "
            "[Name 2]='Pinsetter Parts Distributors', [City 2]='Dayton', [State 2]='OH', [PO 2]='SL-2024-032', [Tax 2]='7.5', [Discount 2]='5', [Via 2]='FedEx', "
            "[Name 3]='Lane & Pinsetter Hardware', [PO 3]='SL-2024-033', [Tax 3]='0', [Discount 3]='0', [Via 3]='Will call'"));
        db.execute(QStringLiteral("UPDATE Parts SET [Minimum Stock] = 2, [In Stock] = [Record Number] % 4, Location = 'R' || ([Record Number] % 6 + 1)"));
        db.execute(QStringLiteral("UPDATE Parts SET [Quantity Ordered 1] = [Record Number] % 5 + 1 WHERE [Record Number] % 3 = 0"));
        db.execute(QStringLiteral("UPDATE Parts SET [Special Price 1] = Round([Price 1] * 0.8, 2) WHERE [Record Number] % 9 = 0"));
        db.execute(QStringLiteral("UPDATE Parts SET [Quantity Ordered 2] = 2 WHERE [Record Number] % 7 = 1 AND [Part Number 2] <> ''"));
        db.execute(QStringLiteral("UPDATE Parts SET [Part Number 3] = 'H-' || [Record Number], [Price 3] = 4.25, [Quantity Ordered 3] = 6 WHERE [Record Number] IN (2, 3)"));
        db.execute(QStringLiteral("UPDATE Parts SET [Back Ordered 1] = 2, [Date Ordered] = '2024-02-12' WHERE [Record Number] % 4 = 1"));
        db.execute(QStringLiteral("UPDATE Parts SET [Back Ordered 2] = 1, [Date Ordered] = '2024-03-04' WHERE [Record Number] % 8 = 2 AND [Part Number 2] <> ''"));
        for (int i = 0; i < 140; ++i) {
            const int part = (i * 7) % 43 + 1;
            const int lane = (i * 5) % 24 + 1;
            const QDate day = QDate(2024, 1, 2).addDays((i * 3) % 85);
            db.execute(QStringLiteral("INSERT INTO PartsUsage([Record Number],Used,[Lane Number],[Date Used]) VALUES (%1,%2,%3,'%4')")
                           .arg(part).arg(i % 4 == 0 ? 2 : 1).arg(lane).arg(day.toString(Qt::ISODate)));
        }
        const struct {
            const char* file;
            const char* formula;
        } reports[] = {
            {"BackOrders", ""}, {"CurrentlyTagged", ""}, {"order1", ""}, {"order2", ""}, {"order3", ""},
            {"Parts Usage", ""}, {"GraphUsage", ""},
            {"PartsUsageByDate", "{PartsUsage.Date Used} >= Date (2024,02,01) and {PartsUsage.Date Used} <= Date (2024,02,29)"},
            {"UsedByPartNumber", "{PartsUsage.Record Number} =8"}, {"PartsUsageByLane", "{PartsUsage.Lane Number} in 1to 12"},
        };
        for (const auto& r : reports) {
            for (const QString& paper : {QString(), QStringLiteral("A4")}) {
                const QString name = QLatin1String(r.file) + paper;
                auto doc = run(name + QStringLiteral(".rpt"), QLatin1String(r.formula));
                QVERIFY2(doc->rowCount() > 0, qPrintable(name));
                keepPdf(*doc, name);
            }
        }
    }
};

QTEST_MAIN(MenuReportContent)
#include "tst_menu_report_content.moc"
