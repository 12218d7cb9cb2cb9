// The program folder with its case-blind names, the atomic file operations and the test folder.
#include "platform/AppFolder.h"
#include "platform/DriveA.h"
#include "platform/FileOps.h"
#include "support/KilledWhileWriting.h"
#include "support/TestProgramFolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

class TestFiles : public QObject {
    Q_OBJECT

    QTemporaryDir* m_dir = nullptr;
    QString at(const QString& name) const { return m_dir->filePath(name); }

private Q_SLOTS:
    void init()
    {
        m_dir = new QTemporaryDir;
        AppFolder::setPath(m_dir->path());
    }
    void cleanup()
    {
        AppFolder::setPath(QString());
        delete m_dir;
    }

    void namesMatchWithoutRegardToCase();
    void copyReplacesTargetWithWholeFile();
    void failedCopyLeavesNothingBehind_data();
    void failedCopyLeavesNothingBehind();
    void replaceAndRemove();
    void pendingFileLeavesNothingWhenKilled();
    void unfinishedListRemovesOnlyWhatItProves();
    void leftoverGoesAfterTheMediumIsMountedAgain();
    void writeThroughALinkWritesTheFileTheSystemReaches();
    void testProgramFolderIsAPrivateCopy();
    void driveAIsAMountedRemovableMedium();
};

void TestFiles::namesMatchWithoutRegardToCase()
{
    QCOMPARE(AppFolder::join(QStringLiteral("\\Inventory.mdb")), at(QStringLiteral("Inventory.mdb")));
    QCOMPARE(AppFolder::join(QStringLiteral("Reports\\Parts.rpt")), at(QStringLiteral("Reports/Parts.rpt")));

    QVERIFY(writeFile(at(QStringLiteral("INVENTORY.MDB")), "upper"));
    QCOMPARE(AppFolder::find(QStringLiteral("\\inventory.mdb")), std::optional(at(QStringLiteral("INVENTORY.MDB"))));
    QVERIFY(AppFolder::existsExact(QStringLiteral("INVENTORY.MDB")));
    QVERIFY(!AppFolder::existsExact(QStringLiteral("Inventory.mdb")));

    // With several spellings present every spelling finds the same file, whichever is asked for.
    QVERIFY(writeFile(at(QStringLiteral("inventory.mdb")), "lower"));
    QVERIFY(writeFile(at(QStringLiteral("Inventory.mdb")), "mixed"));
    QVERIFY(QFile::remove(at(QStringLiteral("INVENTORY.MDB"))));
    for (const char* spelling : {"inventory.mdb", "Inventory.mdb", "INVENTORY.MDB", "\\inventory.mdb"}) {
        QCOMPARE(AppFolder::find(QString::fromLatin1(spelling)), std::optional(at(QStringLiteral("Inventory.mdb"))));
        QCOMPARE(resolveNoCase(QString::fromLatin1(spelling)), at(QStringLiteral("Inventory.mdb")));
    }

    // Only files count: a folder of that name is not the database.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Colors.mdb")));
    QCOMPARE(AppFolder::find(QStringLiteral("colors.mdb")), std::nullopt);

    QTemporaryDir other;
    QVERIFY(writeFile(other.filePath(QStringLiteral("PriceChange.MDB")), "p"));
    QCOMPARE(resolveNoCase(other.filePath(QStringLiteral("pricechange.mdb"))), other.filePath(QStringLiteral("PriceChange.MDB")));
    // Nothing matches: a path comes back as given, a name as its place in the program folder.
    QCOMPARE(resolveNoCase(other.filePath(QStringLiteral("None.mdb"))), other.filePath(QStringLiteral("None.mdb")));
    QCOMPARE(resolveNoCase(QStringLiteral("PartsA4.rpt")), at(QStringLiteral("PartsA4.rpt")));
}

void TestFiles::copyReplacesTargetWithWholeFile()
{
    // Larger than one copy buffer, so that every chunk must arrive.
    QByteArray content;
    for (int i = 0; content.size() < 2'500'000; ++i)
        content.append(QByteArray::number(i)).append('\0');
    QVERIFY(writeFile(at(QStringLiteral("InventoryAMF.mdb")), content));
    QVERIFY(writeFile(at(QStringLiteral("Inventory.mdb")), "an older, shorter database"));

    QString error;
    QVERIFY2(copyFileAtomic(at(QStringLiteral("InventoryAMF.mdb")), at(QStringLiteral("Inventory.mdb")), &error),
             qPrintable(error));
    QCOMPARE(readFile(at(QStringLiteral("Inventory.mdb"))), content);
    QCOMPARE(entries(m_dir->path()), (QStringList{QStringLiteral("Inventory.mdb"), QStringLiteral("InventoryAMF.mdb")}));
}

