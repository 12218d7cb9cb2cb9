// The zip archiver on real archives: what each method writes and reports, how it fails, and that
// a failed or aborted operation leaves the files it works on as they were.

#include "ZipFixture.h"

#include "support/KilledWhileWriting.h"
#include "utilities/ZipArchiver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

namespace {

QString cr(const QStringList& names)
{
    QString out;
    for (const QString& n : names)
        out += n + QLatin1Char('\r');
    return out;
}

// Runs a shell command in folder; its exit code.
int run(const QString& folder, const QByteArray& command)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral("sh"), {QStringLiteral("-c"), QString::fromLocal8Bit(command)});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    return p.exitCode();
}

// The entries as another program's lister shows them: size, date, time and name.
QStringList entryLines(const QString& archive)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-l"), archive});
    p.waitForFinished(60000);
    static const QRegularExpression entry(QStringLiteral("^\\s*\\d+\\s+\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d\\s"));
    QStringList out;
    for (const QString& line : QString::fromLocal8Bit(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (entry.match(line).hasMatch())
            out << line.trimmed();
    }
    return out;
}

// Every event of one archiver, as text, in order.
struct Events {
    QStringList log;
    explicit Events(ZipArchiver& z)
    {
        QObject::connect(&z, &ZipArchiver::adding, [this](const QString& n, qint64 s) { log << QStringLiteral("add %1 %2").arg(n).arg(s); });
        QObject::connect(&z, &ZipArchiver::updating, [this](const QString& n, qint64 s) { log << QStringLiteral("update %1 %2").arg(n).arg(s); });
        QObject::connect(&z, &ZipArchiver::extracting, [this](const QString& n, qint64 s) { log << QStringLiteral("extract %1 %2").arg(n).arg(s); });
        QObject::connect(&z, &ZipArchiver::testing, [this](const QString& n, qint64) { log << QStringLiteral("test %1").arg(n); });
        QObject::connect(&z, &ZipArchiver::deleting, [this](const QString& n) { log << QStringLiteral("delete %1").arg(n); });
        QObject::connect(&z, &ZipArchiver::fixing, [this](const QString& n) { log << QStringLiteral("fix %1").arg(n); });
        QObject::connect(&z, &ZipArchiver::skippingFile, [this](const QString& n, int r) { log << QStringLiteral("skip %1 %2").arg(n).arg(r); });
        QObject::connect(&z, &ZipArchiver::listing, [this](const QString& n, qint64 s, qint64 p, const QString& d, int r) {
            log << QStringLiteral("list %1 %2 %3 %4 %5").arg(n).arg(s).arg(p).arg(d).arg(r);
        });
    }
    QStringList only(const QString& kind) const
    {
        QStringList out;
        for (const QString& e : log)
            if (e.startsWith(kind + QLatin1Char(' ')))
                out << e;
        return out;
    }
};

}  // namespace

class TestZipArchiver : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addStoresFilesUnderTheirNamesAtTheChosenLevel();
    void largeFileIsCompressedInPiecesIntoOneStream();
    void addSkipsMissingFilesAndRefusesRepeatedNames();
    void updateReplacesOnlyNewerFiles();
    void deleteRemovesOnlyTheNamedEntries();
    void extractAsksBeforeReplacing();
    void damagedMemberNeverReplacesAFile();
    void entriesNeverLeaveTheExtractionFolder();
    void newArchiveReplacesTheOldOneOnlyWhenWritten();
    void testFindsDamage();
    void fixRebuildsALostDirectory();
    void fixSavesEveryWholeEntryAndNothingElse();
    void fixKeepsWhatOtherWritersMade();
    void fixKeepsEveryEntryWhoseDataMatchesAChecksum();
    void fixStopsOnAbortAndLeavesNothingBehind();
    void updateZipDateTakesTheNewestEntry();
    void failuresAreResultCodes();
};

void TestZipArchiver::addStoresFilesUnderTheirNamesAtTheChosenLevel()
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("sub/Parts List.txt"));
    QDir().mkpath(dir.filePath(QStringLiteral("sub")));
    const QDateTime when(QDate(2003, 4, 5), QTime(14, 30, 0));
    writeFile(text, compressible(100000), when);
    const QString archive = dir.filePath(QStringLiteral("a.zip"));

    ZipArchiver z;
    Events events(z);
    z.setArchiveName(archive);
    z.setCompressionLevel(9);
    z.setFilesToProcess(cr({text}));
    QSignalSpy status(&z, &ZipArchiver::status);
    QCOMPARE(z.add(ZipArchiver::AddFiles), 0);
    QCOMPARE(z.filesToProcess(), QString());   // emptied after every method
    QCOMPARE(events.only(QStringLiteral("add")), QStringList{"add Parts List.txt 100000"});
    QVERIFY(!status.isEmpty());
    QCOMPARE(status.last().at(0).toInt(), 100);
    QList<EntryInfo> entries = readArchive(archive);
    QCOMPARE(namesOf(entries), QStringList{"Parts List.txt"});
    QCOMPARE(entries[0].method, ZIP_CM_DEFLATE);
    QVERIFY(entries[0].packed < entries[0].size / 5);
    QCOMPARE(entries[0].content, compressible(100000));

    z.setCompressionLevel(0);
    z.setFilesToProcess(cr({text}));
    QCOMPARE(z.add(ZipArchiver::AddFiles), 0);   // the same name replaces the entry
    entries = readArchive(archive);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].method, ZIP_CM_STORE);
    QCOMPARE(entries[0].packed, entries[0].size);

    events.log.clear();
    QCOMPARE(z.list(), 0);
    QCOMPARE(events.only(QStringLiteral("list")), QStringList{"list Parts List.txt 100000 100000 05/04/03 14:30 0"});
    QCOMPARE(z.entryCount(), 1);
    QVERIFY(ZipArchiver::verify(archive));
}

