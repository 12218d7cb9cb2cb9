#include "utilities/ZipArchiver.h"

#include "platform/AppFolder.h"
#include "platform/FileOps.h"
#include "utilities/ZipSalvage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>
#include <functional>
#include <limits>
#include <optional>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 Chunk = 256 * 1024;

// Owns an open archive; changes not committed by close() are dropped.
struct Archive {
    zip_t* za = nullptr;
    Archive() = default;
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;
    ~Archive()
    {
        if (za)
            zip_discard(za);
    }
};

struct ZipFile {
    zip_file_t* zf = nullptr;
    ~ZipFile()
    {
        if (zf)
            zip_fclose(zf);
    }
};

}  // namespace

int ZipArchiver::resultOf(int code, int system, bool creating)
{
    // A full disk, however libzip came upon it (a write, a seek, a temporary file that could not
    // be made), is told as such.
    if (system == ENOSPC || system == EDQUOT)
        return DiskFull;
    switch (code) {
    case ZIP_ER_OK: return ZipArchiver::Success;
    case ZIP_ER_NOENT: return ZipArchiver::FileNotFound;
    case ZIP_ER_NOZIP:
    case ZIP_ER_INCONS: return ZipArchiver::NotAZipFile;
    case ZIP_ER_MEMORY: return ZipArchiver::InsufficientMemory;
    case ZIP_ER_INVAL: return ZipArchiver::InvalidSettings;
    case ZIP_ER_CANCELLED: return ZipArchiver::Aborted;
    case ZIP_ER_MULTIDISK: return ZipArchiver::MultidiskArchive;
    case ZIP_ER_CRC: return ZipArchiver::TestFailed;
    case ZIP_ER_TMPOPEN: return ZipArchiver::TemporaryFile;
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
    case ZIP_ER_TELL:
    case ZIP_ER_EOF: return ZipArchiver::ReadError;
    case ZIP_ER_WRITE:
    case ZIP_ER_CLOSE:
    case ZIP_ER_RENAME:
    case ZIP_ER_REMOVE: return ZipArchiver::WriteError;
    case ZIP_ER_OPEN:
        if (system == ENOENT && !creating)
            return ZipArchiver::FileNotFound;
        return creating ? ZipArchiver::CreateError : ZipArchiver::ReadError;
    case ZIP_ER_EXISTS: return ZipArchiver::CreateError;
    default: return ZipArchiver::OtherError;
    }
}

namespace {

int skipReasonOf(int code)
{
    switch (code) {
    case ZIP_ER_CRC: return ZipArchiver::SkipBadCrc;
    case ZIP_ER_COMPNOTSUPP: return ZipArchiver::SkipUnknownCompression;
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD: return ZipArchiver::SkipPassword;
    case ZIP_ER_OPEN: return ZipArchiver::SkipCannotOpen;
    default: return ZipArchiver::SkipCorrupted;
    }
}

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

QString entryName(const char* name)
{
    return QString::fromUtf8(name);
}

bool isDirectoryEntry(const QString& name)
{
    return name.endsWith(QLatin1Char('/'));
}

// An archive file that libzip reads as it stands and writes through a pending file (see
// FileOps.h), put in its place only when complete: an operation aborted, failed or ended with the
// program leaves the archive as it was and nothing beside it.
//
// Names marked as UTF-8 that are not (see misleadingUtf8Marks) keep libzip from reading the archive
// at all; where marks are given, the archive is read with them cleared.
struct ArchiveFile {
    QString path;
    int in = -1;
    std::unique_ptr<PendingFile> out;
    zip_error_t error;
    std::vector<qint64> marks;

    ArchiveFile() { zip_error_init(&error); }
    ~ArchiveFile()
    {
        if (in >= 0)
            ::close(in);
        zip_error_fini(&error);
    }
};

bool writeEmptyArchive(const QString& path);

// Where a seek on fd goes, as libzip asks for it; -1 with the error set when nowhere.
zip_int64_t seekTo(int fd, void* data, zip_uint64_t length, zip_error_t* error)
{
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        zip_error_set(error, ZIP_ER_SEEK, errno);
        return -1;
    }
    const zip_int64_t to = zip_source_seek_compute_offset(zip_uint64_t(::lseek(fd, 0, SEEK_CUR)), zip_uint64_t(st.st_size), data, length, error);
    if (to >= 0 && ::lseek(fd, off_t(to), SEEK_SET) < 0) {
        zip_error_set(error, ZIP_ER_SEEK, errno);
        return -1;
    }
    return to < 0 ? -1 : 0;
}

