#pragma once

#include <QString>

// Where the legacy floppy drive "A:\" lives on this system: a folder, normally the mount point of
// a removable medium (a USB stick, a memory card, a floppy). The windows that back up to and
// restore from "A:\" reach it only through DriveA::get(), so that a test can install a drive of
// its own.
//
// Which folder:
//  - the folder given to setFolder() (the program may configure one; tests use a temporary one);
//  - otherwise the first removable medium mounted under /media/<user>/, /run/media/<user>/ or
//    /media/ (in name order);
//  - otherwise /media/floppy, Debian's mount point of a floppy drive, which is "no disk" when
//    nothing is mounted there.
//
// The two ways it can fail are the ones the windows have always told apart: no medium (error 52,
// "no disk in drive A") and a medium that cannot be written (error 3050, "write protected").
class DriveA {
public:
    enum class State { Ready, NoDisk, WriteProtected };

    static constexpr int NoDiskError = 52;
    static constexpr int WriteProtectedError = 3050;

    virtual ~DriveA() = default;

    // The folder that stands for the root of drive A.
    virtual QString folder() = 0;
    // Ready when the medium is there (and, with forWriting, can be written).
    virtual State state(bool forWriting) = 0;

    // "A:\InventoryBackup.zip", "\InventoryBackup.zip" or "InventoryBackup.zip" as a path in
    // folder(); an existing file whose name differs only in letter case (media written on other
    // systems often show names in capitals) is found and its own spelling returned.
    QString path(const QString& legacyName);

    static DriveA& get();            // the installed drive, else the mounted medium
    static void install(DriveA* d);  // nullptr restores the mounted medium; not owned

    // The folder of the mounted medium; empty returns to finding it by itself.
    static void setFolder(const QString& folder);
    static QString configuredFolder();
};
