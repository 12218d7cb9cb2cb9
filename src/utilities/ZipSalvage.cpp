#include "utilities/ZipSalvage.h"

#include <zlib.h>

#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace {

constexpr quint32 LocalHeaderSignature = 0x04034b50;
constexpr quint32 DescriptorSignature = 0x08074b50;
constexpr qint64 LocalHeaderSize = 30;
constexpr quint16 Encrypted = 0x0001;
constexpr quint16 HasDescriptor = 0x0008;
constexpr quint16 Utf8Names = 0x0800;
constexpr quint16 Zip64Sizes = 0x0001;
constexpr quint32 InZip64 = 0xFFFFFFFF;
constexpr quint16 Stored = 0;
constexpr quint16 Deflated = 8;
// zlib takes lengths as 32-bit numbers: longer stretches go in pieces.
constexpr qint64 ZlibPiece = qint64(1) << 30;

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

    // Where the next signature stands, at from or after it; -1 when nowhere.
    qint64 find(qint64 from, quint32 signature) const
    {
        if (!has(from, 4))
            return -1;
        const uchar pattern[4] = {uchar(signature), uchar(signature >> 8), uchar(signature >> 16), uchar(signature >> 24)};
        const void* hit = ::memmem(m_p + from, size_t(m_size - from), pattern, sizeof pattern);
        return hit ? qint64(static_cast<const uchar*>(hit) - m_p) : -1;
    }

    quint32 crc(quint32 running, qint64 from, qint64 length) const
    {
        for (qint64 done = 0; done < length;) {
            const qint64 piece = qMin(length - done, ZlibPiece);
            running = quint32(crc32(running, m_p + from + done, uInt(piece)));
            done += piece;
        }
        return running;
    }

private:
    const uchar* m_p;
    qint64 m_size;
};

quint32 emptyCrc()
{
    return quint32(crc32(0L, nullptr, 0));
}

struct Inflated {
    bool ended = false;   // the stream reached its own end mark
    qint64 consumed = 0;
    qint64 produced = 0;
    quint32 crc = 0;
};

// Inflates the raw deflate stream that starts at start, reading at most limit bytes of it and
// stopping once it has given more than maxOutput bytes.
Inflated inflateFrom(const Bytes& b, qint64 start, qint64 limit, qint64 maxOutput)
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
            const qint64 piece = qMin(limit - fed, ZlibPiece);
            z.next_in = const_cast<Bytef*>(b.at(start + fed));
            z.avail_in = uInt(piece);
            fed += piece;
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

// The end of the data descriptor at at (its signature is optional; the sizes 4 or 8 bytes long)
// when it records this checksum and these lengths; -1 when there is none such.
qint64 descriptorEnd(const Bytes& b, qint64 at, quint32 crc, qint64 packed, qint64 size)
{
    qint64 q = at;
    if (b.has(q, 4) && b.u32(q) == DescriptorSignature)
        q += 4;
    if (b.has(q, 12) && b.u32(q) == crc && quint64(b.u32(q + 4)) == quint64(packed) && quint64(b.u32(q + 8)) == quint64(size))
        return q + 12;
    if (b.has(q, 20) && b.u32(q) == crc && b.u64(q + 4) == quint64(packed) && b.u64(q + 12) == quint64(size))
        return q + 20;
    return -1;
}

struct Reading {
    std::optional<SalvagedEntry> entry;   // set when the entry is whole
    qint64 next = -1;                     // where the header after it stands; -1 when unknown
};

