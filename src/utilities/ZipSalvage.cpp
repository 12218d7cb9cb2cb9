#include "utilities/ZipSalvage.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

constexpr quint32 LocalSignature = 0x04034b50;
constexpr quint32 CentralSignature = 0x02014b50;
constexpr quint32 EndSignature = 0x06054b50;
constexpr quint32 End64Signature = 0x06064b50;
constexpr quint32 End64LocatorSignature = 0x07064b50;
constexpr quint32 DescriptorSignature = 0x08074b50;
constexpr qint64 LocalHeaderSize = 30;
constexpr qint64 CentralHeaderSize = 46;
constexpr qint64 EndSize = 22;
constexpr quint16 Encrypted = 0x0001;
constexpr quint16 HasDescriptor = 0x0008;
constexpr quint16 Utf8Names = 0x0800;
constexpr quint16 Zip64Field = 0x0001;
constexpr quint16 StrongEncryptionField = 0x9901;
constexpr quint16 UnicodePathField = 0x7075;
constexpr quint32 Max32 = 0xFFFFFFFF;
constexpr quint16 Max16 = 0xFFFF;
constexpr quint16 Stored = 0;
constexpr quint16 Deflated = 8;
// zlib takes lengths as 32-bit numbers: longer stretches go in pieces; progress is told as often.
constexpr qint64 Piece = qint64(1) << 20;

// The archive's bytes, little-endian numbers read only where has() said they lie in the file.
class Bytes {
public:
    Bytes(const uchar* p, qint64 size)
        : m_p(p)
        , m_size(size)
    {
    }
    qint64 size() const { return m_size; }
    const uchar* at(qint64 i) const { return m_p + i; }
    bool has(qint64 offset, qint64 n) const { return offset >= 0 && n >= 0 && offset <= m_size && n <= m_size - offset; }
    quint16 u16(qint64 i) const { return quint16(m_p[i] | (m_p[i + 1] << 8)); }
    quint32 u32(qint64 i) const { return quint32(u16(i)) | (quint32(u16(i + 2)) << 16); }
    quint64 u64(qint64 i) const { return quint64(u32(i)) | (quint64(u32(i + 4)) << 32); }
    bool signatureAt(qint64 i, quint32 signature) const { return has(i, 4) && u32(i) == signature; }
    QByteArray copy(qint64 from, qint64 n) const { return QByteArray(reinterpret_cast<const char*>(m_p + from), qsizetype(n)); }

private:
    const uchar* m_p;
    qint64 m_size;
};

quint32 emptyCrc()
{
    return quint32(crc32(0L, nullptr, 0));
}

// Whether text marked as UTF-8 is UTF-8 as readers check it: printable ASCII, tabs and line ends,
// and sequences of a lead byte and its continuation bytes.
bool readableAsUtf8(const QByteArray& text)
{
    const auto* p = reinterpret_cast<const uchar*>(text.constData());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if ((p[i] > 31 && p[i] < 128) || p[i] == '\r' || p[i] == '\n' || p[i] == '\t')
            continue;
        int more;
        if ((p[i] & 0xE0) == 0xC0)
            more = 1;
        else if ((p[i] & 0xF0) == 0xE0)
            more = 2;
        else if ((p[i] & 0xF8) == 0xF0)
            more = 3;
        else
            return false;
        if (i + more >= n)
            return false;
        for (int j = 1; j <= more; ++j) {
            if ((p[i + j] & 0xC0) != 0x80)
                return false;
        }
        i += more;
    }
    return true;
}

// The work a salvage does, told to progress and bounded: whatever a hostile archive holds, the
// bytes gone through stay within a multiple of its size.
class Work {
public:
    Work(qint64 size, const std::function<bool(qint64)>& progress)
        : m_budget(16 * size + (qint64(64) << 20))
        , m_progress(progress)
    {
    }
    // n more bytes gone through, having come to at; false once the work must stop.
    bool step(qint64 at, qint64 n)
    {
        m_budget -= n;
        m_sinceTold += n;
        m_reached = qMax(m_reached, at);
        if (m_budget < 0)
            m_exhausted = true;
        if (m_progress && (m_sinceTold >= Piece || n == 0)) {
            m_sinceTold = 0;
            if (!m_progress(m_reached))
                m_aborted = true;
        }
        return !m_aborted && !m_exhausted;
    }
    bool stopped() const { return m_aborted || m_exhausted; }
    bool aborted() const { return m_aborted; }

private:
    qint64 m_budget;
    qint64 m_sinceTold = 0;
    qint64 m_reached = 0;
    bool m_aborted = false;
    bool m_exhausted = false;
    const std::function<bool(qint64)>& m_progress;
};

// The checksum of a stretch of the file, added to running; nothing when the work was stopped.
bool crcOf(const Bytes& b, Work& work, qint64 from, qint64 length, quint32& running)
{
    for (qint64 done = 0; done < length;) {
        const qint64 piece = qMin(length - done, Piece);
        running = quint32(crc32(running, b.at(from + done), uInt(piece)));
        done += piece;
        if (!work.step(from + done, piece))
            return false;
    }
    return true;
}

struct Inflated {
    bool ended = false;   // the stream reached its own end mark
    qint64 consumed = 0;
    qint64 produced = 0;
    quint32 crc = 0;
};

