// The price update from a pricing disk: the walk of the two sorted lists, the values a matched
// part takes, the update on a database, and the window with its file choice and error messages.

#include "UtilitiesFixture.h"

#include "data/DataControl.h"
#include "data/DbError.h"
#include "platform/MainWindowLock.h"
#include "support/RecordingHelp.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPrompts.h"
#include "utilities/ChangePrice.h"
#include "utilities/PriceUpdate.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

namespace {

QString part(const QString& n1, const QString& n2, double price1 = 9.99)
{
    return QStringLiteral("INSERT INTO Parts([Part Number 1],[Part Number 2],[Price 1],[Book 1],[Page 1],[Minimum Buy 1],[Package 1],"
                          "[Price 2],[Book 2],[Page 2],[Minimum Buy 2],[Package 2]) VALUES (%1,%2,%3,'OLD','P0',5,5,8.88,'OLD2','Q0',4,4)")
        .arg(n1.isNull() ? QStringLiteral("NULL") : QLatin1Char('\'') + n1 + QLatin1Char('\''),
             n2.isNull() ? QStringLiteral("NULL") : QLatin1Char('\'') + n2 + QLatin1Char('\''))
        .arg(price1);
}

PricingRowData vendor1(const QString& number, const QVariant& price, const QVariant& minimum = QStringLiteral("2"),
                       const QVariant& package = QStringLiteral("3"))
{
    PricingRowData r;
    r.number1 = number;
    r.price1 = price;
    r.book1 = QStringLiteral("BOOK ") + number;
    r.page1 = QStringLiteral("7");
    r.minimum1 = minimum;
    r.package1 = package;
    return r;
}

QStringList entries(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Opens the window on a pricing file: the opening asks for it.
struct OpenWindow {
    ScriptedPrompts prompts;
    ScriptedDialogs dialogs;
    QPointer<ChangePrice> w;

    explicit OpenWindow(const QString& pricingFile)
    {
        prompts.expectMessage();
        dialogs.answerOpenFile(pricingFile);
        w = new ChangePrice;
        w->show();
        QTRY_COMPARE(dialogs.openFileCalls().size(), 1);
    }
    ~OpenWindow()
    {
        delete w.data();
    }
};

}  // namespace

class TestPriceUpdate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void walk_data();
    void walk();
    void matchedValuesTakeDefaults_data();
    void matchedValuesTakeDefaults();
    void updateWritesMatchesAndListsTheRest();
    void pricingRowsInAnyOrderGiveTheSameResult();
    void valueThatDoesNotFitLeavesThePartAndListsIt();
    void negativePriceOrPackageLeavesThePartAndListsIt();
    void vendorTwoUsesItsOwnFields();

    void openingAsksForThePricingFile();
    void cancelledChoiceKeepsThePreviousFile();
    void fileErrorsAreTold();
    void windowRunsTheUpdateAndListsWhatWasNotUpdated();
    void orderMenuAndExit();
};

void TestPriceUpdate::walk_data()
{
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QStringList>("pricing");
    QTest::addColumn<QString>("events");

    QTest::newRow("interleaved, tail listed") << QStringList{"A", "B", "C", "E", "F"} << QStringList{"A", "C", "D"}
                                              << "M0:0 S L1 M2:1 S S L3 L4";
    QTest::newRow("parts without number passed over") << QStringList{"", "", "A"} << QStringList{"A"} << "S S M2:0";
    QTest::newRow("one row updates every part of its number") << QStringList{"A", "A", "B"} << QStringList{"A", "B"} << "M0:0 M1:0 S M2:1";
    QTest::newRow("row without number passed over") << QStringList{"B"} << QStringList{"", "B"} << "S M0:1";
    QTest::newRow("empty numbers never match") << QStringList{""} << QStringList{""} << "S";
    QTest::newRow("case and blanks count") << QStringList{"A-1", "a-1"} << QStringList{"A-1 ", "a-1"} << "L0 S M1:1";
    QTest::newRow("no pricing rows") << QStringList{"", "A"} << QStringList{} << "L1";
    QTest::newRow("pricing beyond the parts") << QStringList{"A"} << QStringList{"A", "B", "C"} << "M0:0";
}

