// The report definition files shipped beside the program: every file the windows ask for is in
// the program's folder, reads, and prints from the template databases as shipped and in use;
// label and card sheets put each label on its place of the sheet; barcodes carry the part
// number; the lists select, sort and total what they say.

#include "ReportFixture.h"
#include "data/Connection.h"
#include "data/Database.h"
#include "data/Recordset.h"

#include <QDir>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

// Every report the program runs, by the letter name its callers use, and whether it has an A4
// twin. Names are exact: the blanks and the capital R of the filtered labels included.
struct NamedReport {
    const char* letter;
    bool a4;
};
const NamedReport everyReport[] = {
    {"LocationBook.rpt", true},        {"Complete.rpt", true},           {"BackOrders.rpt", true},
    {"CurrentlyTagged.rpt", true},     {"order1.rpt", true},             {"order2.rpt", true},
    {"order3.rpt", true},              {"Images.rpt", true},             {"Avery5161.rpt", false},
    {"Barcoded5163.rpt", false},       {"Avery5160.rpt", false},         {"Barcoded5160.rpt", false},
    {"Barcoded5386.rpt", false},       {"Barcoded5385.rpt", false},      {"InventoryValue.rpt", true},
    {"Parts Usage.rpt", true},         {"GraphUsage.rpt", true},         {"Parts Loan.rpt", true},
    {"PartsNeeded.rpt", true},         {"BarcodedPartsNeeded.rpt", true}, {"Prices.rpt", true},
    {"Your Prices.rpt", true},         {"Preferred.rpt", true},          {"PreferredYour.rpt", true},
    {"PhysicalLocation.rpt", true},    {"PhysicalNumber.rpt", true},     {"Errors1.rpt", true},
    {"Errors2.rpt", true},             {"Errors3.rpt", true},            {"PartsUsageByLane.rpt", true},
    {"PartsUsageByDate.rpt", true},    {"UsedByPartNumber.rpt", true},   {"Filter.rpt", true},
    {"FilteredBarcoded5160.Rpt", false}, {"FilteredAvery5160.Rpt", false}, {"FilteredBarcoded5163.Rpt", false},
    {"FilteredAvery5161.Rpt", false},
};

QString a4Twin(const QString& letter)
{
    const qsizetype dot = letter.lastIndexOf(u'.');
    return letter.left(dot) + QStringLiteral("A4") + letter.mid(dot);
}

QStringList everyFileName()
{
    QStringList names;
    for (const NamedReport& r : everyReport) {
        names << QString::fromLatin1(r.letter);
        if (r.a4)
            names << a4Twin(QString::fromLatin1(r.letter));
    }
    return names;
}

// A blue picture for the part with this record number.
void addPicture(const ReportFixture& f, int record)
{
    auto conn = Connection::open(f.folder.file(QStringLiteral("Inventory.mdb")));
    auto pictures = Recordset::openTable(conn, QStringLiteral("Pictures"));
    pictures->addNew();
    pictures->setValue(QStringLiteral("Record Number"), record);
    pictures->setValue(QStringLiteral("Image1"), pngPicture(Qt::blue));
    pictures->update();
    pictures->close();
}

// The smallest size a text is printed at to fit its box (points).
constexpr double legiblePoints = 5.9;

// The first word of a PDF that prints over another on its page (their boxes overlap by more
// than a point each way), with that other; empty when none does.
QString overprinted(const QString& pdf)
{
    const QList<PdfWord> words = pdfWords(pdf);
    for (qsizetype a = 0; a < words.size(); ++a)
        for (qsizetype b = a + 1; b < words.size() && words[b].page == words[a].page; ++b)
            if (const QRectF both = words[a].box & words[b].box; both.width() > 1 && both.height() > 1)
                return QStringLiteral("page %1: \"%2\" over \"%3\"").arg(words[a].page + 1).arg(words[a].text, words[b].text);
    return {};
}

// Runs every report over the program folder's database and gives, per report file, which of
// the values its pages print (in a text, or under a barcode); each must be in the PDF whole (line
// ends and blanks aside, as a line that wraps leaves them), no word over another, and a text
// printed smaller to fit must be at least `legible` points.
void printWhole(const QStringList& values, double legible, QMap<QString, QStringList>& printed)
{
    auto strip = [](QString t) { return t.remove(QRegularExpression(QStringLiteral("\\s"))); };
    QTemporaryDir out;
    for (const QString& name : everyFileName()) {
        Report report = Report::load(name);
        if (name.startsWith(QLatin1String("PartsUsageBy")) || name.startsWith(QLatin1String("UsedBy")))
            report.setSelectionFormula(QStringLiteral("{PartsUsage.Record Number} = 1"));
        auto doc = report.run();
        const QString pdf = out.filePath(QStringLiteral("report.pdf"));
        doc->exportPdf(pdf);
        const QString over = overprinted(pdf);
        QVERIFY2(over.isEmpty(), qPrintable(name + QStringLiteral(", ") + over));
        QProcess raw;
        raw.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
        QVERIFY(raw.waitForFinished(60000));
        const QString text = strip(QString::fromUtf8(raw.readAllStandardOutput()));
        QStringList& found = printed[name];
        for (int p = 0; p < doc->pageCount(); ++p) {
            for (const ReportItem& it : doc->page(p).items) {
                if (it.kind != ReportItem::Kind::Text && it.kind != ReportItem::Kind::Barcode)
                    continue;
                for (const QString& value : values) {
                    if (!it.text.contains(value))
                        continue;
                    found << value;
                    const double size = it.element->font.pointSizeF() * it.fontScale;
                    QVERIFY2(it.kind != ReportItem::Kind::Text || it.fontScale == 1 || size >= legible,
                             qPrintable(QStringLiteral("%1 prints %2 at %3 pt").arg(name, value).arg(size)));
                    QVERIFY2(text.contains(strip(value)), qPrintable(QStringLiteral("%1 does not print %2 whole").arg(name, value)));
                }
            }
        }
    }
}

// A template database as a centre uses it after a while, written through the data engine:
// stocked parts with locations, some below their minimum, some tagged, some on back order,
// a few pictures and uses of parts, and the centre's name.
void putInUse(const QString& database)
{
    Database db = Database::open(database);
    db.execute(QStringLiteral("UPDATE Information SET [Center Name] = 'Starlite Lanes', [Your Name] = 'Pat Miller', City = 'Springfield'"));
    db.close();

    auto conn = Connection::open(database);
    auto parts = Recordset::openTable(conn, QStringLiteral("Parts"));
    QList<int> numbers;
    int i = 0;
    for (parts->moveFirst(); !parts->eof(); parts->moveNext(), ++i) {
        numbers << parts->value(QStringLiteral("Record Number")).toInt();
        parts->edit();
        if (i % 2 == 0) {
            parts->setValue(QStringLiteral("Minimum Stock"), 1 + i % 5);
            parts->setValue(QStringLiteral("In Stock"), i % 7);
            parts->setValue(QStringLiteral("Location"), QStringLiteral("R%1-%2").arg(i % 4).arg(i % 10));
        }
        if (i % 5 == 1)
            parts->setValue(QStringLiteral("Quantity Ordered 1"), 2);
        if (i % 7 == 3) {
            parts->setValue(QStringLiteral("Back Ordered 1"), 1);
            parts->setValue(QStringLiteral("Date Ordered"), QDate(2024, 3, 14));
        }
        parts->update();
    }
    parts->close();

    auto pictures = Recordset::openTable(conn, QStringLiteral("Pictures"));
    for (int k = 0; k < 3 && k < numbers.size(); ++k) {
        pictures->addNew();
        pictures->setValue(QStringLiteral("Record Number"), numbers[k]);
        pictures->setValue(QStringLiteral("Image1"), pngPicture(Qt::blue));
        if (k > 0)
            pictures->setValue(QStringLiteral("Image3"), pngPicture(Qt::red));
        pictures->update();
    }
    pictures->close();

    auto usage = Recordset::openTable(conn, QStringLiteral("PartsUsage"));
    for (int k = 0; k < 6 && k < numbers.size(); ++k) {
        usage->addNew();
        usage->setValue(QStringLiteral("Record Number"), numbers[k]);
        usage->setValue(QStringLiteral("Used"), 1 + k);
        usage->setValue(QStringLiteral("Lane Number"), 1 + k * 3);
        usage->setValue(QStringLiteral("Date Used"), QDate(2024, 2, 1 + k));
        usage->update();
    }
    usage->close();
}