void TestFiles::failedCopyLeavesNothingBehind_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("reasonNames");
    QTest::newRow("source missing") << "Missing.mdb" << "Inventory.mdb" << "Missing.mdb";
    QTest::newRow("source is a folder") << "Folder" << "Inventory.mdb" << "Folder";
    QTest::newRow("target folder missing") << "Source.mdb" << "NoSuchFolder/Inventory.mdb" << "NoSuchFolder";
    QTest::newRow("target is a folder") << "Source.mdb" << "Folder" << "Folder";
}

void TestFiles::failedCopyLeavesNothingBehind()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, reasonNames);
    QVERIFY(writeFile(at(QStringLiteral("Source.mdb")), "new"));
    QVERIFY(writeFile(at(QStringLiteral("Inventory.mdb")), "old"));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Folder")));
    const QStringList before = entries(m_dir->path());

    QString error;
    bool diskFull = true;
    QVERIFY(!copyFileAtomic(at(from), at(to), &error, &diskFull));
    QVERIFY2(error.contains(reasonNames), qPrintable(error));
    QVERIFY(!diskFull);   // none of these is for want of room
    QCOMPARE(entries(m_dir->path()), before);
    QCOMPARE(entries(at(QStringLiteral("Folder"))), QStringList());
    QCOMPARE(readFile(at(QStringLiteral("Inventory.mdb"))), QByteArray("old"));
}

void TestFiles::replaceAndRemove()
{
    // A full disk is told by the system's error number, even where the file system has room now.
    QVERIFY(isDiskFull(at(QStringLiteral("Inventory.mdb")), ENOSPC));
    QVERIFY(isDiskFull(at(QStringLiteral("NoSuchFolder/Inventory.mdb")), EDQUOT));
    QVERIFY(!isDiskFull(at(QStringLiteral("Inventory.mdb")), EIO));

    const QString from = at(QStringLiteral("INV1.MDB"));
    const QString to = at(QStringLiteral("Inventory.mdb"));
    QVERIFY(writeFile(from, "compacted"));
    QVERIFY(writeFile(to, "original"));
    QString error;
    QVERIFY2(replaceFileAtomic(from, to, &error), qPrintable(error));
    QCOMPARE(readFile(to), QByteArray("compacted"));
    QCOMPARE(entries(m_dir->path()), QStringList{QStringLiteral("Inventory.mdb")});
    QVERIFY(!replaceFileAtomic(from, to, &error));
    QVERIFY(error.contains(QStringLiteral("INV1.MDB")));
    QCOMPARE(readFile(to), QByteArray("compacted"));

    QVERIFY(removeFile(to, &error));
    QVERIFY(!QFile::exists(to));
    QVERIFY(removeFile(to, &error));  // already gone is fine
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Folder")));
    QVERIFY(!removeFile(at(QStringLiteral("Folder")), &error));
    QVERIFY(QFileInfo(at(QStringLiteral("Folder"))).isDir());
}

