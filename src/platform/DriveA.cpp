#include "platform/DriveA.h"

#include "platform/AppFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <algorithm>

#include <sys/statvfs.h>
#include <unistd.h>

namespace {

DriveA* installedDrive = nullptr;

QString userName()
{
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("LOGNAME") : user;
}

// A field of the mount table, where blanks, tabs, new lines and backslashes are written as
// three-digit octal escapes ("\040").
QString unescaped(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok && code > 0 && code < 256) {
                out += char(code);
                i += 3;
                continue;
            }
        }
        out += field.at(i);
    }
    return QFile::decodeName(out);
}

QByteArray firstLineOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readLine().trimmed();
}

// A legacy name ("A:\x", "\x", "x") as a path in root, in the spelling of an existing file.
QString onMedium(QString root, const QString& legacyName)
{
    if (root.isEmpty())
        return QString();
    QString name = legacyName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.size() >= 2 && name.at(1) == QLatin1Char(':'))
        name.remove(0, 2);
    while (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    return resolveNoCase(root + name);
}

}  // namespace

QString DriveA::path(const QString& legacyName)
{
    return onMedium(folder(), legacyName);
}

QStringList DriveA::folders()
{
    const QString f = folder();
    return f.isEmpty() ? QStringList() : QStringList{f};
}

QString DriveA::pathToRead(const QString& legacyName)
{
    // Of two media that hold the file, the one written last: a backup just made is the one read
    // back, never an older one that another medium still holds.
    const QStringList all = folders();
    QString newest;
    QDateTime newestTime;
    for (const QString& root : all) {
        const QString file = onMedium(root, legacyName);
        const QFileInfo info(file);
        if (info.isFile() && (newest.isEmpty() || info.lastModified() > newestTime)) {
            newest = file;
            newestTime = info.lastModified();
        }
    }
    if (!newest.isEmpty())
        return newest;
    return all.isEmpty() ? QString() : onMedium(all.first(), legacyName);
}

DriveA& DriveA::get()
{
    static MountedMedium real;
    return installedDrive ? *installedDrive : real;
}

DriveA* DriveA::install(DriveA* d)
{
    DriveA* previous = installedDrive;
    installedDrive = d;
    return previous;
}

MountedMedium::MountedMedium(QString mountTable, QString sysRoot, QStringList places)
    : m_mountTable(std::move(mountTable))
    , m_sysRoot(std::move(sysRoot))
    , m_places(std::move(places))
{
}

QStringList MountedMedium::defaultPlaces()
{
    QStringList places;
    const QString user = userName();
    if (!user.isEmpty())
        places << QStringLiteral("/media/%1/").arg(user) << QStringLiteral("/run/media/%1/").arg(user);
    places << QStringLiteral("/media/");
    return places;
}

bool MountedMedium::isWritable(const Mount& m)
{
    const QByteArray native = QFile::encodeName(m.folder);
    struct statvfs fs;
    return !m.readOnly && !(::statvfs(native.constData(), &fs) == 0 && (fs.f_flag & ST_RDONLY)) && ::access(native.constData(), W_OK) == 0;
}

QList<MountedMedium::Mount> MountedMedium::media() const
{
    QFile table(m_mountTable);
    if (!table.open(QIODevice::ReadOnly))
        return {};
    // The mount that is on top of each folder: a later line covers an earlier one.
    QMap<QString, Mount> mounts;
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 4)
            continue;
        Mount m;
        m.device = unescaped(fields.at(0));
        m.folder = QDir::cleanPath(unescaped(fields.at(1)));
        m.readOnly = fields.at(3).split(',').contains("ro");
        mounts.insert(m.folder, m);
    }
    QList<Mount> found;
    for (const QString& place : m_places) {
        for (const Mount& m : std::as_const(mounts)) {
            if (m.folder.startsWith(place) && m.folder.size() > place.size() && isRemovable(m.device)
                && std::none_of(found.cbegin(), found.cend(), [&](const Mount& f) { return f.folder == m.folder; }))
                found << m;
        }
    }
    return found;
}

MountedMedium::Mount MountedMedium::find() const
{
    // The first medium that can be written; when none can, the first there is (a backup to it is
    // told it is write protected).
    const QList<Mount> all = media();
    for (const Mount& m : all) {
        if (isWritable(m))
            return m;
    }
    return all.isEmpty() ? Mount() : all.first();
}

bool MountedMedium::isRemovable(const QString& blockDevice, int depth) const
{
    // "/dev/sdb1", or a link to it such as /dev/disk/by-label/STICK, or a bare name ("sdb1").
    QString device = blockDevice;
    if (device.startsWith(QLatin1Char('/'))) {
        if (!device.startsWith(QLatin1String("/dev/")))
            return false;
        const QString real = QFileInfo(device).canonicalFilePath();
        if (!real.isEmpty())
            device = real;
    }
    const QString name = QFileInfo(device).fileName();
    if (name.isEmpty() || depth > 4)
        return false;
    const QString node = QFileInfo(m_sysRoot + QStringLiteral("/class/block/") + name).canonicalFilePath();
    if (node.isEmpty())
        return false;
    // A partition's attributes are its disk's, one folder up.
    const QString disk = QFileInfo::exists(node + QStringLiteral("/partition")) ? QFileInfo(node).absolutePath() : node;
    if (firstLineOf(disk + QStringLiteral("/removable")) == "1")
        return true;
    // Sticks and card readers on USB often call themselves fixed; memory cards in a card slot too.
    if (disk.contains(QLatin1String("/usb")) || firstLineOf(disk + QStringLiteral("/device/type")) == "SD")
        return true;
    // An encrypted or mapped medium: the devices it is made of.
    for (const QString& slave : QDir(disk + QStringLiteral("/slaves")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (isRemovable(slave, depth + 1))
            return true;
    }
    return false;
}

QString MountedMedium::folder()
{
    return find().folder;
}

QStringList MountedMedium::folders()
{
    QStringList out;
    for (const Mount& m : media()) {
        if (QFileInfo(m.folder).isDir() && QDir(m.folder).isReadable())
            out << m.folder;
    }
    return out;
}

DriveA::State MountedMedium::state(bool forWriting)
{
    if (!forWriting)
        return folders().isEmpty() ? State::NoDisk : State::Ready;
    const Mount m = find();
    if (m.folder.isEmpty() || !QFileInfo(m.folder).isDir() || !QDir(m.folder).isReadable())
        return State::NoDisk;
    if (!isWritable(m))
        return State::WriteProtected;
    return State::Ready;
}
