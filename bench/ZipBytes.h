#pragma once

// Zip archives written byte by byte, the way other programs write them, for the archive-repair
// benchmarks: local entries with their sizes in the header, after the data in a descriptor (with
// or without its signature) or in a zip64 extra field.

#include <QByteArray>
#include <QRandomGenerator>

#include <zlib.h>

#include <cstring>

namespace zipbytes {

inline void put16(QByteArray& b, quint16 v)
{
    b += char(v & 0xFF);
    b += char(v >> 8);
}

inline void put32(QByteArray& b, quint32 v)
{
    put16(b, quint16(v & 0xFFFF));
    put16(b, quint16(v >> 16));
}

inline void put64(QByteArray& b, quint64 v)
{
    put32(b, quint32(v & 0xFFFFFFFF));
    put32(b, quint32(v >> 32));
}

inline quint32 crcOf(const QByteArray& d)
{
    return quint32(crc32(0, reinterpret_cast<const Bytef*>(d.constData()), uInt(d.size())));
}

inline QByteArray rawDeflate(const QByteArray& data)
{
    z_stream z;
    std::memset(&z, 0, sizeof z);
    deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&z, uLong(data.size()))), Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(int(z.total_out));
    deflateEnd(&z);
    return out;
}

inline QByteArray text(int size, int salt)
{
    QByteArray out;
    for (int line = 0; out.size() < size; ++line)
        out += "PART " + QByteArray::number((line + salt) % 97) + " SPRING, TURRET, PACKAGE OF 10\n";
    return out.left(size);
}

inline QByteArray noise(int size, QRandomGenerator& rng)
{
    QByteArray out(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        out[i] = char(rng.bounded(256));
    return out;
}

// A local header: signature, version 4.5, the flags and method given, a fixed date, the checksum
// and sizes, the name and the extra field.
inline void localHeader(QByteArray& out, const QByteArray& name, quint16 flags, quint16 method, quint32 crc, quint32 packed, quint32 size,
                        const QByteArray& extra = {})
{
    put32(out, 0x04034b50);
    put16(out, 45);
    put16(out, flags);
    put16(out, method);
    put16(out, 0x6000);
    put16(out, 0x5A21);
    put32(out, crc);
    put32(out, packed);
    put32(out, size);
    put16(out, quint16(name.size()));
    put16(out, quint16(extra.size()));
    out += name;
    out += extra;
}

enum class Sizes { InHeader, SignedDescriptor, UnsignedDescriptor };

// One whole entry: data deflated (or stored), its sizes where `sizes` says.
inline void entry(QByteArray& out, const QByteArray& name, const QByteArray& data, bool deflated, Sizes sizes)
{
    const QByteArray packed = deflated ? rawDeflate(data) : data;
    const quint32 crc = crcOf(data);
    if (sizes == Sizes::InHeader) {
        localHeader(out, name, 0, deflated ? 8 : 0, crc, quint32(packed.size()), quint32(data.size()));
        out += packed;
        return;
    }
    localHeader(out, name, 0x0008, deflated ? 8 : 0, 0, 0, 0);
    out += packed;
    if (sizes == Sizes::SignedDescriptor)
        put32(out, 0x08074b50);
    put32(out, crc);
    put32(out, quint32(packed.size()));
    put32(out, quint32(data.size()));
}

}  // namespace zipbytes