void TestZipArchiver::largeFileIsCompressedInPiecesIntoOneStream()
{
    QTemporaryDir dir;
    // Pieces of text and of noise, not on piece boundaries, and an odd length.
    QByteArray content;
    for (int i = 0; i < 7; ++i)
        content += compressible(700000 + i * 1111) + noise(300000, quint32(i));
    content += "end";
    const QString file = dir.filePath(QStringLiteral("Inventory.mdb"));
    const QDateTime when(QDate(2010, 10, 10), QTime(10, 10));
    writeFile(file, content, when);
    const QString archive = dir.filePath(QStringLiteral("big.zip"));
    ZipArchiver z;
    z.setArchiveName(archive);
    QList<int> percents;
    connect(&z, &ZipArchiver::status, this, [&](int p) { percents << p; });
    for (int level : {1, 9}) {
        percents.clear();
        z.setCompressionLevel(level);
        z.setFilesToProcess(cr({file}));
        QCOMPARE(z.add(ZipArchiver::AddFiles), 0);
        const QList<EntryInfo> entries = readArchive(archive);
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].method, ZIP_CM_DEFLATE);
        QVERIFY(entries[0].packed < entries[0].size * 2 / 3);
        QVERIFY(entries[0].readable);
        QCOMPARE(entries[0].content, content);
        QVERIFY(std::is_sorted(percents.begin(), percents.end()));
        QCOMPARE(percents.last(), 100);
        QCOMPARE(z.test(), 0);
    }
    QSignalSpy listed(&z, &ZipArchiver::listing);
    QCOMPARE(z.list(), 0);
    QCOMPARE(listed[0].at(3).toString(), QStringLiteral("10/10/10 10:10"));

    // An empty file and one just under the size that is split are stored whole too.
    writeFile(file, QByteArray());
    z.setFilesToProcess(cr({file}));
    QCOMPARE(z.add(ZipArchiver::AddFiles), 0);
    QCOMPARE(readArchive(archive)[0].content, QByteArray());
}

void TestZipArchiver::addSkipsMissingFilesAndRefusesRepeatedNames()
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(QStringLiteral("x")));
    writeFile(dir.filePath(QStringLiteral("one.txt")), "one");
    writeFile(dir.filePath(QStringLiteral("x/one.txt")), "other one");
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    ZipArchiver z;
    Events events(z);
    z.setArchiveName(archive);

    z.setFilesToProcess(cr({dir.filePath(QStringLiteral("one.txt")), dir.filePath(QStringLiteral("x/one.txt"))}));
    QCOMPARE(z.add(ZipArchiver::AddFiles), int(ZipArchiver::RepeatedNames));
    QVERIFY(!QFile::exists(archive));

    const QString missing = dir.filePath(QStringLiteral("gone.txt"));
    z.setFilesToProcess(cr({missing, dir.filePath(QStringLiteral("one.txt"))}));
    QCOMPARE(z.add(ZipArchiver::AddFiles), int(ZipArchiver::Warnings));
    QCOMPARE(events.only(QStringLiteral("skip")), QStringList{QStringLiteral("skip %1 0").arg(missing)});
    QCOMPARE(namesOf(readArchive(archive)), QStringList{"one.txt"});

    // Nothing left to add: nothing is written and the warning stands.
    z.setFilesToProcess(cr({missing}));
    QCOMPARE(z.add(ZipArchiver::AddFiles), int(ZipArchiver::Warnings));
    QCOMPARE(namesOf(readArchive(archive)), QStringList{"one.txt"});
}