void TestFiles::pendingFileLeavesNothingWhenKilled()
{
    const QString folder = at(QStringLiteral("stick"));
    QVERIFY(QDir().mkpath(folder));
    const QString target = folder + QStringLiteral("/InventoryBackup.zip");
    QVERIFY(writeFile(target, "previous"));
    QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QFile::Permissions permissions = QFile::permissions(target);
    const QByteArray data(1 << 20, 'x');
    const auto writeWhole = [&] {
        PendingFile file(target);
        if (file.open() && file.write(data.constData(), data.size()))
            file.commit();
    };

    // A program killed while it writes leaves the file as it was and nothing beside it.
    QVERIFY(killedWhileWriting(writeWhole, 64 * 1024));
    QCOMPARE(entries(folder), QStringList{QStringLiteral("InventoryBackup.zip")});
    QCOMPARE(readFile(target), QByteArray("previous"));

    // Where the file must have a name: what the killed program left goes the next time a file is
    // written; a file merely named alike stays, and so does the file of a program still running.
    PendingFile::setUnnamedAllowed(false);
    QVERIFY(killedWhileWriting(writeWhole, 64 * 1024));
    QCOMPARE(entries(folder).size(), 2);
    const QString lookAlike = folder + QStringLiteral("/.InventoryBackup.zip.1a2b3c4d");
    QVERIFY(writeFile(lookAlike, "mine"));
    PendingFile running(folder + QStringLiteral("/Other.zip"));
    QVERIFY(running.open());
    QVERIFY(!running.path().startsWith(QStringLiteral("/proc/")));
    PendingFile next(target);
    QVERIFY(next.open());
    QVERIFY(QFileInfo::exists(running.path()));
    QVERIFY(next.write(data.constData(), data.size()));
    QVERIFY(next.commit());
    running.discard();
    PendingFile::setUnnamedAllowed(true);
    QCOMPARE(entries(folder), (QStringList{QStringLiteral(".InventoryBackup.zip.1a2b3c4d"), QStringLiteral("InventoryBackup.zip")}));
    QCOMPARE(readFile(lookAlike), QByteArray("mine"));
    QCOMPARE(readFile(target), data);
    QCOMPARE(QFile::permissions(target), permissions);
    QCOMPARE(entries(m_dir->path()), QStringList{QStringLiteral("stick")});   // the list of unfinished files went with them
}

void TestFiles::unfinishedListRemovesOnlyWhatItProves()
{
    const QString folder = at(QStringLiteral("stick"));
    QVERIFY(QDir().mkpath(folder));
    const QString target = folder + QStringLiteral("/InventoryBackup.zip");
    const QByteArray data(1 << 20, 'x');
    PendingFile::setUnnamedAllowed(false);
    QVERIFY(killedWhileWriting([&] {
        PendingFile file(target);
        if (file.open())
            file.write(data.constData(), data.size());
    }, 64 * 1024));
    QCOMPARE(entries(folder).size(), 1);   // what the killed program left: its own, removed later

    // Entries of the list, as a program no longer running would have left them, each naming a file
    // the program did not make: the database, a file elsewhere, files of the hidden form that are
    // not what the entry records, a link, a second name of the database, a folder reached by a link.
    const QString database = at(QStringLiteral("Inventory.mdb"));
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.filePath(QStringLiteral("letter.txt"));
    QVERIFY(writeFile(database, "database") && writeFile(outside, "letter"));
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(database).constData(), &st), 0);
    const QByteArray identity = '\0' + QByteArray::number(quint64(st.st_dev)) + ' ' + QByteArray::number(quint64(st.st_ino));
    const QString unrecorded = folder + QStringLiteral("/.InventoryBackup.zip.abc123");
    const QString link = folder + QStringLiteral("/.Inventory.mdb.link1");
    const QString secondName = folder + QStringLiteral("/.Inventory.mdb.hard1");
    QVERIFY(writeFile(unrecorded, "not recorded"));
    QVERIFY(QFile::link(database, link));
    QCOMPARE(::link(QFile::encodeName(database).constData(), QFile::encodeName(secondName).constData()), 0);
    QVERIFY(QFile::link(folder, at(QStringLiteral("linked"))));
    const QString viaLink = at(QStringLiteral("linked/.own.xyz9"));
    QVERIFY(writeFile(viaLink, "reached by a link"));
    QCOMPARE(::stat(QFile::encodeName(viaLink).constData(), &st), 0);
    const QByteArray viaLinkIdentity = '\0' + QByteArray::number(quint64(st.st_dev)) + ' ' + QByteArray::number(quint64(st.st_ino));
    const QList<QByteArray> planted = {
        QFile::encodeName(database), QFile::encodeName(database) + identity, QFile::encodeName(outside),
        QFile::encodeName(unrecorded), QFile::encodeName(link) + identity, QFile::encodeName(secondName) + identity,
        QFile::encodeName(viaLink) + viaLinkIdentity, "relative/.x.abc", QByteArray(100000, '/'),
    };
    const QString list = at(QStringLiteral(".unfinished"));
    for (int i = 0; i < planted.size(); ++i)
        QVERIFY(writeFile(list + QStringLiteral("/00000000-999999999-1-p%1").arg(i), planted.at(i)));
    // An entry of another account, naming a file it could prove its own, is that account's to read.
    const QString theirs = folder + QStringLiteral("/.theirs.abc");
    QVERIFY(writeFile(theirs, "theirs"));
    QCOMPARE(::stat(QFile::encodeName(theirs).constData(), &st), 0);
    const QString theirEntry = list + QStringLiteral("/00000000-999999998-1-q");
    QVERIFY(writeFile(theirEntry, QFile::encodeName(theirs) + '\0' + QByteArray::number(quint64(st.st_dev)) + ' '
                                      + QByteArray::number(quint64(st.st_ino))));
    QCOMPARE(::chown(QFile::encodeName(theirEntry).constData(), 1000, 1000), 0);   // the test runs where it may give files away

    PendingFile next(target);
    QVERIFY(next.open());
    QVERIFY(next.write(data.constData(), data.size()));
    QVERIFY(next.commit());
    PendingFile::setUnnamedAllowed(true);
    QCOMPARE(readFile(database), QByteArray("database"));
    QCOMPARE(readFile(outside), QByteArray("letter"));
    QCOMPARE(entries(folder), (QStringList{".Inventory.mdb.hard1", ".Inventory.mdb.link1", ".InventoryBackup.zip.abc123", ".own.xyz9",
                                           ".theirs.abc", "InventoryBackup.zip"}));
    QCOMPARE(readFile(target), data);
    QCOMPARE(entries(list), QStringList{"00000000-999999998-1-q"});

    // No pending file is written into the list, nor over the lock file, by whatever name.
    QVERIFY(QFile::link(list, at(QStringLiteral("list-link"))));
    for (const QString& name : {QStringLiteral(".unfinished/00000000-999999997-1-r"), QStringLiteral("list-link/00000000-999999997-1-r"),
                                QStringLiteral(".UNFINISHED/x"), QStringLiteral("stick/../Inventory.lock"), QStringLiteral("Inventory.mdb-journal")}) {
        PendingFile planting(at(name));
        QVERIFY2(!planting.open(), qPrintable(name));
        QCOMPARE(planting.systemError(), EPERM);
    }
}