// Inflates the raw deflate stream that starts at start, reading at most limit bytes of it and
// stopping once it has given more than maxOutput bytes.
Inflated inflateFrom(const Bytes& b, Work& work, qint64 start, qint64 limit, qint64 maxOutput)
{
    Inflated r;
    r.crc = emptyCrc();
    z_stream z;
    std::memset(&z, 0, sizeof z);
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return r;
    std::vector<Bytef> out(64 * 1024);
    qint64 fed = 0;
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (z.avail_in == 0 && fed < limit) {
            // Fed in small pieces: the work counted is what the stream takes, not what might follow.
            const qint64 piece = qMin<qint64>(limit - fed, 64 * 1024);
            z.next_in = const_cast<Bytef*>(b.at(start + fed));
            z.avail_in = uInt(piece);
            fed += piece;
            if (!work.step(start + fed, piece))
                break;
        }
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
        rc = inflate(&z, Z_NO_FLUSH);
        const uInt made = uInt(out.size()) - z.avail_out;
        r.crc = quint32(crc32(r.crc, out.data(), made));
        r.produced += made;
        if (r.produced > maxOutput)
            break;
        // No progress for want of input: more of it if there is any, else the stream is cut off.
        if (rc == Z_BUF_ERROR && z.avail_in == 0 && fed < limit)
            rc = Z_OK;
    }
    r.ended = rc == Z_STREAM_END;
    r.consumed = fed - qint64(z.avail_in);
    inflateEnd(&z);
    return r;
}

// The end of the data descriptor at at (its signature is optional; its sizes 4 or 8 bytes long)
// when it records this checksum and these lengths; -1 when there is none such.
qint64 descriptorEnd(const Bytes& b, qint64 at, quint32 crc, quint64 packed, quint64 size)
{
    qint64 q = at;
    if (b.signatureAt(q, DescriptorSignature))
        q += 4;
    if (b.has(q, 12) && b.u32(q) == crc && b.u32(q + 4) == packed && b.u32(q + 8) == size)
        return q + 12;
    if (b.has(q, 20) && b.u32(q) == crc && b.u64(q + 4) == packed && b.u64(q + 12) == size)
        return q + 20;
    return -1;
}

// A zip64 extra field's numbers, for the fields the fixed part marks as too large for it (in the
// order size, packed size, offset).
bool readZip64(const Bytes& b, qint64 extraAt, qint64 extraEnd, std::initializer_list<quint64*> values)
{
    for (qint64 x = extraAt; x + 4 <= extraEnd;) {
        const quint16 id = b.u16(x);
        const qint64 end = x + 4 + b.u16(x + 2);
        if (end > extraEnd)
            return false;
        if (id == Zip64Field) {
            qint64 field = x + 4;
            for (quint64* value : values) {
                if (*value != Max32)
                    continue;
                if (field + 8 > end)
                    return false;
                *value = b.u64(field);
                field += 8;
            }
            return true;
        }
        x = end;
    }
    return false;
}

// Where the signatures that matter stand, found in one pass over the file.
struct Signatures {
    std::vector<qint64> local;
    std::vector<qint64> central;
    std::vector<qint64> ends;   // of the central directory and its zip64 records
    // Signed data descriptors, by where the data they close would start: (data start, descriptor).
    std::vector<std::pair<qint64, qint64>> descriptors;
    // Descriptors without their signature, as they would stand right before a signature or the
    // end of the file (the checksum and two lengths of 4 or 8 bytes): (data start, descriptor).
    std::vector<std::pair<qint64, qint64>> unsignedDescriptors;
};

// The descriptors without a signature that could end right before next: 12 bytes (lengths of
// 4 bytes) or 20 (of 8), each giving where the data it closes would start.
void addUnsignedDescriptors(const Bytes& b, qint64 next, std::vector<std::pair<qint64, qint64>>& out)
{
    if (next >= 12 && b.u32(next - 8) <= quint64(next - 12))
        out.emplace_back(next - 12 - qint64(b.u32(next - 8)), next - 12);
    if (next >= 20 && b.u64(next - 16) <= quint64(next - 20))
        out.emplace_back(next - 20 - qint64(b.u64(next - 16)), next - 20);
}

Signatures findSignatures(const Bytes& b, Work& work)
{
    Signatures s;
    const uchar* p = b.at(0);
    const qint64 size = b.size();
    qint64 told = 0;
    for (qint64 i = 0; i + 4 <= size;) {
        const void* hit = ::memmem(p + i, size_t(size - i), "PK", 2);
        if (!hit)
            break;
        i = qint64(static_cast<const uchar*>(hit) - p);
        if (i - told >= Piece) {
            if (!work.step(i, 0))
                return s;
            told = i;
        }
        if (i + 4 > size)
            break;
        switch (b.u32(i)) {
        case LocalSignature: s.local.push_back(i); break;
        case CentralSignature: s.central.push_back(i); break;
        case EndSignature:
        case End64Signature:
        case End64LocatorSignature: s.ends.push_back(i); break;
        case DescriptorSignature:
            if (b.has(i, 16) && b.u32(i + 8) <= quint64(i))
                s.descriptors.emplace_back(i - qint64(b.u32(i + 8)), i);
            if (b.has(i, 24) && b.u64(i + 8) <= quint64(i) && b.u64(i + 8) != b.u32(i + 8))
                s.descriptors.emplace_back(i - qint64(b.u64(i + 8)), i);
            break;
        default: break;
        }
        ++i;
    }
    std::sort(s.descriptors.begin(), s.descriptors.end());
    for (const std::vector<qint64>* list : {&s.local, &s.central, &s.ends}) {
        for (const qint64 at : *list)
            addUnsignedDescriptors(b, at, s.unsignedDescriptors);
    }
    for (const auto& signed_ : s.descriptors)
        addUnsignedDescriptors(b, signed_.second, s.unsignedDescriptors);
    addUnsignedDescriptors(b, size, s.unsignedDescriptors);
    std::sort(s.unsignedDescriptors.begin(), s.unsignedDescriptors.end());
    return s;
}

