#include "utilities/DbaseTable.h"

#include <QDir>
#include <QFileInfo>

#include <shapefil.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {

// The upper half of DOS code page 437, the one the older programs wrote.
const char16_t Dos437[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// Windows code page 1252 between 0x80 and 0x9F; the rest of its upper half is Latin-1.
const char16_t Windows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// shapelib reads a record with a seek and a read of its own; through these hooks it reads from
// the table mapped into memory instead, which keeps a large table from costing a system call per
// record. shapelib also opens "<name>.dbf" or "<name>.DBF" only, while a table copied from another
// system may be spelled "Invntory.Dbf": the table being opened is the file asked for, whatever
// the case of its name.
struct MappedFile {
    QFile file;
    const uchar* data = nullptr;
    QByteArray copy;   // when the file cannot be mapped
    qint64 size = 0;
    qint64 pos = 0;
};

QByteArray& tableBeingOpened()
{
    static QByteArray path;
    return path;
}

MappedFile* mappedOf(SAFile f)
{
    return reinterpret_cast<MappedFile*>(f);
}

SAFile openTableFile(const char* fileName, const char* access)
{
    const size_t n = std::strlen(fileName);
    const bool table = n >= 4 && ::strcasecmp(fileName + n - 4, ".dbf") == 0 && !tableBeingOpened().isEmpty();
    if (!table || std::strchr(access, 'w') || std::strchr(access, '+'))
        return nullptr;   // only the table itself is read (no code-page file, nothing written)
    auto* m = new MappedFile;
    m->file.setFileName(QFile::decodeName(tableBeingOpened()));
    if (!m->file.open(QIODevice::ReadOnly)) {
        delete m;
        return nullptr;
    }
    m->size = m->file.size();
    m->data = m->size > 0 ? m->file.map(0, m->size) : nullptr;
    if (!m->data && m->size > 0) {
        m->copy = m->file.readAll();
        m->data = reinterpret_cast<const uchar*>(m->copy.constData());
        m->size = m->copy.size();
    }
    return reinterpret_cast<SAFile>(m);
}

SAOffset readTableFile(void* p, SAOffset size, SAOffset count, SAFile f)
{
    MappedFile* m = mappedOf(f);
    if (size == 0)
        return 0;
    const SAOffset available = SAOffset(qMax<qint64>(0, m->size - m->pos)) / size;
    const SAOffset whole = qMin(count, available);
    if (whole > 0)
        std::memcpy(p, m->data + m->pos, size_t(whole * size));
    m->pos += qint64(whole * size);
    return whole;
}

SAOffset writeTableFile(void*, SAOffset, SAOffset, SAFile)
{
    return 0;
}

SAOffset seekTableFile(SAFile f, SAOffset offset, int whence)
{
    MappedFile* m = mappedOf(f);
    const qint64 base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? m->pos : m->size;
    const qint64 to = base + qint64(offset);
    if (to < 0)
        return SAOffset(-1);
    m->pos = to;
    return 0;
}

SAOffset tellTableFile(SAFile f)
{
    return SAOffset(mappedOf(f)->pos);
}

int flushTableFile(SAFile)
{
    return 0;
}

int closeTableFile(SAFile f)
{
    delete mappedOf(f);
    return 0;
}

int removeNothing(const char*)
{
    return -1;
}

void ignoreMessage(const char*)
{
}

DBFHandle handleOf(void* h)
{
    return static_cast<DBFHandle>(h);
}

bool isAscii(const char* data, int size)
{
    for (int i = 0; i < size; ++i)
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            return false;
    return true;
}

}  // namespace

DbaseTable::~DbaseTable()
{
    close();
}