void TestZipArchiver::updateReplacesOnlyNewerFiles()
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.txt"));
    const QString b = dir.filePath(QStringLiteral("b.txt"));
    const QDateTime then(QDate(2001, 1, 1), QTime(8, 0));
    writeFile(a, "old a", then);
    writeFile(b, "old b", then);
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    ZipArchiver z;
    Events events(z);
    z.setArchiveName(archive);
    z.setFilesToProcess(cr({a, b}));
    QCOMPARE(z.add(ZipArchiver::AddFiles), 0);

    writeFile(b, "new b", then.addDays(1));
    const QString c = dir.filePath(QStringLiteral("c.txt"));
    writeFile(c, "c", then);
    events.log.clear();
    z.setFilesToProcess(cr({a, b, c}));
    QCOMPARE(z.add(ZipArchiver::UpdateFiles), 0);
    QCOMPARE(events.log, QStringList({"skip a.txt 3", "update b.txt 5", "update c.txt 1"}));
    const QList<EntryInfo> entries = readArchive(archive);
    QCOMPARE(namesOf(entries), QStringList({"a.txt", "b.txt", "c.txt"}));
    QCOMPARE(entries[0].content, QByteArray("old a"));
    QCOMPARE(entries[1].content, QByteArray("new b"));
}

void TestZipArchiver::deleteRemovesOnlyTheNamedEntries()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    makeArchive(archive, {{QStringLiteral("a"), "1"}, {QStringLiteral("b"), "2"}, {QStringLiteral("c"), "3"}});
    ZipArchiver z;
    Events events(z);
    z.setArchiveName(archive);
    z.setFilesToProcess(cr({QStringLiteral("b"), QStringLiteral("nope")}));
    QCOMPARE(z.deleteFiles(), int(ZipArchiver::Warnings));
    QCOMPARE(events.log, QStringList({"delete b", "skip nope 0"}));
    QCOMPARE(namesOf(readArchive(archive)), QStringList({"a", "c"}));

    // A later command does not repeat the names of an earlier one.
    QCOMPARE(z.deleteFiles(), 0);
    QCOMPARE(namesOf(readArchive(archive)), QStringList({"a", "c"}));

    // An archive whose every entry is deleted stays an archive, with none.
    z.setFilesToProcess(cr({QStringLiteral("a"), QStringLiteral("c")}));
    QCOMPARE(z.deleteFiles(), 0);
    QVERIFY(QFile::exists(archive));
    QCOMPARE(z.list(), int(ZipArchiver::EmptyZipFile));
}

void TestZipArchiver::extractAsksBeforeReplacing()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    const QDateTime when(QDate(2002, 2, 2), QTime(2, 2));
    makeArchive(archive, {{QStringLiteral("a.txt"), "new a"}, {QStringLiteral("sub/b.txt"), "new b"}, {QStringLiteral("c.txt"), "new c"}}, when);
    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(out + QStringLiteral("/sub"));
    writeFile(out + QStringLiteral("/a.txt"), "old a");
    writeFile(out + QStringLiteral("/sub/b.txt"), "old b");
    writeFile(out + QStringLiteral("/C.TXT"), "old c");   // the same file as "c.txt" to the user

    ZipArchiver z;
    z.setArchiveName(archive);
    z.setExtractionFolder(QStringLiteral("  ") + out + QStringLiteral(" "));
    QStringList asked;
    QList<int> answers = {1, 0, 1};
    connect(&z, &ZipArchiver::replaceFile, this, [&](const QString& name, int* reply) {
        asked << name;
        QCOMPARE(*reply, 0);
        *reply = answers.takeFirst();
    });
    QCOMPARE(z.extract(0), 0);
    QCOMPARE(asked, QStringList({"a.txt", "sub/b.txt", "c.txt"}));
    QCOMPARE(readFile(out + QStringLiteral("/a.txt")), QByteArray("new a"));
    QCOMPARE(readFile(out + QStringLiteral("/sub/b.txt")), QByteArray("old b"));
    QCOMPARE(readFile(out + QStringLiteral("/C.TXT")), QByteArray("new c"));
    QCOMPARE(QDir(out).entryList(QDir::Files), QStringList({"a.txt", "C.TXT"}));
    QCOMPARE(QFileInfo(out + QStringLiteral("/a.txt")).lastModified(), when);

    // Cancel: the archiver stops; what was replaced before stays replaced.
    writeFile(out + QStringLiteral("/a.txt"), "old a");
    writeFile(out + QStringLiteral("/C.TXT"), "old c");
    answers = {1, 0};
    disconnect(&z, &ZipArchiver::replaceFile, this, nullptr);
    int questions = 0;
    connect(&z, &ZipArchiver::replaceFile, this, [&](const QString&, int* reply) {
        if (++questions == 2)
            z.setAbort(true);
        else
            *reply = 1;
    });
    z.setFilesToProcess(cr({QStringLiteral("a.txt"), QStringLiteral("c.txt"), QStringLiteral("sub/b.txt")}));
    QCOMPARE(z.extract(0), int(ZipArchiver::Aborted));
    QCOMPARE(questions, 2);
    QCOMPARE(readFile(out + QStringLiteral("/a.txt")), QByteArray("new a"));
    QCOMPARE(readFile(out + QStringLiteral("/C.TXT")), QByteArray("old c"));
    QCOMPARE(z.abort(), false);
}