void TestPriceUpdate::walk()
{
    QFETCH(QStringList, parts);
    QFETCH(QStringList, pricing);
    QFETCH(QString, events);
    QList<PartKey> keys;
    for (int i = 0; i < parts.size(); ++i)
        keys.append({i + 1, parts.at(i)});
    QStringList got;
    PriceWalk walk;
    walk.match = [&](int p, int r) { got << QStringLiteral("M%1:%2").arg(p).arg(r); };
    walk.notUpdated = [&](int p) { got << QStringLiteral("L%1").arg(p); };
    walk.step = [&] { got << QStringLiteral("S"); };
    walkPriceUpdate(keys, pricing, walk);
    QCOMPARE(got.join(QLatin1Char(' ')), events);
}

void TestPriceUpdate::matchedValuesTakeDefaults_data()
{
    QTest::addColumn<QVariant>("price");
    QTest::addColumn<QVariant>("minimum");
    QTest::addColumn<QVariant>("package");
    QTest::addColumn<QString>("expected");   // price|minimum|package

    QTest::newRow("given") << QVariant(12.5) << QVariant(QStringLiteral("2")) << QVariant(QStringLiteral("6")) << "12.5|2|6";
    QTest::newRow("empty") << QVariant() << QVariant(QString()) << QVariant() << "0.01|1|1";
    QTest::newRow("zero") << QVariant(0.0) << QVariant(QStringLiteral("0")) << QVariant(QStringLiteral("0.0")) << "0.01|1|1";
    // One reader for the test for zero and the value stored.
    QTest::newRow("written as money") << QVariant(QStringLiteral("$5.00")) << QVariant(QStringLiteral(" 1,200 ")) << QVariant(QStringLiteral("$0.00"))
                                      << "5|1200|1";
    QTest::newRow("rounds to zero") << QVariant(QStringLiteral("0.00004")) << QVariant(0.0) << QVariant(QStringLiteral("2")) << "0.01|1|2";
    QTest::newRow("whole in a number field") << QVariant(7.0) << QVariant(4.0) << QVariant(12.0) << "7|4|12";
    // What the part's screens refuse when it is typed.
    QTest::newRow("price below 0") << QVariant(QStringLiteral("-5.00")) << QVariant(QStringLiteral("2")) << QVariant(QStringLiteral("2")) << "";
    QTest::newRow("price below 0 as money") << QVariant(QStringLiteral("($5.00)")) << QVariant(2) << QVariant(2) << "";
    QTest::newRow("price below 0 in a number field") << QVariant(-0.5) << QVariant(2) << QVariant(2) << "";
    QTest::newRow("package below 0") << QVariant(1.0) << QVariant(QStringLiteral("2")) << QVariant(QStringLiteral("-3")) << "";
    QTest::newRow("minimum buy below 0") << QVariant(1.0) << QVariant(-1) << QVariant(QStringLiteral("2")) << "";
    QTest::newRow("package with a fraction") << QVariant(1.0) << QVariant(QStringLiteral("2")) << QVariant(2.5) << "";
    QTest::newRow("minimum buy with a fraction") << QVariant(1.0) << QVariant(QStringLiteral("0.4")) << QVariant(QStringLiteral("2")) << "";
    QTest::newRow("not a number") << QVariant(QStringLiteral("N/A")) << QVariant(QStringLiteral("2")) << QVariant(QStringLiteral("2")) << "";
    QTest::newRow("number and text") << QVariant(QStringLiteral("12X")) << QVariant(QStringLiteral("2")) << QVariant(QStringLiteral("2")) << "";
    QTest::newRow("minimum buy not a number") << QVariant(1.0) << QVariant(QStringLiteral("x")) << QVariant(QStringLiteral("2")) << "";
    QTest::newRow("money out of range") << QVariant(1e20) << QVariant(QStringLiteral("2")) << QVariant(QStringLiteral("2")) << "";
    QTest::newRow("money text out of range") << QVariant(QStringLiteral("99999999999999999999")) << QVariant(QStringLiteral("2"))
                                             << QVariant(QStringLiteral("2")) << "";
    QTest::newRow("package out of range") << QVariant(1.0) << QVariant(QStringLiteral("2")) << QVariant(QStringLiteral("3000000000")) << "";
}