zip_int64_t archiveFileSource(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* f = static_cast<ArchiveFile*>(state);
    const auto failed = [f](int zipError, int systemError) {
        zip_error_set(&f->error, zipError, systemError);
        return zip_int64_t(-1);
    };
    switch (command) {
    case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_WRITABLE;
    case ZIP_SOURCE_STAT: {
        // A file that is not there reads as "not there", which lets libzip begin a new archive.
        struct stat st;
        if (::stat(native(f->path).constData(), &st) != 0)
            return failed(ZIP_ER_READ, errno);
        auto* zs = static_cast<zip_stat_t*>(data);
        zip_stat_init(zs);
        zs->size = zip_uint64_t(st.st_size);
        zs->mtime = st.st_mtime;
        zs->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_OPEN:
        f->in = ::open(native(f->path).constData(), O_RDONLY | O_CLOEXEC);
        return f->in < 0 ? failed(ZIP_ER_OPEN, errno) : 0;
    case ZIP_SOURCE_READ: {
        const off_t from = f->marks.empty() ? 0 : ::lseek(f->in, 0, SEEK_CUR);
        ssize_t n;
        do
            n = ::read(f->in, data, size_t(length));
        while (n < 0 && errno == EINTR);
        if (n < 0)
            return failed(ZIP_ER_READ, errno);
        for (auto it = std::lower_bound(f->marks.begin(), f->marks.end(), qint64(from)); it != f->marks.end() && *it < qint64(from) + n; ++it)
            static_cast<uchar*>(data)[*it - from] &= uchar(~0x08);
        return zip_int64_t(n);
    }
    case ZIP_SOURCE_CLOSE:
        ::close(f->in);
        f->in = -1;
        return 0;
    case ZIP_SOURCE_SEEK:
        return seekTo(f->in, data, length, &f->error);
    case ZIP_SOURCE_TELL: {
        const off_t at = ::lseek(f->in, 0, SEEK_CUR);
        return at < 0 ? failed(ZIP_ER_TELL, errno) : zip_int64_t(at);
    }
    case ZIP_SOURCE_BEGIN_WRITE:
        f->out = std::make_unique<PendingFile>(f->path);
        if (!f->out->open()) {
            const int code = f->out->systemError();
            f->out.reset();
            return failed(ZIP_ER_TMPOPEN, code);
        }
        return 0;
    case ZIP_SOURCE_WRITE:
        return f->out->write(static_cast<const char*>(data), qint64(length)) ? zip_int64_t(length) : failed(ZIP_ER_WRITE, f->out->systemError());
    case ZIP_SOURCE_SEEK_WRITE:
        return seekTo(f->out->handle(), data, length, &f->error);
    case ZIP_SOURCE_TELL_WRITE: {
        const off_t at = ::lseek(f->out->handle(), 0, SEEK_CUR);
        return at < 0 ? failed(ZIP_ER_TELL, errno) : zip_int64_t(at);
    }
    case ZIP_SOURCE_COMMIT_WRITE:
        if (!f->out->commit())
            return failed(ZIP_ER_WRITE, f->out->systemError());
        f->out.reset();
        return 0;
    case ZIP_SOURCE_ROLLBACK_WRITE:
        f->out.reset();
        return 0;
    case ZIP_SOURCE_REMOVE:
        // An archive whose every entry went stays an archive, with no entries, in the file the
        // archive's name names (through a link too).
        if (!writeEmptyArchive(f->path))
            return failed(ZIP_ER_REMOVE, errno);
        return 0;
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&f->error, data, length);
    case ZIP_SOURCE_FREE:
        delete f;
        return 0;
    default:
        return failed(ZIP_ER_OPNOTSUPP, 0);
    }
}

// The result code of a libzip error, with the system's error number behind it in *systemError
// (only an error of the system carries one).
int resultOfError(zip_error_t* error, bool creating, int* systemError)
{
    *systemError = zip_error_system_type(error) == ZIP_ET_SYS ? zip_error_code_system(error) : 0;
    return ZipArchiver::resultOf(zip_error_code_zip(error), *systemError, creating);
}

// Opens an archive through the archive file above, to read or to change; the result code when it
// does not open, with the system's error number behind it in *systemError. An archive that libzip
// refuses for names marked as UTF-8 that are not is read with those names in the DOS code page,
// unless asIs.
std::optional<int> openFile(Archive& archive, const QString& name, int flags, int* systemError = nullptr, bool asIs = false)
{
    int ignored = 0;
    if (!systemError)
        systemError = &ignored;
    std::vector<qint64> marks;
    for (int attempt = 0;; ++attempt) {
        zip_error_t error;
        zip_error_init(&error);
        auto* state = new ArchiveFile;
        state->path = name;
        state->marks = marks;
        zip_source_t* source = zip_source_function_create(&archiveFileSource, state, &error);
        if (!source) {
            delete state;
            zip_error_fini(&error);
            return ZipArchiver::InsufficientMemory;
        }
        archive.za = zip_open_from_source(source, flags, &error);
        if (archive.za) {
            zip_error_fini(&error);
            return std::nullopt;
        }
        zip_source_free(source);
        const int code = zip_error_code_zip(&error);
        const int result = resultOfError(&error, (flags & ZIP_CREATE) != 0, systemError);
        zip_error_fini(&error);
        if (asIs || attempt > 0 || code != ZIP_ER_INCONS)
            return result;
        QFile file(name);
        const qint64 size = file.open(QIODevice::ReadOnly) ? file.size() : 0;
        const uchar* bytes = size > 0 ? file.map(0, size) : nullptr;
        marks = misleadingUtf8Marks(bytes, bytes ? size : 0);
        if (marks.empty())
            return result;
    }
}

// Opens the archive an operation works on. The result the operation ends with when it cannot go
// on: no archive named, nothing written yet (fresh: the new archive has no entries to act on), or
// an archive that does not open; nothing when it is open.
std::optional<int> openArchive(Archive& archive, const QString& name, bool fresh, int flags, int* systemError = nullptr)
{
    if (name.isEmpty())
        return ZipArchiver::InvalidSettings;
    if (fresh)
        return ZipArchiver::Success;
    return openFile(archive, name, flags, systemError);
}