void TestZipArchiver::damagedMemberNeverReplacesAFile()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    makeArchive(archive, {{QStringLiteral("good.txt"), compressible(5000)}, {QStringLiteral("inventory.mdb"), compressible(50000)}});
    damageEntry(archive, QStringLiteral("inventory.mdb"), 200);
    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    writeFile(out + QStringLiteral("/inventory.mdb"), "the live database");

    ZipArchiver z;
    Events events(z);
    z.setArchiveName(archive);
    z.setExtractionFolder(out);
    connect(&z, &ZipArchiver::replaceFile, this, [](const QString&, int* reply) { *reply = 1; });
    QCOMPARE(z.extract(0), int(ZipArchiver::Warnings));
    const QStringList skipped = events.only(QStringLiteral("skip"));
    QCOMPARE(skipped.size(), 1);
    QVERIFY(skipped[0] == QStringLiteral("skip inventory.mdb 2") || skipped[0] == QStringLiteral("skip inventory.mdb 6"));
    QCOMPARE(readFile(out + QStringLiteral("/inventory.mdb")), QByteArray("the live database"));
    QCOMPARE(readFile(out + QStringLiteral("/good.txt")), compressible(5000));
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList({"good.txt", "inventory.mdb"}));   // no half files
}

void TestZipArchiver::entriesNeverLeaveTheExtractionFolder()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    makeArchive(archive, {{QStringLiteral("../evil.txt"), "x"}, {QStringLiteral("/abs.txt"), "y"}, {QStringLiteral("a/../../up.txt"), "z"},
                          {QStringLiteral("./fine.txt"), "ok"}});
    const QString out = dir.filePath(QStringLiteral("deep/out"));
    ZipArchiver z;
    Events events(z);
    z.setArchiveName(archive);
    z.setExtractionFolder(out);
    QCOMPARE(z.extract(0), int(ZipArchiver::Warnings));
    QCOMPARE(events.only(QStringLiteral("skip")).size(), 3);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("deep/evil.txt"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("deep/up.txt"))));
    QVERIFY(!QFile::exists(QStringLiteral("/abs.txt")));
    QCOMPARE(readFile(out + QStringLiteral("/fine.txt")), QByteArray("ok"));
}

void TestZipArchiver::newArchiveReplacesTheOldOneOnlyWhenWritten()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    makeArchive(archive, {{QStringLiteral("old.txt"), "old"}});
    const QByteArray before = readFile(archive);
    ZipArchiver z;
    z.setArchiveName(archive);
    z.startNewArchive();
    QVERIFY(z.isNewArchive());
    QCOMPARE(z.entryCount(), 0);
    QSignalSpy listed(&z, &ZipArchiver::listing);
    QCOMPARE(z.list(), 0);
    QCOMPARE(listed.size(), 0);

    // Nothing could be added: the old archive is still there.
    z.setFilesToProcess(cr({dir.filePath(QStringLiteral("missing"))}));
    QCOMPARE(z.add(ZipArchiver::AddFiles), int(ZipArchiver::Warnings));
    QCOMPARE(readFile(archive), before);

    writeFile(dir.filePath(QStringLiteral("new.txt")), "new");
    z.setFilesToProcess(cr({dir.filePath(QStringLiteral("new.txt"))}));
    QCOMPARE(z.add(ZipArchiver::AddFiles), 0);
    QVERIFY(!z.isNewArchive());
    QCOMPARE(namesOf(readArchive(archive)), QStringList{"new.txt"});
}

void TestZipArchiver::testFindsDamage()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    makeArchive(archive, {{QStringLiteral("a.txt"), compressible(20000)}, {QStringLiteral("b.txt"), compressible(20000)}});
    ZipArchiver z;
    Events events(z);
    z.setArchiveName(archive);
    QCOMPARE(z.test(), 0);
    QCOMPARE(events.only(QStringLiteral("test")), QStringList({"test a.txt", "test b.txt"}));
    QVERIFY(ZipArchiver::verify(archive));

    damageEntry(archive, QStringLiteral("b.txt"), 50);
    events.log.clear();
    QCOMPARE(z.test(), int(ZipArchiver::TestFailed));
    QCOMPARE(events.only(QStringLiteral("skip")).size(), 1);
    QVERIFY(!ZipArchiver::verify(archive));

    // A stored entry with a flipped byte fails its checksum.
    makeArchive(archive, {{QStringLiteral("s.txt"), compressible(3000)}}, QDateTime(), true);
    damageEntry(archive, QStringLiteral("s.txt"), 100);
    events.log.clear();
    QCOMPARE(z.test(), int(ZipArchiver::TestFailed));
    QCOMPARE(events.only(QStringLiteral("skip")), QStringList{"skip s.txt 2"});

    // An entry whose recorded compressed size is 0 reads as no bytes at all: its length is
    // checked against the directory, and it is neither passed nor extracted.
    makeArchive(archive, {{QStringLiteral("inventory.mdb"), noise(65536)}}, QDateTime(), true);
    patchEntry(archive, QStringLiteral("inventory.mdb"), 18, 20, 0);
    events.log.clear();
    QCOMPARE(z.test(), int(ZipArchiver::TestFailed));
    QCOMPARE(events.only(QStringLiteral("skip")), QStringList{"skip inventory.mdb 6"});
    QVERIFY(!ZipArchiver::verify(archive));
    const QString out = dir.filePath(QStringLiteral("out"));
    z.setExtractionFolder(out);
    QCOMPARE(z.extract(0), int(ZipArchiver::Warnings));
    QVERIFY(!QFileInfo::exists(out + QStringLiteral("/inventory.mdb")));

    makeArchive(archive, {{QStringLiteral("folder/"), {}}});
    QCOMPARE(z.test(), int(ZipArchiver::NothingToTest));
}

