// The import of the older program's dBASE table: reading the table, the two merges, the field
// mapping, and the import window with its instructions.

#include "UtilitiesFixture.h"

#include "data/DataControl.h"
#include "data/DbError.h"
#include "platform/Help.h"
#include "support/ScriptedModal.h"
#include "support/ScriptedPrompts.h"
#include "utilities/DbaseTable.h"
#include "utilities/ImportSetup.h"
#include "utilities/OldPartsImport.h"
#include "utilities/TrappedError.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

namespace {

// A part of the catalogue with every field that a pass may or may not write set to a marker.
QString cataloguePart(const QString& number1, const QString& number2, const QString& number3 = QStringLiteral("N3"))
{
    return QStringLiteral("INSERT INTO Parts([Part Number 1],[Part Number 2],[Part Number 3],Description,[Minimum Stock],[In Stock],"
                          "Location,[Quantity Ordered 1],[Quantity Ordered 2],[Quantity Ordered 3],[Back Ordered 1],[Back Ordered 2],"
                          "[Back Ordered 3],[Part Memo],[Area of Machine],[Page 1],[Package 1],[Package 2],[Price 1],[Minimum Buy 1],"
                          "[Minimum Buy 2],[Minimum Buy 3],[Book 1]) VALUES ('%1','%2','%3','KEEP',9,9,'OLD',9,9,9,9,9,9,'OLD','OLD','P9',6,7,"
                          "99.5,99,99,99,'BOOK')")
        .arg(number1, number2, number3);
}

// An old part with every mapped field set, numbers and figures distinct.
OldRow fullOldPart(const QByteArray& number1, const QByteArray& number2, const QByteArray& number3)
{
    OldRow r;
    r.set("NUMBER1", number1).set("NUMBER2", number2).set("NUMBER3", number3).set("STOCK", "3").set("INSTOCK", "14")
        .set("LOCATION", "B12").set("QTYB", "1").set("QTYQ", "2").set("QTYOTHER", "3").set("BRUNSBO", "4").set("QUALITYBO", "5")
        .set("OTHERBO", "6").set("MEMO1", "LEFT SIDE").set("MEMO2", "ONLY").set("AREA", "TURRET").set("DESCRIPT", "SPRING")
        .set("PAGE1", "12").set("PAGE2", "13").set("PAGE3", "14").set("PKGB", "10").set("PKGQ", "20").set("PKGOTHER", "30")
        .set("PRICEB", "1.25").set("PRICEQ", "2.50").set("OTHERPR", "3.75");
    return r;
}

QStringList numbersOf(const QList<OldPartRecord>& rows, OldField field)
{
    QStringList out;
    for (const OldPartRecord& r : rows)
        out << r[field];
    return out;
}

QStringList listEntries(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

}  // namespace

class TestImport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Reading the table.
    void readsFieldsAsTheTableHoldsThem();
    void readsMemoFieldsFromTheMemoFile();
    void sourceListIsFilteredAndSortedByCharacterCode();
    void unreadableTablesAreErrors();
    void progressPercentage();

    // The merge.
    void mergeMatchesAddsAndAddsTheTail_data();
    void mergeMatchesAddsAndAddsTheTail();
    void vendorOneMatchAndAddWriteTheirFields();
    void vendorTwoMatchWritesOnlyItsFields();
    void numbersMatchExactlyWithRegardToCase();
    void partThatDoesNotFitIsLeftOutWhole();

    // The window.
    void windowOpensWithPrepareButtonsOnly();
    void passAddsAndListsThenOffersThePrepareButtonAgain();
    void passWithoutAddsCongratulates();
    void passThatTakesNothingSaysWhy();
    void clearListQuestion();
    void missingFolderOrTableLeavesWindowAsItWas();
    void instructionsWindow();
};

