#pragma once

#include <QByteArray>
#include <QList>

#include <functional>
#include <vector>

// What can be kept of a damaged zip archive, and the archive made of it.
//
// An entry is kept when its data is whole: the header and the name in the file, the data all
// there, and, where this program can unpack it (stored or deflated, not encrypted), giving back the
// length and a checksum the archive records for it. Its lengths come from its local header, from
// its record in the central directory where one stands, or from the data descriptor after its
// data. Entries of the same name are all kept. A kept entry is copied as it stands (name bytes,
// method, encryption and data unchanged), except what would keep readers from it: a header whose
// checksum or lengths are damaged is written anew from those its data matched, and a name marked
// as UTF-8 that readers do not take as UTF-8 loses that mark (it is then read in the DOS code
// page). The central directory is made anew, from each entry's own record where that agrees with
// the entry (so attributes and comments stay), else from its local header.
//
// The time taken grows with the archive's size, never with its square: the signatures are found
// in one pass, no stretch is unpacked twice on the normal road, and on the aggressive road the
// work spent on candidates that come to nothing is bounded by a multiple of the archive's size.
//
// Every length read from the file is checked against the file before it is used, so a damaged or
// hostile archive (a name running past the end, sizes of 4 GB, a stream that never ends) is never
// read outside its bytes.

struct SalvagedEntry {
    qint64 at = 0;             // where its local header stands
    qint64 end = 0;            // the end of its bytes: header, name, extra field, data, data descriptor
    QByteArray name;           // as stored: UTF-8 when flagged so, else the DOS code page
    quint16 method = 0;
    bool encrypted = false;
    bool checked = false;      // its data gave back the length and the checksum recorded for it
    quint32 crc = 0;
    quint64 size = 0;          // of the data once unpacked
    quint64 packedSize = 0;
    qint64 record = -1;        // its record in the central directory, when one agrees with it
    qint64 recordLength = 0;
    qint64 recordOrder = -1;   // that record's place in the directory
    qint64 dataAt = 0;         // where its data starts
    bool dosName = false;      // its name loses the mark that calls it UTF-8
    bool mended = false;       // its header's checksum and lengths are written anew
    QByteArray header;         // its local header as it is written, when it is mended; else copied as it stands
};

struct Salvage {
    QList<SalvagedEntry> entries;   // in the order they stand in the file
    qint64 prefix = 0;              // bytes before the first entry, kept as they stand (a self-extractor's program)
    QByteArray comment;             // the archive's comment, when its end record was found
    int dropped = 0;                // entries that could not be kept; at least 1 where damage hides how many
    bool endFound = false;          // the end record was found and its directory read
    bool aborted = false;           // progress said to stop
};

// What can be kept of the archive's bytes. Normally the entries are followed one after the other
// (and, where the central directory says where the next one stands, past a damaged one); with
// searchPastDamage the whole file is searched for headers, so that entries after a damaged stretch
// are found too. progress is told how far into the file the work has come, often (at least every
// megabyte gone through); when it answers false the work stops and the salvage is marked aborted.
Salvage salvageArchive(const uchar* bytes, qint64 size, bool searchPastDamage,
                       const std::function<bool(qint64 done)>& progress = {});

// Writes the archive made of what was salvaged from bytes to sink, piece by piece: the prefix and
// each kept entry copied as they stand, then the new central directory and its end record with the
// archive's comment. False when sink answered false.
bool writeSalvagedArchive(const uchar* bytes, const Salvage& salvage, const std::function<bool(const uchar* data, qint64 size)>& sink);

// The entries of the salvage in the order the new central directory lists them: the n-th entry of
// the written archive is salvage.entries[directoryOrder(salvage)[n]].
std::vector<qsizetype> directoryOrder(const Salvage& salvage);

// An archive that holds nothing but the record the new central directory has for the entry (no
// data): what a reader makes of that record alone, without the others.
QByteArray directoryOfOne(const uchar* bytes, const SalvagedEntry& entry);

// Where an archive's headers and records mark a name (or a record's comment) as UTF-8 that readers
// do not take as UTF-8: the places of the bytes whose bit 0x08 holds that mark. An archive read
// with those bits cleared has such names read in the DOS code page, and nothing else changed.
std::vector<qint64> misleadingUtf8Marks(const uchar* bytes, qint64 size);
