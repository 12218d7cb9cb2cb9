// Damaged and hostile archives through the archiver's repair and its reading commands: archives
// cut short, with bytes flipped, with header fields set to hostile values (a 2000-byte name with
// no central directory, sizes of 4 GB), with data descriptors and zip64 sizes, spliced together.
// None may end the program; a sound archive goes through the repair unchanged; a repair leaves no
// file but the archive beside it, keeps its permissions, and an archive it repaired passes its own
// test. Meant to run under -fsanitize=address,undefined.
//
//   bench_ziprepair_fuzz [count] [seed]      (count damaged archives, 1000 by default)

#include "ZipBytes.h"
#include "utilities/ZipArchiver.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// An archive written by libzip: entries (name, content), a name ending in "/" a folder, a name
// that is not UTF-8 in the DOS code page; compressed and encrypted as asked, with a comment.
QByteArray libzipArchive(const QString& scratch, const QList<QPair<QByteArray, QByteArray>>& entries, zip_int32_t method = ZIP_CM_DEFAULT,
                         zip_uint16_t encryption = ZIP_EM_NONE)
{
    QFile::remove(scratch);
    int error = 0;
    zip_t* za = zip_open(QFile::encodeName(scratch).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!za)
        return {};
    for (const auto& e : entries) {
        const zip_flags_t encoding = QString::fromUtf8(e.first).toUtf8() == e.first ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_CP437;
        if (e.first.endsWith('/')) {
            zip_dir_add(za, e.first.constData(), encoding);
            continue;
        }
        // libzip frees the copy once it is written (an empty one it never takes).
        void* data = e.second.isEmpty() ? nullptr : std::malloc(size_t(e.second.size()));
        if (data)
            std::memcpy(data, e.second.constData(), size_t(e.second.size()));
        zip_source_t* src = zip_source_buffer(za, data, zip_uint64_t(e.second.size()), data ? 1 : 0);
        const zip_int64_t index = zip_file_add(za, e.first.constData(), src, encoding);
        if (index >= 0) {
            zip_set_file_compression(za, zip_uint64_t(index), method, 0);
            if (encryption != ZIP_EM_NONE)
                zip_file_set_encryption(za, zip_uint64_t(index), encryption, "secret");
        }
    }
    zip_set_archive_comment(za, "backup", 6);
    if (zip_close(za) != 0) {
        zip_discard(za);
        return {};
    }
    return readAll(scratch);
}

// Local entries written by hand, the way other programs write them: sizes in a data descriptor
// after the data (with and without its signature), or zip64 sizes in the extra field.
QByteArray handWrittenEntries()
{
    using namespace zipbytes;
    QByteArray out;
    const QByteArray a = zipbytes::text(5000, 3);
    const QByteArray b = zipbytes::text(700, 9);
    entry(out, "descriptor-deflated.txt", a, true, Sizes::SignedDescriptor);
    entry(out, "descriptor-stored.txt", b, false, Sizes::UnsignedDescriptor);
    entry(out, "descriptor-stored-2.txt", b, false, Sizes::SignedDescriptor);
    // Zip64 sizes.
    const QByteArray da = rawDeflate(a);
    QByteArray extra;
    put16(extra, 0x0001);
    put16(extra, 16);
    put64(extra, quint64(a.size()));
    put64(extra, quint64(da.size()));
    localHeader(out, "zip64.txt", 0x0800, 8, crcOf(a), 0xFFFFFFFF, 0xFFFFFFFF, extra);
    out += da;
    return out;
}

// Where the local headers stand.
QList<qsizetype> localHeaders(const QByteArray& bytes)
{
    QList<qsizetype> at;
    for (qsizetype i = 0; (i = bytes.indexOf(QByteArray("PK\x03\x04", 4), i)) >= 0; i += 4)
        at << i;
    return at;
}

