#pragma once

// Archives for the archiver and backup tests: written file by file, read back entry by entry, and
// damaged on purpose.

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QPair>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QTest>

#include <zip.h>

#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <utime.h>

inline void writeFile(const QString& path, const QByteArray& content, const QDateTime& modified = QDateTime())
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
    f.close();
    if (modified.isValid()) {
        struct utimbuf times;
        times.actime = time_t(modified.toSecsSinceEpoch());
        times.modtime = times.actime;
        ::utime(QFile::encodeName(path).constData(), &times);
    }
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Text that compresses well, and bytes that do not.
inline QByteArray compressible(int size)
{
    QByteArray out;
    int line = 0;
    while (out.size() < size)
        out += QByteArray("PART ") + QByteArray::number(line++ % 97) + " SPRING, TURRET, PACKAGE OF 10\n";
    return out.left(size);
}

inline QByteArray noise(int size, quint32 seed = 7)
{
    QByteArray out(size, Qt::Uninitialized);
    QRandomGenerator rng(seed);
    rng.fillRange(reinterpret_cast<quint32*>(out.data()), size / 4);
    return out;
}

// An archive written directly with libzip: entries as (name, content), a name ending in "/" is a
// folder; all dated at `when` when given.
inline void makeArchive(const QString& path, const QList<QPair<QString, QByteArray>>& entries, const QDateTime& when = QDateTime(),
                        bool store = false)
{
    QFile::remove(path);
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(za);
    for (const auto& e : entries) {
        const QByteArray name = e.first.toUtf8();
        zip_int64_t index;
        if (e.first.endsWith(QLatin1Char('/'))) {
            index = zip_dir_add(za, name.constData(), ZIP_FL_ENC_UTF_8);
        } else {
            // libzip frees the copy when the archive is written (an empty one it never takes).
            void* data = e.second.isEmpty() ? nullptr : ::malloc(size_t(e.second.size()));
            if (data)
                ::memcpy(data, e.second.constData(), size_t(e.second.size()));
            zip_source_t* src = zip_source_buffer(za, data, zip_uint64_t(e.second.size()), data ? 1 : 0);
            index = zip_file_add(za, name.constData(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
            if (store)
                zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_STORE, 0);
        }
        QVERIFY(index >= 0);
        if (when.isValid())
            zip_file_set_mtime(za, zip_uint64_t(index), time_t(when.toSecsSinceEpoch()), 0);
    }
    QCOMPARE(zip_close(za), 0);
}

struct EntryInfo {
    QString name;
    qint64 size = 0;
    qint64 packed = 0;
    int method = -1;
    QByteArray content;
    bool readable = false;
};

inline QList<EntryInfo> readArchive(const QString& path)
{
    QList<EntryInfo> out;
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!za)
        return out;
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(za, zip_uint64_t(i), 0, &st);
        EntryInfo e;
        e.name = QString::fromUtf8(st.name);
        e.size = qint64(st.size);
        e.packed = qint64(st.comp_size);
        e.method = st.comp_method;
        if (zip_file_t* f = zip_fopen_index(za, zip_uint64_t(i), 0)) {
            QByteArray buffer(int(st.size) + 1, '\0');
            const zip_int64_t n = zip_fread(f, buffer.data(), zip_uint64_t(buffer.size()));
            e.readable = n == zip_int64_t(st.size);
            e.content = buffer.left(int(qMax<zip_int64_t>(0, n)));
            zip_fclose(f);
        }
        out << e;
    }
    zip_discard(za);
    return out;
}

inline QStringList namesOf(const QList<EntryInfo>& entries)
{
    QStringList out;
    for (const EntryInfo& e : entries)
        out << e.name;
    return out;
}

// The offset of an entry's data in the archive file (after its local header).
inline qint64 dataOffset(const QString& path, const QString& entry)
{
    const QByteArray bytes = readFile(path);
    const QByteArray header = QByteArray("PK\x03\x04", 4);
    qint64 at = 0;
    while ((at = bytes.indexOf(header, at)) >= 0) {
        auto u16 = [&](qint64 i) { return int(quint8(bytes[i])) | (int(quint8(bytes[i + 1])) << 8); };
        const int nameLength = u16(at + 26);
        const int extraLength = u16(at + 28);
        if (bytes.mid(at + 30, nameLength) == entry.toUtf8())
            return at + 30 + nameLength + extraLength;
        at += 4;
    }
    return -1;
}

// Flips one byte of an entry's data, `into` bytes after its start.
inline void damageEntry(const QString& path, const QString& entry, qint64 into = 10)
{
    const qint64 at = dataOffset(path, entry);
    QVERIFY(at > 0);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.seek(at + into);
    char c = 0;
    f.getChar(&c);
    f.seek(at + into);
    f.putChar(char(c ^ 0x5A));
}

// Overwrites a 32-bit field of an entry's local header, `local` bytes into it, and (unless
// `central` is negative) of its record in the central directory, `central` bytes into that.
inline void patchEntry(const QString& path, const QString& entry, int local, int central, quint32 value)
{
    QByteArray bytes = readFile(path);
    const QByteArray name = entry.toUtf8();
    auto u16 = [&](qint64 i) { return int(quint8(bytes[i])) | (int(quint8(bytes[i + 1])) << 8); };
    auto put = [&](qint64 at) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char((value >> (8 * i)) & 0xFF);
    };
    for (qint64 at = 0; (at = bytes.indexOf(QByteArray("PK\x03\x04", 4), at)) >= 0; at += 4) {
        if (bytes.mid(at + 30, u16(at + 26)) == name)
            put(at + local);
    }
    for (qint64 at = 0; central >= 0 && (at = bytes.indexOf(QByteArray("PK\x01\x02", 4), at)) >= 0; at += 4) {
        if (bytes.mid(at + 46, u16(at + 28)) == name)
            put(at + central);
    }
    writeFile(path, bytes);
}

// Cuts the archive's central directory off (as an interrupted copy would).
inline void cutCentralDirectory(const QString& path)
{
    QByteArray bytes = readFile(path);
    const qint64 central = bytes.indexOf(QByteArray("PK\x01\x02", 4));
    QVERIFY(central > 0);
    bytes.truncate(central);
    writeFile(path, bytes);
}

// An archive of 8 MB (40 stored entries of noise) whose central directory was cut off: enough
// work for a repair to be aborted or killed midway. Its bytes.
inline QByteArray makeLargeDamagedArchive(const QString& path)
{
    QList<QPair<QString, QByteArray>> parts;
    for (int i = 0; i < 40; ++i)
        parts.append({QStringLiteral("part%1.bin").arg(i), noise(200 * 1024, quint32(i))});
    makeArchive(path, parts, QDateTime(), true);
    cutCentralDirectory(path);
    return readFile(path);
}