// A record of the central directory.
struct Record {
    qint64 at = 0;
    qint64 length = 0;
    qint64 order = 0;
    qint64 localAt = 0;
    quint16 versionNeeded = 0;
    quint16 flags = 0;
    quint16 method = 0;
    quint32 dosDateTime = 0;
    qint64 extraAt = 0;
    qint64 extraEnd = 0;
    quint32 crc = 0;
    quint64 size = 0;
    quint64 packed = 0;
    QByteArray name;
    QByteArray comment;
};

bool readRecord(const Bytes& b, qint64 at, qint64 limit, Record& r)
{
    if (!b.signatureAt(at, CentralSignature) || !b.has(at, CentralHeaderSize) || at + CentralHeaderSize > limit)
        return false;
    const qint64 nameLength = b.u16(at + 28);
    const qint64 extraAt = at + CentralHeaderSize + nameLength;
    const qint64 extraEnd = extraAt + b.u16(at + 30);
    r.at = at;
    r.extraAt = extraAt;
    r.extraEnd = extraEnd;
    r.length = CentralHeaderSize + nameLength + b.u16(at + 30) + b.u16(at + 32);
    if (at + r.length > limit || !b.has(at, r.length))
        return false;
    r.versionNeeded = b.u16(at + 6);
    r.flags = b.u16(at + 8);
    r.method = b.u16(at + 10);
    r.dosDateTime = b.u32(at + 12);
    r.crc = b.u32(at + 16);
    r.packed = b.u32(at + 20);
    r.size = b.u32(at + 24);
    quint64 offset = b.u32(at + 42);
    if ((r.size == Max32 || r.packed == Max32 || offset == Max32) && !readZip64(b, extraAt, extraEnd, {&r.size, &r.packed, &offset}))
        return false;
    r.localAt = qint64(qMin<quint64>(offset, quint64(std::numeric_limits<qint64>::max())));
    r.name = b.copy(at + CentralHeaderSize, nameLength);
    r.comment = b.copy(extraEnd, b.u16(at + 32));
    return true;
}

// The central directory, as its end record says where it stands, or else the records found
// wherever they stand (a directory cut short).
struct Directory {
    bool endFound = false;
    qint64 start = -1;   // where the directory read from the end record starts
    QByteArray comment;
    std::vector<Record> records;
    std::unordered_map<qint64, size_t> byLocal;   // local header -> record
    std::vector<qint64> localStarts;              // sorted
};

void readDirectory(const Bytes& b, const Signatures& sig, Directory& d)
{
    // The end record: the last one whose comment fits in the file.
    qint64 end = -1;
    for (auto it = sig.ends.rbegin(); it != sig.ends.rend(); ++it) {
        if (b.u32(*it) == EndSignature && b.has(*it, EndSize) && b.has(*it + EndSize, b.u16(*it + 20))) {
            end = *it;
            break;
        }
    }
    if (end >= 0) {
        quint64 count = b.u16(end + 10);
        quint64 length = b.u32(end + 12);
        quint64 offset = b.u32(end + 16);
        qint64 directoryEnd = end;
        if (end >= 20 && b.u32(end - 20) == End64LocatorSignature) {
            const quint64 at64 = b.u64(end - 20 + 8);
            if (at64 < quint64(end) && b.has(qint64(at64), 56) && b.u32(qint64(at64)) == End64Signature) {
                directoryEnd = qint64(at64);
                count = b.u64(directoryEnd + 32);
                length = b.u64(directoryEnd + 40);
                offset = b.u64(directoryEnd + 48);
            }
        }
        // Where the directory stands: where the end record says, or (for an archive behind a
        // program of its own, whose offsets count from its own start) right before the end record.
        qint64 start = -1;
        qint64 shift = 0;
        if (offset <= quint64(directoryEnd) && (b.signatureAt(qint64(offset), CentralSignature) || (count == 0 && offset == quint64(directoryEnd)))) {
            start = qint64(offset);
        } else if (length <= quint64(directoryEnd) && b.signatureAt(directoryEnd - qint64(length), CentralSignature)) {
            start = directoryEnd - qint64(length);
            shift = start - qint64(qMin<quint64>(offset, quint64(start)));
        }
        if (start >= 0) {
            d.endFound = true;
            d.start = start;
            d.comment = b.copy(end + EndSize, b.u16(end + 20));
            Record r;
            for (qint64 at = start; quint64(d.records.size()) < count && readRecord(b, at, directoryEnd, r); at += r.length) {
                r.order = qint64(d.records.size());
                r.localAt += shift;
                d.records.push_back(r);
            }
        }
    }
    if (!d.endFound) {
        Record r;
        for (const qint64 at : sig.central) {
            if (readRecord(b, at, b.size(), r)) {
                r.order = qint64(d.records.size());
                d.records.push_back(r);
            }
        }
    }
    for (size_t i = 0; i < d.records.size(); ++i) {
        if (d.byLocal.emplace(d.records[i].localAt, i).second)
            d.localStarts.push_back(d.records[i].localAt);
    }
    std::sort(d.localStarts.begin(), d.localStarts.end());
}

// An extra field made of whole blocks (an identifier and a length each), as readers take it; a
// few zero bytes at its end are padding some writers use to align data.
bool wellFormedExtra(const Bytes& b, qint64 at, qint64 end)
{
    while (at + 4 <= end) {
        at += 4 + b.u16(at + 2);
        if (at > end)
            return false;
    }
    for (; at < end; ++at) {
        if (*b.at(at) != 0)
            return false;
    }
    return true;
}

// The block of an extra field with this identifier, whole; empty when there is none.
QByteArray extraBlock(const Bytes& b, qint64 at, qint64 end, quint16 id)
{
    for (; at + 4 <= end; at += 4 + b.u16(at + 2)) {
        if (b.u16(at) == id && at + 4 + b.u16(at + 2) <= end)
            return b.copy(at, 4 + b.u16(at + 2));
    }
    return {};
}

