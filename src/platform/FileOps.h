#pragma once

#include <QString>

// File operations that never leave a half-written file behind. Each returns false and puts
// the reason in *error (when given) on failure.

// A file written out of sight and put in place whole, under the name of the file it replaces:
// that name shows either the old file or the complete new one, and a program ended midway
// (killed, a power cut) leaves nothing behind. A target that is a symbolic link is the file the
// link names: that file is replaced, the link stays. The program's own bookkeeping (see
// isProgramBookkeeping) is never a target.
//
// Where the file system allows it, the file has no name at all until commit() gives it one: the
// system removes it with the program. Where it does not (FAT sticks and memory cards, some network
// folders), it is a hidden file beside the target, entered beforehand in the program's own list
// of unfinished files in its folder. What a program no longer running left there is removed the
// next time a pending file is opened, and only what the program can prove it made: the list is
// read as input from outside, and an entry must be the current account's, name a file of the
// hidden form in a folder reached without links, and record the very file (its inode number)
// that stands there, a plain file of the current account with no other name. On a file system
// that numbers its files anew at each mount (FAT, exFAT), the hidden name's random part, drawn in
// full, stands for the number. Anything else is left where it is.
class PendingFile {
public:
    explicit PendingFile(QString target);
    ~PendingFile();   // discards the file unless it was committed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Makes the file, empty, in the target's folder.
    bool open(QString* error = nullptr);
    // Its descriptor, open for reading and writing.
    int handle() const { return m_fd; }
    // A name under which other code of this program can open the file while it is pending.
    QString path() const;
    QString target() const { return m_target; }
    // Writes at the descriptor's position; false (with systemError()) when not all was written.
    bool write(const char* data, qint64 size);
    // Puts the file in place: its data on disk, the mode, group and owner of the file it replaces
    // (see takeAttributesOf), then the name, in one step.
    bool commit(QString* error = nullptr);
    void discard();
    // The system's error number behind the last failure.
    int systemError() const { return m_systemError; }
    // Whether the last failure was for want of room on the disk the file is written to (see
    // isDiskFull); asked before the file is discarded, while what was written still takes its room.
    bool diskFull() const;

    // Whether a file without a name may be used where the file system allows one (tests use the
    // named kind on any file system).
    static void setUnnamedAllowed(bool allowed);
    // Whether file systems are taken to keep a file's inode number from one mount to the next (tests
    // say no to act as on a FAT stick).
    static void setLastingInodeNumbers(bool lasting);

private:
    // What pending files of programs no longer running left behind, as their list records them.
    static void removeLeftovers();
    bool fail(QString* error, const QString& what);

    QString m_target;
    int m_fd = -1;
    QString m_named;       // the hidden file's name, when the file has one
    QString m_listEntry;   // its entry in the list of unfinished files
    int m_systemError = 0;
};

// Gives the file open at fd what the file at replaced has: its group and, where the system lets
// this account give it, its owner, then its mode; the mode a new file gets when nothing stands
// there. Called before a new file is renamed over an old one, so that whoever could read or write
// the old file can read or write the new one, and no more.
void takeAttributesOf(int fd, const QString& replaced);

// The file path names once every symbolic link on the way is followed, also one that does not
// exist yet (a link to a file not yet made names that file); the folder without links.
QString linkTarget(const QString& path);

// Whether path is, or lies in, the program's own bookkeeping in its folder, reached by whatever name
// (a link, another letter case, a parent folder): the list of unfinished files, the lock file, and
// the journals the database engine keeps beside the databases there ("-journal", "-wal", "-shm"),
// which it would read back into a database. No write and no extraction goes there.
bool isProgramBookkeeping(const QString& path);

// Whether two paths reach one file or folder: the same device and inode where both exist; where one
// does not exist yet, the same place once links are followed, the name in any letter case.
bool isSameFile(const QString& a, const QString& b);

// Copies through a temporary file in the target's folder, synced to disk and then renamed over
// the target: the target is either the old file or the complete new one. *diskFull (when given)
// tells whether the copy failed for want of room on the target's disk.
bool copyFileAtomic(const QString& from, const QString& to, QString* error, bool* diskFull = nullptr);

// Renames from over to in one step (copy and remove when they are on different file systems). A to
// that is a link is the file it names; from takes the mode, group and owner of the file replaced.
bool replaceFileAtomic(const QString& from, const QString& to, QString* error);

// Removes a file; a file that is already gone counts as removed.
bool removeFile(const QString& path, QString* error);

// True when a write at path failed for want of room: the system said so (systemError is ENOSPC
// or EDQUOT), or the file system that holds path has next to no room left (a write cut short by
// a full disk sets no error of its own). Ask before removing what the failed write left behind.
bool isDiskFull(const QString& path, int systemError);

// What the user is told when this computer's own disk (the program's folder, the temporary
// folder) is full, as opposed to a medium in drive A: "The computer's disk is full: " and what
// could not be done.
QString computerDiskFullText(const QString& what);
