// The recordset kinds the screens browse with: order, seek, moves, bookmarks, counts,
// editing, and the dialect's statements checked against the rows they return.

#include "DataFixture.h"
#include "data/Database.h"
#include "data/Recordset.h"

#include <QDir>

namespace {

QStringList column(Recordset& rs, const QString& field)
{
    QStringList out;
    rs.moveFirst();
    while (!rs.eof()) {
        out << rs.value(field).toString();
        rs.moveNext();
    }
    return out;
}

QStringList query(const std::shared_ptr<Connection>& c, const QString& jetSql, const QString& field = QStringLiteral("Part Number 1"))
{
    auto rs = Recordset::openDynaset(c, jetSql);
    return column(*rs, field);
}

} // namespace

class TestRecordset : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tableOrderAndSeekIgnoreCase()
    {
        DataFixture f;
        f.makeInventory();
        auto rs = Recordset::openTable(f.open(), QStringLiteral("parts"));   // table names in any case
        QCOMPARE(rs->index(), QString());
        QCOMPARE(column(*rs, QStringLiteral("Part Number 1")), QStringList({"ABC", "abd", "00123", "X-5", "M7"}));

        rs->setIndex(QStringLiteral("INV1"));
        QCOMPARE(column(*rs, QStringLiteral("part number 1")), QStringList({"00123", "ABC", "abd", "M7", "X-5"}));

        QVERIFY(rs->seek(QStringLiteral(">="), QStringLiteral("abc")));
        QCOMPARE(rs->value(QStringLiteral("Part Number 1")).toString(), QStringLiteral("ABC"));
        QVERIFY(!rs->noMatch());
        QVERIFY(rs->seek(QStringLiteral(">="), QStringLiteral("ABE")));
        QCOMPARE(rs->value(QStringLiteral("Part Number 1")).toString(), QStringLiteral("M7"));
        QVERIFY(rs->seek(QStringLiteral("="), QStringLiteral("x-5")));
        QCOMPARE(rs->value(QStringLiteral("Description")).toString(), QStringLiteral("Pin 'deck'"));

        // Past the last key: no match and no current record; the flag stays until the next seek.
        QVERIFY(!rs->seek(QStringLiteral(">="), QStringLiteral("Y")));
        QVERIFY(rs->noMatch());
        QVERIFY(!rs->hasCurrent());
        QVERIFY(rs->eof());
        rs->moveFirst();
        QVERIFY(rs->noMatch());
        QVERIFY(rs->seek(QStringLiteral(">="), QStringLiteral("0")));
        QVERIFY(!rs->noMatch());

        // Empty and missing keys sort first; a non-empty key never finds them.
        rs->setIndex(QStringLiteral("inv2"));
        QVERIFY(rs->seek(QStringLiteral(">="), QStringLiteral("A")));
        QCOMPARE(rs->value(QStringLiteral("Part Number 2")).toString(), QStringLiteral("a2"));
        QVERIFY(rs->seek(QStringLiteral("<"), QStringLiteral("Z")));
        QCOMPARE(rs->value(QStringLiteral("Part Number 2")).toString(), QStringLiteral("Y1"));

        QVERIFY_THROWS_EXCEPTION(DbError, rs->setIndex(QStringLiteral("nosuch")));
        auto dyn = Recordset::openDynaset(f.open(), QStringLiteral("Select * from Parts"));
        QVERIFY_THROWS_EXCEPTION(DbError, dyn->setIndex(QStringLiteral("inv1")));
        QVERIFY_THROWS_EXCEPTION(DbError, dyn->seek(QStringLiteral(">="), QStringLiteral("A")));
    }

    void movesCountsAndBookmarks()
    {
        DataFixture f;
        f.makeInventory();
        f.makeDatabase(QStringLiteral("Empty.mdb"));
        auto empty = Recordset::openTable(f.open(QStringLiteral("Empty.mdb")), QStringLiteral("Parts"));
        QCOMPARE(empty->recordCount(), 0);
        QVERIFY(empty->bof() && empty->eof());
        empty->moveNext();
        empty->moveLast();
        QVERIFY(!empty->hasCurrent());
        QVERIFY_THROWS_EXCEPTION(DbError, empty->value(QStringLiteral("Description")));
        QVERIFY_THROWS_EXCEPTION(DbError, empty->bookmark());

        auto rs = Recordset::openTable(f.open(), QStringLiteral("Parts"));
        rs->setIndex(QStringLiteral("inv1"));
        QCOMPARE(rs->recordCount(), 5);
        rs->moveFirst();
        rs->moveNext();
        const Bookmark abc = rs->bookmark();
        rs->moveLast();
        QCOMPARE(rs->value(QStringLiteral("Part Number 1")).toString(), QStringLiteral("X-5"));
        rs->moveNext();
        QVERIFY(rs->eof());
        QVERIFY(!rs->hasCurrent());
        rs->moveNext();   // at EOF already: stays there
        QVERIFY(rs->eof());
        rs->movePrevious();
        QCOMPARE(rs->value(QStringLiteral("Part Number 1")).toString(), QStringLiteral("X-5"));
        rs->setBookmark(abc);
        QCOMPARE(rs->value(QStringLiteral("Part Number 1")).toString(), QStringLiteral("ABC"));
        QCOMPARE(rs->absolutePosition(), 1);
        rs->moveFirst();
        rs->movePrevious();
        QVERIFY(rs->bof());

        // A clone shares rows and bookmarks but moves on its own.
        auto copy = rs->clone();
        copy->setBookmark(abc);
        rs->moveLast();
        QCOMPARE(copy->value(QStringLiteral("Part Number 1")).toString(), QStringLiteral("ABC"));
    }

    void editAddDelete()
    {
        DataFixture f;
        f.makeInventory();
        auto c = f.open();
        auto rs = Recordset::openTable(c, QStringLiteral("Parts"));
        rs->setIndex(QStringLiteral("inv1"));
        rs->seek(QStringLiteral("="), QStringLiteral("M7"));

        // Setting a field needs edit mode.
        QVERIFY_THROWS_EXCEPTION(DbError, rs->setValue(QStringLiteral("In Stock"), 3));
        rs->edit();
        rs->setValue(QStringLiteral("in stock"), QStringLiteral("2.5"));   // half to even
        QCOMPARE(rs->value(QStringLiteral("In Stock")).toLongLong(), 2);
        rs->setValue(QStringLiteral("Minimum Stock"), QStringLiteral("3.5"));
        rs->setValue(QStringLiteral("Price 1"), QStringLiteral("$1,234.56789"));
        QVERIFY_THROWS_EXCEPTION(DbError, rs->setValue(QStringLiteral("In Stock"), QStringLiteral("abc")));
        QVERIFY_THROWS_EXCEPTION(DbError, rs->setValue(QStringLiteral("Date Ordered"), QStringLiteral("13/45/07")));
        rs->setValue(QStringLiteral("Date Ordered"), QStringLiteral("2/3/04"));
        rs->update();
        QCOMPARE(f.scalar(QStringLiteral("select [In Stock] from Parts where [Part Number 1]='M7'")), QVariant(2LL));
        QCOMPARE(f.scalar(QStringLiteral("select [Minimum Stock] from Parts where [Part Number 1]='M7'")), QVariant(4LL));
        QCOMPARE(f.scalar(QStringLiteral("select [Price 1] from Parts where [Part Number 1]='M7'")), QVariant(1234.5679));
        QCOMPARE(f.scalar(QStringLiteral("select [Date Ordered] from Parts where [Part Number 1]='M7'")), QVariant(QStringLiteral("2004-02-03")));
        QCOMPARE(rs->value(QStringLiteral("Date Ordered")), QVariant(QDate(2004, 2, 3)));

        // A pending edit is written by the move that leaves the record, also the move to EOF.
        rs->moveLast();
        rs->edit();
        rs->setValue(QStringLiteral("Location"), QStringLiteral("Z9"));
        rs->moveNext();
        QVERIFY(rs->eof());
        QCOMPARE(f.scalar(QStringLiteral("select Location from Parts where [Part Number 1]='X-5'")), QVariant(QStringLiteral("Z9")));

        // An added part stays current after it is written, at its place in the index.
        rs->addNew();
        QCOMPARE(rs->value(QStringLiteral("In Stock")), QVariant(0LL));   // the field's default
        rs->setValue(QStringLiteral("Part Number 1"), QStringLiteral("B1"));
        rs->update();
        QCOMPARE(rs->value(QStringLiteral("Part Number 1")).toString(), QStringLiteral("B1"));
        const qint64 added = rs->value(QStringLiteral("Record Number")).toLongLong();
        QCOMPARE(added, 6);
        rs->edit();
        rs->setValue(QStringLiteral("Description"), QStringLiteral("Added"));
        rs->update();
        QCOMPARE(f.scalar(QStringLiteral("select Description from Parts where [Record Number]=6")), QVariant(QStringLiteral("Added")));
        rs->moveNext();
        QCOMPARE(rs->value(QStringLiteral("Part Number 1")).toString(), QStringLiteral("M7"));

        // An added record nothing was written into is not stored.
        rs->addNew();
        rs->moveFirst();
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from Parts")), QVariant(6LL));

        // Delete, then the next move goes on from where the record was.
        rs->seek(QStringLiteral("="), QStringLiteral("ABC"));
        rs->deleteCurrent();
        QVERIFY(!rs->hasCurrent());
        QCOMPARE(rs->recordCount(), 5);
        rs->moveNext();
        QCOMPARE(rs->value(QStringLiteral("Part Number 1")).toString(), QStringLiteral("abd"));

        // A key edit re-sorts a table: the part moves to its new place.
        rs->edit();
        rs->setValue(QStringLiteral("Part Number 1"), QStringLiteral("ZZZ"));
        rs->update();
        QCOMPARE(rs->absolutePosition(), 4);
        rs->moveNext();
        QVERIFY(rs->eof());
    }

    void recordNumbersNeverReused()
    {
        DataFixture f;
        f.makeInventory();
        {
            auto rs = Recordset::openTable(f.open(), QStringLiteral("Parts"));
            rs->moveLast();
            QCOMPARE(rs->value(QStringLiteral("Record Number")).toLongLong(), 5);
            rs->deleteCurrent();
        }
        Connection::closeFile(f.file(QStringLiteral("Inventory.mdb")));
        Database::compact(f.file(QStringLiteral("Inventory.mdb")), f.file(QStringLiteral("INV1.MDB")));
        QVERIFY(QFile::remove(f.file(QStringLiteral("Inventory.mdb"))));
        QVERIFY(QFile::rename(f.file(QStringLiteral("INV1.MDB")), f.file(QStringLiteral("Inventory.mdb"))));
        auto rs = Recordset::openTable(f.open(), QStringLiteral("Parts"));
        rs->addNew();
        rs->setValue(QStringLiteral("Part Number 1"), QStringLiteral("NEW"));
        rs->update();
        QCOMPARE(rs->value(QStringLiteral("Record Number")).toLongLong(), 6);
        // Compacting into an existing file is refused and leaves it alone.
        QFile stale(f.file(QStringLiteral("INV1.MDB")));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("old");
        stale.close();
        QVERIFY_THROWS_EXCEPTION(DbError, Database::compact(f.file(QStringLiteral("Inventory.mdb")), f.file(QStringLiteral("INV1.MDB"))));
        QCOMPARE(QFileInfo(f.file(QStringLiteral("INV1.MDB"))).size(), 3);
    }

    void textKeepsLeadingZerosAndTypes()
    {
        DataFixture f;
        f.makeInventory();
        auto rs = Recordset::openDynaset(f.open(), QStringLiteral("Select * from Parts where [Part Number 1] = '00123'"));
        QCOMPARE(rs->recordCount(), 1);
        QCOMPARE(rs->value(QStringLiteral("Part Number 1")), QVariant(QStringLiteral("00123")));
        QCOMPARE(rs->value(QStringLiteral("In Stock")), QVariant(10LL));
        QCOMPARE(rs->value(QStringLiteral("Price 1")), QVariant(3.1));
        QCOMPARE(rs->value(QStringLiteral("Default 1")), QVariant(false));
        QVERIFY(!rs->value(QStringLiteral("Date Ordered")).isValid());
        rs->edit();
        rs->setValue(QStringLiteral("Page 1"), QStringLiteral("007"));
        rs->setValue(QStringLiteral("Default 1"), true);
        rs->update();
        QCOMPARE(f.scalar(QStringLiteral("select [Page 1] from Parts where [Part Number 1]='00123'")), QVariant(QStringLiteral("007")));
        QCOMPARE(f.scalar(QStringLiteral("select [Default 1] from Parts where [Part Number 1]='00123'")), QVariant(1LL));
        QVERIFY_THROWS_EXCEPTION(DbError, rs->value(QStringLiteral("No Such Field")));
    }

    void dynasetWritesBackAndKeepsMembers()
    {
        DataFixture f;
        f.makeInventory();
        auto c = f.open();
        auto rs = Recordset::openDynaset(c, QStringLiteral("Select Parts.* From Parts Where [In Stock] < [Minimum Stock] ORDER BY [Part Number 1] ASC"));
        QVERIFY(rs->isUpdatable());
        QCOMPARE(column(*rs, QStringLiteral("Part Number 1")), QStringList({"abd"}));
        rs->moveFirst();
        rs->edit();
        rs->setValue(QStringLiteral("In Stock"), 50);   // no longer matches ...
        rs->update();
        QCOMPARE(f.scalar(QStringLiteral("select [In Stock] from Parts where [Part Number 1]='abd'")), QVariant(50LL));
        QCOMPARE(rs->recordCount(), 1);                 // ... but stays until the set is opened again
        rs->addNew();
        rs->setValue(QStringLiteral("Part Number 1"), QStringLiteral("NEW"));
        rs->update();
        QCOMPARE(rs->recordCount(), 2);
        QCOMPARE(rs->value(QStringLiteral("Part Number 1")).toString(), QStringLiteral("NEW"));

        // A join or an aggregate is read, not written.
        auto snap = Recordset::openDynaset(c, QStringLiteral("Select Location, count(*) as N from Parts group by Location order by Location"));
        QVERIFY(!snap->isUpdatable());
        QCOMPARE(snap->recordCount(), 5);   // the new part has no location: it groups first
        QVERIFY(!snap->value(QStringLiteral("location")).isValid());
        snap->moveNext();
        QCOMPARE(snap->value(QStringLiteral("location")).toString(), QStringLiteral("A1"));
        QCOMPARE(snap->value(QStringLiteral("n")).toLongLong(), 2);
        QVERIFY_THROWS_EXCEPTION(DbError, snap->edit());
    }

    void dialectAgainstRows()
    {
        DataFixture f;
        f.makeInventory();
        auto c = f.open();
        const QString base = QStringLiteral("Select Parts.* From Parts Where ");
        QCOMPARE(query(c, base + QStringLiteral("[Location] = 'a1' ORDER BY [Part Number 1] ASC")), QStringList({"00123", "ABC"}));
        QCOMPARE(query(c, base + QStringLiteral("[Location] LIKE '*A1*' ORDER BY [Location] ASC, [Part Number 1] DESC")), QStringList({"ABC", "00123", "M7"}));
        QCOMPARE(query(c, base + QStringLiteral("[Location] LIKE '?#' ORDER BY [Record Number]")), QStringList({"ABC", "abd", "00123", "X-5"}));
        QCOMPARE(query(c, base + QStringLiteral("[Description] LIKE '*[*]'")), QStringList({"M7"}));
        QCOMPARE(query(c, base + QStringLiteral("[Location] NOT LIKE '*A1*' ORDER BY [Record Number]")), QStringList({"abd", "X-5"}));
        QCOMPARE(query(c, base + QStringLiteral("[Date Ordered] > #12/01/93# and [Date Ordered] <= #2/20/2004# ORDER BY [Record Number]")), QStringList({"abd", "X-5"}));
        QCOMPARE(query(c, base + QStringLiteral("[Date Ordered] = #12/1/1993#")), QStringList({"ABC"}));
        QCOMPARE(query(c, base + QStringLiteral("[Default 1] = YES ORDER BY [Record Number]")), QStringList({"ABC", "X-5"}));
        QCOMPARE(query(c, base + QStringLiteral("[Default 1] = False or [Price 1] > 99 ORDER BY [Record Number]")), QStringList({"abd", "00123", "M7"}));
        QCOMPARE(query(c, base + QStringLiteral("[Description] = \"Pin 'deck'\"")), QStringList({"X-5"}));
        QCOMPARE(query(c, base + QStringLiteral("[Price 1] >= .75 and [Price 1] < 1E+1 ORDER BY [Record Number]")), QStringList({"abd", "00123", "X-5"}));
        QCOMPARE(query(c, QStringLiteral("select * from parts where [In Stock] < [Minimum Stock] and [Quantity Ordered 1] = 0")), QStringList({"abd"}));

        Database db = Database::open(f.file(QStringLiteral("Inventory.mdb")));
        db.execute(QStringLiteral("Delete * From Parts Where [Location] LIKE 'A1*'"));
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from Parts")), QVariant(2LL));
        db.execute(QStringLiteral("Delete * From Parts"));
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from Parts")), QVariant(0LL));
    }

    void engineErrorsCarryTheirNumbers()
    {
        DataFixture f;
        f.makeInventory();
        Database db = Database::open(f.file(QStringLiteral("Inventory.mdb")));
        try {
            db.execute(QStringLiteral("CREATE TABLE parts (x TEXT)"));
            QFAIL("created a table that exists");
        } catch (const DbError& e) {
            QCOMPARE(e.number(), EngineError::TableExists);
        }
        try {
            Recordset::openDynaset(db.connection(), QStringLiteral("select * from Nowhere"));
            QFAIL("opened a missing table");
        } catch (const DbError& e) {
            QCOMPARE(e.number(), EngineError::TableNotFound);
        }
        try {
            Recordset::openDynaset(db.connection(), QStringLiteral("select * from Parts where [No Field] = 1"));
            QFAIL("accepted an unknown field");
        } catch (const DbError& e) {
            QCOMPARE(e.number(), EngineError::TooFewParameters);
        }
        try {
            Database::open(f.file(QStringLiteral("Missing.mdb")));
            QFAIL("opened a missing file");
        } catch (const DbError& e) {
            QCOMPARE(e.number(), EngineError::FileNotFound);
        }
        QVERIFY(!QFile::exists(f.file(QStringLiteral("Missing.mdb"))));   // never created by opening

        QFile junk(f.file(QStringLiteral("Junk.mdb")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        try {
            Database::open(junk.fileName());
            QFAIL("opened a file that is not a database");
        } catch (const DbError& e) {
            QCOMPARE(e.number(), EngineError::NotADatabase);
        }

        // A read-only file opens, and a write says so with the read-only number.
        db.close();
        Connection::closeFile(f.file(QStringLiteral("Inventory.mdb")));
        QFile::setPermissions(f.file(QStringLiteral("Inventory.mdb")), QFile::ReadOwner);
        if (QFileInfo(f.file(QStringLiteral("Inventory.mdb"))).isWritable())
            QSKIP("running with rights that ignore file permissions");
        auto rs = Recordset::openTable(f.open(), QStringLiteral("Parts"));
        rs->edit();
        rs->setValue(QStringLiteral("Location"), QStringLiteral("Q"));
        try {
            rs->update();
            QFAIL("wrote to a read-only file");
        } catch (const DbError& e) {
            QCOMPARE(e.number(), EngineError::FileLocked);
        }
    }

    // Block reads (the ordering screen's read-ahead and totals) give what reading the records
    // one by one gives, in every order the screens open the parts in, also after changes.
    void blockReadsMatchRowReads()
    {
        DataFixture f;
        QStringList rows;
        quint32 seed = 7;
        const auto next = [&seed](int n) { seed = seed * 1103515245u + 12345u; return int((seed >> 8) % quint32(n)); };
        for (int i = 0; i < 600; ++i) {
            const auto text = [&](const char* prefix) {
                return next(9) == 0 ? QStringLiteral("NULL") : QStringLiteral("'%1%2'").arg(QLatin1String(prefix)).arg(next(5000));
            };
            rows << QStringLiteral("(%1,%2,%3,'Part %4',%5,%6,%7)").arg(text("A"), text("B"), text("C")).arg(i).arg(text("L")).arg(next(40)).arg(next(100000) / 100.0);
        }
        f.makeDatabase(QStringLiteral("Inventory.mdb"), {QStringLiteral("INSERT INTO Parts([Part Number 1],[Part Number 2],[Part Number 3],Description,Location,[In Stock],[Price 1]) VALUES ") + rows.join(u',')});
        auto c = f.open();
        const QStringList indexes{QString(), QStringLiteral("inv1"), QStringLiteral("inv2"), QStringLiteral("inv3"), QStringLiteral("location")};
        const QStringList orders{QString(), QStringLiteral(" ORDER BY [In Stock], [Part Number 2]"), QStringLiteral(" ORDER BY [Price 1] DESC")};
        const auto open = [&](qsizetype i) {
            if (i < indexes.size()) {
                auto rs = Recordset::openTable(c, QStringLiteral("Parts"));
                if (!indexes[i].isEmpty())
                    rs->setIndex(indexes[i]);
                return rs;
            }
            return Recordset::openDynaset(c, QStringLiteral("Select * from Parts where [In Stock] < 30") + orders[i - indexes.size()]);
        };
        const auto compare = [](Recordset& rs) {
            const QList<int> fields{rs.fieldIndex(QStringLiteral("Part Number 2")), rs.fieldIndex(QStringLiteral("In Stock")),
                                    rs.fieldIndex(QStringLiteral("Price 1")), rs.fieldIndex(QStringLiteral("Description"))};
            auto walker = rs.clone();
            const int count = walker->recordCount();
            // Blocks of several sizes and starts, the last one running past the end.
            for (const auto& [from, size] : {std::pair{0, count}, {5, 300}, {count - 40, 64}}) {
                const QVector<QVariant> block = rs.valuesAt(from, size, fields);
                QCOMPARE(block.size(), qMin(size, count - from) * fields.size());
                for (int r = 0; r < block.size() / fields.size(); ++r) {
                    walker->moveToPosition(from + r);
                    for (int k = 0; k < fields.size(); ++k)
                        QCOMPARE(block[r * fields.size() + k], walker->value(fields[k]));
                }
            }
        };
        for (qsizetype i = 0; i < indexes.size() + orders.size(); ++i) {
            auto rs = open(i);
            compare(*rs);
            // Then after an edit (to the key of inv2, which re-sorts it), a write without moving,
            // a delete and an add through the same set.
            QVERIFY(rs->isUpdatable());
            rs->moveToPosition(10);
            rs->edit();
            rs->setValue(QStringLiteral("Part Number 2"), QStringLiteral("ZZZ%1").arg(i));
            rs->update();
            rs->writeAt(20, {{QStringLiteral("In Stock"), 3}, {QStringLiteral("Description"), QStringLiteral("Written")}});
            rs->moveToPosition(30);
            rs->deleteCurrent();
            rs->addNew();
            rs->setValue(QStringLiteral("Part Number 2"), QStringLiteral("B0%1").arg(i));
            rs->update();
            compare(*rs);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(rs->source() + QLatin1Char(' ') + rs->index()));

            // A change pending on the current record shows as the screen shows it.
            rs->moveToPosition(2);
            rs->edit();
            rs->setValue(QStringLiteral("In Stock"), 77);
            QCOMPARE(rs->valuesAt(0, 5, {rs->fieldIndex(QStringLiteral("In Stock"))}).at(2), QVariant(77LL));
            rs->cancelUpdate();
        }
    }

    // The data version tells whether the file changed since it was taken: by this connection or
    // by another one, never by reading; and it is 0 while the file is closed.
    void dataVersionFollowsWrites()
    {
        DataFixture f;
        f.makeInventory();
        auto c = f.open();
        const auto read = [&c] { Statement st = c->prepare(QStringLiteral("SELECT count(*) FROM Parts")); st.step(); };
        read();
        const quint64 start = c->dataVersion();
        QVERIFY(start != 0);
        read();
        QCOMPARE(c->dataVersion(), start);
        c->execute(QStringLiteral("UPDATE Parts SET [In Stock] = 9 WHERE [Part Number 1] = 'M7'"));
        const quint64 own = c->dataVersion();
        QVERIFY(own != start);
        QVERIFY(directExec(f.file(QStringLiteral("Inventory.mdb")), QStringLiteral("UPDATE Parts SET [In Stock] = 8 WHERE [Part Number 1] = 'M7'")));
        read();
        QVERIFY(c->dataVersion() != own);
        c->close();
        QCOMPARE(c->dataVersion(), 0u);
    }

    void copyIsAConsistentSnapshot()
    {
        DataFixture f;
        f.makeInventory();
        auto rs = Recordset::openTable(f.open(), QStringLiteral("Parts"));
        Database::copy(f.file(QStringLiteral("Inventory.mdb")), f.file(QStringLiteral("Copy.mdb")));
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from Parts"), QStringLiteral("Copy.mdb")), QVariant(5LL));
        QVERIFY_THROWS_EXCEPTION(DbError, Database::copy(f.file(QStringLiteral("Inventory.mdb")), f.file(QStringLiteral("no/such/folder/Copy.mdb"))));
        QCOMPARE(QDir(f.dir.path()).entryList(QStringList() << QStringLiteral(".copy-*"), QDir::Hidden | QDir::Files).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