bool DbaseTable::open(const QString& path, QString* error)
{
    close();
    const QFileInfo info(path);
    if (!info.isFile()) {
        if (error)
            *error = QStringLiteral("Could not find file '%1'.").arg(path);
        return false;
    }
    QFile raw(path);
    char version = 0;
    if (!raw.open(QIODevice::ReadOnly) || raw.read(&version, 1) != 1) {
        if (error)
            *error = QStringLiteral("The file '%1' cannot be read: %2").arg(path, raw.errorString());
        return false;
    }
    raw.close();

    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    hooks.FOpen = openTableFile;
    hooks.FRead = readTableFile;
    hooks.FWrite = writeTableFile;
    hooks.FSeek = seekTableFile;
    hooks.FTell = tellTableFile;
    hooks.FFlush = flushTableFile;
    hooks.FClose = closeTableFile;
    hooks.Remove = removeNothing;
    hooks.Error = ignoreMessage;
    tableBeingOpened() = QFile::encodeName(path);
    DBFHandle h = DBFOpenLL(tableBeingOpened().constData(), "rb", &hooks);
    tableBeingOpened().clear();
    if (!h) {
        if (error)
            *error = QStringLiteral("The file '%1' is not a dBASE table.").arg(path);
        return false;
    }
    m_handle = h;
    m_records = h->nRecords;
    m_windowsCodePage = h->iLanguageDriver == 0x03 || (h->iLanguageDriver >= 0x57 && h->iLanguageDriver <= 0x59);
    bool hasMemo = false;
    for (int i = 0; i < h->nFields; ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        DBFGetFieldInfo(h, i, name, nullptr, nullptr);
        Field f;
        f.name = QString::fromLatin1(name).trimmed();
        f.type = h->pachFieldType[i];
        f.offset = h->panFieldOffset[i];
        f.size = h->panFieldSize[i];
        if (f.offset < 1 || f.offset + f.size > h->nRecordLength) {
            if (error)
                *error = QStringLiteral("The file '%1' is damaged: its field %2 lies outside its records.").arg(path, f.name);
            close();
            return false;
        }
        hasMemo = hasMemo || f.type == 'M';
        m_fields.append(f);
    }

    if (hasMemo) {
        // The memo file sits beside the table under the same name, in any letter case.
        const QString base = info.completeBaseName();
        const QStringList candidates = info.dir().entryList(QDir::Files);
        for (const QString& candidate : candidates) {
            if (candidate.compare(base + QStringLiteral(".dbt"), Qt::CaseInsensitive) == 0) {
                m_memo.setFileName(info.dir().filePath(candidate));
                break;
            }
        }
        if (!m_memo.fileName().isEmpty() && m_memo.open(QIODevice::ReadOnly)) {
            m_memoHasHeaders = static_cast<unsigned char>(version) == 0x8B;
            if (m_memoHasHeaders) {
                const QByteArray header = m_memo.read(22);
                const int size = header.size() >= 22
                    ? (static_cast<unsigned char>(header[20]) | (static_cast<unsigned char>(header[21]) << 8)) : 0;
                m_memoBlockSize = size > 0 ? size : 512;
            }
        }
    }
    return true;
}

void DbaseTable::close()
{
    if (m_handle)
        DBFClose(handleOf(m_handle));
    m_handle = nullptr;
    m_fields.clear();
    m_records = 0;
    m_record = nullptr;
    if (m_memo.isOpen())
        m_memo.close();
    m_memo.setFileName(QString());
    m_memoBlockSize = 512;
    m_memoHasHeaders = false;
}

int DbaseTable::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool DbaseTable::read(int record)
{
    m_record = nullptr;
    if (!m_handle || record < 0 || record >= m_records)
        return false;
    m_record = DBFReadTuple(handleOf(m_handle), record);
    return m_record != nullptr;
}

bool DbaseTable::isDeleted() const
{
    return m_record && m_record[0] == '*';
}

bool DbaseTable::span(int field, const char** begin, int* size) const
{
    if (!m_record || field < 0 || field >= m_fields.size())
        return false;
    const Field& f = m_fields.at(field);
    const char* b = m_record + f.offset;
    const char* e = b + f.size;
    // Some writers pad with NULs rather than blanks.
    if (const void* nul = std::memchr(b, '\0', size_t(f.size)))
        e = static_cast<const char*>(nul);
    while (e > b && e[-1] == ' ')
        --e;
    if (f.type != 'C') {
        while (b < e && *b == ' ')
            ++b;
    }
    *begin = b;
    *size = int(e - b);
    return true;
}