// The sizes of a zip64 entry, from its extra field: the fields the header marks as too large for
// it, in the order size, packed size.
bool readZip64Sizes(const Bytes& b, qint64 extraAt, qint64 extraEnd, quint64& size, quint64& packed)
{
    for (qint64 x = extraAt; x + 4 <= extraEnd;) {
        const quint16 id = b.u16(x);
        const qint64 end = x + 4 + b.u16(x + 2);
        if (end > extraEnd)
            return false;
        if (id == Zip64Sizes) {
            qint64 field = x + 4;
            for (quint64* value : {&size, &packed}) {
                if (*value != InZip64)
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

Reading readEntry(const Bytes& b, qint64 o)
{
    Reading r;
    if (!b.has(o, LocalHeaderSize) || b.u32(o) != LocalHeaderSignature)
        return r;
    const quint16 flags = b.u16(o + 6);
    const quint16 method = b.u16(o + 8);
    SalvagedEntry e;
    e.dosTime = b.u16(o + 10);
    e.dosDate = b.u16(o + 12);
    e.crc = b.u32(o + 14);
    quint64 packed = b.u32(o + 18);
    quint64 size = b.u32(o + 22);
    const qint64 nameAt = o + LocalHeaderSize;
    const qint64 extraAt = nameAt + b.u16(o + 26);
    const qint64 dataAt = extraAt + b.u16(o + 28);
    if (!b.has(nameAt, dataAt - nameAt))
        return r;
    if ((packed == InZip64 || size == InZip64) && !readZip64Sizes(b, extraAt, dataAt, size, packed))
        return r;
    const bool descriptor = flags & HasDescriptor;
    if (!descriptor) {
        if (packed > quint64(b.size()) || !b.has(dataAt, qint64(packed)))
            return r;
        r.next = dataAt + qint64(packed);
    }

    // What cannot be checked is not saved: encrypted data, other methods, names libzip cannot take.
    e.name = QByteArray(reinterpret_cast<const char*>(b.at(nameAt)), extraAt - nameAt);
    if ((flags & Encrypted) || (method != Stored && method != Deflated) || e.name.isEmpty() || e.name.contains('\0'))
        return r;
    e.utf8 = flags & Utf8Names;
    e.deflated = method == Deflated;
    e.dataOffset = dataAt;

    if (!descriptor) {
        if (size > quint64(std::numeric_limits<qint64>::max()))
            return r;
        e.packedSize = qint64(packed);
        e.size = qint64(size);
        if (e.deflated) {
            const Inflated z = inflateFrom(b, dataAt, e.packedSize, e.size);
            if (!z.ended || z.produced != e.size || z.crc != e.crc)
                return r;
        } else if (packed != size || b.crc(emptyCrc(), dataAt, e.packedSize) != e.crc) {
            return r;
        }
        r.entry = e;
        return r;
    }

    // The lengths and the checksum follow the data, in a descriptor.
    if (e.deflated) {
        const Inflated z = inflateFrom(b, dataAt, b.size() - dataAt, std::numeric_limits<qint64>::max());
        if (!z.ended)
            return r;
        const qint64 end = descriptorEnd(b, dataAt + z.consumed, z.crc, z.consumed, z.produced);
        if (end < 0)
            return r;
        e.packedSize = z.consumed;
        e.size = z.produced;
        e.crc = z.crc;
        r.next = end;
        r.entry = e;
        return r;
    }
    // Stored data has no end mark: its end is the descriptor that records the length up to it.
    quint32 crc = emptyCrc();
    qint64 summedTo = dataAt;
    for (qint64 d = b.find(dataAt, DescriptorSignature); d >= 0; d = b.find(d + 1, DescriptorSignature)) {
        crc = b.crc(crc, summedTo, d - summedTo);
        summedTo = d;
        const qint64 end = descriptorEnd(b, d, crc, d - dataAt, d - dataAt);
        if (end >= 0) {
            e.packedSize = e.size = d - dataAt;
            e.crc = crc;
            r.next = end;
            r.entry = e;
            return r;
        }
    }
    return r;
}

}  // namespace

QList<SalvagedEntry> salvageEntries(const uchar* bytes, qint64 size, bool searchPastDamage,
                                    const std::function<void(qint64 done)>& progress)
{
    QList<SalvagedEntry> found;
    if (!bytes || size <= 0)
        return found;
    const Bytes b(bytes, size);
    qint64 at = 0;
    while (at < size) {
        const qint64 header = searchPastDamage ? b.find(at, LocalHeaderSignature) : at;
        if (header < 0)
            break;
        const Reading r = readEntry(b, header);
        if (progress)
            progress(header);
        if (r.entry) {
            found.append(*r.entry);
            at = r.next;
        } else if (searchPastDamage) {
            at = header + 1;
        } else if (r.next > header) {
            at = r.next;   // a damaged entry, but its header says where the next one stands
        } else {
            break;
        }
    }
    if (progress)
        progress(size);
    return found;
}