void TestPriceUpdate::matchedValuesTakeDefaults()
{
    QFETCH(QVariant, price);
    QFETCH(QVariant, minimum);
    QFETCH(QVariant, package);
    QFETCH(QString, expected);
    PricingRow row;
    row.number = QStringLiteral("A");
    row.price = price;
    row.minimumBuy = minimum;
    row.package = package;
    row.book = QStringLiteral("B");
    const std::optional<PriceValues> v = priceValuesFor(row);
    QCOMPARE(v.has_value(), !expected.isEmpty());
    if (!v)
        return;
    QCOMPARE(QStringList({v->price.toString(), v->minimumBuy.toString(), v->package.toString()}).join(QLatin1Char('|')), expected);
    QCOMPARE(v->book.toString(), QStringLiteral("B"));
}

void TestPriceUpdate::updateWritesMatchesAndListsTheRest()
{
    UtilitiesFixture f({part("A-1", "V2"), part("A-2", "W2"), part("A-2", "X2"), part(QString(), "Y2"), part("B-9", "Z2"), part("C-1", "Z3")});
    const QString pricing = f.file(QStringLiteral("PriceChange.mdb"));
    makePricingFile(pricing, {vendor1("A-1", 10.0), vendor1("A-2", QVariant(), QString(), QStringLiteral("0")), vendor1("B-1", 3.0),
                              vendor1("B-5", 4.0)});
    auto pricingDb = Connection::open(pricing);
    auto inventory = Connection::open(f.inventory());
    int steps = 0;
    const PriceUpdateOutcome outcome = runPriceUpdate(*inventory, readPricing(*pricingDb, 1), 1, [&] { ++steps; });
    QCOMPARE(outcome.updated, 3);
    // B-9 and C-1 lie beyond the last pricing number: they were not updated, so they are listed.
    QCOMPARE(outcome.notUpdated, QStringList({"B-9", "C-1"}));
    QCOMPARE(steps, 5);   // the part without a number and the four pricing rows passed over

    QCOMPARE(f.part("Price 1", "A-1").toDouble(), 10.0);
    QCOMPARE(f.part("Book 1", "A-1").toString(), QStringLiteral("BOOK A-1"));
    QCOMPARE(f.part("Page 1", "A-1").toString(), QStringLiteral("7"));
    QCOMPARE(f.part("Minimum Buy 1", "A-1").toInt(), 2);
    QCOMPARE(f.part("Package 1", "A-1").toInt(), 3);
    QCOMPARE(f.part("Price 2", "A-1").toDouble(), 8.88);   // vendor 2's fields untouched
    QCOMPARE(f.part("Book 2", "A-1").toString(), QStringLiteral("OLD2"));
    // Both parts numbered A-2 took the row's values with their defaults.
    QCOMPARE(f.scalar(QStringLiteral("SELECT COUNT(*) FROM Parts WHERE [Part Number 1]='A-2' AND [Price 1]=0.01 AND [Minimum Buy 1]=1 AND [Package 1]=1")).toInt(), 2);
    QCOMPARE(f.part("Price 1", "B-9").toDouble(), 9.99);
    QCOMPARE(f.scalar(QStringLiteral("SELECT [Price 1] FROM Parts WHERE [Part Number 1] IS NULL")).toDouble(), 9.99);
    // The pricing file is only read.
    QCOMPARE(f.scalar(QStringLiteral("SELECT [Price 1] FROM Pricing WHERE [Part Number 1]='A-2'"), QStringLiteral("PriceChange.mdb")), QVariant());
}

void TestPriceUpdate::pricingRowsInAnyOrderGiveTheSameResult()
{
    const QStringList parts = {"a-1", "A-1", "A-10", "A-2", "B"};
    QStringList statements;
    for (const QString& n : parts)
        statements << part(n, QString());
    UtilitiesFixture f(statements);
    const QString pricing = f.file(QStringLiteral("PriceChange.mdb"));
    makePricingFile(pricing, {vendor1("B", 5.0), vendor1("a-1", 1.0), vendor1("A-2", 4.0), vendor1("A-10", 3.0)});
    auto pricingDb = Connection::open(pricing);
    auto inventory = Connection::open(f.inventory());
    const PriceUpdateOutcome outcome = runPriceUpdate(*inventory, readPricing(*pricingDb, 1), 1);
    QCOMPARE(outcome.updated, 4);
    QCOMPARE(outcome.notUpdated, QStringList{"A-1"});   // "a-1" on the disk is another number
    QCOMPARE(f.part("Price 1", "a-1").toDouble(), 1.0);
    QCOMPARE(f.part("Price 1", "A-1").toDouble(), 9.99);
    QCOMPARE(f.part("Price 1", "A-10").toDouble(), 3.0);
    QCOMPARE(f.part("Price 1", "A-2").toDouble(), 4.0);
    QCOMPARE(f.part("Price 1", "B").toDouble(), 5.0);
}