QString DbaseTable::text(int field) const
{
    QString out;
    appendText(field, out);
    return out;
}

void DbaseTable::appendText(int field, QString& out) const
{
    const char* begin = nullptr;
    int size = 0;
    if (!span(field, &begin, &size) || size == 0)
        return;
    if (m_fields.at(field).type == 'M') {
        out += memoText(QString::fromLatin1(begin, size));
        return;
    }
    const qsizetype at = out.size();
    out.resize(at + size);
    QChar* o = out.data() + at;
    for (int i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(begin[i]);
        if (c < 0x80)
            o[i] = QChar(c);
        else if (m_windowsCodePage)
            o[i] = c < 0xA0 ? QChar(Windows1252[c - 0x80]) : QChar(c);
        else
            o[i] = QChar(Dos437[c - 0x80]);
    }
}

std::optional<double> DbaseTable::plainNumber(int field) const
{
    const char* begin = nullptr;
    int size = 0;
    if (!span(field, &begin, &size) || size == 0)
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(begin, begin + size, value);
    if (error != std::errc() || end != begin + size)
        return std::nullopt;
    return value;
}

QString DbaseTable::memoText(const QString& blockText) const
{
    bool ok = false;
    const qint64 block = blockText.toLongLong(&ok);
    if (!ok || block <= 0 || !m_memo.isOpen())
        return QString();
    if (!m_memo.seek(block * m_memoBlockSize))
        return QString();
    QByteArray bytes;
    if (m_memoHasHeaders) {
        const QByteArray header = m_memo.read(8);
        if (header.size() < 8 || static_cast<unsigned char>(header[0]) != 0xFF || static_cast<unsigned char>(header[1]) != 0xFF)
            return QString();
        const quint32 length = quint32(static_cast<unsigned char>(header[4])) | quint32(static_cast<unsigned char>(header[5])) << 8
            | quint32(static_cast<unsigned char>(header[6])) << 16 | quint32(static_cast<unsigned char>(header[7])) << 24;
        if (length < 8 || length > 64u * 1024u * 1024u)
            return QString();
        bytes = m_memo.read(length - 8);
    } else {
        // dBASE III: the text runs to the end-of-file mark.
        constexpr qint64 Chunk = 512;
        for (;;) {
            const QByteArray part = m_memo.read(Chunk);
            if (part.isEmpty())
                break;
            const int mark = part.indexOf('\x1A');
            if (mark >= 0) {
                bytes += part.left(mark);
                break;
            }
            bytes += part;
            if (bytes.size() > 64 * 1024 * 1024)
                break;
        }
    }
    while (!bytes.isEmpty() && (bytes.endsWith(' ') || bytes.endsWith('\r') || bytes.endsWith('\n') || bytes.endsWith('\0')))
        bytes.chop(1);
    return m_windowsCodePage ? decodeWindows(bytes.constData(), int(bytes.size())) : decodeDos(bytes.constData(), int(bytes.size()));
}

QString DbaseTable::decodeDos(const char* data, int size)
{
    if (isAscii(data, size))
        return QString::fromLatin1(data, size);
    QString out(size, Qt::Uninitialized);
    QChar* o = out.data();
    for (int i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        o[i] = c < 0x80 ? QChar(c) : QChar(Dos437[c - 0x80]);
    }
    return out;
}

QString DbaseTable::decodeWindows(const char* data, int size)
{
    if (isAscii(data, size))
        return QString::fromLatin1(data, size);
    QString out(size, Qt::Uninitialized);
    QChar* o = out.data();
    for (int i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        o[i] = (c >= 0x80 && c < 0xA0) ? QChar(Windows1252[c - 0x80]) : QChar(c);
    }
    return out;
}