bool knownMethod(quint16 method)
{
    switch (method) {
    case 0: case 1: case 2: case 3: case 4: case 5: case 6: case 8: case 9: case 10: case 12: case 14: case 16: case 18: case 19:
    case 93: case 94: case 95: case 96: case 97: case 98: case 99: return true;
    default: return false;
    }
}

struct Reading {
    bool whole = false;
    bool plausible = false;   // a header as a writer makes it, whatever became of its data
    SalvagedEntry entry;
    qint64 next = -1;         // where the next header should stand, when known
    qint64 claimedEnd = -1;   // how far the entry claims to reach
};

class Salvager {
public:
    Salvager(const Bytes& b, Work& work, const Signatures& sig, const Directory& dir)
        : b(b)
        , work(work)
        , sig(sig)
        , dir(dir)
    {
    }

    Reading read(qint64 at);

private:
    // How lengths fit an entry: not at all, its bytes in the file but its data damaged, or whole.
    enum class Fit { No, Damaged, Whole };
    bool fits(qint64 dataAt, quint64 packed) const { return packed <= quint64(b.size()) && b.has(dataAt, qint64(packed)); }
    Fit tryLengths(SalvagedEntry& e, qint64 dataAt, bool descriptor, quint32 crc, quint64 packed, quint64 size);
    Fit findEnd(SalvagedEntry& e, qint64 dataAt, qint64& damagedEnd);
    bool checkData(SalvagedEntry& e, qint64 dataAt);
    bool mendHeader(SalvagedEntry& e, qint64 extraAt, bool descriptor) const;

    const Bytes& b;
    Work& work;
    const Signatures& sig;
    const Directory& dir;
};

// The data of an entry whose lengths are known: whole when it lies in the file and, where this
// program can unpack it, gives back the length and the checksum recorded.
bool Salvager::checkData(SalvagedEntry& e, qint64 dataAt)
{
    e.checked = false;
    if (e.encrypted || (e.method != Stored && e.method != Deflated))
        return true;
    if (e.method == Stored) {
        quint32 crc = emptyCrc();
        if (e.packedSize != e.size || !crcOf(b, work, dataAt, qint64(e.packedSize), crc) || crc != e.crc)
            return false;
    } else {
        const Inflated z = inflateFrom(b, work, dataAt, qint64(e.packedSize), qint64(qMin<quint64>(e.size, quint64(std::numeric_limits<qint64>::max()))));
        if (!z.ended || quint64(z.produced) != e.size || z.crc != e.crc)
            return false;
    }
    e.checked = true;
    return true;
}

Salvager::Fit Salvager::tryLengths(SalvagedEntry& e, qint64 dataAt, bool descriptor, quint32 crc, quint64 packed, quint64 size)
{
    if (!fits(dataAt, packed))
        return Fit::No;
    qint64 end = dataAt + qint64(packed);
    if (descriptor && (end = descriptorEnd(b, end, crc, packed, size)) < 0)
        return Fit::No;
    e.crc = crc;
    e.packedSize = packed;
    e.size = size;
    e.end = end;
    e.dataAt = dataAt;
    return checkData(e, dataAt) ? Fit::Whole : Fit::Damaged;
}

// The end of an entry whose lengths follow its data, in a data descriptor; where a descriptor
// closes damaged data, damagedEnd is where it ends.
Salvager::Fit Salvager::findEnd(SalvagedEntry& e, qint64 dataAt, qint64& damagedEnd)
{
    // Deflated data ends with its own end mark.
    if (!e.encrypted && e.method == Deflated) {
        const Inflated z = inflateFrom(b, work, dataAt, b.size() - dataAt, std::numeric_limits<qint64>::max());
        const qint64 end = z.ended ? descriptorEnd(b, dataAt + z.consumed, z.crc, quint64(z.consumed), quint64(z.produced)) : -1;
        if (end >= 0) {
            e.crc = z.crc;
            e.packedSize = quint64(z.consumed);
            e.size = quint64(z.produced);
            e.end = end;
            e.dataAt = dataAt;
            e.checked = true;
            return Fit::Whole;
        }
    }
    // Otherwise where a descriptor stands that records the length up to it, with its signature or
    // (followed by the next signature or the end of the file) without, from those found in the
    // pass over the file.
    for (const auto* list : {&sig.descriptors, &sig.unsignedDescriptors}) {
        const bool withSignature = list == &sig.descriptors;
        for (auto it = std::lower_bound(list->begin(), list->end(), std::make_pair(dataAt, qint64(-1)));
             it != list->end() && it->first == dataAt && !work.stopped(); ++it) {
            const qint64 q = withSignature ? it->second + 4 : it->second;
            const quint64 packed = quint64(q - (withSignature ? 4 : 0) - dataAt);
            const bool narrow = b.has(q, 12) && b.u32(q + 4) == packed;
            const quint64 size = narrow ? b.u32(q + 8) : (b.has(q, 20) ? b.u64(q + 12) : 0);
            const Fit fit = tryLengths(e, dataAt, true, b.u32(q), packed, size);
            if (fit == Fit::Whole)
                return fit;
            if (fit == Fit::Damaged && damagedEnd < 0)
                damagedEnd = e.end;
        }
    }
    // Stored data whose descriptor is followed by damage: the checksum and lengths of the bytes
    // before it, looked for up to the next signature.
    if (e.encrypted || e.method != Stored || work.stopped())
        return Fit::No;
    qint64 bound = b.size();
    for (const std::vector<qint64>* list : {&sig.local, &sig.central, &sig.ends}) {
        const auto it = std::upper_bound(list->begin(), list->end(), dataAt);
        if (it != list->end())
            bound = qMin(bound, *it);
    }
    quint32 crc = emptyCrc();
    qint64 summed = dataAt;
    for (qint64 p = dataAt; p + 12 <= bound && quint64(p - dataAt) < Max32; ++p) {
        const quint32 distance = quint32(p - dataAt);
        if (b.u32(p + 4) != distance || b.u32(p + 8) != distance)
            continue;
        if (!crcOf(b, work, summed, p - summed, crc))
            return Fit::No;
        summed = p;
        if (b.u32(p) == crc)
            return tryLengths(e, dataAt, true, crc, distance, distance);
    }
    return Fit::No;
}