void TestPriceUpdate::valueThatDoesNotFitLeavesThePartAndListsIt()
{
    UtilitiesFixture f({part("A", QString()), part("B", QString()), part("C", QString()), part("D", QString()), part("E", QString()),
                        part("F", QString())});
    const QString pricing = f.file(QStringLiteral("PriceChange.mdb"));
    makePricingFile(pricing, {vendor1("A", QStringLiteral("$5.00")), vendor1("B", QStringLiteral("12X")), vendor1("C", 3.0, QStringLiteral("2 BOXES")),
                              vendor1("D", QStringLiteral("N/A")), vendor1("E", 1e20), vendor1("F", 2.0)});
    auto pricingDb = Connection::open(pricing);
    auto inventory = Connection::open(f.inventory());
    const PriceUpdateOutcome outcome = runPriceUpdate(*inventory, readPricing(*pricingDb, 1), 1);
    QCOMPARE(outcome.updated, 2);
    QCOMPARE(outcome.notUpdated, QStringList({"B", "C", "D", "E"}));
    QCOMPARE(f.part("Price 1", "A").toDouble(), 5.0);
    QCOMPARE(f.part("Price 1", "D").toDouble(), 9.99);
    QCOMPARE(f.part("Price 1", "E").toDouble(), 9.99);
    QCOMPARE(f.part("Price 1", "F").toDouble(), 2.0);
    // Nothing of B or C was written.
    QCOMPARE(f.part("Price 1", "B").toDouble(), 9.99);
    QCOMPARE(f.part("Book 1", "B").toString(), QStringLiteral("OLD"));
    QCOMPARE(f.part("Price 1", "C").toDouble(), 9.99);
    QCOMPARE(f.part("Minimum Buy 1", "C").toInt(), 5);
}

void TestPriceUpdate::negativePriceOrPackageLeavesThePartAndListsIt()
{
    UtilitiesFixture f({part("A", "Q1"), part("B", "Q2"), part("C", "Q3"), part("D", "Q4")});
    const QString pricing = f.file(QStringLiteral("PriceChange.mdb"));
    makePricingFile(pricing, {vendor1("A", QStringLiteral("-5.00")), vendor1("B", 4.0, QStringLiteral("2"), QStringLiteral("-3")),
                              vendor1("C", 6.0, QStringLiteral("-2")), vendor1("D", 7.0)});
    OpenWindow o(pricing);
    ChangePrice& w = *o.w;
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QCOMPARE(entries(w.List1), QStringList({"A", "B", "C"}));
    QVERIFY(w.List1->isVisible());
    // Each part keeps every value it had; D alone took the disk's.
    for (const char* n : {"A", "B", "C"}) {
        QCOMPARE(f.part("Price 1", n).toDouble(), 9.99);
        QCOMPARE(f.part("Book 1", n).toString(), QStringLiteral("OLD"));
        QCOMPARE(f.part("Page 1", n).toString(), QStringLiteral("P0"));
        QCOMPARE(f.part("Minimum Buy 1", n).toInt(), 5);
        QCOMPARE(f.part("Package 1", n).toInt(), 5);
    }
    QCOMPARE(f.part("Price 1", "D").toDouble(), 7.0);
    QCOMPARE(f.part("Package 1", "D").toInt(), 3);
    QVERIFY(o.prompts.verifyAllAnswered());
}