void TestImport::readsFieldsAsTheTableHoldsThem()
{
    UtilitiesFixture f;
    OldRow r = oldPart("  A-1", "B 2");
    r.set("DESCRIPT", "\x81" "BERGANG \x9B").set("INSTOCK", "5.00").set("PRICEB", "12.5");
    writeOldTable(f.oldTable(), {r, oldPart("GONE")});
    DbaseTable table;
    QString error;
    QVERIFY2(table.open(f.oldTable(), &error), qPrintable(error));
    QCOMPARE(table.recordCount(), 2);
    QCOMPARE(table.fieldIndex(QStringLiteral("descript")), 15);
    QVERIFY(table.read(0));
    QVERIFY(!table.isDeleted());
    QCOMPARE(table.text(table.fieldIndex(QStringLiteral("NUMBER1"))), QStringLiteral("  A-1"));   // only the padding goes
    QCOMPARE(table.text(table.fieldIndex(QStringLiteral("NUMBER2"))), QStringLiteral("B 2"));
    QCOMPARE(table.text(table.fieldIndex(QStringLiteral("DESCRIPT"))), QStringLiteral(u"\u00FCBERGANG \u00A2"));   // DOS code page
    QCOMPARE(table.text(table.fieldIndex(QStringLiteral("INSTOCK"))), QStringLiteral("5.00"));
    QCOMPARE(table.text(table.fieldIndex(QStringLiteral("PRICEB"))), QStringLiteral("12.5"));
    QCOMPARE(table.text(table.fieldIndex(QStringLiteral("QTYB"))), QString());

    // A table whose language byte names the Windows code page is read in that one.
    writeOldTable(f.oldTable(), {r}, oldTableLayout(), "LDID/87");
    QVERIFY(table.open(f.oldTable(), &error));
    QVERIFY(table.read(0));
    QCOMPARE(table.text(table.fieldIndex(QStringLiteral("DESCRIPT"))), QStringLiteral(u"\u0081BERGANG \u203A"));

    QCOMPARE(DbaseTable::decodeDos("\xE1\xF8", 2), QStringLiteral(u"\u00DF\u00B0"));
    QCOMPARE(DbaseTable::decodeWindows("\x80\xE9", 2), QStringLiteral(u"\u20AC\u00E9"));
}

void TestImport::readsMemoFieldsFromTheMemoFile()
{
    UtilitiesFixture f;
    const QList<int> blocks = writeMemoFile(QDir(f.oldData.path()).filePath(QStringLiteral("Invntory.dbt")),
                                            {"FIRST MEMO\r\n", QByteArray(600, 'x'), "LAST"});
    OldRow r = oldPart("A-1");
    r.set("MEMO1", QByteArray::number(blocks[0])).set("MEMO2", QByteArray::number(blocks[1]));
    OldRow s = oldPart("A-2");
    s.set("MEMO1", QByteArray::number(blocks[2]));
    writeOldTable(f.oldTable(), {r, s}, oldTableLayout(true));

    const QList<OldPartRecord> rows = readOldParts(f.oldTable(), 1);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0][OldField::MEMO1], QStringLiteral("FIRST MEMO"));
    QCOMPARE(rows[0][OldField::MEMO2], QString(600, QLatin1Char('x')));   // runs over two blocks
    QCOMPARE(rows[1][OldField::MEMO1], QStringLiteral("LAST"));
    QCOMPARE(rows[1][OldField::MEMO2], QString());
}

