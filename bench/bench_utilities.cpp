// Backup and import at scale: 100,000 parts and 1,000,000 usage rows zipped to drive A, an older
// dBASE table of 500,000 rows read and imported, and damaged archives of 1, 8 and 50 MB repaired.
// Targets: the backup zips at least 50 MB/s; the import reads at least 200,000 dBASE rows per
// second; Fix (normal and aggressive) mends a damaged archive of 1 MB in under 0.25 s, of 8 MB in
// under 0.5 s and of 50 MB in under 3 s.

#include "BenchSupport.h"
#include "ZipBytes.h"
#include "data/Connection.h"
#include "data/Database.h"
#include "platform/AppFolder.h"
#include "platform/DriveA.h"
#include "platform/Prompts.h"
#include "utilities/OldPartsImport.h"
#include "utilities/ZipArchiver.h"
#include "utilities/frmZipCreate.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <shapefil.h>

namespace {

// Drive A in a temporary folder, always ready.
class FolderDrive : public DriveA {
public:
    explicit FolderDrive(const QString& folder)
        : m_folder(folder)
    {
    }
    QString folder() override { return m_folder; }
    State state(bool) override { return State::Ready; }

private:
    QString m_folder;
};

// Answers every box with its first button (Yes to the backup question) and shows nothing.
class AnsweringPrompts : public Prompts {
public:
    QStringList texts;
    int message(const QString& text, int style, const QString&) override
    {
        texts << text;
        return answersOffered(style).value(0, Ok);
    }
    QString input(const QString&, const QString&, const QString& defaultText, int, int) override { return defaultText; }
    void beep() override {}
};

void writeOldTable(const QString& path, int rows)
{
    DBFHandle h = DBFCreateEx(QFile::encodeName(path).constData(), "LDID/0");
    const struct { const char* name; char type; int width; int decimals; } fields[] = {
        {"NUMBER1", 'C', 15, 0}, {"NUMBER2", 'C', 15, 0}, {"NUMBER3", 'C', 15, 0}, {"STOCK", 'N', 5, 0}, {"INSTOCK", 'N', 5, 0},
        {"LOCATION", 'C', 10, 0}, {"QTYB", 'N', 5, 0}, {"QTYQ", 'N', 5, 0}, {"QTYOTHER", 'N', 5, 0}, {"BRUNSBO", 'N', 5, 0},
        {"QUALITYBO", 'N', 5, 0}, {"OTHERBO", 'N', 5, 0}, {"MEMO1", 'C', 40, 0}, {"MEMO2", 'C', 40, 0}, {"AREA", 'C', 20, 0},
        {"DESCRIPT", 'C', 40, 0}, {"PAGE1", 'C', 5, 0}, {"PAGE2", 'C', 5, 0}, {"PAGE3", 'C', 5, 0}, {"PKGB", 'N', 5, 0},
        {"PKGQ", 'N', 5, 0}, {"PKGOTHER", 'N', 5, 0}, {"PRICEB", 'N', 10, 2}, {"PRICEQ", 'N', 10, 2}, {"OTHERPR", 'N', 10, 2},
    };
    for (const auto& f : fields)
        DBFAddNativeFieldType(h, f.name, f.type, f.width, f.decimals);
    QRandomGenerator rng(1993);
    for (int r = 0; r < rows; ++r) {
        // Numbers in the form of the generated catalogue, so that about one in five matches a part.
        const QByteArray n1 = QStringLiteral("%1-%2").arg(rng.bounded(100), 2, 10, QLatin1Char('0')).arg(rng.bounded(500000), 6, 10, QLatin1Char('0')).toLatin1();
        const QByteArray n2 = QByteArray::number(rng.bounded(1000000)).rightJustified(7, '0');
        const QByteArray values[] = {
            n1, n2, "", QByteArray::number(rng.bounded(6)).rightJustified(5), QByteArray::number(rng.bounded(40)).rightJustified(5),
            "A12", "    0", "    1", "    0", "    0", "    0", "    0", "REPLACE WHEN WORN", "", "TURRET",
            "SPRING, TURRET RETURN", "12", "7", "", "   10", "    5", "    1", "     12.50", "      3.75", "      0.00",
        };
        for (int i = 0; i < int(std::size(fields)); ++i)
            DBFWriteAttributeDirectly(h, r, i, const_cast<char*>(values[i].constData()));
    }
    DBFClose(h);
}

// An archive of about `size` bytes as other programs write them, damaged as archives come to be
// damaged: entries deflated and stored, with their sizes in the header or in a data descriptor
// after the data (with or without its signature), one in 40 with a byte of its data changed, one
// in 150 with its header's signature gone, and no central directory (an interrupted copy).
QByteArray damagedArchive(qint64 size, int* entries)
{
    using namespace zipbytes;
    QRandomGenerator rng(4242);
    QByteArray out;
    for (int n = 0; out.size() < size; ++n) {
        const QByteArray name = "part-" + QByteArray::number(n) + ".dat";
        const int length = 2000 + int(rng.bounded(10000));
        const qsizetype at = out.size();
        switch (n % 5) {
        case 0: entry(out, name, text(length, n), true, Sizes::InHeader); break;
        case 1: entry(out, name, noise(length, rng), false, Sizes::InHeader); break;
        case 2: entry(out, name, text(length, n), true, Sizes::SignedDescriptor); break;
        case 3: entry(out, name, noise(length, rng), false, Sizes::UnsignedDescriptor); break;
        default: entry(out, name, noise(length, rng), false, Sizes::SignedDescriptor); break;
        }
        if (n % 40 == 39)
            out[at + 30 + name.size() + 100] = char(out[at + 30 + name.size() + 100] ^ 0x5A);
        if (n % 150 == 149)
            out[at] = 'X';
        *entries = n + 1;
    }
    return out;
}

// Fix, normal and aggressive, on damaged archives of 1, 8 and 50 MB: the time grows with the size,
// not with its square.
void benchFix(const QString& folder)
{
    const QString archive = QDir(folder).filePath(QStringLiteral("damaged.zip"));
    for (const qint64 mb : {1, 8, 50}) {
        int entries = 0;
        const QByteArray bytes = damagedArchive(mb * 1000 * 1000, &entries);
        std::printf("%-52s %10d\n", QStringLiteral("entries in the %1 MB archive, 1 in 40 damaged").arg(mb).toUtf8().constData(), entries);
        for (const bool aggressive : {false, true}) {
            QFile f(archive);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
                std::exit(1);
            f.close();
            ZipArchiver zip;
            zip.setArchiveName(archive);
            bench::Timer t;
            const int result = zip.fix(aggressive);
            const double ms = t.ms();
            const QByteArray what = QStringLiteral("fix a damaged %1 MB archive (%2)").arg(mb).arg(aggressive ? "aggressive" : "normal").toUtf8();
            bench::report(what.constData(), ms, result == ZipArchiver::NotAZipFile ? "FAILED" : "");
            std::printf("%-52s %10d kept, %d dropped\n", "  entries", zip.fixKept(), zip.fixDropped());
            const double rate = bytes.size() / 1e6 / (ms / 1000.0);
            const double target = mb == 1 ? 250 : mb == 8 ? 500 : 3000;
            std::printf("%-52s %10.1f MB/s %s (target under %.2f s)\n", "  rate", rate, ms < target ? "ok" : "SLOW", target / 1000);
        }
    }
    QFile::remove(archive);
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QTemporaryDir drive;
    AppFolder::setPath(dir.path());
    FolderDrive driveA(drive.path());
    DriveA::install(&driveA);
    AnsweringPrompts prompts;
    Prompts::install(&prompts);

    // "backup", "import" or "fix" runs that part only.
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const bool backup = only.isEmpty() || only == QLatin1String("backup");
    const bool import = only.isEmpty() || only == QLatin1String("import");
    if (only.isEmpty() || only == QLatin1String("fix"))
        benchFix(drive.path());
    if (!backup && !import)
        return 0;

    const QString inventory = dir.filePath(QStringLiteral("Inventory.mdb"));
    bench::Timer t;
    bench::generateInventory(inventory, 100000, 1000000);
    const double mb = QFileInfo(inventory).size() / 1e6;
    bench::report("generate 100,000 parts + 1,000,000 usage rows", t.ms(), "(setup)");
    std::printf("%-52s %10.1f MB\n", "  database size", mb);

    // The archiver alone: one file into a new archive at the normal level.
    if (backup) {
        ZipArchiver zip;
        zip.setArchiveName(drive.filePath(QStringLiteral("plain.zip")));
        zip.setFilesToProcess(inventory + QLatin1Char('\r'));
        t.restart();
        const int result = zip.add(ZipArchiver::AddFiles);
        const double ms = t.ms();
        bench::report("zip Inventory.mdb (level 6)", ms, result == 0 ? "" : "FAILED");
        std::printf("%-52s %10.1f MB/s\n", "  rate", mb / (ms / 1000.0));
    }

    if (backup) {
        t.restart();
        Database::copy(inventory, dir.filePath(QStringLiteral("snapshot.mdb")));
        bench::report("  of which: consistent copy of the database", t.ms());
        t.restart();
        const bool ok = ZipArchiver::verify(drive.filePath(QStringLiteral("plain.zip")));
        bench::report("  of which: reading the archive back", t.ms(), ok ? "" : "FAILED");
        QFile::remove(dir.filePath(QStringLiteral("snapshot.mdb")));
    }

    // The whole automatic backup: snapshot, zip, read back.
    if (backup) {
        frmZipCreate w;
        t.restart();
        w.mnuAutomaticBackup_Click();
        const double ms = t.ms();
        const bool done = prompts.texts.contains(QStringLiteral("Compressed backup process completed!"));
        bench::report("automatic backup to drive A (snapshot, zip, verify)", ms, done ? "" : "FAILED");
        const double rate = mb / (ms / 1000.0);
        std::printf("%-52s %10.1f MB/s %s\n", "  rate", rate, rate >= 50 ? "ok (>= 50 MB/s)" : "SLOW (target >= 50 MB/s)");
        const QString archive = drive.filePath(QStringLiteral("InventoryBackup.zip"));
        std::printf("%-52s %10.1f MB\n", "  archive size", QFileInfo(archive).size() / 1e6);
    }

    // The import: reading the dBASE table, then a whole pass against the large catalogue.
    if (import) {
        QTemporaryDir old;
        const int rows = 500000;
        const QString table = old.filePath(QStringLiteral("INVNTORY.dbf"));
        t.restart();
        writeOldTable(table, rows);
        bench::report("generate INVNTORY.DBF with 500,000 rows", t.ms(), "(setup)");

        t.restart();
        const QList<OldPartRecord> source = readOldParts(table, 1);
        const double readMs = t.ms();
        bench::report("read, filter and sort the old table (vendor 1)", readMs);
        const double perSecond = rows / (readMs / 1000.0);
        std::printf("%-52s %10.0f rows/s %s\n", "  rate", perSecond, perSecond >= 200000 ? "ok (>= 200,000 rows/s)" : "SLOW (target >= 200,000 rows/s)");
        std::printf("%-52s %10lld\n", "  rows in the pass", static_cast<long long>(source.size()));

        t.restart();
        const ImportPass pass = ImportPass::prepare(1, table, inventory);
        bench::report("prepare the vendor-1 pass (both lists)", t.ms());
        t.restart();
        const ImportOutcome outcome = pass.run();
        bench::report("run the vendor-1 pass (one transaction)", t.ms());
        std::printf("%-52s %10d matched, %lld added, %lld failed\n", "  result", outcome.matched,
                    static_cast<long long>(outcome.added.size()), static_cast<long long>(outcome.failed.size()));
    }
    Prompts::install(nullptr);
    Connection::closeAll();
    return 0;
}