// Progress by bytes out of a total, told as a percentage whenever it changes.
class ByteProgress {
public:
    ByteProgress(qint64 total, std::function<void(int)> tell)
        : m_total(total)
        , m_tell(std::move(tell))
    {
    }
    void add(qint64 bytes)
    {
        m_done += bytes;
        const int percent = m_total > 0 ? int(m_done * 100 / m_total) : 100;
        if (percent != m_lastPercent) {
            m_lastPercent = percent;
            m_tell(percent);
        }
    }

private:
    qint64 m_total;
    qint64 m_done = 0;
    int m_lastPercent = -1;
    std::function<void(int)> m_tell;
};

// The place of an entry below the extraction folder, or nothing for a name that would leave it
// ("../x", "/etc/x", "C:\x"): entries are never written outside the folder chosen.
std::optional<QString> relativePlace(const QString& name)
{
    QString clean = name;
    clean.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (clean.startsWith(QLatin1Char('/')) || (clean.size() >= 2 && clean.at(1) == QLatin1Char(':')))
        return std::nullopt;
    QStringList parts;
    for (const QString& part : clean.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String(".."))
            return std::nullopt;
        parts << part;
    }
    if (parts.isEmpty())
        return std::nullopt;
    return parts.join(QLatin1Char('/'));
}

QString dateText(time_t t)
{
    return QDateTime::fromSecsSinceEpoch(qint64(t)).toString(QStringLiteral("dd/MM/yy hh:mm"));
}

int ratioOf(qint64 size, qint64 packed)
{
    if (size <= 0)
        return 0;
    const qint64 saved = ((size - packed) * 100 + size / 2) / size;
    return int(std::clamp<qint64>(saved, 0, 100));
}

bool setModified(const QString& path, qint64 secs)
{
    struct timespec times[2];
    times[0].tv_sec = secs;
    times[0].tv_nsec = 0;
    times[1] = times[0];
    return ::utimensat(AT_FDCWD, native(path).constData(), times, 0) == 0;
}

// An archive without entries: nothing but the end-of-central-directory record.
bool writeEmptyArchive(const QString& path)
{
    PendingFile out(path);
    QByteArray record(22, '\0');
    record[0] = 'P';
    record[1] = 'K';
    record[2] = 5;
    record[3] = 6;
    return out.open() && out.write(record.constData(), record.size()) && out.commit();
}

// Reads an entry to its end, checking what it gives against the length and the checksum the
// archive's directory records for it. libzip's own check is not enough: an entry whose recorded
// compressed size is 0 reads as no bytes at all, without complaint. 0 when whole, -1 with
// *skipReason when not, 1 when the sink stopped the reading.
int readEntry(zip_t* za, zip_uint64_t index, const std::function<bool(const char*, qint64)>& sink, int* skipReason)
{
    zip_stat_t st;
    if (zip_stat_index(za, index, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
        *skipReason = ZipArchiver::SkipCorrupted;
        return -1;
    }
    ZipFile file;
    file.zf = zip_fopen_index(za, index, 0);
    if (!file.zf) {
        *skipReason = skipReasonOf(zip_error_code_zip(zip_get_error(za)));
        return -1;
    }
    // Only strong encryption leaves the checksum out (its own authentication code stands for it,
    // checked by libzip); anything else without one is damaged.
    if (!(st.valid & ZIP_STAT_CRC) && !((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)) {
        *skipReason = ZipArchiver::SkipCorrupted;
        return -1;
    }
    QByteArray buffer(Chunk, Qt::Uninitialized);
    zip_uint64_t length = 0;
    uLong crc = crc32(0L, nullptr, 0);
    for (;;) {
        const zip_int64_t n = zip_fread(file.zf, buffer.data(), zip_uint64_t(buffer.size()));
        if (n < 0) {
            *skipReason = skipReasonOf(zip_error_code_zip(zip_file_get_error(file.zf)));
            return -1;
        }
        if (n == 0)
            break;
        length += zip_uint64_t(n);
        crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer.constData()), uInt(n));
        if (!sink(buffer.constData(), qint64(n)))
            return 1;   // stopped by the sink
    }
    if (length != st.size) {
        *skipReason = ZipArchiver::SkipCorrupted;
        return -1;
    }
    if ((st.valid & ZIP_STAT_CRC) && zip_uint32_t(crc) != st.crc) {
        *skipReason = ZipArchiver::SkipBadCrc;
        return -1;
    }
    return 0;
}

// Data already in its archive form, with the checksum and size of the file it stands for, served
// to libzip to copy as it is: a file compressed ahead of the archive (one raw deflate stream).
struct Precompressed {
    QByteArray data;
    quint32 crc = 0;
    qint64 size = 0;
    time_t modified = 0;
    qint64 pos = 0;
    zip_error_t error;

    Precompressed() { zip_error_init(&error); }
    ~Precompressed() { zip_error_fini(&error); }
};