void TestPriceUpdate::vendorTwoUsesItsOwnFields()
{
    UtilitiesFixture f({part("A", "Q-1"), part("B", "Q-2")});
    const QString pricing = f.file(QStringLiteral("PriceChange.mdb"));
    PricingRowData r;
    r.number1 = QStringLiteral("A");
    r.price1 = 1.0;
    r.number2 = QStringLiteral("Q-2");
    r.price2 = 22.5;
    r.book2 = QStringLiteral("B2");
    r.page2 = QStringLiteral("9");
    r.minimum2 = QStringLiteral("6");
    r.package2 = QStringLiteral("12");
    makePricingFile(pricing, {r});
    auto pricingDb = Connection::open(pricing);
    auto inventory = Connection::open(f.inventory());
    const PriceUpdateOutcome outcome = runPriceUpdate(*inventory, readPricing(*pricingDb, 2), 2);
    QCOMPARE(outcome.notUpdated, QStringList{"Q-1"});
    QCOMPARE(f.part("Price 2", "Q-2", 2).toDouble(), 22.5);
    QCOMPARE(f.part("Minimum Buy 2", "Q-2", 2).toInt(), 6);
    QCOMPARE(f.part("Package 2", "Q-2", 2).toInt(), 12);
    QCOMPARE(f.part("Book 2", "Q-2", 2).toString(), QStringLiteral("B2"));
    QCOMPARE(f.part("Price 1", "A").toDouble(), 9.99);
}

void TestPriceUpdate::openingAsksForThePricingFile()
{
    UtilitiesFixture f({part("A", QString())});
    const QString pricing = f.file(QStringLiteral("PriceChange.mdb"));
    makePricingFile(pricing, {vendor1("A", 1.5)});
    OpenWindow o(pricing);
    ChangePrice& w = *o.w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Update Pricing"));
    QCOMPARE(o.prompts.messages().size(), 1);
    const ScriptedPrompts::Recorded intro = o.prompts.messages()[0];
    QCOMPARE(intro.text, QStringLiteral("Please select the location of the pricing update disk\rby selecting the database file from the next window."));
    QCOMPARE(intro.style, 0);
    QCOMPARE(intro.title, QStringLiteral("Update File Location"));
    const FileDialogOptions& asked = o.dialogs.openFileCalls()[0];
    QCOMPARE(asked.filter, QStringLiteral("PriceChange.mdb|PriceChange.mdb"));
    QCOMPARE(asked.defaultExt, QStringLiteral("*.mdb"));
    QCOMPARE(w.pricingFile(), pricing);
    QVERIFY(w.Command1->isVisible());
    QVERIFY(w.Command2->isVisible());
    // The two sides of vendor 1 show the current rows.
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("A"));
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("Label3"))->text(), QStringLiteral("1.5"));
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("Label39"))->text(), QStringLiteral("2"));
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("Label5"))->text(), QStringLiteral("A"));
    // Coming back to the window asks nothing.
    w.activateWindow();
    QCoreApplication::processEvents();
    QCOMPARE(o.dialogs.openFileCalls().size(), 1);
    QVERIFY(o.prompts.verifyAllAnswered());
}

void TestPriceUpdate::cancelledChoiceKeepsThePreviousFile()
{
    UtilitiesFixture f({part("A", QString())});
    const QString pricing = f.file(QStringLiteral("PriceChange.mdb"));
    makePricingFile(pricing, {vendor1("A", 1.5)});
    OpenWindow o{QString()};   // cancelled at the first opening
    ChangePrice& w = *o.w;
    QVERIFY(!w.Command1->isVisible());
    QVERIFY(!w.Command2->isVisible());

    o.prompts.expectMessage();
    o.dialogs.answerOpenFile(pricing);
    w.MnuFileOpenPrices->trigger();
    QVERIFY(w.Command1->isVisible());

    // A later cancel opens the previous choice again.
    o.prompts.expectMessage();
    o.dialogs.answerOpenFile(QString());
    w.Command1->hide();
    w.MnuFileOpenPrices_Click();
    QCOMPARE(o.dialogs.openFileCalls().last().fileName, pricing);
    QCOMPARE(w.pricingFile(), pricing);
    QVERIFY(w.Command1->isVisible());
    QVERIFY(o.prompts.verifyAllAnswered());
}

