// Copies of the database (Save As, compaction) written whole or not at all: a program killed while
// it writes one leaves nothing behind and the files there as they were.

#include "DataFixture.h"

#include "data/Database.h"
#include "support/KilledWhileWriting.h"

#include <QDir>
#include <QTest>

class TestDatabaseFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void copiesLeaveNothingWhenKilled()
    {
        DataFixture f;
        // Some megabytes, far beyond what the killed copies may write.
        const QString database = f.makeDatabase(QStringLiteral("Inventory.mdb"), {QStringLiteral(
            "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 20000) "
            "INSERT INTO Parts([Part Number 1], Description) SELECT 'P' || x, hex(randomblob(60)) FROM n")});
        const QString saved = f.file(QStringLiteral("Saved"));
        QVERIFY(QDir().mkpath(saved));
        const QString copy = QDir(saved).filePath(QStringLiteral("Copy.mdb"));
        Database::copy(database, copy);
        const QByteArray before = [&] {
            QFile file(copy);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        const QStringList folder = QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        // Save As over an earlier copy, and compaction.
        QVERIFY(killedWhileWriting([&] { Database::copy(database, copy); }, 256 * 1024));
        QVERIFY(killedWhileWriting([&] { Database::compact(database, f.file(QStringLiteral("INV1.MDB"))); }, 256 * 1024));
        QCOMPARE(QDir(saved).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{QStringLiteral("Copy.mdb")});
        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), folder);

        // Left to finish, the compacted copy is the database.
        Database::compact(database, f.file(QStringLiteral("INV1.MDB")));
        QCOMPARE(f.scalar(QStringLiteral("SELECT COUNT(*) FROM Parts"), QStringLiteral("INV1.MDB")), QVariant(20000LL));
    }
};

QTEST_GUILESS_MAIN(TestDatabaseFiles)
#include "tst_databasefiles.moc"