zip_int64_t precompressedSource(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* s = static_cast<Precompressed*>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        s->pos = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const qint64 n = qMin<qint64>(qint64(length), s->data.size() - s->pos);
        std::memcpy(data, s->data.constData() + s->pos, size_t(n));
        s->pos += n;
        return zip_int64_t(n);
    }
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->size = zip_uint64_t(s->size);
        st->comp_size = zip_uint64_t(s->data.size());
        st->comp_method = ZIP_CM_DEFLATE;
        st->crc = s->crc;
        st->mtime = s->modified;
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC | ZIP_STAT_MTIME;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&s->error, data, length);
    case ZIP_SOURCE_FREE:
        delete s;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
                                              ZIP_SOURCE_FREE, -1);
    default:
        zip_error_set(&s->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

// Files from this size on are compressed on all processors at once.
constexpr qint64 ParallelFrom = 4 * 1024 * 1024;
// ... and up to this size, as the compressed file is held in memory.
constexpr qint64 ParallelUpTo = qint64(1024) * 1024 * 1024;
constexpr qint64 Piece = 1024 * 1024;
constexpr int Window = 32 * 1024;

// One piece of a file compressed on its own, primed with the 32 KB before it, so that the pieces
// put one after the other are one deflate stream (the last one ends it).
struct PieceResult {
    QByteArray out;
    quint32 crc = 0;
    bool ok = false;
};

void deflatePiece(const uchar* data, qint64 start, qint64 length, bool last, int level, PieceResult* result)
{
    z_stream z {};
    if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return;
    if (start > 0) {
        const qint64 from = qMax<qint64>(0, start - Window);
        deflateSetDictionary(&z, data + from, uInt(start - from));
    }
    result->out.resize(qsizetype(deflateBound(&z, uLong(length)) + 64));
    z.next_in = const_cast<Bytef*>(data + start);
    z.avail_in = uInt(length);
    z.next_out = reinterpret_cast<Bytef*>(result->out.data());
    z.avail_out = uInt(result->out.size());
    const int rc = deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
    const bool done = last ? rc == Z_STREAM_END : (rc == Z_OK && z.avail_in == 0);
    result->out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    result->crc = quint32(crc32(0L, data + start, uInt(length)));
    result->ok = done;
}

}  // namespace

// Progress and cancel callbacks of libzip, while it writes an archive.
struct ZipCallbacks {
    static void progress(zip_t*, double fraction, void* self)
    {
        auto* z = static_cast<ZipArchiver*>(self);
        const int percent = z->m_progressFrom + int(fraction * (100 - z->m_progressFrom) + 0.5);
        if (percent != z->m_lastPercent) {
            z->m_lastPercent = percent;
            Q_EMIT z->status(percent);
        }
    }
    static int cancel(zip_t*, void* self)
    {
        return static_cast<ZipArchiver*>(self)->m_abort ? 1 : 0;
    }
    static void watch(zip_t* za, ZipArchiver* self)
    {
        self->m_lastPercent = -1;
        self->m_progressFrom = 0;
        zip_register_progress_callback_with_state(za, 0.01, &ZipCallbacks::progress, nullptr, self);
        zip_register_cancel_callback_with_state(za, &ZipCallbacks::cancel, nullptr, self);
    }
};

ZipArchiver::ZipArchiver(QObject* parent)
    : QObject(parent)
{
}

ZipArchiver::~ZipArchiver() = default;

void ZipArchiver::setArchiveName(const QString& name)
{
    if (name != m_archiveName)
        m_fresh = false;
    m_archiveName = name;
}

void ZipArchiver::setCompressionLevel(int level)
{
    m_compressionLevel = qBound(0, level, 9);
}

void ZipArchiver::startNewArchive()
{
    m_fresh = true;
}

QStringList ZipArchiver::takeNames()
{
    QString all = m_filesToProcess;
    all.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    QStringList names;
    for (const QString& name : all.split(QLatin1Char('\r'), Qt::SkipEmptyParts))
        if (!name.trimmed().isEmpty())
            names << name;
    m_filesToProcess.clear();
    m_abort = false;
    m_systemError = 0;
    return names;
}

int ZipArchiver::failedWith(zip_error_t* error, bool creating)
{
    return resultOfError(error, creating, &m_systemError);
}

int ZipArchiver::finish(int result)
{
    m_filesToProcess.clear();
    m_storedNames.clear();
    m_abort = false;
    return result;
}

int ZipArchiver::entryCount()
{
    if (m_archiveName.isEmpty() || m_fresh)
        return 0;
    Archive archive;
    if (openFile(archive, m_archiveName, ZIP_RDONLY))
        return 0;
    const zip_int64_t n = zip_get_num_entries(archive.za, 0);
    return int(std::clamp<zip_int64_t>(n, 0, std::numeric_limits<int>::max()));
}