Reading Salvager::read(qint64 at)
{
    Reading r;
    if (!b.signatureAt(at, LocalSignature) || !b.has(at, LocalHeaderSize))
        return r;
    SalvagedEntry& e = r.entry;
    e.at = at;
    const quint16 flags = b.u16(at + 6);
    e.method = b.u16(at + 8);
    e.encrypted = flags & Encrypted;
    const bool descriptor = flags & HasDescriptor;
    const qint64 nameAt = at + LocalHeaderSize;
    const qint64 extraAt = nameAt + b.u16(at + 26);
    const qint64 dataAt = extraAt + b.u16(at + 28);
    r.plausible = knownMethod(e.method) && (b.u16(at + 4) & 0xFF) <= 63;
    r.claimedEnd = dataAt;
    if (!b.has(nameAt, dataAt - nameAt))
        return r;
    e.name = b.copy(nameAt, extraAt - nameAt);

    quint32 crc = b.u32(at + 14);
    quint64 packed = b.u32(at + 18);
    quint64 size = b.u32(at + 22);
    const bool localLengths = !descriptor && ((packed != Max32 && size != Max32) || readZip64(b, extraAt, dataAt, {&size, &packed}));
    if (localLengths && fits(dataAt, packed)) {
        r.next = r.claimedEnd = dataAt + qint64(packed);
    }
    // A name with a zero byte in it, an extra field in pieces: no writer's, damage.
    if (e.name.contains('\0') || !wellFormedExtra(b, extraAt, dataAt))
        return r;

    // Its record in the central directory, when the name there is its own.
    const Record* record = nullptr;
    if (const auto found = dir.byLocal.find(at); found != dir.byLocal.end()) {
        const Record& candidate = dir.records[found->second];
        if (candidate.name == e.name && candidate.method == e.method)
            record = &candidate;
    }
    qint64 damagedEnd = -1;
    Fit fit = localLengths ? tryLengths(e, dataAt, false, crc, packed, size) : Fit::No;
    if (fit != Fit::Whole && record && !work.stopped()) {
        fit = tryLengths(e, dataAt, descriptor, record->crc, record->packed, record->size);
        if (fit == Fit::Damaged)
            damagedEnd = e.end;
    }
    if (fit != Fit::Whole && descriptor && !work.stopped())
        fit = findEnd(e, dataAt, damagedEnd);
    // Data this program cannot check itself, whose header and record disagree: taken by its record,
    // which the archiver then checks by reading it back (see ZipArchiver::fix).
    if (fit == Fit::Whole && record && !e.checked && !e.encrypted && !work.stopped()
        && (record->crc != e.crc || record->packed != e.packedSize || record->size != e.size)) {
        SalvagedEntry byRecord = e;
        if (tryLengths(byRecord, dataAt, descriptor, record->crc, record->packed, record->size) == Fit::Whole)
            e = byRecord;
    }
    // Nor may it be encrypted where its record says it is not, or the other way round.
    if (fit == Fit::Whole && record && (record->flags & Encrypted) != (flags & Encrypted)) {
        fit = Fit::Damaged;
        damagedEnd = e.end;
    }
    // The header must say what the data is, where it does not leave it (as 0) to the descriptor. One
    // that says otherwise, of data that matched a checksum the archive holds for it (its record's,
    // its descriptor's), is written anew; of encrypted data, which nothing can show whole, it is
    // damaged.
    if (fit == Fit::Whole) {
        quint64 headerSize = b.u32(at + 22);
        quint64 headerPacked = b.u32(at + 18);
        const auto says = [descriptor](quint64 header, quint64 value) { return header == value || (descriptor && header == 0); };
        if (((headerSize == Max32 || headerPacked == Max32) && !readZip64(b, extraAt, dataAt, {&headerSize, &headerPacked}))
            || !says(crc, e.crc) || !says(headerPacked, e.packedSize) || !says(headerSize, e.size)) {
            if (e.encrypted || !mendHeader(e, extraAt, descriptor)) {
                fit = Fit::Damaged;
                damagedEnd = e.end;
            }
        }
    }
    if (fit != Fit::Whole || work.stopped()) {
        // Damaged, but its lengths say where the next header stands.
        if (r.next < 0 && damagedEnd > at)
            r.next = r.claimedEnd = damagedEnd;
        return r;
    }
    // A name marked as UTF-8 (in its header or its record) that readers refuse as UTF-8 is read in
    // the DOS code page: the mark goes, in both.
    e.dosName = ((flags & Utf8Names) || (record && (record->flags & Utf8Names))) && !readableAsUtf8(e.name);
    // Its own record goes into the new directory where it agrees with the header and the data: the
    // same lengths, date and strong-encryption field, an extra field readers can take, and a
    // comment readers can take as the record marks it.
    const bool recordAgrees = record && record->crc == e.crc && record->packed == e.packedSize && record->size == e.size
        && record->dosDateTime == b.u32(at + 10) && record->versionNeeded >= b.u16(at + 4) && wellFormedExtra(b, record->extraAt, record->extraEnd)
        && extraBlock(b, record->extraAt, record->extraEnd, StrongEncryptionField) == extraBlock(b, extraAt, dataAt, StrongEncryptionField)
        && (e.dosName || !(record->flags & Utf8Names) || readableAsUtf8(record->comment));
    // Data that cannot be checked is known only by its header: one its own record contradicts is damaged.
    if (record && !recordAgrees && !e.checked) {
        r.next = r.claimedEnd = e.end;
        return r;
    }
    if (recordAgrees) {
        e.record = record->at;
        e.recordLength = record->length;
        e.recordOrder = record->order;
    }
    if (e.dosName) {
        if (e.header.isEmpty())
            e.header = b.copy(at, dataAt - at);
        e.header[7] = char(uchar(e.header[7]) & ~(Utf8Names >> 8));
    }
    r.whole = true;
    return r;
}

