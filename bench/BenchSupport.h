#pragma once

// Shared by the benchmarks: a scale database generated from the real schema, and timing.

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QTextStream>
#include <cstdio>
#include <sqlite3.h>

namespace bench {

inline void check(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }
}

// Writes `path` with the schema, `parts` generated parts and `usage` usage rows.
inline void generateInventory(const QString& path, int parts, int usage)
{
    QFile::remove(path);
    QFile schema(QStringLiteral(INVENTORY_SCHEMA_SQL));
    if (!schema.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "schema not found\n");
        std::exit(1);
    }
    sqlite3* db = nullptr;
    check(sqlite3_open(QFile::encodeName(path).constData(), &db), db, "create");
    check(sqlite3_exec(db, schema.readAll().constData(), nullptr, nullptr, nullptr), db, "schema");
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db,
        "INSERT INTO Parts([Part Number 1],[Part Number 2],Description,[Area of Machine],Location,[In Stock],[Minimum Stock],"
        "[Price 1],[Package 1],[Minimum Buy 1],[Default 1]) VALUES (?,?,?,?,?,?,?,?,1,1,1)", -1, &st, nullptr), db, "prepare");
    QRandomGenerator rng(20261208);
    const char* areas[] = {"TURRET", "DECK", "RAKE", "PIT", "ELEVATOR", "ELECTRICAL"};
    for (int i = 0; i < parts; ++i) {
        const QByteArray pn1 = QStringLiteral("%1-%2").arg(rng.bounded(100), 2, 10, QLatin1Char('0')).arg(i, 6, 10, QLatin1Char('0')).toUtf8();
        const QByteArray pn2 = QByteArray::number(rng.bounded(1000000)).rightJustified(7, '0');
        const QByteArray desc = QStringLiteral("PART %1 %2").arg(i).arg(QChar('A' + rng.bounded(26))).toUtf8();
        const QByteArray loc = QStringLiteral("%1%2").arg(QChar('A' + rng.bounded(26))).arg(rng.bounded(40)).toUtf8();
        sqlite3_bind_text(st, 1, pn1.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, pn2.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, desc.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, areas[rng.bounded(6)], -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 5, loc.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 6, rng.bounded(20));
        sqlite3_bind_int(st, 7, rng.bounded(10));
        sqlite3_bind_double(st, 8, rng.bounded(100000) / 100.0);
        check(sqlite3_step(st), db, "insert part");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_prepare_v2(db, "INSERT INTO PartsUsage VALUES (?,?,?,?)", -1, &st, nullptr), db, "prepare usage");
    for (int i = 0; i < usage; ++i) {
        sqlite3_bind_int(st, 1, 1 + rng.bounded(parts));
        sqlite3_bind_double(st, 2, 1 + rng.bounded(4));
        sqlite3_bind_double(st, 3, 1 + rng.bounded(48));
        const QByteArray d = QStringLiteral("20%1-%2-%3").arg(10 + rng.bounded(16)).arg(1 + rng.bounded(12), 2, 10, QLatin1Char('0'))
                                 .arg(1 + rng.bounded(28), 2, 10, QLatin1Char('0')).toUtf8();
        sqlite3_bind_text(st, 4, d.constData(), -1, SQLITE_TRANSIENT);
        check(sqlite3_step(st), db, "insert usage");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

class Timer
{
public:
    Timer() { t_.start(); }
    double ms() const { return t_.nsecsElapsed() / 1e6; }
    void restart() { t_.restart(); }
private:
    QElapsedTimer t_;
};

inline void report(const char* what, double ms, const char* note = "")
{
    std::printf("%-52s %10.3f ms %s\n", what, ms, note);
    std::fflush(stdout);
}

} // namespace bench