void TestImport::sourceListIsFilteredAndSortedByCharacterCode()
{
    UtilitiesFixture f;
    OldRow deleted = oldPart("A-5");
    deleted.deleted = true;
    writeOldTable(f.oldTable(), {
        oldPart("b-1", "Z1"), oldPart("A-2", "Y1"), oldPart("A-10", "X1"), oldPart("B-1", ""),
        oldPart("1", "W1"), oldPart("0123", "V1"), oldPart("-5", "U1"), oldPart("", "T1"),
        oldPart("C-1", "S1", "0"), oldPart("C-2", "R1", ""), oldPart("C-3", "Q1", "0.5"), oldPart("C-4", "P1", "1"),
        deleted, oldPart("A-2", "O1", "7"),
    });
    const QList<OldPartRecord> v1 = readOldParts(f.oldTable(), 1);
    // Upper case sorts before lower case; "A-10" before "A-2"; rows of one number keep their order.
    QCOMPARE(numbersOf(v1, OldField::NUMBER1),
             QStringList({"A-10", "A-2", "A-2", "B-1", "C-4", "b-1"}));
    QCOMPARE(v1[1][OldField::NUMBER2], QStringLiteral("Y1"));
    QCOMPARE(v1[2][OldField::NUMBER2], QStringLiteral("O1"));

    const QList<OldPartRecord> v2 = readOldParts(f.oldTable(), 2);
    QCOMPARE(numbersOf(v2, OldField::NUMBER2), QStringList({"O1", "P1", "T1", "U1", "V1", "W1", "X1", "Y1", "Z1"}));
}

void TestImport::unreadableTablesAreErrors()
{
    UtilitiesFixture f;
    try {
        readOldParts(f.oldTable(), 1);
        QFAIL("a missing table was read");
    } catch (const DbError& e) {
        QCOMPARE(e.text(), QStringLiteral("Could not find file '%1'.").arg(f.oldTable()));
    }

    QFile junk(f.oldTable());
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a table at all");
    junk.close();
    QVERIFY_THROWS_EXCEPTION(DbError, readOldParts(f.oldTable(), 1));

    QList<DbfField> layout = oldTableLayout();
    layout.removeAt(3);   // STOCK
    layout.removeAt(14);  // DESCRIPT
    writeOldTable(f.oldTable(), {oldPart("A-1")}, layout);
    try {
        readOldParts(f.oldTable(), 1);
        QFAIL("a table without STOCK was read");
    } catch (const DbError& e) {
        QVERIFY2(e.text().endsWith(QStringLiteral("lacks the field(s) STOCK, DESCRIPT.")), qPrintable(e.text()));
    }
}

void TestImport::progressPercentage()
{
    QCOMPARE(percentDone(2, 3), 34);
    QCOMPARE(percentDone(1, 3), 67);
    QCOMPARE(percentDone(0, 3), 100);
    QCOMPARE(percentDone(3, 3), 0);
    QCOMPARE(percentDone(-1, 3), 134);   // the price update caps this itself
    QCOMPARE(percentDone(5, 0), 0);
}

void TestImport::mergeMatchesAddsAndAddsTheTail_data()
{
    QTest::addColumn<QStringList>("source");
    QTest::addColumn<QStringList>("catalogue");
    QTest::addColumn<QString>("steps");   // M<source>:<record> or A<source>

    QTest::newRow("interleaved") << QStringList{"A100", "A200", "A300", "A400"} << QStringList{"A100", "A300"} << "M0:1 A1 M2:2 A3";
    QTest::newRow("empty catalogue adds all") << QStringList{"A", "B"} << QStringList{} << "A0 A1";
    QTest::newRow("catalogue passed over") << QStringList{"C"} << QStringList{"A", "B", "C", "D"} << "M0:3";
    QTest::newRow("second old part of a number is added") << QStringList{"A", "A", "B"} << QStringList{"A", "B"} << "M0:1 A1 M2:2";
    QTest::newRow("first of two catalogue parts matches") << QStringList{"A", "C"} << QStringList{"A", "A", "C"} << "M0:1 M1:3";
    QTest::newRow("empty source") << QStringList{} << QStringList{"A"} << "";
}

void TestImport::mergeMatchesAddsAndAddsTheTail()
{
    QFETCH(QStringList, source);
    QFETCH(QStringList, catalogue);
    QFETCH(QString, steps);
    QList<CatalogueKey> keys;
    for (int i = 0; i < catalogue.size(); ++i)
        keys.append({i + 1, catalogue.at(i)});
    QStringList got;
    for (const ImportStep& s : planImportPass(source, keys))
        got << (s.kind == ImportStep::Match ? QStringLiteral("M%1:%2").arg(s.source).arg(s.recordNumber) : QStringLiteral("A%1").arg(s.source));
    QCOMPARE(got.join(QLatin1Char(' ')), steps);
}