// The entry's local header written anew with the checksum and lengths its data matched (0 where a
// data descriptor after the data holds them); false where the header has no room for them.
bool Salvager::mendHeader(SalvagedEntry& e, qint64 extraAt, bool descriptor) const
{
    QByteArray header = b.copy(e.at, e.dataAt - e.at);
    const auto set32 = [&](qint64 at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    // Lengths too large for the fixed part stand in the zip64 field, in the order size, packed size.
    qint64 zip64At = -1;
    for (qint64 x = extraAt; x + 4 <= e.dataAt; x += 4 + b.u16(x + 2)) {
        if (b.u16(x) == Zip64Field) {
            zip64At = x + 4 - e.at;
            break;
        }
    }
    const qint64 zip64End = zip64At < 0 ? -1 : zip64At + b.u16(e.at + zip64At - 2);
    set32(14, descriptor ? 0 : e.crc);
    qint64 wide = zip64At;
    for (const auto& [field, value] : {std::pair<qint64, quint64>{22, e.size}, std::pair<qint64, quint64>{18, e.packedSize}}) {
        const quint64 v = descriptor ? 0 : value;
        if (b.u32(e.at + field) == Max32) {
            if (wide < 0 || wide + 8 > zip64End || wide + 8 > header.size())
                return false;
            for (int i = 0; i < 8; ++i)
                header[wide + i] = char((v >> (8 * i)) & 0xFF);
            wide += 8;
        } else if (v >= Max32) {
            return false;
        } else {
            set32(field, quint32(v));
        }
    }
    e.header = header;
    e.mended = true;
    return true;
}

bool isDirectoryStart(const Bytes& b, qint64 at)
{
    return b.signatureAt(at, CentralSignature) || b.signatureAt(at, EndSignature) || b.signatureAt(at, End64Signature)
        || b.signatureAt(at, End64LocatorSignature);
}

}  // namespace

Salvage salvageArchive(const uchar* bytes, qint64 size, bool searchPastDamage, const std::function<bool(qint64 done)>& progress)
{
    Salvage s;
    if (!bytes || size <= 0)
        return s;
    const Bytes b(bytes, size);
    Work work(size, progress);
    const Signatures sig = findSignatures(b, work);
    Directory dir;
    readDirectory(b, sig, dir);
    s.endFound = dir.endFound;
    s.comment = dir.comment;
    Salvager salvager(b, work, sig, dir);

    // Where the entries end: the directory the end record points at, or the first signature of a
    // directory after the last entry.
    const qint64 limit = dir.endFound ? dir.start : size;
    const auto directoryAfter = [&](qint64 from) {
        qint64 at = limit;
        for (const std::vector<qint64>* list : {&sig.central, &sig.ends}) {
            const auto it = std::lower_bound(list->begin(), list->end(), from);
            if (it != list->end())
                at = qMin(at, *it);
        }
        return at;
    };
    const auto nextAfter = [](const std::vector<qint64>& list, qint64 from) {
        const auto it = std::upper_bound(list.begin(), list.end(), from);
        return it == list.end() ? qint64(-1) : *it;
    };

    std::unordered_set<qint64> kept;
    std::unordered_set<qint64> damaged;
    const auto countDamaged = [&](qint64 at) {
        if (damaged.insert(at).second)
            ++s.dropped;
    };
    // A stretch of the file between entries that holds nothing kept: lost, unless a damaged header
    // counted in it or a record of the directory says what stood there.
    // Where the entries start: where the directory says, past a program of the archive's own
    // before them (a self-extractor), unless what stands there is an entry of its own.
    qint64 cursor = 0;
    if (dir.endFound && !dir.localStarts.empty() && (sig.local.empty() || sig.local.front() >= dir.localStarts.front()))
        cursor = qMin(dir.localStarts.front(), limit);
    const qint64 start = cursor;
    bool explained = false;
    const auto closeGap = [&](qint64 upTo) {
        if (upTo <= cursor || explained)
            return;
        const auto it = std::lower_bound(dir.localStarts.begin(), dir.localStarts.end(), cursor);
        if (it == dir.localStarts.end() || *it >= upTo)
            ++s.dropped;
    };
    const auto keep = [&](const Reading& r) {
        closeGap(r.entry.at);
        s.entries.append(r.entry);
        kept.insert(r.entry.at);
        cursor = r.entry.end;
        explained = false;
    };

    if (!searchPastDamage) {
        qint64 at = cursor;
        bool skipped = false;
        while (at < limit && !isDirectoryStart(b, at) && !work.stopped()) {
            const Reading r = salvager.read(at);
            work.step(at, 0);
            if (r.whole) {
                keep(r);
                at = r.entry.end;
                continue;
            }
            if (r.plausible) {
                countDamaged(at);
                explained = true;
            }
            // On past the damage where its header, or else the directory, says the next one stands.
            qint64 next = r.plausible ? r.next : -1;
            if (next <= at)
                next = nextAfter(dir.localStarts, at);
            // A stretch before the first header (a self-extractor's program, or damage) is passed once.
            if (next <= at && !r.plausible && !skipped && s.entries.isEmpty()) {
                skipped = true;
                next = nextAfter(sig.local, at);
            }
            if (next <= at)
                break;
            closeGap(next);
            cursor = at = next;
            explained = false;
        }
        closeGap(isDirectoryStart(b, at) ? at : limit);
    } else {
        qint64 damagedUntil = -1;
        auto it = std::lower_bound(sig.local.begin(), sig.local.end(), cursor);
        while (it != sig.local.end() && *it < limit && !work.stopped()) {
            const qint64 at = *it;
            const Reading r = salvager.read(at);
            work.step(at, 0);
            if (r.whole) {
                keep(r);
                it = std::lower_bound(std::next(it), sig.local.end(), r.entry.end);
                continue;
            }
            if (r.plausible && at >= damagedUntil) {
                countDamaged(at);
                damagedUntil = qMax(r.claimedEnd, at + 4);
                // Where its lengths say it ends, what follows must be told for itself.
                if (r.next > at && r.next > cursor) {
                    closeGap(at);
                    cursor = r.next;
                    explained = false;
                } else {
                    explained = true;
                }
            }
            ++it;
        }
        // Cut short (out of time for a hostile archive): what was not searched is lost.
        closeGap(work.stopped() ? limit : directoryAfter(cursor));
    }
    s.aborted = work.aborted();

    // Entries the directory knows that were not kept.
    for (const Record& r : dir.records) {
        if (!kept.count(r.localAt))
            countDamaged(r.localAt);
    }
    // Bytes before the first entry stay where the directory says the entries start after them.
    if (dir.endFound && !s.entries.isEmpty())
        s.prefix = start;
    return s;
}