void* ZipArchiver::compressFile(const QString& path, qint64 size, int* result)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        m_systemError = errno;
        *result = ReadError;
        return nullptr;
    }
    QByteArray copy;
    const uchar* data = in.map(0, size);
    if (!data) {
        copy = in.readAll();
        if (copy.size() != size) {
            m_systemError = errno;
            *result = ReadError;
            return nullptr;
        }
        data = reinterpret_cast<const uchar*>(copy.constData());
    }

    // The pieces go to the processors as each becomes free; this thread reports the progress
    // and passes an abort on.
    const qint64 pieces = (size + Piece - 1) / Piece;
    const int workers = int(qBound<qint64>(1, qint64(std::thread::hardware_concurrency()), qMin<qint64>(16, pieces)));
    std::vector<PieceResult> results(static_cast<size_t>(pieces));
    std::atomic<qint64> next {0};
    std::atomic<bool> stop {false};
    qint64 finished = 0;
    std::mutex mutex;
    std::condition_variable changed;
    const int level = m_compressionLevel;
    auto work = [&] {
        for (;;) {
            const qint64 i = next++;
            if (i >= pieces || stop)
                return;
            const qint64 start = i * Piece;
            deflatePiece(data, start, qMin(Piece, size - start), i == pieces - 1, level, &results[size_t(i)]);
            {
                std::lock_guard<std::mutex> lock(mutex);
                ++finished;
            }
            changed.notify_one();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(size_t(workers));
    for (int w = 0; w < workers; ++w)
        threads.emplace_back(work);
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (finished < pieces && !stop) {
            changed.wait_for(lock, std::chrono::milliseconds(50));
            const qint64 done = finished;
            lock.unlock();
            const int percent = int(done * 90 / pieces);
            if (percent != m_lastPercent) {
                m_lastPercent = percent;
                Q_EMIT status(percent);
            }
            if (m_abort)
                stop = true;
            lock.lock();
        }
    }
    for (std::thread& t : threads)
        t.join();
    if (m_abort) {
        *result = Aborted;
        return nullptr;
    }

    auto* out = new Precompressed;
    out->size = size;
    out->crc = quint32(crc32(0L, nullptr, 0));
    qint64 total = 0;
    for (const PieceResult& r : results)
        total += r.out.size();
    out->data.reserve(total);
    for (qint64 i = 0; i < pieces; ++i) {
        PieceResult& r = results[size_t(i)];
        if (!r.ok) {
            delete out;
            *result = InsufficientMemory;
            return nullptr;
        }
        out->data += r.out;
        r.out = QByteArray();
        out->crc = quint32(crc32_combine(out->crc, r.crc, z_off_t(qMin(Piece, size - i * Piece))));
    }
    return out;
}

int ZipArchiver::add(int mode)
{
    const int result = addFiles(mode);
    // A new archive that could not be written leaves the one before it as it was: from now on
    // that is the archive, listed as it stands (a failed backup shows the previous one, intact).
    if (result != Success && result != Warnings && m_fresh && QFileInfo(m_archiveName).isFile())
        m_fresh = false;
    return result;
}

int ZipArchiver::addFiles(int mode)
{
    const QStringList names = takeNames();
    if (m_archiveName.isEmpty())
        return finish(InvalidSettings);
    const bool update = mode == UpdateFiles;

    // Files are stored under their own names (or the one given for them): two of one name cannot
    // both go in.
    const auto storedName = [this](const QString& path) { return m_storedNames.value(path, QFileInfo(path).fileName()); };
    QHash<QString, int> seen;
    for (const QString& path : names) {
        if (++seen[storedName(path)] > 1)
            return finish(RepeatedNames);
    }

    Archive archive;
    if (const std::optional<int> stop = openFile(archive, m_archiveName, ZIP_CREATE | (m_fresh ? ZIP_TRUNCATE : 0), &m_systemError))
        return finish(*stop);
    ZipCallbacks::watch(archive.za, this);

    bool skipped = false;
    bool changed = false;
    for (const QString& path : names) {
        const QFileInfo info(path);
        const QString name = storedName(path);
        if (!info.isFile()) {
            Q_EMIT skippingFile(path, SkipNotFound);
            skipped = true;
            continue;
        }
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly)) {
            Q_EMIT skippingFile(path, SkipCannotOpen);
            skipped = true;
            continue;
        }
        probe.close();
        const qint64 modified = info.lastModified().toSecsSinceEpoch();
        if (update) {
            const zip_int64_t existing = zip_name_locate(archive.za, name.toUtf8().constData(), 0);
            zip_stat_t st;
            // Zip times have a resolution of two seconds.
            if (existing >= 0 && zip_stat_index(archive.za, zip_uint64_t(existing), 0, &st) == 0 && (st.valid & ZIP_STAT_MTIME)
                && modified <= qint64(st.mtime) + 1) {
                Q_EMIT skippingFile(name, SkipUpToDate);
                continue;
            }
            Q_EMIT updating(name, info.size());
        } else {
            Q_EMIT adding(name, info.size());
        }
        zip_source_t* source = nullptr;
        const bool parallel = m_compressionLevel > 0 && info.size() >= ParallelFrom && info.size() <= ParallelUpTo;
        if (parallel) {
            int result = 0;
            auto* data = static_cast<Precompressed*>(compressFile(path, info.size(), &result));
            if (!data)
                return finish(result);
            data->modified = time_t(modified);
            source = zip_source_function(archive.za, &precompressedSource, data);
            if (!source) {
                delete data;
                return finish(InsufficientMemory);
            }
        } else {
            source = zip_source_file(archive.za, native(path).constData(), 0, 0);
        }
        if (!source)
            return finish(failedWith(zip_get_error(archive.za), false));
        const zip_int64_t index = zip_file_add(archive.za, name.toUtf8().constData(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return finish(failedWith(zip_get_error(archive.za), false));
        }
        if (m_compressionLevel == 0)
            zip_set_file_compression(archive.za, zip_uint64_t(index), ZIP_CM_STORE, 0);
        else if (!parallel)
            zip_set_file_compression(archive.za, zip_uint64_t(index), ZIP_CM_DEFLATE, zip_uint32_t(m_compressionLevel));
        zip_file_set_mtime(archive.za, zip_uint64_t(index), time_t(modified), 0);
        changed = true;
    }
    if (!changed)
        return finish(skipped ? Warnings : Success);

    // What was compressed ahead counts for most of the work; writing the archive for the rest.
    m_progressFrom = m_lastPercent > 0 ? m_lastPercent : 0;
    if (zip_close(archive.za) != 0)
        return finish(failedWith(zip_get_error(archive.za), true));
    archive.za = nullptr;
    m_fresh = false;
    Q_EMIT status(100);
    return finish(skipped ? Warnings : Success);
}

