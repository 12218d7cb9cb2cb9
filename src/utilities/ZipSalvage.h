#pragma once

#include <QByteArray>
#include <QList>

#include <functional>

// What can be saved from a damaged zip archive, found from the local header that stands before
// each entry's data rather than from the central directory at the end (which a cut-off copy
// lacks). Only whole entries are saved: stored or deflated, not encrypted, with all their data in
// the file and that data giving back exactly the length and checksum recorded for it.
//
// Every length read from the file is checked against the file before it is used, so a damaged
// or hostile archive (a name length running past the end, sizes of 4 GB, a stream that never
// ends) is never read outside its bytes.

struct SalvagedEntry {
    QByteArray name;        // as stored: UTF-8 when utf8, else the DOS code page
    bool utf8 = false;
    bool deflated = false;  // else stored
    quint16 dosTime = 0;
    quint16 dosDate = 0;
    quint32 crc = 0;
    qint64 size = 0;        // of the data once inflated
    qint64 dataOffset = 0;  // where the (compressed) data starts in the file
    qint64 packedSize = 0;  // its length there

    bool isDirectory() const { return name.endsWith('/'); }
};

// The whole entries of an archive's bytes, in the order they stand in the file. Normally the
// entries are followed one after the other from the start, passing over one whose data is damaged
// where its header says where the next one starts, and ending where no header stands; with
// searchPastDamage the whole file is searched for headers, so that entries after a damaged
// stretch are found too. progress is told how many bytes have been gone through.
QList<SalvagedEntry> salvageEntries(const uchar* bytes, qint64 size, bool searchPastDamage,
                                    const std::function<void(qint64 done)>& progress = {});