void TestImport::vendorOneMatchAndAddWriteTheirFields()
{
    UtilitiesFixture f({cataloguePart(QStringLiteral("A100"), QStringLiteral("Q100"))});
    OldRow memoOnly = fullOldPart("A200", "", "");
    memoOnly.set("MEMO2", "");
    writeOldTable(f.oldTable(), {fullOldPart("A100", "OLD2", "OLD3"), memoOnly});

    const ImportPass pass = ImportPass::prepare(1, f.oldTable(), f.inventory());
    QCOMPARE(pass.total(), 2);
    QList<int> remaining;
    const ImportOutcome outcome = pass.run([&](int r) { remaining << r; });
    QCOMPARE(outcome.matched, 1);
    QCOMPARE(outcome.added, QStringList{"A200"});
    QVERIFY(outcome.failed.isEmpty());
    QCOMPARE(remaining, QList<int>{1});
    QCOMPARE(f.partCount(), 2);

    // The match: stock figures, vendor 1's order figures, memo, area; minimum buys from the record.
    const QString a = QStringLiteral("A100");
    QCOMPARE(f.part("Minimum Stock", a).toInt(), 3);
    QCOMPARE(f.part("In Stock", a).toInt(), 14);
    QCOMPARE(f.part("Location", a).toString(), QStringLiteral("B12"));
    QCOMPARE(f.part("Quantity Ordered 1", a).toInt(), 1);
    QCOMPARE(f.part("Back Ordered 1", a).toInt(), 4);
    QCOMPARE(f.part("Part Memo", a).toString(), QStringLiteral("LEFT SIDE ONLY"));
    QCOMPARE(f.part("Area of Machine", a).toString(), QStringLiteral("TURRET"));
    QCOMPARE(f.part("Minimum Buy 1", a).toInt(), 6);   // the record's own Package 1
    QCOMPARE(f.part("Minimum Buy 2", a).toInt(), 1);
    QCOMPARE(f.part("Minimum Buy 3", a).toInt(), 1);
    for (const char* kept : {"Quantity Ordered 2", "Quantity Ordered 3", "Back Ordered 2", "Back Ordered 3"})
        QCOMPARE(f.part(QString::fromLatin1(kept), a).toInt(), 9);
    QCOMPARE(f.part("Description", a).toString(), QStringLiteral("KEEP"));
    QCOMPARE(f.part("Part Number 2", a).toString(), QStringLiteral("Q100"));
    QCOMPARE(f.part("Page 1", a).toString(), QStringLiteral("P9"));
    QCOMPARE(f.part("Price 1", a).toDouble(), 99.5);

    // The add: every mapped field; the memo keeps its blank; minimum buys from the new record.
    const QString b = QStringLiteral("A200");
    QCOMPARE(f.part("Description", b).toString(), QStringLiteral("SPRING"));
    QCOMPARE(f.part("Part Memo", b).toString(), QStringLiteral("LEFT SIDE "));
    QCOMPARE(f.part("Part Number 2", b).toString(), QString());
    QCOMPARE(f.part("Quantity Ordered 3", b).toInt(), 3);
    QCOMPARE(f.part("Back Ordered 2", b).toInt(), 5);
    QCOMPARE(f.part("Page 3", b).toString(), QStringLiteral("14"));
    QCOMPARE(f.part("Package 2", b).toInt(), 20);
    QCOMPARE(f.part("Price 1", b).toDouble(), 1.25);
    QCOMPARE(f.part("Price 3", b).toDouble(), 3.75);
    QCOMPARE(f.part("Minimum Buy 1", b).toInt(), 10);
    QCOMPARE(f.part("Minimum Buy 2", b).toInt(), 0);
    QCOMPARE(f.part("Minimum Buy 3", b).toInt(), 0);
    QCOMPARE(f.part("Book 1", b), QVariant());   // not written: the database's default
    QCOMPARE(f.part("Default 1", b).toInt(), 0);
}