int ZipArchiver::extract(int)
{
    QStringList names = takeNames();
    Archive archive;
    if (const std::optional<int> stop = openArchive(archive, m_archiveName, m_fresh, ZIP_RDONLY))
        return finish(*stop);

    const QString folder = extractionTarget();
    if (!QDir().mkpath(folder))
        return finish(DestinationFolder);
    if (names.isEmpty()) {
        const zip_int64_t n = zip_get_num_entries(archive.za, 0);
        for (zip_int64_t i = 0; i < n; ++i)
            names << entryName(zip_get_name(archive.za, zip_uint64_t(i), 0));
    }

    // Progress by bytes over the entries asked for.
    qint64 total = 0;
    for (const QString& name : std::as_const(names)) {
        zip_stat_t st;
        if (zip_stat(archive.za, name.toUtf8().constData(), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE))
            total += qint64(st.size);
    }
    ByteProgress progress(total, [this](int percent) { Q_EMIT status(percent); });

    bool skipped = false;
    for (const QString& name : std::as_const(names)) {
        if (m_abort)
            return finish(Aborted);
        const zip_int64_t index = zip_name_locate(archive.za, name.toUtf8().constData(), 0);
        if (index < 0) {
            Q_EMIT skippingFile(name, SkipNotFound);
            skipped = true;
            continue;
        }
        zip_stat_t st;
        zip_stat_index(archive.za, zip_uint64_t(index), 0, &st);
        // Nothing goes outside the folder, nor into the program's own bookkeeping however it is
        // reached (an archive of the program's folder could hold its list of unfinished files).
        const std::optional<QString> place = destinationOf(name);
        if (!place || isProgramBookkeeping(*place)) {
            Q_EMIT skippingFile(name, SkipCannotOpen);
            skipped = true;
            continue;
        }
        const QString& destination = *place;
        if (isDirectoryEntry(name)) {
            if (!QDir().mkpath(destination))
                return finish(DestinationFolder);
            continue;
        }
        if (!QDir().mkpath(QFileInfo(destination).absolutePath()))
            return finish(DestinationFolder);
        if (QFileInfo::exists(destination)) {
            int reply = 0;
            Q_EMIT replaceFile(name, &reply);
            if (m_abort)
                return finish(Aborted);
            if (reply != 1)
                continue;
        }
        const qint64 size = (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : 0;
        Q_EMIT extracting(name, size);

        // Out of sight until its checksum is right, then in place of the file of that name.
        PendingFile out(destination);
        if (!out.open())
            return finish(writeFailure(out, CreateError));
        const int written = writeEntry(archive.za, zip_uint64_t(index), name, out, [&](qint64 n) { progress.add(n); });
        if (written == SkipEntry) {
            skipped = true;
            continue;
        }
        if (written != Success)
            return finish(written);
        if (!out.commit())
            return finish(writeFailure(out, WriteError));
        if (st.valid & ZIP_STAT_MTIME)
            setModified(destination, qint64(st.mtime));
    }
    return finish(skipped ? Warnings : Success);
}

QString ZipArchiver::extractionTarget() const
{
    return m_extractionFolder.trimmed().isEmpty() ? QDir::currentPath() : m_extractionFolder.trimmed();
}

std::optional<QString> ZipArchiver::destinationOf(const QString& name) const
{
    const std::optional<QString> place = relativePlace(name);
    if (!place)
        return std::nullopt;
    // A file whose name differs only in letter case is the same file to the user: it is asked
    // about and replaced under its own spelling, never joined by a second one.
    return resolveNoCase(QDir(extractionTarget()).absoluteFilePath(*place));
}

int ZipArchiver::writeFailure(PendingFile& out, int otherwise)
{
    // Whether a failed write found the disk full is asked while the partial file takes its room.
    m_systemError = out.systemError();
    const int result = out.diskFull() ? DiskFull : otherwise;
    out.discard();
    return result;
}

int ZipArchiver::writeEntry(zip_t* za, quint64 index, const QString& name, PendingFile& out, const std::function<void(qint64)>& written)
{
    int failed = 0;
    int reason = 0;
    const int read = readEntry(za, index, [&](const char* data, qint64 n) {
        if (!out.write(data, n)) {
            failed = writeFailure(out, WriteError);
            return false;
        }
        written(n);
        return !m_abort;
    }, &reason);
    if (failed)
        return failed;
    if (read > 0 || m_abort) {
        out.discard();
        return Aborted;
    }
    if (read < 0) {
        out.discard();
        Q_EMIT skippingFile(name, reason);
        return SkipEntry;
    }
    return Success;
}

int ZipArchiver::extractInto(const QString& name, PendingFile& out)
{
    takeNames();
    Archive archive;
    if (const std::optional<int> stop = openArchive(archive, m_archiveName, m_fresh, ZIP_RDONLY))
        return finish(*stop);
    const zip_int64_t index = zip_name_locate(archive.za, name.toUtf8().constData(), 0);
    zip_stat_t st;
    if (index < 0 || zip_stat_index(archive.za, zip_uint64_t(index), 0, &st) != 0) {
        Q_EMIT skippingFile(name, SkipNotFound);
        return finish(Warnings);
    }
    const qint64 size = (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : 0;
    Q_EMIT extracting(name, size);
    ByteProgress progress(size, [this](int percent) { Q_EMIT status(percent); });
    const int written = writeEntry(archive.za, zip_uint64_t(index), name, out, [&](qint64 n) { progress.add(n); });
    return finish(written == SkipEntry ? Warnings : written);
}

int ZipArchiver::deleteFiles()
{
    const QStringList names = takeNames();
    Archive archive;
    if (const std::optional<int> stop = openArchive(archive, m_archiveName, m_fresh, 0, &m_systemError))
        return finish(*stop);
    ZipCallbacks::watch(archive.za, this);

    bool skipped = false;
    int deleted = 0;
    for (const QString& name : names) {
        const zip_int64_t index = zip_name_locate(archive.za, name.toUtf8().constData(), 0);
        if (index < 0) {
            Q_EMIT skippingFile(name, SkipNotFound);
            skipped = true;
            continue;
        }
        Q_EMIT deleting(name);
        if (zip_delete(archive.za, zip_uint64_t(index)) == 0)
            ++deleted;
    }
    if (deleted == 0)
        return finish(skipped ? Warnings : Success);
    if (zip_close(archive.za) != 0)
        return finish(failedWith(zip_get_error(archive.za), false));
    archive.za = nullptr;
    return finish(skipped ? Warnings : Success);
}

int ZipArchiver::list()
{
    takeNames();
    Archive archive;
    if (const std::optional<int> stop = openArchive(archive, m_archiveName, m_fresh, ZIP_RDONLY))
        return finish(*stop);
    const zip_int64_t n = zip_get_num_entries(archive.za, 0);
    if (n <= 0)
        return finish(EmptyZipFile);
    for (zip_int64_t i = 0; i < n; ++i) {
        if (m_abort)
            return finish(Aborted);
        zip_stat_t st;
        if (zip_stat_index(archive.za, zip_uint64_t(i), 0, &st) != 0)
            continue;
        const qint64 size = (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : 0;
        const qint64 packed = (st.valid & ZIP_STAT_COMP_SIZE) ? qint64(st.comp_size) : 0;
        Q_EMIT listing(entryName(st.name), size, packed, dateText((st.valid & ZIP_STAT_MTIME) ? st.mtime : 0), ratioOf(size, packed));
    }
    return finish(Success);
}

int ZipArchiver::test()
{
    takeNames();
    Archive archive;
    // The file as it stands is tested, also before a new archive is first written. Its headers
    // must agree with its directory, except where another program writes them otherwise (sizes
    // left partly to the data descriptor, as archives written to a pipe have them): such an
    // archive is tested by its entries' data.
    // So is one that holds entries of the same name, which the check refuses.
    std::optional<int> stop = openArchive(archive, m_archiveName, false, ZIP_RDONLY | ZIP_CHECKCONS);
    if (stop && stop != FileNotFound)
        stop = openArchive(archive, m_archiveName, false, ZIP_RDONLY);
    if (stop)
        return finish(*stop);
    const zip_int64_t n = zip_get_num_entries(archive.za, 0);
    qint64 total = 0;
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(archive.za, zip_uint64_t(i), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE))
            total += qint64(st.size);
    }
    ByteProgress progress(total, [this](int percent) { Q_EMIT status(percent); });
    int tested = 0;
    int failed = 0;
    bool skipped = false;
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(archive.za, zip_uint64_t(i), 0, &st) != 0)
            continue;
        const QString name = entryName(st.name);
        if (isDirectoryEntry(name))
            continue;
        Q_EMIT testing(name, (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : 0);
        int reason = 0;
        const int read = readEntry(archive.za, zip_uint64_t(i), [&](const char*, qint64 bytes) {
            progress.add(bytes);
            return !m_abort;
        }, &reason);
        if (read > 0 || m_abort)
            return finish(Aborted);
        if (read < 0) {
            Q_EMIT skippingFile(name, reason);
            if (reason == SkipUnknownCompression || reason == SkipPassword) {
                skipped = true;
                continue;
            }
            ++failed;
        }
        ++tested;
    }
    if (failed > 0)
        return finish(TestFailed);
    if (tested == 0)
        return finish(NothingToTest);
    return finish(skipped ? Warnings : Success);
}