void setField(QByteArray& bytes, qsizetype at, int width, quint32 value)
{
    for (int i = 0; i < width && at + i < bytes.size(); ++i)
        bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

// One archive damaged in one to three ways.
QByteArray damaged(const QList<QByteArray>& seeds, QRandomGenerator& rng)
{
    QByteArray bytes = seeds.at(int(rng.bounded(seeds.size())));
    const int steps = 1 + int(rng.bounded(3));
    for (int step = 0; step < steps && !bytes.isEmpty(); ++step) {
        switch (rng.bounded(8)) {
        case 0: {   // the central directory cut off, as an interrupted copy leaves it
            const qsizetype central = bytes.indexOf(QByteArray("PK\x01\x02", 4));
            if (central > 0)
                bytes.truncate(central);
            break;
        }
        case 1: {   // bytes flipped
            const int flips = 1 + int(rng.bounded(16));
            for (int i = 0; i < flips; ++i)
                bytes[rng.bounded(bytes.size())] = char(rng.bounded(256));
            break;
        }
        case 2: {   // a header field set to a hostile value
            const QList<qsizetype> headers = localHeaders(bytes);
            if (headers.isEmpty())
                break;
            static const int fields[][2] = {{6, 2}, {8, 2}, {14, 4}, {18, 4}, {22, 4}, {26, 2}, {28, 2}};
            const auto& field = fields[rng.bounded(7)];
            static const quint32 values[] = {0, 1, 0xFFFF, 0x7FFF, 2000, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000};
            const quint32 value = rng.bounded(4) == 0 ? rng.generate() : values[rng.bounded(8)];
            setField(bytes, headers.at(rng.bounded(headers.size())) + field[0], field[1], value);
            break;
        }
        case 3: {   // a name of 2000 bytes announced, with no central directory after it
            const QList<qsizetype> headers = localHeaders(bytes);
            if (headers.isEmpty())
                break;
            const qsizetype h = headers.at(rng.bounded(headers.size()));
            setField(bytes, h + 26, 2, 2000);
            const qsizetype central = bytes.indexOf(QByteArray("PK\x01\x02", 4));
            if (central > 0)
                bytes.truncate(central);
            if (rng.bounded(2))
                bytes.truncate(h + 30 + qsizetype(rng.bounded(2000)));
            break;
        }
        case 4:   // cut anywhere
            bytes.truncate(rng.bounded(bytes.size() + 1));
            break;
        case 5: {   // random bytes put in
            const qsizetype at = rng.bounded(bytes.size() + 1);
            bytes.insert(at, zipbytes::noise(1 + int(rng.bounded(64)), rng));
            break;
        }
        case 6: {   // a stretch repeated
            const qsizetype from = rng.bounded(bytes.size());
            const qsizetype length = qMin<qsizetype>(bytes.size() - from, 1 + rng.bounded(4096));
            bytes.insert(rng.bounded(bytes.size() + 1), bytes.mid(from, length));
            break;
        }
        default: {   // two archives spliced
            const QByteArray& other = seeds.at(int(rng.bounded(seeds.size())));
            bytes = bytes.left(rng.bounded(bytes.size() + 1)) + other.mid(rng.bounded(other.size() + 1));
            break;
        }
        }
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const quint32 seed = argc > 2 ? quint32(std::strtoul(argv[2], nullptr, 10)) : 20240611u;
    QRandomGenerator rng(seed);
    QTemporaryDir work;
    const QString scratch = work.filePath(QStringLiteral("seed.zip"));

    const QByteArray longName = QByteArray(2000, 'n') + ".txt";
    QList<QByteArray> seeds;
    const QList<QPair<QByteArray, QByteArray>> files = {{"inventory.mdb", zipbytes::text(40000, 1)}, {"noise.bin", zipbytes::noise(3000, rng)},
                                                        {"folder/", {}}, {"folder/small.txt", "small"}, {"empty.txt", {}}};
    seeds << libzipArchive(scratch, files) << libzipArchive(scratch, files, ZIP_CM_STORE)
          << libzipArchive(scratch, {{longName, zipbytes::text(3000, 5)}, {"after.txt", zipbytes::text(2000, 6)}})
          << libzipArchive(scratch, {{"\xc3\xbc-utf8.txt", zipbytes::text(100, 2)}, {"\x81" "ber-dos.txt", zipbytes::text(300, 4)}}, ZIP_CM_STORE)
          << libzipArchive(scratch, files, ZIP_CM_BZIP2) << libzipArchive(scratch, files, ZIP_CM_DEFAULT, ZIP_EM_TRAD_PKWARE)
          << libzipArchive(scratch, files, ZIP_CM_STORE, ZIP_EM_AES_256) << handWrittenEntries();
    seeds << seeds.at(0).left(seeds.at(0).indexOf(QByteArray("PK\x01\x02", 4))) + handWrittenEntries();
    // Two entries of one name, as other programs let an archive hold them; a whole database beside
    // a name marked as UTF-8 that is not (which libzip refuses, other programs read).
    seeds << libzipArchive(scratch, {{"same.txt", zipbytes::text(700, 7)}, {"samf.txt", zipbytes::text(900, 8)}}).replace("samf.txt", "same.txt")
          << libzipArchive(scratch, {{"inventory.mdb", zipbytes::text(40000, 1)}, {"caf\xc3\xa9.txt", zipbytes::text(200, 3)}})
                 .replace("caf\xc3\xa9", "caf\xff\xfe");

    ZipArchiver z;
    QObject::connect(&z, &ZipArchiver::replaceFile, [](const QString&, int* reply) { *reply = 1; });
    const QString folder = work.filePath(QStringLiteral("case"));
    const QString out = work.filePath(QStringLiteral("out"));
    const QString archive = QDir(folder).filePath(QStringLiteral("damaged.zip"));
    QDir().mkpath(folder);

    // A sound archive (whole, and read by libzip as it stands) goes through the repair byte for byte
    // as it was.
    int unsound = 0;
    for (const QByteArray& seed : std::as_const(seeds)) {
        if (!seed.contains(QByteArray("PK\x05\x06", 4)))
            continue;
        writeAll(archive, seed);
        int error = 0;
        zip_t* readable = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &error);
        if (!readable)
            continue;
        zip_discard(readable);
        writeAll(archive, seed);
        z.setArchiveName(archive);
        if (z.fix(false) != ZipArchiver::Success || z.fix(true) != ZipArchiver::Success || readAll(archive) != seed) {
            std::fprintf(stderr, "a sound archive did not go through the repair unchanged\n");
            ++unsound;
        }
    }

    QMap<int, int> fixResults[2];
    QMap<int, int> testResults;
    int savedEntries = 0;
    int violations = 0;
    const auto violation = [&](int n, const char* what) {
        if (++violations <= 20)
            std::fprintf(stderr, "case %d: %s\n", n, what);
        writeAll(work.filePath(QStringLiteral("failed-%1.zip").arg(n)), readAll(archive));
    };
    QElapsedTimer timer;
    timer.start();
    for (int n = 0; n < count; ++n) {
        const QByteArray bytes = damaged(seeds, rng);
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);

        // The reading commands on the damaged archive.
        writeAll(archive, bytes);
        z.setArchiveName(archive);
        z.list();
        z.entryCount();
        testResults[z.test()]++;
        QDir(out).removeRecursively();
        z.setExtractionFolder(out);
        z.extract(0);
        ZipArchiver::verify(archive);

        // The repair, normal and aggressive, each on the archive as damaged.
        for (int aggressive = 0; aggressive < 2; ++aggressive) {
            writeAll(archive, bytes);
            QFile::setPermissions(archive, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
            const QFile::Permissions permissions = QFile::permissions(archive);
            z.setArchiveName(archive);
            const int result = z.fix(aggressive == 1);
            fixResults[aggressive][result]++;
            if (QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot) != QStringList{QStringLiteral("damaged.zip")})
                violation(n, "the repair left a file beside the archive");
            if (result == ZipArchiver::Success || result == ZipArchiver::Warnings) {
                if (QFile::permissions(archive) != permissions)
                    violation(n, "the repaired archive lost its permissions");
                // (An archive of folders alone has no file to test; encrypted entries are passed over.)
                const int tested = z.test();
                if (tested != ZipArchiver::Success && tested != ZipArchiver::Warnings && tested != ZipArchiver::NothingToTest)
                    violation(n, "a repaired archive fails its test");
                int error = 0;
                if (zip_t* za = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &error)) {
                    savedEntries += int(zip_get_num_entries(za, 0));
                    zip_discard(za);
                }
            } else if (readAll(archive) != bytes) {
                violation(n, "a repair that failed changed the archive");
            }
        }
    }
    const double seconds = double(timer.elapsed()) / 1000.0;

    const auto histogram = [](const QMap<int, int>& results) {
        QString out;
        for (auto it = results.cbegin(); it != results.cend(); ++it)
            out += QStringLiteral(" %1:%2").arg(it.key()).arg(it.value());
        return out.toLocal8Bit();
    };
    std::printf("damaged archives             %d (seed %u)\n", count, seed);
    std::printf("fix normal, results          %s\n", histogram(fixResults[0]).constData());
    std::printf("fix aggressive, results      %s\n", histogram(fixResults[1]).constData());
    std::printf("test of the damaged archives %s\n", histogram(testResults).constData());
    std::printf("entries saved by the repairs %d\n", savedEntries);
    std::printf("violations                   %d\n", violations + unsound);
    std::printf("time                         %.1f s\n", seconds);
    std::fflush(stdout);
    if (violations + unsound > 0) {
        // The archives that broke a rule, kept for a closer look.
        work.setAutoRemove(false);
        std::printf("kept in                      %s\n", qPrintable(work.path()));
    }
    return violations + unsound == 0 ? 0 : 1;
}