void TestFiles::leftoverGoesAfterTheMediumIsMountedAgain()
{
    const QString folder = at(QStringLiteral("stick"));
    QVERIFY(QDir().mkpath(folder));
    const QString target = folder + QStringLiteral("/InventoryBackup.zip");
    const QString list = at(QStringLiteral(".unfinished"));
    const QByteArray data(1 << 20, 'x');
    const auto killed = [&] {
        return killedWhileWriting([&] {
            PendingFile file(target);
            if (file.open())
                file.write(data.constData(), data.size());
        }, 64 * 1024);
    };
    const auto writeNext = [&] {
        PendingFile next(target);
        return next.open() && next.write(data.constData(), data.size()) && next.commit();
    };
    PendingFile::setUnnamedAllowed(false);

    // A program killed while writing to a stick, which is plugged in again (or the system started
    // again) before the next write: the stick's device has another number now.
    QVERIFY(killed());
    QCOMPARE(entries(list).size(), 1);
    const QString entry = list + QLatin1Char('/') + entries(list).constFirst();
    const QList<QByteArray> identity = readFile(entry).split('\0').value(1).split(' ');
    QCOMPARE(identity.size(), 2);
    QVERIFY(writeFile(entry, readFile(entry).split('\0').constFirst() + '\0' + QByteArray::number(identity.at(0).toULongLong() + 1) + ' '
                                 + identity.at(1)));
    QVERIFY(writeNext());
    QCOMPARE(entries(folder), QStringList{QStringLiteral("InventoryBackup.zip")});

    // A FAT stick numbers its files anew each time it is mounted: the leftover has another inode
    // number then (here: it is copied in place). It goes; files of the hidden form that the program
    // did not draw (an archive's, another program's) stay, though listed.
    PendingFile::setLastingInodeNumbers(false);
    QVERIFY(killed());
    const QStringList left = entries(folder).filter(QStringLiteral(".InventoryBackup.zip."));
    QCOMPARE(left.size(), 1);
    const QString leftover = folder + QLatin1Char('/') + left.constFirst();
    QVERIFY(QFile::copy(leftover, leftover + QStringLiteral(".copy")) && QFile::remove(leftover)
            && QFile::rename(leftover + QStringLiteral(".copy"), leftover));
    const QStringList others = {QStringLiteral("._photo.jpg"), QStringLiteral(".InventoryBackup.zip.abc123")};
    for (int i = 0; i < others.size(); ++i) {
        QVERIFY(writeFile(folder + QLatin1Char('/') + others.at(i), "not the program's"));
        QVERIFY(writeFile(list + QStringLiteral("/00000000-999999999-1-o%1").arg(i), QFile::encodeName(folder + QLatin1Char('/') + others.at(i))));
    }
    QVERIFY(writeNext());
    PendingFile::setLastingInodeNumbers(true);
    PendingFile::setUnnamedAllowed(true);
    QCOMPARE(entries(folder), (QStringList{QStringLiteral(".InventoryBackup.zip.abc123"), QStringLiteral("._photo.jpg"), QStringLiteral("InventoryBackup.zip")}));
    QCOMPARE(readFile(target), data);
    QVERIFY(!QFileInfo::exists(list));
}