void TestPriceUpdate::fileErrorsAreTold()
{
    UtilitiesFixture f({part("A", QString())});
    OpenWindow o{QString()};
    ChangePrice& w = *o.w;

    // The medium has gone: its folder is not there any more.
    o.prompts.expectMessage().expectMessage();
    o.dialogs.answerOpenFile(QDir(f.driveA.path()).filePath(QStringLiteral("gone/PriceChange.mdb")));
    w.MnuFileOpenPrices_Click();
    QCOMPARE(o.prompts.messages().last().text, QStringLiteral("There is no disk in drive A, or it is not formatted!"));
    QCOMPARE(o.prompts.messages().last().style, 0);
    QVERIFY(!w.Command1->isVisible());

    // Not a database.
    const QString junk = f.file(QStringLiteral("Junk.mdb"));
    QFile out(junk);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(QByteArray(4096, 'j'));
    out.close();
    o.prompts.expectMessage().expectMessage();
    o.dialogs.answerOpenFile(junk);
    w.MnuFileOpenPrices_Click();
    QCOMPARE(o.prompts.messages().last().text,
             QStringLiteral("3343: Unrecognized database format '%1'.Please contact Quenmoor").arg(junk));

    // A database without the table Pricing.
    const QString other = f.file(QStringLiteral("Other.mdb"));
    makePricingFile(other, {}, QStringLiteral("Prices"));
    o.prompts.expectMessage().expectMessage();
    o.dialogs.answerOpenFile(other);
    w.MnuFileOpenPrices_Click();
    QVERIFY(o.prompts.messages().last().text.startsWith(QStringLiteral("3078: ")));
    QVERIFY(o.prompts.messages().last().text.endsWith(QStringLiteral("Please contact Quenmoor")));
    QVERIFY(!w.Command1->isVisible());   // the buttons keep their visibility
    QVERIFY(o.prompts.verifyAllAnswered());
}

void TestPriceUpdate::windowRunsTheUpdateAndListsWhatWasNotUpdated()
{
    UtilitiesFixture f({part("A", "Q1"), part("B", "Q2"), part("C", "Q3")});
    const QString pricing = f.file(QStringLiteral("PriceChange.mdb"));
    makePricingFile(pricing, {vendor1("A", 2.0), vendor1("C", 0.0)});
    OpenWindow o(pricing);
    ChangePrice& w = *o.w;

    w.Command1->click();
    QCOMPARE(entries(w.List1), QStringList{"B"});
    QCOMPARE(entries(w.List2), QStringList());
    QVERIFY(w.List1->isVisible());
    QVERIFY(w.Label9->isVisible());
    QCOMPARE(w.Label9->text(), QStringLiteral("The list of part numbers below were NOT updated during the price change (update). These part "
                                              "numbers were not in our list of part numbers to be updated. Please change the prices of these "
                                              "parts manually. Note: These parts listed may no longer be available from that vendor."));
    QVERIFY(!w.ccrpProgressBar1->isVisible());
    QCOMPARE(w.ccrpProgressBar1->value(), 0);
    QCOMPARE(w.total(), 2);
    QCOMPARE(f.part("Price 1", "A").toDouble(), 2.0);
    QCOMPARE(f.part("Price 1", "C").toDouble(), 0.01);
    // The parts side shows vendor 1's first part as it is now.
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("Label7"))->text(), QStringLiteral("2"));

    // A second run lists the same numbers again; vendor 2's run fills its own list.
    w.Command1->click();
    QCOMPARE(entries(w.List1), QStringList({"B", "B"}));
    w.Command2->click();
    QCOMPARE(entries(w.List2), QStringList({"Q1", "Q2", "Q3"}));   // the disk carries no vendor-2 numbers
    QVERIFY(o.prompts.verifyAllAnswered());
}

void TestPriceUpdate::orderMenuAndExit()
{
    UtilitiesFixture f;
    QWidget mainWindow;
    MainWindowLock::setMainWindow(&mainWindow);
    RecordingHelp help;
    {
        OpenWindow o{QString()};
        MainWindowLock::acquire(o.w);
        QVERIFY(!mainWindow.isEnabled());
        o.w->MnuOrderPriceDisk->trigger();
        QCOMPARE(help.topics(), QList<int>{1650});
        o.w->MnuFileExit->trigger();
        QVERIFY(mainWindow.isEnabled());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!o.w);
    }
    {
        OpenWindow o{QString()};
        MainWindowLock::acquire(o.w);
        QVERIFY(!mainWindow.isEnabled());
        o.w->close();   // the close box
        QVERIFY(mainWindow.isEnabled());
    }
    MainWindowLock::setMainWindow(nullptr);
}

QTEST_MAIN(TestPriceUpdate)
#include "tst_priceupdate.moc"