void TestZipArchiver::fixRebuildsALostDirectory()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    makeArchive(archive, {{QStringLiteral("a.txt"), compressible(3000)}, {QStringLiteral("b.txt"), noise(3000)}});
    cutCentralDirectory(archive);
    ZipArchiver z;
    Events events(z);
    z.setArchiveName(archive);
    QCOMPARE(z.list(), int(ZipArchiver::NotAZipFile));
    QCOMPARE(z.fix(false), 0);
    QCOMPARE(events.only(QStringLiteral("fix")), QStringList({"fix a.txt", "fix b.txt"}));
    const QList<EntryInfo> entries = readArchive(archive);
    QCOMPARE(namesOf(entries), QStringList({"a.txt", "b.txt"}));
    QCOMPARE(entries[0].content, compressible(3000));
    QCOMPARE(entries[1].content, noise(3000));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.zip"});

    // Nothing to save: a file that is no archive; a header whose name runs past the end.
    for (const QByteArray& junk : {QByteArray("not an archive, not even a damaged one"),
                                   QByteArray("PK\x03\x04\x14\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                                              "\x00\x00\x00\x00\x00\x00\x00\x00\xd0\x07\x00\x00name", 34)}) {
        writeFile(archive, junk);
        QCOMPARE(z.fix(false), int(ZipArchiver::NotAZipFile));
        QCOMPARE(z.fix(true), int(ZipArchiver::NotAZipFile));
        QCOMPARE(readFile(archive), junk);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.zip"});
    }
}

void TestZipArchiver::fixSavesEveryWholeEntryAndNothingElse()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    // A name far longer than a kilobyte is a proper name.
    const QString longName = QString(2000, QLatin1Char('n')) + QStringLiteral(".txt");
    makeArchive(archive, {{QStringLiteral("good.txt"), compressible(3000)}, {QStringLiteral("bad.txt"), compressible(30000)},
                          {QStringLiteral("after.txt"), noise(3000)}, {longName, compressible(5000)}}, QDateTime(), true);
    damageEntry(archive, QStringLiteral("bad.txt"), 500);
    cutCentralDirectory(archive);
    QVERIFY(QFile::setPermissions(archive, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QFile::Permissions permissions = QFile::permissions(archive);
    const QByteArray damaged = readFile(archive);

    // Normal: the entries one after the other; the damaged one is dropped, and said to be.
    ZipArchiver z;
    z.setArchiveName(archive);
    QCOMPARE(z.fix(false), int(ZipArchiver::Warnings));
    QCOMPARE(z.fixKept(), 3);
    QCOMPARE(z.fixDropped(), 1);
    const QList<EntryInfo> entries = readArchive(archive);
    QCOMPARE(namesOf(entries), QStringList({"good.txt", "after.txt", longName}));
    QCOMPARE(entries[2].content, compressible(5000));
    QCOMPARE(z.test(), 0);
    QCOMPARE(QFile::permissions(archive), permissions);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.zip"});

    // A header that is not where the one before said: normal stops there, aggressive searches on.
    // Either way what was lost is counted, at least one for a stretch that holds no header.
    writeFile(archive, damaged);
    patchEntry(archive, QStringLiteral("after.txt"), 0, -1, 0x58585858);
    const QByteArray headerless = readFile(archive);
    QCOMPARE(z.fix(false), int(ZipArchiver::Warnings));
    QCOMPARE(namesOf(readArchive(archive)), QStringList{"good.txt"});
    QCOMPARE(z.fixDropped(), 2);
    writeFile(archive, headerless);
    QCOMPARE(z.fix(true), int(ZipArchiver::Warnings));
    QCOMPARE(namesOf(readArchive(archive)), QStringList({"good.txt", longName}));
    QCOMPARE(z.fixDropped(), 2);
    QCOMPARE(z.test(), 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.zip"});
}

void TestZipArchiver::fixKeepsWhatOtherWritersMade()
{
    // Archives as another program writes them: deflated, stored, bzip2 and encrypted entries, a
    // name in the DOS code page, comments on the archive and an entry, and (written to a pipe)
    // sizes in data descriptors after the data.
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("folder"))));
    writeFile(dir.filePath(QStringLiteral("plain.txt")), compressible(20000));
    writeFile(dir.filePath(QStringLiteral("packed.txt")), compressible(30000));
    writeFile(dir.filePath(QStringLiteral("secret.txt")), compressible(5000));
    writeFile(dir.filePath(QStringLiteral("stored.bin")), noise(3000));
    writeFile(dir.filePath(QStringLiteral("folder/inner.txt")), "inner");
    QCOMPARE(run(dir.path(), "printf accents > \"$(printf '\\201ber.txt')\" && touch -d '2024-03-01 10:20:30' * folder/*"), 0);
    QCOMPARE(run(dir.path(), "zip -q a.zip plain.txt folder/inner.txt && zip -q -Z bzip2 a.zip packed.txt && zip -q -P secret a.zip secret.txt"
                             " && zip -q -0 a.zip stored.bin && zip -q a.zip \"$(printf '\\201ber.txt')\""
                             " && echo 'The backup of March' | zip -q -z a.zip && echo 'a note' | zip -q -c a.zip plain.txt"
                             " && zip -q - plain.txt stored.bin \"$(printf '\\201ber.txt')\" | cat > streamed.zip"), 0);
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    const QString streamed = dir.filePath(QStringLiteral("streamed.zip"));
    const QByteArray sound = readFile(archive);
    ZipArchiver z;

    // A sound archive goes through Fix as it is, byte for byte.
    z.setArchiveName(archive);
    for (const bool aggressive : {false, true}) {
        QCOMPARE(z.fix(aggressive), 0);
        QCOMPARE(z.fixKept(), 6);
        QCOMPARE(z.fixDropped(), 0);
        QCOMPARE(readFile(archive), sound);
    }

    // Without its central directory every entry is kept as it stands, whatever its method,
    // encryption or name: the lister of the other program shows them as before and tests them whole.
    // (Written to a pipe, the archive's headers leave only some of the sizes to the descriptors.)
    for (const QString& path : {archive, streamed}) {
        const QStringList listed = entryLines(path);
        QVERIFY(listed.size() >= 3);
        cutCentralDirectory(path);
        const QByteArray cut = readFile(path);
        z.setArchiveName(path);
        for (const bool aggressive : {false, true}) {
            writeFile(path, cut);
            QCOMPARE(z.fix(aggressive), 0);
            QCOMPARE(z.fixKept(), int(listed.size()));
            QCOMPARE(entryLines(path), listed);
            QCOMPARE(run(dir.path(), "unzip -tq -P secret " + QFile::encodeName(QFileInfo(path).fileName())), 0);
            // Its own test, too, finds them whole (the encrypted one passed over).
            QCOMPARE(z.test(), path == archive ? int(ZipArchiver::Warnings) : 0);
            z.setArchiveName(path);
        }
    }

    // Damaged data is found where libzip can unpack it (bzip2 here): that entry alone is dropped.
    writeFile(archive, sound);
    QStringList listed = entryLines(archive);
    damageEntry(archive, QStringLiteral("packed.txt"), 300);
    cutCentralDirectory(archive);
    z.setArchiveName(archive);
    QCOMPARE(z.fix(false), int(ZipArchiver::Warnings));
    QCOMPARE(z.fixDropped(), 1);
    listed.removeIf([](const QString& line) { return line.endsWith(QLatin1String("packed.txt")); });
    QCOMPARE(entryLines(archive), listed);
    QCOMPARE(run(dir.path(), "unzip -tq -P secret a.zip"), 0);
}