void TestImport::vendorTwoMatchWritesOnlyItsFields()
{
    UtilitiesFixture f({cataloguePart(QStringLiteral(""), QStringLiteral("Q100"), QString())});
    writeOldTable(f.oldTable(), {fullOldPart("IGNORED", "Q100", "")});
    const ImportOutcome outcome = ImportPass::prepare(2, f.oldTable(), f.inventory()).run();
    QCOMPARE(outcome.matched, 1);
    QVERIFY(outcome.added.isEmpty());
    const QString q = QStringLiteral("Q100");
    QCOMPARE(f.part("Quantity Ordered 2", q, 2).toInt(), 2);
    QCOMPARE(f.part("Back Ordered 2", q, 2).toInt(), 5);
    QCOMPARE(f.part("Quantity Ordered 1", q, 2).toInt(), 9);
    QCOMPARE(f.part("Back Ordered 1", q, 2).toInt(), 9);
    QCOMPARE(f.part("In Stock", q, 2).toInt(), 14);
    QCOMPARE(f.part("Part Number 1", q, 2).toString(), QString());
    // Part Number 1 and 3 are empty on the record: their minimum buys become 0, vendor 2's 1.
    QCOMPARE(f.part("Minimum Buy 1", q, 2).toInt(), 0);
    QCOMPARE(f.part("Minimum Buy 2", q, 2).toInt(), 1);
    QCOMPARE(f.part("Minimum Buy 3", q, 2).toInt(), 0);
}

void TestImport::numbersMatchExactlyWithRegardToCase()
{
    UtilitiesFixture f({cataloguePart(QStringLiteral("a-1"), QStringLiteral("X")), cataloguePart(QStringLiteral("A-10"), QStringLiteral("Y")),
                        cataloguePart(QStringLiteral("A-2"), QStringLiteral("Z"))});
    writeOldTable(f.oldTable(), {oldPart("A-1"), oldPart("A-10"), oldPart("A-2"), oldPart("a-1")});
    const ImportOutcome outcome = ImportPass::prepare(1, f.oldTable(), f.inventory()).run();
    // "A-1" is not "a-1": it is added; the three others match their own part once each.
    QCOMPARE(outcome.added, QStringList{"A-1"});
    QCOMPARE(outcome.matched, 3);
    QCOMPARE(f.partCount(), 4);
    QCOMPARE(f.scalar(QStringLiteral("SELECT COUNT(*) FROM Parts WHERE [Minimum Stock] = 2")).toInt(), 4);
}

void TestImport::partThatDoesNotFitIsLeftOutWhole()
{
    UtilitiesFixture f({cataloguePart(QStringLiteral("A-2"), QStringLiteral("X"))});
    OldRow badAdd = fullOldPart("A-1", "", "");
    badAdd.set("PKGQ", "12X");
    OldRow badMatch = fullOldPart("A-2", "", "");
    badMatch.set("INSTOCK", "LOTS");
    // Money beyond the range of the money type, in a price field wide enough to hold it.
    OldRow tooDear = fullOldPart("A-4", "", "");
    tooDear.set("PRICEB", "99999999999999999999.00");
    QList<DbfField> layout = oldTableLayout();
    for (DbfField& field : layout)
        if (qstrcmp(field.name, "PRICEB") == 0)
            field.width = 25;
    writeOldTable(f.oldTable(), {badAdd, badMatch, fullOldPart("A-3", "", ""), tooDear}, layout);

    const ImportOutcome outcome = ImportPass::prepare(1, f.oldTable(), f.inventory()).run();
    QCOMPARE(outcome.added, QStringList{"A-3"});
    QCOMPARE(outcome.matched, 0);
    QCOMPARE(outcome.failed.size(), 3);
    QVERIFY(outcome.failed[0].startsWith(QStringLiteral("A-1: ")));
    QVERIFY(outcome.failed[1].startsWith(QStringLiteral("A-2: ")));
    QVERIFY(outcome.failed[2].startsWith(QStringLiteral("A-4: ")));
    // Nothing of either part was written: no new row, and the matched part is as it was.
    QCOMPARE(f.part("In Stock", QStringLiteral("A-1")), QVariant());
    QCOMPARE(f.part("In Stock", QStringLiteral("A-2")).toInt(), 9);
    QCOMPARE(f.part("Location", QStringLiteral("A-2")).toString(), QStringLiteral("OLD"));
    QCOMPARE(f.partCount(), 2);
}