// The texts each data row printed in the detail band, by row, over every page.
QMap<int, QStringList> detailTexts(const ReportDocument& doc)
{
    QMap<int, QStringList> rows;
    for (int p = 0; p < doc.pageCount(); ++p)
        for (const ReportItem& it : doc.page(p).items)
            if (it.kind == ReportItem::Kind::Text && it.band == BandKind::Detail && !it.text.isEmpty())
                rows[it.row] << it.text;
    return rows;
}

// Every text printed in bands of the kind, over every page.
QStringList textsOf(const ReportDocument& doc, BandKind band, int level = 0)
{
    QStringList out;
    for (int p = 0; p < doc.pageCount(); ++p)
        for (const ReportItem& it : doc.page(p).textItems(band, level))
            out << it.text;
    return out;
}

// The texts of rows that are one of `wanted`, in the order the report prints them.
QStringList printedInOrder(const ReportDocument& doc, const QStringList& wanted)
{
    QStringList out;
    for (int p = 0; p < doc.pageCount(); ++p)
        for (const QString& t : doc.page(p).texts())
            if (wanted.contains(t))
                out << t;
    return out;
}

QString part(const QString& number, const QString& description, const QString& area, const QString& location,
             int inStock, int minimum, const QString& more = {}, const QString& values = {})
{
    return QStringLiteral("INSERT INTO Parts([Part Number 1], Description, [Area of Machine], Location, [In Stock], [Minimum Stock]%1) "
                          "VALUES ('%2', '%3', '%4', '%5', %6, %7%8)")
        .arg(more.isEmpty() ? QString() : u',' + more, number, description, area, location)
        .arg(inStock)
        .arg(minimum)
        .arg(values.isEmpty() ? QString() : u',' + values);
}

const QString information = QStringLiteral(
    "INSERT INTO Information([Center Name], [Vendor 1], [Vendor 2], [Vendor 3]) VALUES ('Starlite Lanes', 'AMF', 'DISTRIBUTOR', 'OTHER')");

} // namespace

class ReportFiles : public QObject
{
    Q_OBJECT

    // The program folder of the database the rows of the printing test share: each database is
    // made ready once for the 64 files rather than once for each.
    std::unique_ptr<ReportFixture> shared_;
    QString sharedKey_;

private Q_SLOTS:
    void init()
    {
        if (qstrcmp(QTest::currentTestFunction(), "everyReportPrintsFromTheTemplates") != 0) {
            shared_.reset();
            sharedKey_.clear();
        }
    }
    void cleanup() { Connection::closeAll(); }
    void cleanupTestCase() { shared_.reset(); }

    // --- Packaging --------------------------------------------------------------------------

    void everyReportFileIsInTheProgramFolder_data()
    {
        QTest::addColumn<QString>("name");
        const QStringList names = everyFileName();
        QCOMPARE(names.size(), 64);   // 37 reports, 27 of them with an A4 twin
        for (const QString& n : names)
            QTest::newRow(qPrintable(n)) << n;
    }

    void everyReportFileIsInTheProgramFolder()
    {
        QFETCH(QString, name);
        // Spelled exactly as the callers ask for it: blanks, capitals and extension.
        const QStringList shipped = QDir(QStringLiteral(INVENTORY_BIN_DIR)).entryList(QDir::Files);
        QVERIFY2(shipped.contains(name), qPrintable(name + QStringLiteral(" is not in the program folder")));
    }

