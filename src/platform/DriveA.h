#pragma once

#include <QString>
#include <QStringList>

// Where the legacy floppy drive "A:\" lives on this system: the mount point of a removable medium
// (a USB stick, a memory card, a floppy). The windows that back up to and restore from "A:\"
// reach it only through DriveA::get(), so that a test can install a drive of its own.
//
// The two ways it can fail are the ones the windows have always told apart: no medium (error 52,
// "no disk in drive A") and a medium that cannot be written (error 3050, "write protected").
//
// Writing and reading may find different media: a backup is written to a medium that can be
// written, while a restore reads the backup from whichever medium holds it (a write-locked memory
// card beside a stick, say).
class DriveA {
public:
    enum class State { Ready, NoDisk, WriteProtected };

    static constexpr int NoDiskError = 52;
    static constexpr int WriteProtectedError = 3050;

    virtual ~DriveA() = default;

    // The folder that stands for the root of drive A when it is written; empty when there is no
    // medium.
    virtual QString folder() = 0;
    // The folders of every medium there is, in the order they are looked at when reading; by
    // default folder() alone.
    virtual QStringList folders();
    // Ready when a medium is there (and, with forWriting, one that can be written).
    virtual State state(bool forWriting) = 0;

    // "A:\InventoryBackup.zip", "\InventoryBackup.zip" or "InventoryBackup.zip" as a path in
    // folder(), for writing; an existing file whose name differs only in letter case (media written
    // on other systems often show names in capitals) is found and its own spelling returned. Empty
    // when there is no medium.
    QString path(const QString& legacyName);
    // The same name for reading: in the one of folders() whose file was written last (the first of
    // them on a tie), else in the first of them. Empty when there is no medium.
    QString pathToRead(const QString& legacyName);

    static DriveA& get();                // the installed drive, else the mounted medium
    static DriveA* install(DriveA* d);   // nullptr restores the mounted medium; not owned; returns the one it replaces
};

// Drive A as the system has it: the file systems that removable devices have mounted under one of
// the places where media are mounted (/media/<user>/, /run/media/<user>/, /media/), in name order.
// Written, it is the first of them that can be written; when none can, the first of them (which is
// then write protected). Read, it is any of them that holds the file asked for, the one whose file
// was written last when more than one does. A device
// counts as removable when the kernel says so (its disk's "removable" attribute) or when it hangs
// off a USB bus, as sticks and card readers do. Anything else is no disk: a plain folder such as
// /media/floppy with nothing mounted on it, a fixed disk mounted under /media, the computer's own
// disk.
class MountedMedium : public DriveA {
public:
    // The mount table, the root of the kernel's device attributes and the places media are mounted
    // under; tests give their own.
    explicit MountedMedium(QString mountTable = QStringLiteral("/proc/self/mounts"), QString sysRoot = QStringLiteral("/sys"),
                           QStringList places = defaultPlaces());

    static QStringList defaultPlaces();

    QString folder() override;
    QStringList folders() override;
    State state(bool forWriting) override;

private:
    struct Mount {
        QString device;
        QString folder;
        bool readOnly = false;
    };
    QList<Mount> media() const;
    Mount find() const;
    static bool isWritable(const Mount& m);
    bool isRemovable(const QString& blockDevice, int depth = 0) const;

    QString m_mountTable;
    QString m_sysRoot;
    QStringList m_places;
};