void TestImport::windowOpensWithPrepareButtonsOnly()
{
    UtilitiesFixture f;
    QPointer<ImportSetup> w = new ImportSetup;
    w->show();
    QCOMPARE(w->windowTitle(), QStringLiteral("Import Setup"));
    QCOMPARE(w->Frame1->title(), QStringLiteral("Import Data"));
    QCOMPARE(w->Data2->databaseName(), f.inventory());
    QVERIFY(w->Command1->isVisible());
    QVERIFY(w->Command4->isVisible());
    QVERIFY(w->Command7->isVisible());
    QVERIFY(!w->Command2->isVisible());
    QVERIFY(!w->Command3->isVisible());
    QVERIFY(!w->List1->isVisible());
    QVERIFY(!w->Label27->isVisible());
    w->Command7->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!w);
}

void TestImport::passAddsAndListsThenOffersThePrepareButtonAgain()
{
    UtilitiesFixture f({cataloguePart(QStringLiteral("A100"), QStringLiteral("Q1")), cataloguePart(QStringLiteral("A300"), QStringLiteral("Q3"))});
    writeOldTable(f.oldTable(), {oldPart("A100"), oldPart("A200"), oldPart("A300"), oldPart("A400")});
    ScriptedPrompts prompts;
    ImportSetup w;
    w.show();
    w.Command1->click();
    QVERIFY(w.Command2->isVisible());
    QVERIFY(!w.Command1->isVisible());
    QVERIFY(w.Command4->isVisible());
    QCOMPARE(w.total(), 4);
    QCOMPARE(w.remaining(), 4);

    w.Command2->click();
    QCOMPARE(w.remaining(), 2);
    QCOMPARE(w.percent(), 50);
    QVERIFY(!w.ccrpProgressBar1->isVisible());
    QCOMPARE(w.ccrpProgressBar1->value(), 0);
    QVERIFY(w.Command1->isVisible());
    QVERIFY(!w.Command2->isVisible());
    QCOMPARE(listEntries(w.List1), QStringList({"A200", "A400"}));
    QVERIFY(w.List1->isVisible());
    QVERIFY(w.Label27->isVisible());
    QCOMPARE(w.Label27->text(), QStringLiteral("After your database was successfully imported, we have found the following list of part numbers "
                                               "that are duplicated in your database. You will need to remove these manually. "));
    QCOMPARE(f.partCount(), 4);
    QVERIFY(prompts.log().isEmpty());

    // Vendor 2 while vendor 1 waits for its continue button switches to vendor 2.
    prompts.expectMessage(Prompts::No);
    w.Command1->click();
    w.Command4->click();
    QVERIFY(w.Command1->isVisible() && !w.Command2->isVisible());
    QVERIFY(w.Command3->isVisible() && !w.Command4->isVisible());
    QVERIFY(prompts.verifyAllAnswered());
}