void TestFiles::writeThroughALinkWritesTheFileTheSystemReaches()
{
    // A folder reached by a link (a share linked into the home folder) holding a link that goes
    // ".." from there: the system goes up from where the folder really is, not back along the link.
    const QString real = at(QStringLiteral("share/centre"));
    QVERIFY(QDir().mkpath(real + QStringLiteral("/current")) && QDir().mkpath(at(QStringLiteral("home"))));
    QVERIFY(QFile::link(real + QStringLiteral("/current"), at(QStringLiteral("home/current"))));
    QVERIFY(QFile::link(QStringLiteral("../Inventory.mdb"), real + QStringLiteral("/current/Inventory.mdb")));
    QVERIFY(QFile::link(QStringLiteral("../new.mdb"), real + QStringLiteral("/current/New.mdb")));
    QVERIFY(writeFile(real + QStringLiteral("/Inventory.mdb"), "database"));
    QVERIFY(writeFile(at(QStringLiteral("home/Inventory.mdb")), "someone else's"));
    const QString link = at(QStringLiteral("home/current/Inventory.mdb"));
    QCOMPARE(readFile(link), QByteArray("database"));
    QCOMPARE(linkTarget(link), real + QStringLiteral("/Inventory.mdb"));

    QString error;
    QVERIFY(writeFile(at(QStringLiteral("copy.mdb")), "copied"));
    QVERIFY2(copyFileAtomic(at(QStringLiteral("copy.mdb")), link, &error), qPrintable(error));
    QCOMPARE(readFile(real + QStringLiteral("/Inventory.mdb")), QByteArray("copied"));
    QVERIFY(writeFile(at(QStringLiteral("INV1.MDB")), "compacted"));
    QVERIFY2(replaceFileAtomic(at(QStringLiteral("INV1.MDB")), link, &error), qPrintable(error));
    QCOMPARE(readFile(link), QByteArray("compacted"));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readFile(at(QStringLiteral("home/Inventory.mdb"))), QByteArray("someone else's"));
    // A link to a file not yet there names the file it will be.
    QVERIFY(copyFileAtomic(at(QStringLiteral("copy.mdb")), at(QStringLiteral("home/current/New.mdb")), &error));
    QCOMPARE(readFile(real + QStringLiteral("/new.mdb")), QByteArray("copied"));
    QVERIFY(!QFileInfo::exists(at(QStringLiteral("home/new.mdb"))));
}

void TestFiles::testProgramFolderIsAPrivateCopy()
{
    const QString before = AppFolder::path();
    {
        TestProgramFolder folder;
        QVERIFY(folder.isValid());
        QCOMPARE(AppFolder::path(), QDir(folder.path()).absolutePath());
        // Every shipped file is there and writable; no program is.
        for (const QFileInfo& shipped : QDir(QStringLiteral(INVENTORY_BIN_DIR)).entryInfoList(QDir::Files)) {
            const QFileInfo copy(folder.file(shipped.fileName()));
            QCOMPARE(copy.exists(), !shipped.isExecutable());
            QVERIFY(!copy.exists() || (copy.isWritable() && readFile(copy.filePath()) == readFile(shipped.filePath())));
        }
        // The template is found in any letter case and copied byte for byte.
        if (!QFile::exists(folder.file(QStringLiteral("InventoryAMF.mdb"))))
            QVERIFY(writeFile(folder.file(QStringLiteral("InventoryAMF.mdb")), "template bytes"));
        QVERIFY(folder.installDatabase(QStringLiteral("inventoryamf.MDB")));
        QCOMPARE(readFile(folder.file(QStringLiteral("Inventory.mdb"))), readFile(folder.file(QStringLiteral("InventoryAMF.mdb"))));
        QVERIFY(!folder.installDatabase(QStringLiteral("NoSuchTemplate.mdb")));
    }
    QCOMPARE(AppFolder::path(), before);
}