void TestZipArchiver::fixKeepsEveryEntryWhoseDataMatchesAChecksum()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    const auto otherTester = [&] { return run(dir.path(), "unzip -tq a.zip"); };
    const auto replaced = [&](const QByteArray& from, const QByteArray& to) {
        QByteArray bytes = readFile(archive);
        bytes.replace(from, to);
        writeFile(archive, bytes);
    };
    ZipArchiver z;
    Events events(z);
    z.setArchiveName(archive);

    // A header whose checksum is damaged, its data whole as the directory's checksum says: the
    // other program's tester finds the error, the header is written anew, and then it finds none.
    makeArchive(archive, {{QStringLiteral("a.txt"), compressible(3000)}, {QStringLiteral("b.txt"), compressible(5000)}});
    patchEntry(archive, QStringLiteral("b.txt"), 14, -1, 0x12345678);
    QVERIFY(otherTester() != 0);
    QCOMPARE(z.test(), 0);
    QCOMPARE(z.fix(false), 0);
    QCOMPARE(z.fixKept(), 2);
    QCOMPARE(otherTester(), 0);
    QCOMPARE(readArchive(archive).at(1).content, compressible(5000));

    // A sound archive holding two entries of one name goes through as it is; without its directory
    // both are kept.
    makeArchive(archive, {{QStringLiteral("same.txt"), "first"}, {QStringLiteral("samf.txt"), "second"}});
    replaced("samf.txt", "same.txt");
    QCOMPARE(otherTester(), 0);
    const QByteArray sound = readFile(archive);
    for (const bool aggressive : {false, true}) {
        QCOMPARE(z.fix(aggressive), 0);
        QCOMPARE(z.fixDropped(), 0);
        QCOMPARE(readFile(archive), sound);
    }
    QCOMPARE(z.test(), 0);
    cutCentralDirectory(archive);
    QCOMPARE(z.fix(false), 0);
    const QList<EntryInfo> both = readArchive(archive);
    QCOMPARE(both.size(), 2);
    QCOMPARE(both.at(1).content, QByteArray("second"));

    // A name marked as UTF-8 that is not, beside a whole database: the archive is listed and tested
    // as it stands, and Fix keeps both, the name read in the DOS code page.
    makeArchive(archive, {{QStringLiteral("inventory.mdb"), noise(20000)}, {QString::fromUtf8("caf\xc3\xa9.txt"), "accents"}});
    replaced("caf\xc3\xa9", "caf\xff\xfe");
    QCOMPARE(otherTester(), 0);
    events.log.clear();
    QCOMPARE(z.list(), 0);
    QCOMPARE(events.only(QStringLiteral("list")).size(), 2);
    QCOMPARE(z.test(), 0);
    QCOMPARE(z.fix(false), 0);
    QCOMPARE(z.fixKept(), 2);
    QCOMPARE(otherTester(), 0);
    const QList<EntryInfo> kept = readArchive(archive);
    QCOMPARE(kept.size(), 2);
    QCOMPARE(kept.at(0).content, noise(20000));
    QCOMPARE(kept.at(1).content, QByteArray("accents"));

    // An entry whose header the library refuses whatever its data (an encryption field too short),
    // in an archive that lost its directory: that entry alone is dropped.
    makeArchive(archive, {{QStringLiteral("good.txt"), compressible(2000)}});
    cutCentralDirectory(archive);
    QByteArray bytes = readFile(archive);
    const QByteArray data = noise(100);
    const auto add16 = [&](quint16 v) { bytes.append(char(v & 0xFF)).append(char(v >> 8)); };
    const auto add32 = [&](quint32 v) { add16(quint16(v & 0xFFFF)); add16(quint16(v >> 16)); };
    add32(0x04034b50);
    add16(51);
    add16(0x0001);   // encrypted
    add16(99);       // by the strong kind
    add32(0);
    add32(0);
    add32(quint32(data.size()));
    add32(quint32(data.size()));
    add16(7);
    add16(9);
    bytes += "bad.bin";
    add16(0x9901);
    add16(5);
    bytes += QByteArray("\x02\x00" "AE" "\x03", 5);
    bytes += data;
    writeFile(archive, bytes);
    QCOMPARE(z.fix(false), int(ZipArchiver::Warnings));
    QCOMPARE(z.fixKept(), 1);
    QCOMPARE(z.fixDropped(), 1);
    QCOMPARE(namesOf(readArchive(archive)), QStringList{"good.txt"});
    QCOMPARE(otherTester(), 0);
}