void TestImport::passWithoutAddsCongratulates()
{
    UtilitiesFixture f({cataloguePart(QStringLiteral("A100"), QStringLiteral("Q1"))});
    writeOldTable(f.oldTable(), {oldPart("A100")});
    ScriptedPrompts prompts;
    ImportSetup w;
    w.show();
    w.Command1->click();
    w.Command2->click();
    QVERIFY(w.Label27->isVisible());
    QCOMPARE(w.Label27->text(), QStringLiteral("Congratulations, your database was successfully imported."));
    QVERIFY(!w.List1->isVisible());
    QCOMPARE(w.percent(), 100);

    // A part that could not be written is told, and the pass does not call itself a success.
    OldRow bad = oldPart("A100");
    bad.set("INSTOCK", "12X");
    writeOldTable(f.oldTable(), {bad});
    prompts.expectMessage();
    w.Command1->click();
    w.Command2->click();
    QCOMPARE(prompts.messages().size(), 1);
    QVERIFY(prompts.messages()[0].text.startsWith(QStringLiteral("1 part(s) could not be imported, because a value does not fit its field:\r\rA100: ")));
    QCOMPARE(prompts.messages()[0].style, 48);
    QVERIFY(!w.Label27->isVisible());
}

void TestImport::passThatTakesNothingSaysWhy()
{
    // A centre whose numbers all begin with "0": both lists are empty, for either vendor.
    UtilitiesFixture f({cataloguePart(QStringLiteral("0100"), QStringLiteral("0Q1"))});
    writeOldTable(f.oldTable(), {oldPart("0100", "0Q1"), oldPart("0200", "0Q2"), oldPart("0300", "1", "0")});
    ScriptedPrompts prompts;
    ImportSetup w;
    w.show();
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    QVERIFY(w.Label27->isVisible());
    QCOMPARE(w.Label27->text(), QStringLiteral("Nothing was imported: of the 3 old parts read, 3 have a vendor # 1 part number that does not "
                                               "sort after \"1\" (such as \"0123\", \"1\" or none), so none could be matched or added."));
    QVERIFY(!w.List1->isVisible());
    QTest::mouseClick(w.Command4, Qt::LeftButton);
    QTest::mouseClick(w.Command3, Qt::LeftButton);
    QCOMPARE(w.Label27->text(), QStringLiteral("Nothing was imported: of the 3 old parts read, 3 have a vendor # 2 part number that does not "
                                               "sort after \"1\" (such as \"0123\", \"1\" or none), so none could be matched or added."));
    QCOMPARE(f.partCount(), 1);
    QCOMPARE(f.part("In Stock", QStringLiteral("0100")).toInt(), 9);

    // Old parts left out for their minimum stock are counted apart. A list an earlier pass added
    // stays on show under the heading that tells what it is, and the pass that took nothing says so
    // in a message of its own.
    writeOldTable(f.oldTable(), {oldPart("A100")});
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    QCOMPARE(listEntries(w.List1), QStringList{"A100"});
    const QString listHeading = w.Label27->text();
    QVERIFY(listHeading.startsWith(QStringLiteral("After your database was successfully imported")));
    writeOldTable(f.oldTable(), {oldPart("0100"), oldPart("B100", QByteArray(), "0"), oldPart("C100", QByteArray(), "0")});
    prompts.expectMessage(Prompts::No);
    prompts.expectMessage();
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QTest::mouseClick(w.Command2, Qt::LeftButton);
    QCOMPARE(prompts.messages().last().text,
             QStringLiteral("Nothing was imported: of the 3 old parts read, 1 has a vendor # 1 part number that does not "
                            "sort after \"1\" (such as \"0123\", \"1\" or none) and 2 no minimum stock of at least 1, so none "
                            "could be matched or added."));
    QCOMPARE(prompts.messages().last().style, 64);
    QCOMPARE(w.Label27->text(), listHeading);
    QVERIFY(w.Label27->isVisible());
    QVERIFY(w.List1->isVisible());
    QCOMPARE(listEntries(w.List1), QStringList{"A100"});
    QCOMPARE(f.partCount(), 2);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestImport::clearListQuestion()
{
    UtilitiesFixture f({cataloguePart(QStringLiteral("Z9"), QStringLiteral("Q1"))});
    writeOldTable(f.oldTable(), {oldPart("A1"), oldPart("B1")});
    ScriptedPrompts prompts;
    ImportSetup w;
    w.show();
    w.Command1->click();
    w.Command2->click();
    QCOMPARE(w.List1->count(), 2);

    // No keeps the entries; the next pass appends to them.
    prompts.expectMessage(Prompts::No);
    w.Command1->click();
    QCOMPARE(prompts.messages().size(), 1);
    const ScriptedPrompts::Recorded ask = prompts.messages()[0];
    QCOMPARE(ask.text, QStringLiteral("Do you want to clear the list of parts in the window?"));
    QCOMPARE(ask.title, QStringLiteral("Confirm?"));
    QCOMPARE(ask.style, 324);
    QVERIFY(ask.beepBefore);
    QVERIFY(!w.List1->isVisible());
    w.Command2->click();   // A1 and B1 are in the catalogue now: nothing is added
    QCOMPARE(listEntries(w.List1), QStringList({"A1", "B1"}));

    prompts.expectMessage(Prompts::Yes);
    w.Command1->click();
    QCOMPARE(w.List1->count(), 0);

    // A hidden list is neither asked about nor emptied.
    w.Command2->click();
    QVERIFY(!w.List1->isVisible());
    w.Command4->click();
    QCOMPARE(prompts.messages().size(), 2);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestImport::missingFolderOrTableLeavesWindowAsItWas()
{
    UtilitiesFixture f;
    ScriptedPrompts prompts;
    ImportSetup w;
    w.show();

    prompts.expectMessage();
    w.Command1->click();   // the folder has no INVNTORY.DBF
    QCOMPARE(prompts.messages().last().text, QStringLiteral("Could not find file '%1'.").arg(f.oldTable()));
    QCOMPARE(prompts.messages().last().style, 48);
    QVERIFY(w.Command1->isVisible());
    QVERIFY(!w.Command2->isVisible());

    const QString gone = QDir(f.oldData.path()).filePath(QStringLiteral("nowhere"));
    OldDataFolder::setPath(gone);
    prompts.expectMessage();
    w.Command4->click();
    QVERIFY(prompts.messages().last().text.startsWith(QStringLiteral("'%1' is not a valid path.").arg(gone)));
    QVERIFY(w.Command4->isVisible());
    QVERIFY(!w.Command3->isVisible());

    // A table spelled in other letters is found.
    OldDataFolder::setPath(f.oldData.path());
    writeOldTable(QDir(f.oldData.path()).filePath(QStringLiteral("Invntory.Dbf")), {oldPart("A1")});
    w.Command1->click();
    QVERIFY(w.Command2->isVisible());
    QCOMPARE(w.total(), 1);
    QVERIFY(prompts.verifyAllAnswered());
}

void TestImport::instructionsWindow()
{
    UtilitiesFixture f;
    ScriptedModal modal;
    QPointer<ImportHelp> help = new ImportHelp;
    ShowModal(help);
    QCOMPARE(modal.shown().size(), 1);
    QCOMPARE(help->windowTitle(), QStringLiteral("Instructions"));
    QCOMPARE(help->Label1->text(), QStringLiteral("For this import to work correctly, the file called INVNTORY.DBF must reside in a directory "
                                                  "on your hard drive. It must be in a directory called C:\\INVNTORY."));
    QVERIFY(help->Label2->text().endsWith(f.oldData.path()));
    QCOMPARE(helpContext(help), 1230);   // F1 opens the import topic
    // Everything it says fits in the window.
    for (QLabel* label : {help->Label1, help->Label2})
        QVERIFY(label->heightForWidth(label->width()) <= label->height());
    help->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!help);
}

QTEST_MAIN(TestImport)
#include "tst_import.moc"
