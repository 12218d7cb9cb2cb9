// The pictures table: created when missing, recognised in any letter case, and the menu
// command's two messages; plus the shipped template opened through the engine.

#include "DataFixture.h"
#include "support/ScriptedPrompts.h"
#include "support/TestProgramFolder.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "data/Schema.h"

class TestSchema : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void picturesTableCreatedWhenMissing()
    {
        DataFixture f;
        f.makeDatabase(QStringLiteral("Inventory.mdb"), {QStringLiteral("DROP TABLE Pictures")});
        ScriptedPrompts prompts;
        QVERIFY(EnsurePicturesTable());
        QVERIFY(Database::open(InventoryDatabasePath()).hasTable(QStringLiteral("Pictures")));
        QCOMPARE(prompts.log().size(), 0);

        // It takes the part's number as its key, and pictures as they are.
        auto rs = Recordset::openDynaset(Connection::open(InventoryDatabasePath()), QStringLiteral("Select * from Pictures Where [Record Number] = 42"));
        QCOMPARE(rs->recordCount(), 0);
        rs->addNew();
        rs->setValue(QStringLiteral("Record Number"), 42);
        static const char pngBytes[] = "\x89PNG\r\n\x1a\n\0\0binary";
        const QByteArray png(pngBytes, sizeof pngBytes - 1);   // the NULs are part of it
        rs->setValue(QStringLiteral("Image1"), png);
        rs->update();
        QCOMPARE(f.scalar(QStringLiteral("select Image1 from Pictures where [Record Number] = 42")).toByteArray(), png);
        QVERIFY(EnsurePicturesTable());   // a second time changes nothing
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from Pictures")), QVariant(1LL));
    }

    void lowerCaseTableCountsAsPresent()
    {
        DataFixture f;
        f.makeDatabase(QStringLiteral("Inventory.mdb"), {QStringLiteral("DROP TABLE Pictures"),
                                                          QStringLiteral("CREATE TABLE pictures ([Record Number] INTEGER PRIMARY KEY, Image1 BLOB)"),
                                                          QStringLiteral("INSERT INTO pictures VALUES (7, x'01')")});
        ScriptedPrompts prompts;
        QVERIFY(EnsurePicturesTable());
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from sqlite_master where type='table' and name like 'pictures'")), QVariant(1LL));
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from pictures")), QVariant(1LL));
    }

    void menuCommandSaysCreatedThenExists()
    {
        DataFixture f;
        f.makeDatabase(QStringLiteral("Inventory.mdb"), {QStringLiteral("DROP TABLE Pictures")});
        ScriptedPrompts prompts;
        prompts.expectMessage().expectMessage();
        CreatePicturesTableFromMenu();
        CreatePicturesTableFromMenu();
        QCOMPARE(prompts.texts(), QStringList({"The images database has been created, please continue.",
                                               "The images database already exists, please continue."}));
        for (const auto& m : prompts.messages()) {
            QCOMPARE(m.style, 0);
            QCOMPARE(m.title, QString());
        }
        QVERIFY(Database::open(InventoryDatabasePath()).hasTable(QStringLiteral("Pictures")));
    }

    void failuresAreReported()
    {
        DataFixture f;   // no Inventory.mdb at all
        ScriptedPrompts prompts;
        prompts.expectMessage().expectMessage();
        QVERIFY(!EnsurePicturesTable());
        CreatePicturesTableFromMenu();
        QCOMPARE(prompts.messages().size(), 2);
        QVERIFY(prompts.texts().at(0).startsWith(QStringLiteral("The images table could not be created: ")));
        QVERIFY(prompts.texts().at(1).startsWith(QStringLiteral("The images database could not be created: ")));
        QCOMPARE(prompts.messages().at(1).style, 48);
        QVERIFY(!QFile::exists(f.file(QStringLiteral("Inventory.mdb"))));
    }

    void shippedTemplateWorksThroughTheEngine()
    {
        TestProgramFolder folder;
        QVERIFY(folder.installDatabase());
        auto rs = Recordset::openTable(Connection::open(InventoryDatabasePath()), QStringLiteral("Parts"));
        rs->setIndex(QStringLiteral("inv1"));
        QVERIFY(rs->recordCount() > 20);
        QString previous;
        for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
            const QString pn = rs->value(QStringLiteral("Part Number 1")).toString();
            QVERIFY2(previous.compare(pn, Qt::CaseInsensitive) <= 0, qPrintable(previous + " > " + pn));
            previous = pn;
        }
        auto info = Recordset::openTable(Connection::open(InventoryDatabasePath()), QStringLiteral("Information"));
        QCOMPARE(info->value(QStringLiteral("vendor 1")).toString(), QStringLiteral("AMF"));
        QCOMPARE(info->value(QStringLiteral("Po 2")), QVariant());
        info->edit();
        info->setValue(QStringLiteral("Via 3"), QStringLiteral("UPS GROUND"));
        info->update();
        QCOMPARE(info->value(QStringLiteral("Via 2")), QVariant());
    }
};

QTEST_MAIN(TestSchema)
#include "tst_schema.moc"