void TestZipArchiver::fixStopsOnAbortAndLeavesNothingBehind()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    const QByteArray damaged = makeLargeDamagedArchive(archive);
    ZipArchiver z;
    z.setArchiveName(archive);

    // Abort stops it at once and leaves the archive as it was.
    QElapsedTimer sinceAbort;
    connect(&z, &ZipArchiver::status, this, [&](int percent) {
        if (percent > 0 && !sinceAbort.isValid()) {
            z.setAbort(true);
            sinceAbort.start();
        }
    });
    QCOMPARE(z.fix(true), int(ZipArchiver::Aborted));
    QVERIFY(sinceAbort.elapsed() < 1000);
    disconnect(&z, &ZipArchiver::status, this, nullptr);
    QCOMPARE(readFile(archive), damaged);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.zip"});

    // Killed while it writes the mended archive, or while a file is added to an archive, it
    // leaves the archive as it was and nothing beside it.
    QVERIFY(killedWhileWriting([&] { z.fix(false); }, 1024 * 1024));
    QCOMPARE(readFile(archive), damaged);
    const QString sound = dir.filePath(QStringLiteral("sound.zip"));
    makeArchive(sound, {{QStringLiteral("old.txt"), "old"}});
    const QByteArray before = readFile(sound);
    writeFile(dir.filePath(QStringLiteral("big.bin")), noise(4 * 1024 * 1024));
    QVERIFY(killedWhileWriting([&] {
        ZipArchiver adding;
        adding.setArchiveName(sound);
        adding.setFilesToProcess(dir.filePath(QStringLiteral("big.bin")) + QLatin1Char('\r'));
        adding.add(ZipArchiver::AddFiles);
    }, 1024 * 1024));
    QCOMPARE(readFile(sound), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"a.zip", "big.bin", "sound.zip"}));
}