int ZipArchiver::fix(bool aggressive)
{
    takeNames();
    m_fixKept = 0;
    m_fixDropped = 0;
    if (m_archiveName.isEmpty())
        return finish(InvalidSettings);
    QFile damaged(m_archiveName);
    if (!QFileInfo(m_archiveName).isFile())
        return finish(FileNotFound);
    if (!damaged.open(QIODevice::ReadOnly)) {
        m_systemError = errno;
        return finish(ReadError);
    }

    // The entries are found in the file as it stands, read in place.
    const qint64 size = damaged.size();
    QByteArray copy;
    const uchar* bytes = size > 0 ? damaged.map(0, size) : nullptr;
    if (!bytes && size > 0) {
        copy = damaged.readAll();
        if (copy.size() != size) {
            m_systemError = errno;
            return finish(ReadError);
        }
        bytes = reinterpret_cast<const uchar*>(copy.constData());
    }

    // Progress: finding what can be kept up to 90, writing it the rest. It is told at every step
    // and at least ten times a second, when the window answers Abort.
    QElapsedTimer sinceTold;
    sinceTold.start();
    m_lastPercent = -1;
    const auto tell = [&](int percent) {
        if (percent != m_lastPercent || sinceTold.elapsed() >= 100) {
            m_lastPercent = percent;
            sinceTold.restart();
            Q_EMIT status(percent);
        }
        return !m_abort;
    };
    Salvage salvage = salvageArchive(bytes, size, aggressive, [&](qint64 done) { return tell(int(done * 90 / qMax<qint64>(size, 1))); });
    if (salvage.aborted || m_abort)
        return finish(Aborted);
    if (salvage.entries.isEmpty()) {
        // A sound archive without entries stays as it is.
        return finish(salvage.endFound && salvage.dropped == 0 ? Success : NotAZipFile);
    }

    // The mended archive is written out of sight and replaces the damaged one only when complete.
    PendingFile mended(m_archiveName);
    for (;;) {
        // Each pass writes a file of its own, in place of the one the pass before wrote.
        if (!mended.open())
            return finish(writeFailure(mended, TemporaryFile));
        qint64 written = 0;
        int failed = 0;
        const bool complete = writeSalvagedArchive(bytes, salvage, [&](const uchar* data, qint64 n) {
            if (!mended.write(reinterpret_cast<const char*>(data), n)) {
                failed = writeFailure(mended, WriteError);
                return false;
            }
            written += n;
            return tell(90 + int(qMin(written, size) * 9 / qMax<qint64>(size, 1)));
        });
        if (failed)
            return finish(failed);
        if (!complete)
            return finish(Aborted);

        // An archive the library refuses: the entries whose records it refuses, each seen alone,
        // are dropped, and the rest written again.
        Archive archive;
        QList<qsizetype> failing;
        if (openFile(archive, mended.path(), ZIP_RDONLY, nullptr, true)) {
            for (qsizetype i = 0; i < salvage.entries.size(); ++i) {
                const QByteArray one = directoryOfOne(bytes, salvage.entries[i]);
                zip_error_t error;
                zip_error_init(&error);
                zip_source_t* source = zip_source_buffer_create(one.constData(), zip_uint64_t(one.size()), 0, &error);
                zip_t* alone = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
                if (alone)
                    zip_discard(alone);
                else if (source)
                    zip_source_free(source);
                zip_error_fini(&error);
                if (!alone)
                    failing << i;
            }
            if (failing.isEmpty())
                return finish(NotAZipFile);
        } else {
            // What libzip can unpack and this program cannot check itself (bzip2 and the like) is
            // read back through it; whatever does not give back its checksum is dropped after all,
            // and so is an entry whose header was written anew that nothing can read back.
            const std::vector<qsizetype> order = directoryOrder(salvage);
            for (size_t n = 0; n < order.size(); ++n) {
                SalvagedEntry& e = salvage.entries[order[n]];
                if (e.checked)
                    continue;
                if (e.encrypted || !zip_compression_method_supported(e.method, 0)) {
                    if (e.mended)
                        failing << order[n];
                    continue;
                }
                int reason = 0;
                if (readEntry(archive.za, zip_uint64_t(n), [&](const char*, qint64) { return !m_abort; }, &reason) != 0)
                    failing << order[n];
                else
                    e.checked = true;   // not read again on a pass after another fails
                if (m_abort)
                    return finish(Aborted);
            }
        }
        if (failing.isEmpty()) {
            for (zip_int64_t i = 0; i < zip_get_num_entries(archive.za, 0); ++i)
                Q_EMIT fixing(entryName(zip_get_name(archive.za, zip_uint64_t(i), ZIP_FL_ENC_GUESS)));
            break;
        }
        std::sort(failing.begin(), failing.end());
        for (auto it = failing.crbegin(); it != failing.crend(); ++it)
            salvage.entries.removeAt(*it);
        salvage.dropped += int(failing.size());
        if (salvage.entries.isEmpty())
            return finish(NotAZipFile);
    }
    if (m_abort)
        return finish(Aborted);
    if (!mended.commit())
        return finish(writeFailure(mended, WriteError));
    Q_EMIT status(100);
    m_fixKept = int(salvage.entries.size());
    m_fixDropped = salvage.dropped;
    return finish(salvage.dropped > 0 ? Warnings : Success);
}