namespace {

void set16(QByteArray& b, qsizetype at, quint16 v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}

void set32(QByteArray& b, qsizetype at, quint32 v)
{
    set16(b, at, quint16(v & 0xFFFF));
    set16(b, at + 2, quint16(v >> 16));
}

void add16(QByteArray& b, quint16 v)
{
    b.append(2, '\0');
    set16(b, b.size() - 2, v);
}

void add32(QByteArray& b, quint32 v)
{
    b.append(4, '\0');
    set32(b, b.size() - 4, v);
}

void add64(QByteArray& b, quint64 v)
{
    add32(b, quint32(v & Max32));
    add32(b, quint32(v >> 32));
}

quint32 clip32(quint64 v)
{
    return v >= Max32 ? Max32 : quint32(v);
}

// The entry's record of the new central directory: its own record with the new place of its
// local header, where it has one that can hold that place; else one made from its local header.
QByteArray centralRecord(const Bytes& b, const SalvagedEntry& e, qint64 newAt)
{
    if (e.record >= 0) {
        QByteArray r = b.copy(e.record, e.recordLength);
        if (e.dosName)
            r[9] = char(uchar(r[9]) & ~(Utf8Names >> 8));
        const quint32 offset = b.u32(e.record + 42);
        if (b.u16(e.record + 34) != Max16 && offset != Max32 && quint64(newAt) < Max32) {
            set16(r, 34, 0);
            set32(r, 42, quint32(newAt));
            return r;
        }
        // The place held in its zip64 field, after the sizes that are there too.
        const qint64 extraAt = CentralHeaderSize + b.u16(e.record + 28);
        const qint64 extraEnd = extraAt + b.u16(e.record + 30);
        for (qint64 x = extraAt; b.u16(e.record + 34) != Max16 && offset == Max32 && x + 4 <= extraEnd;) {
            const qint64 end = x + 4 + b.u16(e.record + x + 2);
            if (b.u16(e.record + x) == Zip64Field) {
                const qint64 field = x + 4 + (b.u32(e.record + 24) == Max32 ? 8 : 0) + (b.u32(e.record + 20) == Max32 ? 8 : 0);
                if (field + 8 <= qMin(end, extraEnd)) {
                    set16(r, 34, 0);
                    for (int i = 0; i < 8; ++i)
                        r[qsizetype(field + i)] = char((quint64(newAt) >> (8 * i)) & 0xFF);
                    return r;
                }
                break;
            }
            x = end;
        }
    }
    // Made from the local header: its fields, the lengths found, and the extra fields whose form is
    // the same in both places (strong encryption, the name in Unicode).
    const qint64 at = e.at;
    QByteArray extra;
    const bool wide = e.size >= Max32 || e.packedSize >= Max32 || quint64(newAt) >= Max32;
    if (wide) {
        QByteArray values;
        if (e.size >= Max32)
            add64(values, e.size);
        if (e.packedSize >= Max32)
            add64(values, e.packedSize);
        if (quint64(newAt) >= Max32)
            add64(values, quint64(newAt));
        add16(extra, Zip64Field);
        add16(extra, quint16(values.size()));
        extra += values;
    }
    const qint64 localExtra = at + LocalHeaderSize + b.u16(at + 26);
    const qint64 localExtraEnd = localExtra + b.u16(at + 28);
    for (qint64 x = localExtra; x + 4 <= localExtraEnd;) {
        const quint16 id = b.u16(x);
        const qint64 end = x + 4 + b.u16(x + 2);
        if (end > localExtraEnd)
            break;
        if (id == StrongEncryptionField || id == UnicodePathField)
            extra += b.copy(x, end - x);
        x = end;
    }
    const quint16 needed = b.u16(at + 4);
    QByteArray r;
    add32(r, CentralSignature);
    add16(r, quint16(qMax<quint16>(needed & 0xFF, 20)));   // made on DOS, by this version
    add16(r, needed);
    add16(r, quint16(b.u16(at + 6) & ~(e.dosName ? Utf8Names : 0)));
    add16(r, e.method);
    add16(r, b.u16(at + 10));
    add16(r, b.u16(at + 12));
    add32(r, e.crc);
    add32(r, clip32(e.packedSize));
    add32(r, clip32(e.size));
    add16(r, quint16(e.name.size()));
    add16(r, quint16(qMin<qsizetype>(extra.size(), Max16)));
    add16(r, 0);   // no comment
    add16(r, 0);   // disk
    add16(r, 0);   // internal attributes
    add32(r, e.name.endsWith('/') ? 0x10 : 0);   // a folder, as DOS marks it
    add32(r, clip32(quint64(newAt)));
    r += e.name;
    r += extra.left(Max16);
    return r;
}

}  // namespace