void TestZipArchiver::updateZipDateTakesTheNewestEntry()
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("a.zip"));
    makeArchive(archive, {{QStringLiteral("a"), "1"}}, QDateTime(QDate(1999, 12, 31), QTime(23, 58)));
    {
        // A second, newer entry.
        int error = 0;
        zip_t* za = zip_open(QFile::encodeName(archive).constData(), 0, &error);
        zip_source_t* src = zip_source_buffer(za, "2", 1, 0);
        const zip_int64_t i = zip_file_add(za, "b", src, 0);
        zip_file_set_mtime(za, zip_uint64_t(i), time_t(QDateTime(QDate(2004, 6, 1), QTime(9, 0)).toSecsSinceEpoch()), 0);
        QCOMPARE(zip_close(za), 0);
    }
    ZipArchiver z;
    z.setArchiveName(archive);
    QCOMPARE(z.updateZipDate(), 0);
    QCOMPARE(QFileInfo(archive).lastModified(), QDateTime(QDate(2004, 6, 1), QTime(9, 0)));

    makeArchive(archive, {{QStringLiteral("only/"), {}}});
    QCOMPARE(z.updateZipDate(), int(ZipArchiver::NothingToDate));
}

void TestZipArchiver::failuresAreResultCodes()
{
    QTemporaryDir dir;
    ZipArchiver z;
    QCOMPARE(z.list(), int(ZipArchiver::InvalidSettings));   // no archive named

    z.setArchiveName(dir.filePath(QStringLiteral("missing.zip")));
    QCOMPARE(z.list(), int(ZipArchiver::FileNotFound));
    QCOMPARE(z.test(), int(ZipArchiver::FileNotFound));
    QCOMPARE(z.fix(false), int(ZipArchiver::FileNotFound));
    QCOMPARE(z.extract(0), int(ZipArchiver::FileNotFound));
    QCOMPARE(z.entryCount(), 0);

    const QString text = dir.filePath(QStringLiteral("text.zip"));
    writeFile(text, compressible(2000));
    z.setArchiveName(text);
    QCOMPARE(z.list(), int(ZipArchiver::NotAZipFile));
    QCOMPARE(z.test(), int(ZipArchiver::NotAZipFile));
    writeFile(dir.filePath(QStringLiteral("f.txt")), "f");
    z.setFilesToProcess(cr({dir.filePath(QStringLiteral("f.txt"))}));
    QCOMPARE(z.add(ZipArchiver::AddFiles), int(ZipArchiver::NotAZipFile));
    QCOMPARE(readFile(text), compressible(2000));

    // A folder that cannot be written into.
    // A disk without room is told as such, whichever step of libzip came upon it.
    QCOMPARE(ZipArchiver::resultOf(ZIP_ER_SEEK, ENOSPC, true), int(ZipArchiver::DiskFull));
    QCOMPARE(ZipArchiver::resultOf(ZIP_ER_WRITE, EDQUOT, true), int(ZipArchiver::DiskFull));
    QCOMPARE(ZipArchiver::resultOf(ZIP_ER_TMPOPEN, ENOSPC, true), int(ZipArchiver::DiskFull));
    QCOMPARE(ZipArchiver::resultOf(ZIP_ER_SEEK, EIO, true), int(ZipArchiver::ReadError));
    QCOMPARE(ZipArchiver::resultOf(ZIP_ER_WRITE, EIO, true), int(ZipArchiver::WriteError));

    // A new archive that could not be written leaves the previous one, listed as it stands.
    const QString previous = dir.filePath(QStringLiteral("previous.zip"));
    makeArchive(previous, {{QStringLiteral("old.txt"), "old"}});
    z.setArchiveName(previous);
    z.startNewArchive();
    z.setFilesToProcess(cr({dir.filePath(QStringLiteral("f.txt"))}));
    connect(&z, &ZipArchiver::status, this, [&z] { z.setAbort(true); });
    QCOMPARE(z.add(ZipArchiver::AddFiles), int(ZipArchiver::Aborted));
    disconnect(&z, &ZipArchiver::status, this, nullptr);
    QVERIFY(!z.isNewArchive());
    QSignalSpy listed(&z, &ZipArchiver::listing);
    QCOMPARE(z.list(), 0);
    QCOMPARE(listed.size(), 1);

    z.setArchiveName(dir.filePath(QStringLiteral("no/such/folder/a.zip")));
    z.setFilesToProcess(cr({dir.filePath(QStringLiteral("f.txt"))}));
    const int result = z.add(ZipArchiver::AddFiles);
    QVERIFY2(result == ZipArchiver::TemporaryFile || result == ZipArchiver::CreateError, qPrintable(QString::number(result)));
    QVERIFY(z.lastSystemError() != 0);
}

QTEST_MAIN(TestZipArchiver)
#include "tst_ziparchiver.moc"