void TestFiles::driveAIsAMountedRemovableMedium()
{
    // A system in a folder: a mount table, the kernel's block-device attributes, and /media.
    const QString media = at(QStringLiteral("media/"));
    const QString mine = at(QStringLiteral("media/alice/"));
    const QString mounts = at(QStringLiteral("mounts"));
    const QString sys = at(QStringLiteral("sys"));
    QVERIFY(QDir().mkpath(sys + QStringLiteral("/class/block")));
    // A disk as the kernel shows it, with its removable flag; the device mounted is `mounted`,
    // the disk itself or its first partition.
    const auto disk = [&](const QString& bus, const QString& name, const char* removable, const QString& mounted) {
        const QString node = sys + QStringLiteral("/devices/") + bus + QStringLiteral("/block/") + name;
        QVERIFY(QDir().mkpath(node));
        QVERIFY(writeFile(node + QStringLiteral("/removable"), removable));
        QString device = node;
        if (mounted != name) {
            device = node + QLatin1Char('/') + mounted;
            QVERIFY(QDir().mkpath(device));
            QVERIFY(writeFile(device + QStringLiteral("/partition"), "1\n"));
        }
        QVERIFY(QFile::link(device, sys + QStringLiteral("/class/block/") + mounted));
    };
    disk(QStringLiteral("pci0000:00/ata1/host0"), QStringLiteral("sda"), "0\n", QStringLiteral("sda1"));   // the computer's own disk
    disk(QStringLiteral("pci0000:00/ata2/host1"), QStringLiteral("sdb"), "0\n", QStringLiteral("sdb1"));   // a second fixed disk
    disk(QStringLiteral("platform/floppy.0"), QStringLiteral("fd0"), "1\n", QStringLiteral("fd0"));        // a floppy drive
    disk(QStringLiteral("pci0000:00/usb2/2-1/host6"), QStringLiteral("sdc"), "0\n", QStringLiteral("sdc1")); // a stick calling itself fixed
    for (const char* folder : {"floppy", "alice/DATA", "alice/MY STICK"})
        QVERIFY(QDir().mkpath(media + QString::fromLatin1(folder)));
    MountedMedium drive(mounts, sys, {mine, media});

    // A plain folder where media are mounted, a fixed disk mounted there: no disk.
    QVERIFY(writeFile(mounts, QStringLiteral("/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 %1DATA ext4 rw 0 0\n").arg(mine).toUtf8()));
    QCOMPARE(drive.state(false), DriveA::State::NoDisk);
    QCOMPARE(drive.path(QStringLiteral("A:\\InventoryBackup.zip")), QString());

    // A floppy in its drive; a stick on USB mounted read-only, with a blank in its folder's name.
    QVERIFY(writeFile(mounts, QStringLiteral("/dev/sda1 / ext4 rw 0 0\n/dev/fd0 %1floppy vfat rw 0 0\n").arg(media).toUtf8()));
    QCOMPARE(drive.state(true), DriveA::State::Ready);
    QCOMPARE(drive.path(QStringLiteral("A:\\InventoryBackup.zip")), at(QStringLiteral("media/floppy/InventoryBackup.zip")));
    QVERIFY(writeFile(mounts, QStringLiteral("/dev/sdc1 %1MY\\040STICK vfat ro,nosuid 0 0\n").arg(mine).toUtf8()));
    QCOMPARE(drive.folder(), at(QStringLiteral("media/alice/MY STICK")));
    QCOMPARE(drive.state(false), DriveA::State::Ready);
    QCOMPARE(drive.state(true), DriveA::State::WriteProtected);

    // A read-only medium before a writable one in name order: drive A is the writable one.
    QVERIFY(writeFile(mounts, QStringLiteral("/dev/sdc1 %1MY\\040STICK vfat ro 0 0\n/dev/fd0 %2floppy vfat rw 0 0\n")
                                  .arg(mine, media).toUtf8()));
    QCOMPARE(drive.folder(), at(QStringLiteral("media/floppy")));
    QCOMPARE(drive.state(true), DriveA::State::Ready);
}

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