bool writeSalvagedArchive(const uchar* bytes, const Salvage& salvage, const std::function<bool(const uchar* data, qint64 size)>& sink)
{
    const Bytes b(bytes, std::numeric_limits<qint64>::max());
    qint64 offset = 0;
    const auto put = [&](const uchar* data, qint64 n) {
        for (qint64 done = 0; done < n;) {
            const qint64 piece = qMin(n - done, Piece);
            if (!sink(data + done, piece))
                return false;
            done += piece;
        }
        offset += n;
        return true;
    };
    const auto putBytes = [&](const QByteArray& data) { return put(reinterpret_cast<const uchar*>(data.constData()), data.size()); };

    if (salvage.prefix > 0 && !put(bytes, salvage.prefix))
        return false;
    std::vector<qint64> newAt;
    newAt.reserve(size_t(salvage.entries.size()));
    for (const SalvagedEntry& e : salvage.entries) {
        newAt.push_back(offset);
        const bool copied = e.header.isEmpty() ? put(bytes + e.at, e.end - e.at)
                                               : putBytes(e.header) && put(bytes + e.dataAt, e.end - e.dataAt);
        if (!copied)
            return false;
    }

    const qint64 directoryAt = offset;
    for (const qsizetype i : directoryOrder(salvage)) {
        if (!putBytes(centralRecord(b, salvage.entries[i], newAt[size_t(i)])))
            return false;
    }
    const quint64 count = quint64(salvage.entries.size());
    const quint64 length = quint64(offset - directoryAt);

    QByteArray end;
    if (count >= Max16 || length >= Max32 || quint64(directoryAt) >= Max32) {
        const qint64 end64At = offset;
        add32(end, End64Signature);
        add64(end, 44);
        add16(end, 45);
        add16(end, 45);
        add32(end, 0);
        add32(end, 0);
        add64(end, count);
        add64(end, count);
        add64(end, length);
        add64(end, quint64(directoryAt));
        add32(end, End64LocatorSignature);
        add32(end, 0);
        add64(end, quint64(end64At));
        add32(end, 1);
    }
    const QByteArray comment = salvage.comment.left(Max16);
    add32(end, EndSignature);
    add16(end, 0);
    add16(end, 0);
    add16(end, quint16(qMin<quint64>(count, Max16)));
    add16(end, quint16(qMin<quint64>(count, Max16)));
    add32(end, clip32(length));
    add32(end, clip32(quint64(directoryAt)));
    add16(end, quint16(comment.size()));
    end += comment;
    return putBytes(end);
}

std::vector<qsizetype> directoryOrder(const Salvage& salvage)
{
    // The records in the order of the directory they came from; the entries without one after.
    std::vector<qsizetype> order(size_t(salvage.entries.size()));
    for (qsizetype i = 0; i < salvage.entries.size(); ++i)
        order[size_t(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&](qsizetype x, qsizetype y) {
        const qint64 a = salvage.entries[x].recordOrder;
        const qint64 c = salvage.entries[y].recordOrder;
        return (a < 0 ? std::numeric_limits<qint64>::max() : a) < (c < 0 ? std::numeric_limits<qint64>::max() : c);
    });
    return order;
}

QByteArray directoryOfOne(const uchar* bytes, const SalvagedEntry& entry)
{
    const Bytes b(bytes, std::numeric_limits<qint64>::max());
    QByteArray out = centralRecord(b, entry, 0);
    const quint32 length = quint32(out.size());
    add32(out, EndSignature);
    add16(out, 0);
    add16(out, 0);
    add16(out, 1);
    add16(out, 1);
    add32(out, length);
    add32(out, 0);
    add16(out, 0);
    return out;
}

std::vector<qint64> misleadingUtf8Marks(const uchar* bytes, qint64 size)
{
    std::vector<qint64> marks;
    if (!bytes || size <= 0)
        return marks;
    const Bytes b(bytes, size);
    const std::function<bool(qint64)> none;
    Work work(size, none);
    const Signatures sig = findSignatures(b, work);
    Directory dir;
    readDirectory(b, sig, dir);
    for (const Record& r : dir.records) {
        if ((r.flags & Utf8Names) && !(readableAsUtf8(r.name) && readableAsUtf8(r.comment)))
            marks.push_back(r.at + 9);
        const qint64 at = r.localAt;
        if (b.signatureAt(at, LocalSignature) && b.has(at, LocalHeaderSize) && (b.u16(at + 6) & Utf8Names)
            && b.has(at + LocalHeaderSize, b.u16(at + 26)) && !readableAsUtf8(b.copy(at + LocalHeaderSize, b.u16(at + 26))))
            marks.push_back(at + 7);
    }
    std::sort(marks.begin(), marks.end());
    marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
    return marks;
}