    void everyReportPrintsFromTheTemplates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("database");
        QTest::addColumn<bool>("inUse");
        const QStringList shipped = QDir(QStringLiteral(INVENTORY_BIN_DIR)).entryList(QDir::Files);
        for (const char* db : {"InventoryAMF.mdb", "InventoryBrunswick.mdb"}) {
            for (const bool inUse : {false, true}) {
                for (const QString& n : everyFileName()) {
                    if (!shipped.contains(n))
                        continue;   // reported by everyReportFileIsInTheProgramFolder
                    QTest::newRow(qPrintable(QStringLiteral("%1 %2 %3").arg(n, QLatin1String(db), inUse ? QStringLiteral("in use") : QStringLiteral("as shipped"))))
                        << n << QString::fromLatin1(db) << inUse;
                }
            }
        }
    }

    void everyReportPrintsFromTheTemplates()
    {
        QFETCH(QString, name);
        QFETCH(QString, database);
        QFETCH(bool, inUse);
        const QString key = database + (inUse ? QStringLiteral(" in use") : QString());
        if (key != sharedKey_) {
            shared_.reset();
            shared_ = std::make_unique<ReportFixture>();
            QVERIFY(shared_->folder.installDatabase(database));
            if (inUse)
                putInUse(shared_->folder.file(QStringLiteral("Inventory.mdb")));
            sharedKey_ = key;
        }

        std::shared_ptr<ReportDocument> doc;
        try {
            doc = Report::load(name).run();
            const bool a4 = name.contains(QLatin1String("A4."));
            const QSizeF paper = QPageSize(a4 ? QPageSize::A4 : QPageSize::Letter).size(QPageSize::Point);
            const QSizeF size = doc->pageSize();
            QVERIFY2(size.toSize() == paper.toSize() || size.toSize() == paper.transposed().toSize(),
                     qPrintable(QStringLiteral("%1 is printed on %2 x %3 pt").arg(name).arg(size.width()).arg(size.height())));
            // Everything is on the paper: a twin that kept the letter layout on A4 would run off it.
            for (int p = 0; p < doc->pageCount(); ++p) {
                for (const ReportItem& it : doc->page(p).items) {
                    const QRectF r = it.rect.normalized();
                    QVERIFY2(r.left() > -0.01 && r.top() > -0.01 && r.right() < size.width() + 0.01 && r.bottom() < size.height() + 0.01,
                             qPrintable(QStringLiteral("%1, page %2: \"%3\" runs off the paper").arg(name).arg(p + 1).arg(it.text)));
                }
            }
            QVERIFY(!doc->renderImage(0, 24).isNull());
        } catch (const ReportError& e) {
            QFAIL(qPrintable(e.text()));
        }
        if (inUse && qEnvironmentVariableIsSet("REPORT_TEST_OUTPUT") && database == QLatin1String("InventoryAMF.mdb"))
            doc->exportPdf(QDir(qEnvironmentVariable("REPORT_TEST_OUTPUT")).filePath(QFileInfo(name).completeBaseName() + QStringLiteral(".pdf")));
    }

    void a4TwinsWriteEveryDateDayFirst()
    {
        // 3/4/2024 means March 4th on letter paper and April 3rd to a reader of A4 paper: every
        // date a twin prints, the print date in its heading and footers and the dates of its
        // rows, is written day first.
        ReportFixture f;
        const QString dated = QStringLiteral("[Part Number 2], [Part Number 3], [Price 1], [Price 2], [Price 3], [Quantity Ordered 1], "
                                             "[Quantity Ordered 2], [Quantity Ordered 3], [Back Ordered 1], [Date Ordered]");
        f.makeInventory({information,
                         part(QStringLiteral("30-0001"), QStringLiteral("TONG"), QStringLiteral("DECK"), QStringLiteral("A1"), 2, 1, dated,
                              QStringLiteral("'B-1', 'C-1', 5, 6, 7, 1, 1, 1, 2, '2024-03-14'")),
                         QStringLiteral("INSERT INTO PartsUsage VALUES (1, 2, 3, '2024-03-14'), (1, 1, 5, '2024-03-20')")});
        const QDate today = QDate::currentDate();
        const QLocale english(QLocale::English);
        // Month-first forms, with no digit before them ("3/14/2024" is not in "03/14/2024").
        QStringList usForms;
        for (const QDate& d : {today, QDate(2024, 3, 14), QDate(2024, 3, 20)})
            usForms << QStringLiteral("(?<!\\d)%1/%2/%3").arg(d.month()).arg(d.day()).arg(d.year())
                    << english.toString(d, QStringLiteral("MMMM d, yyyy")) << english.toString(d, QStringLiteral("MMM d, yyyy"));
        const QRegularExpression monthFirst(usForms.join(u'|'));
        const QRegularExpression todayDayFirst(QStringLiteral("%1|%2").arg(english.toString(today, QStringLiteral("d MMM")),
                                                                          today.toString(QStringLiteral("dd/MM/yyyy"))));
        int twins = 0;
        for (const NamedReport& r : everyReport) {
            if (!r.a4)
                continue;
            ++twins;
            const QString letter = QString::fromLatin1(r.letter);
            auto us = Report::load(letter).run();
            auto a4 = Report::load(a4Twin(letter)).run();
            QStringList a4Texts, usTexts;
            for (int p = 0; p < a4->pageCount(); ++p)
                a4Texts += a4->page(p).texts();
            for (int p = 0; p < us->pageCount(); ++p)
                usTexts += us->page(p).texts();
            const QString a4All = a4Texts.join(u'\n');
            const auto wrong = monthFirst.match(a4All);
            QVERIFY2(!wrong.hasMatch(), qPrintable(a4Twin(letter) + QStringLiteral(" prints ") + wrong.captured()));
            // Where the letter file prints the day's date, the twin prints it too, day first.
            if (usTexts.join(u'\n').contains(monthFirst))
                QVERIFY2(a4All.contains(todayDayFirst), qPrintable(a4Twin(letter)));
        }
        QCOMPARE(twins, 27);
    }

    void longDescriptionsPrintWhole()
    {
        // A description of 60 characters wraps within its row or is printed smaller on a label,
        // in every report that prints descriptions: read back from the PDF, none loses its end.
        // (The bar graph names parts only in its bars' labels, which end in "..." when long.)
        const QString description = QStringLiteral("SETTING TABLE SPOTTING TONG ASSEMBLY WITH SPRINGS, LEFT HAND");
        QCOMPARE(description.size(), 60);
        ReportFixture f;
        const QString vendors = QStringLiteral("[Part Number 2], [Part Number 3], [Price 1], [Price 2], [Price 3], [Package 1], [Default 1], "
                                               "[Quantity Ordered 1], [Quantity Ordered 2], [Quantity Ordered 3], [Back Ordered 1], [Date Ordered]");
        f.makeInventory({information,
                         // needed, stocked, with pictures and uses
                         part(QStringLiteral("40-0001"), description, QStringLiteral("DECK"), QStringLiteral("A1"), 1, 3, vendors,
                              QStringLiteral("NULL, NULL, 4.5, 0, 0, 1, 1, 0, 0, 0, 0, NULL")),
                         // tagged for every vendor
                         part(QStringLiteral("40-0002"), description, QStringLiteral("DECK"), QStringLiteral("A2"), 5, 1, vendors,
                              QStringLiteral("'B-2', 'C-2', 4.5, 4.25, 4, 1, 1, 1, 1, 1, 0, NULL")),
                         // on back order
                         part(QStringLiteral("40-0003"), description, QStringLiteral("PIT"), QStringLiteral("A3"), 2, 1, vendors,
                              QStringLiteral("NULL, NULL, 3, 0, 0, 1, 1, 0, 0, 0, 2, '2024-03-14'")),
                         // every vendor's number without a price: an error for each
                         part(QStringLiteral("40-0004"), description, QStringLiteral("PIT"), QStringLiteral("A4"), 0, 0, vendors,
                              QStringLiteral("'B-4', 'C-4', 0, 0, 0, 1, 0, 0, 0, 0, 0, NULL")),
                         QStringLiteral("INSERT INTO PartsUsage VALUES (1, 2, 3, '2024-03-14')")});
        addPicture(f, 1);
        QTemporaryDir out;
        for (const QString& name : everyFileName()) {
            if (name.startsWith(QLatin1String("Parts Loan")) || name.startsWith(QLatin1String("GraphUsage")))
                continue;
            auto doc = Report::load(name).run();
            QVERIFY2(doc->rowCount() > 0, qPrintable(name));
            const QString pdf = out.filePath(QStringLiteral("report.pdf"));
            doc->exportPdf(pdf);
            const QString text = pdfPages(pdf).join(u' ').simplified();
            for (const QString& word : description.split(u' '))
                QVERIFY2(text.contains(word), qPrintable(QStringLiteral("%1 lacks \"%2\"").arg(name, word)));
        }
    }

    void partNumbersLocationsAndAreasPrintWhole()
    {
        // Every value at its full typed length: part numbers of 20 characters (one of wide
        // letters), a location of 15, an area of 30, a description of 50 without a blank (which
        // breaks inside the word) and a memo of 255, in every report that prints them, read back
        // from the PDF (line ends and blanks aside, as a line that wraps leaves them), under a
        // centre's long name. No text of a list, label or card is made smaller than a legible
        // size for it, and none prints over another.
        const QStringList numbers{QStringLiteral("12-345678-901-XYZ-AB"), QStringLiteral("WM-345678-901-MWX-WM"), QStringLiteral("00000000000000000000")};
        const QString location = QStringLiteral("SHELF-B12-BIN04");
        const QString area = QStringLiteral("PINWHEEL AND TURRET ASSEMBLIES");
        const QString description = QStringLiteral("SPOTTINGTONGASSEMBLYLEFTHANDWITHSPRINGSANDBUSHINGS");
        QString memo;
        while (memo.size() < 255)
            memo += QStringLiteral("CHECK THE SPRING TENSION BEFORE FITTING; KEEP DRY. ");
        memo = memo.left(255);
        QCOMPARE(numbers[1].size(), 20);
        QCOMPARE(location.size(), 15);
        QCOMPARE(area.size(), 30);
        QCOMPARE(description.size(), 50);
        ReportFixture f;
        // Stocked and short of its minimum, used; tagged and on back order with every vendor, and
        // the same part again, needed (neither tagged nor on back order).
        const QString fields = QStringLiteral("[Part Number 2], [Part Number 3], [Part Memo], [Price 1], [Price 2], [Price 3], [Package 1], [Default 1], "
                                              "[Quantity Ordered 1], [Quantity Ordered 2], [Quantity Ordered 3], [Back Ordered 1], [Back Ordered 2], "
                                              "[Back Ordered 3], [Date Ordered]");
        const QString values = QStringLiteral("'%1', '%2', '%3', 4.5, 4.25, 4, 1, 1, %4, %4, %4, %5, %5, %5, '2024-03-14'").arg(numbers[1], numbers[2], memo);
        f.makeInventory({information, QStringLiteral("UPDATE Information SET [Center Name] = 'SUNSET LANES AND FAMILY ENTERTAINMENT CENTER'"),
                         part(numbers[0], description, area, location, 1, 3, fields, values.arg(1).arg(2)),
                         part(numbers[0], description, area, location, 1, 3, fields, values.arg(0).arg(0)),
                         QStringLiteral("INSERT INTO PartsUsage VALUES (1, 2, 3, '2024-03-14')")});
        addPicture(f, 1);
        QMap<QString, QStringList> printed;
        printWhole(numbers + QStringList{location, area, description, memo}, legiblePoints, printed);
        if (QTest::currentTestFailed())
            return;
        int printingNumbers = 0;
        for (auto it = printed.cbegin(); it != printed.cend(); ++it) {
            if (it->contains(numbers[0]) || it->contains(numbers[1]) || it->contains(numbers[2]))
                ++printingNumbers;
            else
                QVERIFY2(it.key().startsWith(QLatin1String("Parts Loan")) || it.key().startsWith(QLatin1String("GraphUsage")), qPrintable(it.key()));
        }
        QCOMPARE(printingNumbers, 60);   // all but the loan agreement and the bar graphs
    }

    void aCardsMemoOfSeveralLinesPrintsLegiblyInItsRoom()
    {
        // A memo imported from an older database can hold line breaks. On the 5386 card it keeps
        // its lines where they fit and runs them on into one another where they do not, wrapping
        // into the room above the card's slots: every character at 6 points or more, none lost.
        QStringList longOne;
        for (int i = 1; i <= 17; ++i)
            longOne << QStringLiteral("LINE %1 OF MEMO").arg(i, 2, 10, QLatin1Char('0'));
        const QStringList memos{QStringLiteral("CHECK TENSION\nSEE MANUAL P.44\nKEEP DRY"),
                                QStringLiteral("CHECK TENSION EVERY MONTH\r\nREPLACE WITH KIT 12-345-6\r\nSEE MANUAL PAGE 44 FOR THE ADJUSTMENT\r\n"
                                               "ORDER TWO AT A TIME\r\nSPARE KEPT IN CABINET B"),
                                longOne.join(u'\n').left(255)};
        ReportFixture f;
        QStringList rows{information};
        for (int i = 0; i < memos.size(); ++i)
            rows << part(QStringLiteral("M-%1").arg(i), QStringLiteral("SPRING"), QStringLiteral("DECK"), QStringLiteral("A1"), 1, 1,
                         QStringLiteral("[Part Memo]"), QStringLiteral("'%1'").arg(memos[i]));
        f.makeInventory(rows);
        auto doc = Report::load(QStringLiteral("Barcoded5386.rpt")).run();
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("cards.pdf"));
        doc->exportPdf(pdf);
        auto strip = [](QString t) { return t.remove(QRegularExpression(QStringLiteral("\\s"))); };
        QProcess raw;
        raw.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
        QVERIFY(raw.waitForFinished(60000));
        const QString printed = strip(QString::fromUtf8(raw.readAllStandardOutput()));
        QMap<int, ReportItem> memoOf;
        for (const ReportItem& it : doc->page(0).items)
            if (it.kind == ReportItem::Kind::Text && it.element->value.text().contains(QLatin1String("Part Memo")))
                memoOf[it.row] = it;
        QCOMPARE(memoOf.size(), memos.size());
        for (int i = 0; i < memos.size(); ++i) {
            const ReportItem& it = memoOf[i];
            const double size = it.element->font.pointSizeF() * it.fontScale;
            QVERIFY2(size >= 6, qPrintable(QStringLiteral("memo %1 prints at %2 pt").arg(i).arg(size)));
            QVERIFY2(it.linesTop + it.lines.size() * it.lineHeight <= it.rect.bottom() + 0.01, qPrintable(QStringLiteral("memo %1 runs out of its room").arg(i)));
            QCOMPARE(strip(it.lines.join(QString())), strip(memos[i]));
            QVERIFY2(printed.contains(strip(memos[i])), qPrintable(QStringLiteral("memo %1 is not printed whole").arg(i)));
        }
        // Lines that fit keep their line ends.
        QCOMPARE(memoOf[0].lines, memos[0].split(u'\n'));
    }

    void wholeNumbersPrintWholeInEveryColumn()
    {
        // Counts, packages and quantities of six and seven digits, in every column that prints
        // them: a package of 1,000 is "1,000", never "1,00".
        ReportFixture f;
        f.makeInventory({information,
                         part(QStringLiteral("20-0001"), QStringLiteral("PIN"), QStringLiteral("DECK"), QStringLiteral("A1"), 123456, 234567,
                              QStringLiteral("[Part Number 2], [Part Number 3], [Price 1], [Price 2], [Price 3], [Package 1], [Package 2], [Package 3], "
                                             "[Minimum Buy 1], [Minimum Buy 2], [Minimum Buy 3], [Default 1], [Quantity Ordered 1], [Quantity Ordered 2], "
                                             "[Quantity Ordered 3], [Back Ordered 1], [Back Ordered 2], [Back Ordered 3], [Date Ordered]"),
                              QStringLiteral("'B-1', 'C-1', 1, 1, 1, 1000000, 1000000, 1000000, 345678, 345678, 345678, 1, 45678, 45678, 45678, "
                                             "56789, 56789, 56789, '2024-03-14'")),
                         part(QStringLiteral("20-0002"), QStringLiteral("NEEDED"), QStringLiteral("DECK"), QStringLiteral("A1"), 1, 234567,
                              QStringLiteral("[Price 1], [Package 1], [Minimum Buy 1], [Default 1]"), QStringLiteral("1, 1000000, 345678, 1")),
                         QStringLiteral("INSERT INTO PartsUsage VALUES (1, 45678, 3, '2024-03-14')")});
        addPicture(f, 1);
        const QStringList numbers{QStringLiteral("123,456"), QStringLiteral("234,567"), QStringLiteral("1,000,000"), QStringLiteral("345,678"),
                                  QStringLiteral("45,678"), QStringLiteral("56,789")};
        QMap<QString, QStringList> printed;
        printWhole(numbers, 0, printed);
        if (QTest::currentTestFailed())
            return;
        // Each in the columns made for it.
        for (const char* name : {"InventoryValue.rpt", "InventoryValueA4.rpt"})
            QVERIFY(printed[QLatin1String(name)].contains(QStringLiteral("1,000,000")) && printed[QLatin1String(name)].contains(QStringLiteral("123,456")));
        for (const char* name : {"order1.rpt", "order2A4.rpt", "Preferred.rpt", "Prices.rpt", "PartsNeeded.rpt"})
            QVERIFY2(printed[QLatin1String(name)].contains(QStringLiteral("1,000,000")), name);
        for (const char* name : {"BackOrders.rpt", "BackOrdersA4.rpt"})
            QVERIFY2(printed[QLatin1String(name)].contains(QStringLiteral("56,789")), name);
        for (const char* name : {"CurrentlyTagged.rpt", "order3.rpt", "Parts Usage.rpt"})
            QVERIFY2(printed[QLatin1String(name)].contains(QStringLiteral("45,678")), name);
        for (const char* name : {"Complete.rpt", "LocationBookA4.rpt", "PhysicalNumber.rpt", "Filter.rpt"})
            QVERIFY2(printed[QLatin1String(name)].contains(QStringLiteral("234,567")), name);
    }

    // --- Label and card sheets ----------------------------------------------------------------

    void labelsSitInTheirPlacesOnTheSheet_data()
    {
        // The sheets as sold: labels across and down, label size, distance from one label to
        // the next, and the first label's corner from the sheet's corner, in inches.
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QSizeF>("label");
        QTest::addColumn<QSizeF>("pitch");
        QTest::addColumn<QPointF>("first");
        const QSizeF l5160(2.625, 1), p5160(2.75, 1);
        const QSizeF l5161(4, 1), p5161(4.1875, 1);
        const QSizeF l5163(4, 2), p5163(4.1875, 2);
        QTest::newRow("Avery 5160") << "Avery5160.rpt" << 3 << 10 << l5160 << p5160 << QPointF(0.1875, 0.5);
        QTest::newRow("Avery 5160 barcoded") << "Barcoded5160.rpt" << 3 << 10 << l5160 << p5160 << QPointF(0.1875, 0.5);
        QTest::newRow("Avery 5160 filtered") << "FilteredAvery5160.Rpt" << 3 << 10 << l5160 << p5160 << QPointF(0.1875, 0.5);
        QTest::newRow("Avery 5160 filtered barcoded") << "FilteredBarcoded5160.Rpt" << 3 << 10 << l5160 << p5160 << QPointF(0.1875, 0.5);
        QTest::newRow("Avery 5161") << "Avery5161.rpt" << 2 << 10 << l5161 << p5161 << QPointF(0.15625, 0.5);
        QTest::newRow("Avery 5161 filtered") << "FilteredAvery5161.Rpt" << 2 << 10 << l5161 << p5161 << QPointF(0.15625, 0.5);
        QTest::newRow("Avery 5163 barcoded") << "Barcoded5163.rpt" << 2 << 5 << l5163 << p5163 << QPointF(0.15625, 0.5);
        QTest::newRow("Avery 5163 filtered barcoded") << "FilteredBarcoded5163.Rpt" << 2 << 5 << l5163 << p5163 << QPointF(0.15625, 0.5);
        QTest::newRow("Avery 5386 cards") << "Barcoded5386.rpt" << 1 << 3 << QSizeF(5, 3) << QSizeF(5, 3) << QPointF(1.75, 1);
        QTest::newRow("Avery 5385 cards") << "Barcoded5385.rpt" << 2 << 4 << QSizeF(4, 2.1667) << QSizeF(4, 2.1667) << QPointF(0.25, 1.1667);
    }

    void labelsSitInTheirPlacesOnTheSheet()
    {
        QFETCH(QString, name);
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(QSizeF, label);
        QFETCH(QSizeF, pitch);
        QFETCH(QPointF, first);
        const int perSheet = columns * rows;
        const int count = perSheet + 3;   // a full sheet and three labels on the next
        ReportFixture f;
        QStringList s{information};
        for (int i = 0; i < count; ++i)
            s << part(QStringLiteral("10-%1").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("PART %1 WITH A LONG DESCRIPTION TO WRAP").arg(i),
                      QStringLiteral("TURRET"), QStringLiteral("B%1").arg(i, 3, 10, QLatin1Char('0')), i % 9, 1 + i % 4,
                      QStringLiteral("[Part Number 2], [Book 1], [Page 1], [Part Memo]"),
                      QStringLiteral("'D-%1', 'MAIN CATALOG', '12', 'KEEP DRY'").arg(i));
        f.makeInventory(s);
        auto doc = Report::load(name).run();
        QCOMPARE(doc->pageSize().toSize(), QSize(612, 792));
        QCOMPARE(doc->pageCount(), 2);

        for (int p = 0; p < 2; ++p) {
            // The items of each label, in the order the labels fill the sheet.
            QMap<int, QRectF> bounds;
            for (const ReportItem& it : doc->page(p).items) {
                QVERIFY(it.band == BandKind::Detail);
                bounds[it.row] = bounds.contains(it.row) ? bounds[it.row].united(it.rect.normalized()) : it.rect.normalized();
            }
            QCOMPARE(bounds.size(), p == 0 ? perSheet : 3);
            int k = 0;
            for (auto it = bounds.cbegin(); it != bounds.cend(); ++it, ++k) {
                const QRectF cell(QPointF((first.x() + (k % columns) * pitch.width()) * 72, (first.y() + (k / columns) * pitch.height()) * 72),
                                  label * 72);
                QVERIFY2(cell.adjusted(-0.01, -0.01, 0.01, 0.01).contains(it.value()),
                         qPrintable(QStringLiteral("label %1 of page %2 (%3,%4 %5x%6) leaves its cell (%7,%8)")
                                        .arg(k + 1).arg(p + 1).arg(it.value().x()).arg(it.value().y())
                                        .arg(it.value().width()).arg(it.value().height()).arg(cell.x()).arg(cell.y())));
                // Nothing closer than 4 points to the edge, where a sheet fed a little askew
                // cuts it off; and the label's content starts at its top-left corner.
                QVERIFY(cell.adjusted(4, 4, -4, -4).contains(it.value()));
                QVERIFY(it.value().left() - cell.left() < 18 && it.value().top() - cell.top() < 18);
            }
        }
    }

    void barcodesCarryThePartNumber_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("numberUnderBars");
        for (const char* n : {"Barcoded5160.rpt", "Barcoded5163.rpt", "Barcoded5386.rpt", "Barcoded5385.rpt",
                              "FilteredBarcoded5160.Rpt", "FilteredBarcoded5163.Rpt"})
            QTest::newRow(n) << QString::fromLatin1(n) << true;
        // The list prints the number on the line above the bars.
        QTest::newRow("BarcodedPartsNeeded.rpt") << "BarcodedPartsNeeded.rpt" << false;
        QTest::newRow("BarcodedPartsNeededA4.rpt") << "BarcodedPartsNeededA4.rpt" << false;
    }

    void barcodesCarryThePartNumber()
    {
        QFETCH(QString, name);
        QFETCH(bool, numberUnderBars);
        ReportFixture f;
        // Needed parts (stock below minimum), vendor 1's number typed in small letters on one,
        // another vendor's number only on the last.
        f.makeInventory({information,
                         part(QStringLiteral("00-0012"), QStringLiteral("HEX BOLT"), QStringLiteral("HARDWARE"), QStringLiteral("A1"), 1, 5),
                         part(QStringLiteral("rk-310"), QStringLiteral("RAKE SPRING"), QStringLiteral("RAKE"), QStringLiteral("E1"), 0, 2),
                         part(QString(), QStringLiteral("DECK TONG"), QStringLiteral("DECK"), QStringLiteral("D4"), 0, 1,
                              QStringLiteral("[Part Number 2]"), QStringLiteral("'017210'"))});
        auto doc = Report::load(name).run();
        QCOMPARE(doc->rowCount(), 3);
        QStringList encoded;
        for (int p = 0; p < doc->pageCount(); ++p) {
            const ReportPage page = doc->page(p);
            for (const ReportItem& bar : page.itemsOf(ReportItem::Kind::Barcode)) {
                encoded << bar.text;
                QCOMPARE(bar.element->showText, numberUnderBars);
                // Wide enough to scan: at least 1.5 inches, and tall enough (a quarter inch of bars).
                QVERIFY(bar.rect.width() >= 108);
                QVERIFY(bar.rect.height() - (numberUnderBars ? 12 : 0) >= 18);
            }
        }
        encoded.sort();
        QCOMPARE(encoded, QStringList({QStringLiteral("00-0012"), QStringLiteral("RK-310")}));

        // The number is printed in words too, under the bars or on the line.
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("labels.pdf"));
        doc->exportPdf(pdf);
        const QString text = pdfPages(pdf).join(u'\n');
        QVERIFY2(text.contains(QStringLiteral("00-0012")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("RK-310"), Qt::CaseInsensitive));
    }

    void mainMenuSheetsPrintTheStockedPartsByLocation_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("byLocation");
        for (const char* n : {"Avery5161.rpt", "Barcoded5163.rpt", "Avery5160.rpt", "Barcoded5160.rpt"})
            QTest::newRow(n) << QString::fromLatin1(n) << true;
        // A card file and the location book go by part number.
        for (const char* n : {"Barcoded5386.rpt", "Barcoded5385.rpt", "PhysicalNumber.rpt", "PhysicalNumberA4.rpt"})
            QTest::newRow(n) << QString::fromLatin1(n) << false;
    }

    void mainMenuSheetsPrintTheStockedPartsByLocation()
    {
        QFETCH(QString, name);
        QFETCH(bool, byLocation);
        ReportFixture f;
        f.makeInventory({information,
                         part(QStringLiteral("30-0001"), QStringLiteral("STOCKED IN C"), QStringLiteral("PIT"), QStringLiteral("C1"), 2, 1),
                         part(QStringLiteral("30-0002"), QStringLiteral("NOT KEPT"), QStringLiteral("PIT"), QStringLiteral("A1"), 5, 0),
                         part(QStringLiteral("30-0003"), QStringLiteral("STOCKED IN A"), QStringLiteral("PIT"), QStringLiteral("A2"), 0, 3),
                         part(QStringLiteral("30-0004"), QStringLiteral("STOCKED IN B"), QStringLiteral("PIT"), QStringLiteral("B7"), 1, 2)});
        auto doc = Report::load(name).run();
        const QStringList descriptions{QStringLiteral("STOCKED IN A"), QStringLiteral("STOCKED IN B"), QStringLiteral("STOCKED IN C"),
                                       QStringLiteral("NOT KEPT")};
        const QStringList printed = printedInOrder(*doc, descriptions);
        if (byLocation)
            QCOMPARE(printed, QStringList({QStringLiteral("STOCKED IN A"), QStringLiteral("STOCKED IN B"), QStringLiteral("STOCKED IN C")}));
        else
            QCOMPARE(printed, QStringList({QStringLiteral("STOCKED IN C"), QStringLiteral("STOCKED IN A"), QStringLiteral("STOCKED IN B")}));
    }

    // --- Filtered reports ---------------------------------------------------------------------

    void filteredReportsPrintWhatTheFilterSelectsInItsOrder_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* n : {"Filter.rpt", "FilterA4.rpt", "FilteredBarcoded5160.Rpt", "FilteredAvery5160.Rpt",
                              "FilteredBarcoded5163.Rpt", "FilteredAvery5161.Rpt"})
            QTest::newRow(n) << QString::fromLatin1(n);
    }

    void filteredReportsPrintWhatTheFilterSelectsInItsOrder()
    {
        QFETCH(QString, name);
        ReportFixture f;
        // A filter prints parts whether or not the centre stocks them (minimum stock 0 here).
        f.makeInventory({information,
                         part(QStringLiteral("40-0001"), QStringLiteral("BELT ALPHA"), QStringLiteral("DECK"), QStringLiteral("A1-1"), 0, 0),
                         part(QStringLiteral("40-0002"), QStringLiteral("BELT BRAVO"), QStringLiteral("PIT"), QStringLiteral("A10"), 3, 2),
                         part(QStringLiteral("40-0003"), QStringLiteral("BELT CHARLIE"), QStringLiteral("DECK"), QStringLiteral("B2"), 1, 0),
                         part(QStringLiteral("40-0004"), QStringLiteral("BELT DELTA"), QStringLiteral("DECK"), QStringLiteral("XA1"), 4, 0),
                         part(QStringLiteral("40-0005"), QStringLiteral("BELT ECHO"), QStringLiteral("PIT"), QStringLiteral("C3"), 2, 1)});
        const QStringList all{QStringLiteral("BELT ALPHA"), QStringLiteral("BELT BRAVO"), QStringLiteral("BELT CHARLIE"),
                              QStringLiteral("BELT DELTA"), QStringLiteral("BELT ECHO")};

        // What the filter window builds: Location contains A1, by area, then description descending.
        Report report = Report::load(name);
        report.setSelectionFormula(QStringLiteral("{Parts.Location} like \"A1\""));
        report.setSortFields({QStringLiteral("+{Parts.Area of Machine}"), QStringLiteral("-{Parts.Description}")});
        auto doc = report.run();
        QCOMPARE(doc->rowCount(), 3);
        QCOMPARE(printedInOrder(*doc, all),
                 QStringList({QStringLiteral("BELT DELTA"), QStringLiteral("BELT ALPHA"), QStringLiteral("BELT BRAVO")}));

        // Without sort fields, the order of the centre's part numbers; without a formula, every part.
        auto plain = Report::load(name).run();
        QCOMPARE(printedInOrder(*plain, all), all);
    }

    // --- Totals and computed columns ---------------------------------------------------------

    void stockIsValuedPerPieceWithTotalsByAreaAndInAll_data()
    {
        QTest::addColumn<QString>("paper");
        QTest::newRow("letter") << "";
        QTest::newRow("A4") << "A4";
    }

    void stockIsValuedPerPieceWithTotalsByAreaAndInAll()
    {
        // In Stock counts pieces and a price is that of a package: the stock is worth
        // in stock x price / package, each value to the cent as printed.
        QFETCH(QString, paper);
        ReportFixture f;
        const QString prices = QStringLiteral("[Price 1], [Price 2], [Price 3], [Default 1], [Default 2], [Default 3]");
        const QString packaged = QStringLiteral("[Price 1], [Package 1], [Default 1]");
        f.makeInventory({information,
                         // DECK: 3 x $10.00 (vendor 1 marked) = $30.00
                         part(QStringLiteral("50-0001"), QStringLiteral("TONG"), QStringLiteral("DECK"), QStringLiteral("D1"), 3, 1, prices,
                              QStringLiteral("10, 0, 0, 1, 0, 0")),
                         // DECK: 2 x $4.25 (vendor 2 marked, not vendor 1's $5.00) = $8.50
                         part(QStringLiteral("50-0002"), QStringLiteral("SPRING"), QStringLiteral("DECK"), QStringLiteral("D2"), 2, 1, prices,
                              QStringLiteral("5, 4.25, 0, 0, 1, 0")),
                         // DECK: vendor 3 marked without a price: vendor 1's $2.00 = $2.00
                         part(QStringLiteral("50-0003"), QStringLiteral("ROLLER"), QStringLiteral("DECK"), QStringLiteral("D3"), 1, 1, prices,
                              QStringLiteral("2, 0, 0, 0, 0, 1")),
                         // PIT: 8 x $0.3950 = $3.16, kept exactly
                         part(QStringLiteral("50-0004"), QStringLiteral("WASHER"), QStringLiteral("PIT"), QStringLiteral("P1"), 8, 0, prices,
                              QStringLiteral("0.395, 0, 0, 1, 0, 0")),
                         // PIT: none in stock: not listed
                         part(QStringLiteral("50-0005"), QStringLiteral("CUSHION"), QStringLiteral("PIT"), QStringLiteral("P2"), 0, 2, prices,
                              QStringLiteral("412, 0, 0, 1, 0, 0")),
                         // PIT: 4 in stock, no price anywhere: $0.00, counted as without a price
                         part(QStringLiteral("50-0006"), QStringLiteral("BOLT KIT"), QStringLiteral("PIT"), QStringLiteral("P3"), 4, 0, prices,
                              QStringLiteral("0, 0, 0, 0, 0, 0")),
                         // PIT: vendor 2 only, unmarked: 3 x $1.10 = $3.30
                         part(QStringLiteral("50-0007"), QStringLiteral("PIN"), QStringLiteral("PIT"), QStringLiteral("P4"), 3, 0, prices,
                              QStringLiteral("0, 1.1, 0, 0, 0, 0")),
                         // PIT: 250 cotter pins in bags of 100 at $6.95 a bag: $17.375, printed $17.38
                         part(QStringLiteral("50-0008"), QStringLiteral("COTTER PIN"), QStringLiteral("PIT"), QStringLiteral("P5"), 250, 0, packaged,
                              QStringLiteral("6.95, 100, 1")),
                         // DECK: 20 pins in sets of 10 at $189.50 a set = $379.00
                         part(QStringLiteral("50-0009"), QStringLiteral("PIN SET"), QStringLiteral("DECK"), QStringLiteral("D4"), 20, 0, packaged,
                              QStringLiteral("189.50, 10, 1"))});
        auto doc = Report::load(QStringLiteral("InventoryValue%1.rpt").arg(paper)).run();
        QCOMPARE(doc->rowCount(), 8);

        const QMap<int, QStringList> rows = detailTexts(*doc);
        auto rowOf = [&](const QString& number) {
            for (const QStringList& r : rows)
                if (r.contains(number))
                    return r;
            return QStringList();
        };
        QVERIFY(rowOf(QStringLiteral("50-0002")).contains(QStringLiteral("DISTRIBUTOR")));
        QVERIFY(rowOf(QStringLiteral("50-0002")).contains(QStringLiteral("$8.50")));
        QVERIFY(rowOf(QStringLiteral("50-0004")).contains(QStringLiteral("$0.395")));   // the unit price to the tenth of a cent
        QVERIFY(rowOf(QStringLiteral("50-0004")).contains(QStringLiteral("$3.16")));
        QVERIFY(rowOf(QStringLiteral("50-0006")).contains(QStringLiteral("no price")));
        QVERIFY(rowOf(QStringLiteral("50-0007")).contains(QStringLiteral("$3.30")));
        QVERIFY(rowOf(QStringLiteral("50-0005")).isEmpty());
        // Package price, pieces in a package, price per piece, value.
        QVERIFY2(rowOf(QStringLiteral("50-0008")).join(u'|').endsWith(QLatin1String("$6.95|100|$0.0695|$17.38")), qPrintable(rowOf(QStringLiteral("50-0008")).join(u'|')));
        QVERIFY(rowOf(QStringLiteral("50-0009")).join(u'|').endsWith(QLatin1String("$189.50|10|$18.95|$379.00")));

        const QStringList areas = textsOf(*doc, BandKind::GroupFooter, 1);
        QCOMPARE(areas, QStringList({QStringLiteral("Total for DECK (4 parts)"), QStringLiteral("26"), QStringLiteral("$419.50"),
                                     QStringLiteral("Total for PIT (4 parts)"), QStringLiteral("265"), QStringLiteral("$23.84")}));
        const QStringList totals = textsOf(*doc, BandKind::ReportFooter);
        const int at = int(totals.indexOf(QStringLiteral("Total inventory value")));
        QVERIFY(at >= 0);
        QCOMPARE(totals[at + 1], QStringLiteral("$443.34"));
        QCOMPARE(totals[totals.indexOf(QStringLiteral("Parts in stock")) + 1], QStringLiteral("8"));
        QCOMPARE(totals[totals.indexOf(QStringLiteral("Units in stock")) + 1], QStringLiteral("291"));
        QCOMPARE(totals[totals.indexOf(QStringLiteral("Parts in stock without a price")) + 1], QStringLiteral("1"));

        // The complete database and the filtered list value the stock at vendor 1's price per
        // piece: $30.00 + $10.00 + $2.00 + $3.16 + $17.38 + $379.00.
        for (const QString& list : {QStringLiteral("Complete"), QStringLiteral("Filter")}) {
            auto all = Report::load(list + paper + QStringLiteral(".rpt")).run();
            QVERIFY2(textsOf(*all, BandKind::ReportFooter).contains(QStringLiteral("$441.54")),
                     qPrintable(list + u':' + textsOf(*all, BandKind::ReportFooter).join(u'|')));
        }
    }

    void partsNeededSuggestsWhatAutomaticTaggingOrders()
    {
        ReportFixture f;
        const QString vendors = QStringLiteral(
            "[Part Number 2], [Part Number 3], [Default 1], [Default 2], [Default 3], [Package 1], [Package 2], [Package 3], "
            "[Minimum Buy 1], [Minimum Buy 2], [Minimum Buy 3], [Price 1], [Price 2], [Price 3], [Quantity Ordered 2], [Back Ordered 3]");
        f.makeInventory({information,
                         // Short 6: vendor 1 in packages of 2 = 3 packages at $5.00.
                         part(QStringLiteral("60-0001"), QStringLiteral("NEED ONE"), QStringLiteral("DECK"), QStringLiteral("A"), 4, 10, vendors,
                              QStringLiteral("'B-1', 'C-1', 1, 0, 0, 2, 1, 1, 1, 1, 1, 5, 4, 3, 0, 0")),
                         // Short 6: vendor 2 in packages of 4 = 1.5, rounded to 2 packages at $7.50.
                         part(QStringLiteral("60-0002"), QStringLiteral("NEED TWO"), QStringLiteral("DECK"), QStringLiteral("A"), 4, 10, vendors,
                              QStringLiteral("'B-2', 'C-2', 0, 1, 0, 1, 4, 1, 1, 1, 1, 5, 7.5, 3, 0, 0")),
                         // Short 6: vendor 3's minimum purchase of 12 wins.
                         part(QStringLiteral("60-0003"), QStringLiteral("NEED THREE"), QStringLiteral("DECK"), QStringLiteral("A"), 4, 10, vendors,
                              QStringLiteral("'B-3', 'C-3', 0, 0, 1, 1, 1, 1, 1, 1, 12, 5, 4, 0.25, 0, 0")),
                         // No vendor marked: the first with a part number (vendor 1), empty package: its minimum buy.
                         part(QStringLiteral("60-0004"), QStringLiteral("NEED FOUR"), QStringLiteral("DECK"), QStringLiteral("A"), 0, 3, vendors,
                              QStringLiteral("NULL, NULL, 0, 0, 0, 0, 0, 0, 2, 0, 0, 1, 0, 0, 0, 0")),
                         // Tagged, on back order, or not below the minimum: not needed.
                         part(QStringLiteral("60-0005"), QStringLiteral("TAGGED"), QStringLiteral("DECK"), QStringLiteral("A"), 0, 3, vendors,
                              QStringLiteral("'B-5', NULL, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 0")),
                         part(QStringLiteral("60-0006"), QStringLiteral("ON ORDER"), QStringLiteral("DECK"), QStringLiteral("A"), 0, 3, vendors,
                              QStringLiteral("NULL, 'C-6', 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1")),
                         part(QStringLiteral("60-0007"), QStringLiteral("ENOUGH"), QStringLiteral("DECK"), QStringLiteral("A"), 3, 3),
                         // An older file's empty count, tags and back orders are 0: short 2, needed.
                         part(QStringLiteral("60-0008"), QStringLiteral("OLDER FILE"), QStringLiteral("DECK"), QStringLiteral("A"), 0, 2, vendors,
                              QStringLiteral("NULL, NULL, 1, 0, 0, 1, 0, 0, 1, 0, 0, 5, 0, 0, NULL, NULL")),
                         QStringLiteral("UPDATE Parts SET [In Stock] = NULL, [Quantity Ordered 1] = NULL, [Back Ordered 1] = NULL "
                                        "WHERE [Part Number 1] = '60-0008'")});
        for (const QString& name : {QStringLiteral("PartsNeeded.rpt"), QStringLiteral("BarcodedPartsNeeded.rpt")}) {
            auto doc = Report::load(name).run();
            QCOMPARE(doc->rowCount(), 5);
            const QMap<int, QStringList> rows = detailTexts(*doc);
            QStringList lines;
            for (const QStringList& r : rows)
                lines << QStringList(r).filter(QRegularExpression(QStringLiteral("^(?!Location )"))).join(u'|');
            // Number, vendor's number, description, in stock, minimum, short, package, order, price, cost.
            QCOMPARE(lines, QStringList({QStringLiteral("60-0001|60-0001|NEED ONE|4|10|6|2|3|$5.00|$15.00"),
                                         QStringLiteral("60-0008|60-0008|OLDER FILE|2|2|1|2|$5.00|$10.00"),
                                         QStringLiteral("60-0002|B-2|NEED TWO|4|10|6|4|2|$7.50|$15.00"),
                                         QStringLiteral("60-0003|C-3|NEED THREE|4|10|6|1|12|$0.25|$3.00"),
                                         QStringLiteral("60-0004|60-0004 (AMF)|NEED FOUR|0|3|3|0|2|$1.00|$2.00")}));
            // One section per vendor, in vendor order, the unmarked parts last, each with its cost.
            const QStringList sections = textsOf(*doc, BandKind::GroupHeader, 3);
            QCOMPARE(sections.size(), 4);
            QVERIFY(sections[0].startsWith(QLatin1String("Order from AMF")));
            QVERIFY(sections[1].startsWith(QLatin1String("Order from DISTRIBUTOR")));
            QVERIFY(sections[2].startsWith(QLatin1String("Order from OTHER")));
            QVERIFY(sections[3].startsWith(QLatin1String("No auto-order vendor marked")));
            const QStringList footers = textsOf(*doc, BandKind::GroupFooter, 3);
            QCOMPARE(footers.filter(QStringLiteral("$")), QStringList({QStringLiteral("$25.00"), QStringLiteral("$15.00"),
                                                                       QStringLiteral("$3.00"), QStringLiteral("$2.00")}));
            QVERIFY(textsOf(*doc, BandKind::ReportFooter).contains(QStringLiteral("$45.00")));
        }
    }

    void priceComparisonNamesTheLowestPricePerPiece()
    {
        ReportFixture f;
        const QString vendors = QStringLiteral("[Part Number 2], [Part Number 3], [Price 1], [Price 2], [Price 3], [Package 1], [Package 2], [Package 3]");
        f.makeInventory({information,
                         // Vendor 2 is dearer per package but sells 10 at a time: cheapest per piece.
                         part(QStringLiteral("70-0001"), QStringLiteral("PER PIECE"), QStringLiteral("DECK"), QStringLiteral("A"), 0, 1, vendors,
                              QStringLiteral("'B-1', 'C-1', 1.00, 8.00, 0.95, 1, 10, 1")),
                         // Vendor 3 has a number but no price: not compared; vendor 1 is lower.
                         part(QStringLiteral("70-0002"), QStringLiteral("NO PRICE"), QStringLiteral("DECK"), QStringLiteral("A"), 0, 0, vendors,
                              QStringLiteral("'B-2', 'C-2', 2.00, 2.10, 0, 1, 1, 1")),
                         // One vendor only: nothing to compare.
                         part(QStringLiteral("70-0003"), QStringLiteral("ONLY ONE"), QStringLiteral("DECK"), QStringLiteral("A"), 0, 2, vendors,
                              QStringLiteral("NULL, NULL, 3.00, 0, 0, 1, 0, 0"))});
        auto all = Report::load(QStringLiteral("Prices.rpt")).run();
        const QMap<int, QStringList> rows = detailTexts(*all);
        QCOMPARE(rows.size(), 3);
        QVERIFY(rows[0].contains(QStringLiteral("DISTRIBUTOR")) && rows[0].contains(QStringLiteral("$0.80")));
        QVERIFY(rows[1].contains(QStringLiteral("AMF")) && rows[1].contains(QStringLiteral("$2.00")));
        QVERIFY(!rows[2].contains(QStringLiteral("AMF")));
        // The lowest price is shaded in its vendor's column, and only there.
        int shaded = 0;
        for (const ReportItem& it : all->page(0).itemsOf(ReportItem::Kind::Box))
            if (it.band == BandKind::Detail && it.element && it.element->fill == QColor(0xcf, 0xe8, 0xcf))
                ++shaded;
        QCOMPARE(shaded, 2);

        // Your parts only: the stocked ones.
        auto yours = Report::load(QStringLiteral("Your Prices.rpt")).run();
        QCOMPARE(yours->rowCount(), 2);
        QVERIFY(yours->page(0).hasText(QStringLiteral("Price Comparison - Your Parts Only")));
        QVERIFY(all->page(0).hasText(QStringLiteral("Price Comparison - All Parts")));
    }

    void databaseErrorsNameWhatIsWrongPerVendor()
    {
        ReportFixture f;
        const QString v2 = QStringLiteral("[Part Number 2], [Price 2], [Package 2], [Minimum Buy 2], [Default 2], [Quantity Ordered 2]");
        f.makeInventory({information,
                         part(QStringLiteral("80-0001"), QStringLiteral("COMPLETE"), QStringLiteral("DECK"), QStringLiteral("A"), 0, 0, v2,
                              QStringLiteral("'B-1', 2.5, 1, 1, 0, 0")),
                         part(QStringLiteral("80-0002"), QStringLiteral("NO PRICE OR PACKAGE"), QStringLiteral("DECK"), QStringLiteral("A"), 0, 0, v2,
                              QStringLiteral("'B-2', 0, 0, 1, 0, 0")),
                         part(QStringLiteral("80-0003"), QStringLiteral("PRICE WITHOUT NUMBER"), QStringLiteral("DECK"), QStringLiteral("A"), 0, 0, v2,
                              QStringLiteral("'  ', 3.1, 1, 1, 1, 2")),
                         part(QStringLiteral("80-0004"), QStringLiteral("NOTHING FROM VENDOR 2"), QStringLiteral("DECK"), QStringLiteral("A"), 0, 0, v2,
                              QStringLiteral("NULL, 0, 0, 0, 0, 0"))});
        auto doc = Report::load(QStringLiteral("Errors2.rpt")).run();
        const QList<QStringList> rows = detailTexts(*doc).values();
        QCOMPARE(rows.size(), 2);
        const QStringList& blank = rows[0].contains(QStringLiteral("(none)")) ? rows[0] : rows[1];
        const QStringList& numbered = rows[0].contains(QStringLiteral("B-2")) ? rows[0] : rows[1];
        QVERIFY(numbered.contains(QStringLiteral("NO PRICE OR PACKAGE")));
        QVERIFY(numbered.contains(QStringLiteral("no price; no package quantity")));
        QVERIFY(blank.contains(QStringLiteral("PRICE WITHOUT NUMBER")));
        QVERIFY(blank.contains(QStringLiteral("a price but no part number; auto order marked but no part number; "
                                              "tagged or on back order but no part number")));
        QVERIFY(textsOf(*doc, BandKind::ReportFooter).contains(QStringLiteral("2 parts need correcting.")));
        // Nothing of vendor 3's is entered: nothing is wrong with it.
        auto clean = Report::load(QStringLiteral("Errors3.rpt")).run();
        QCOMPARE(clean->rowCount(), 0);
        QVERIFY(textsOf(*clean, BandKind::ReportFooter).contains(QStringLiteral("No errors were found in vendor # 3's part data.")));
    }

    void preferredListsEachPartUnderItsVendor()
    {
        ReportFixture f;
        const QString v = QStringLiteral("[Part Number 2], [Default 1], [Default 2], [Book 2], [Page 2], [Price 2]");
        f.makeInventory({information,
                         part(QStringLiteral("90-0001"), QStringLiteral("FROM AMF"), QStringLiteral("DECK"), QStringLiteral("A"), 0, 1, v,
                              QStringLiteral("NULL, 1, 0, NULL, NULL, 0")),
                         part(QStringLiteral("90-0002"), QStringLiteral("FROM DISTRIBUTOR"), QStringLiteral("DECK"), QStringLiteral("A"), 0, 0, v,
                              QStringLiteral("'017', 0, 1, 'DIST CATALOG', '31', 19.9")),
                         part(QStringLiteral("90-0003"), QStringLiteral("UNMARKED"), QStringLiteral("DECK"), QStringLiteral("A"), 0, 2, v,
                              QStringLiteral("NULL, 0, 0, NULL, NULL, 0"))});
        auto all = Report::load(QStringLiteral("Preferred.rpt")).run();
        QCOMPARE(textsOf(*all, BandKind::GroupHeader, 3),
                 QStringList({QStringLiteral("Ordered from AMF"), QStringLiteral("Ordered from DISTRIBUTOR"),
                              QStringLiteral("No auto-order vendor marked (shown with the first vendor that has a part number)")}));
        const QMap<int, QStringList> rows = detailTexts(*all);
        QVERIFY(rows[1].contains(QStringLiteral("017")) && rows[1].contains(QStringLiteral("DIST CATALOG")) && rows[1].contains(QStringLiteral("$19.90")));
        QVERIFY(rows[2].contains(QStringLiteral("AMF")));   // the vendor shown for an unmarked part
        auto yours = Report::load(QStringLiteral("PreferredYourA4.rpt")).run();
        QCOMPARE(yours->rowCount(), 2);
        QVERIFY(yours->page(0).hasText(QStringLiteral("Preferred Vendor List - Your Parts Only")));
    }
};

QTEST_MAIN(ReportFiles)
#include "tst_report_files.moc"