int ZipArchiver::updateZipDate()
{
    takeNames();
    qint64 newest = -1;
    {
        Archive archive;
        if (const std::optional<int> stop = openArchive(archive, m_archiveName, false, ZIP_RDONLY))
            return finish(*stop);
        const zip_int64_t n = zip_get_num_entries(archive.za, 0);
        for (zip_int64_t i = 0; i < n; ++i) {
            zip_stat_t st;
            if (zip_stat_index(archive.za, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_MTIME))
                continue;
            if (isDirectoryEntry(entryName(st.name)))
                continue;
            newest = qMax(newest, qint64(st.mtime));
        }
    }
    if (newest < 0)
        return finish(NothingToDate);
    if (!setModified(m_archiveName, newest)) {
        m_systemError = errno;
        return finish(ReadWriteError);
    }
    return finish(Success);
}

bool ZipArchiver::verify(const QString& path, QString* why)
{
    Archive archive;
    if (openFile(archive, path, ZIP_RDONLY | ZIP_CHECKCONS, nullptr, true)) {
        if (why)
            *why = QStringLiteral("the archive cannot be read back");
        return false;
    }
    const zip_int64_t n = zip_get_num_entries(archive.za, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        int reason = 0;
        if (readEntry(archive.za, zip_uint64_t(i), [](const char*, qint64) { return true; }, &reason) != 0) {
            if (why)
                *why = QStringLiteral("'%1' does not read back whole").arg(entryName(zip_get_name(archive.za, zip_uint64_t(i), 0)));
            return false;
        }
    }
    return n > 0;
}
