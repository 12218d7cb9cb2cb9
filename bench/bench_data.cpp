// Data engine at scale: 100,000 parts and 1,000,000 usage rows.
// Targets: a seek or a save under 1 ms; a filter dynaset within 2x of the same query in SQLite.

#include "BenchSupport.h"
#include "data/Connection.h"
#include "data/Recordset.h"
#include "platform/AppFolder.h"

#include <QCoreApplication>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Inventory.mdb"));
    const int parts = 100000;
    bench::Timer t;
    bench::generateInventory(path, parts, 1000000);
    bench::report("generate 100,000 parts + 1,000,000 usage rows", t.ms(), "(setup)");

    auto conn = Connection::open(path);
    t.restart();
    auto rs = Recordset::openTable(conn, QStringLiteral("Parts"));
    rs->setIndex(QStringLiteral("inv1"));
    rs->moveFirst();
    bench::report("open Parts as a table on inv1", t.ms());

    QRandomGenerator rng(7);
    const int seeks = 10000;
    int misses = 0;
    t.restart();
    for (int i = 0; i < seeks; ++i) {
        const QString key = QStringLiteral("%1-%2").arg(rng.bounded(100), 2, 10, QLatin1Char('0')).arg(rng.bounded(parts), 6, 10, QLatin1Char('0'));
        misses += rs->seek(QStringLiteral(">="), key) ? 0 : 1;
    }
    const double seekMs = t.ms() / seeks;
    bench::report("seek >= on inv1 (each)", seekMs, seekMs < 1.0 ? "ok (< 1 ms)" : "SLOW (target < 1 ms)");

    t.restart();
    int walked = 0;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        ++walked;
    bench::report("walk all records in inv1 order", t.ms(), walked == parts ? "" : "WRONG COUNT");
    std::printf("%-52s %10.3f us\n", "  per move", t.ms() * 1000.0 / walked);

    const int edits = 10000;
    rs->moveFirst();
    t.restart();
    for (int i = 0; i < edits; ++i) {
        rs->edit();
        rs->setValue(QStringLiteral("In Stock"), i % 50);
        rs->update();
        rs->moveNext();
    }
    const double saveMs = t.ms() / edits;
    bench::report("edit + save + move (each)", saveMs, saveMs < 1.0 ? "ok (< 1 ms)" : "SLOW (target < 1 ms)");

    const QString jet = QStringLiteral("Select Parts.* From Parts Where [Location] LIKE '*A1*'");
    t.restart();
    auto dyn = Recordset::openDynaset(conn, jet);
    const int dynCount = dyn->recordCount();
    const double dynMs = t.ms();
    bench::report("dynaset LIKE '*A1*' (open + count)", dynMs);

    sqlite3* raw = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    t.restart();
    sqlite3_prepare_v2(raw, "SELECT * FROM Parts WHERE Location LIKE '%A1%'", -1, &st, nullptr);
    int rawCount = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        ++rawCount;
    sqlite3_finalize(st);
    const double rawMs = t.ms();
    sqlite3_close(raw);
    bench::report("same query in plain SQLite", rawMs, rawCount == dynCount ? "" : "COUNTS DIFFER");
    std::printf("%-52s %10.2f x %s\n", "dynaset / plain", dynMs / rawMs, dynMs <= 2 * rawMs ? "ok (<= 2x)" : "SLOW (target <= 2x)");
    return 0;
}
