#pragma once

#include <QString>

// One copy of the program per program folder. A running copy holds an advisory lock on its folder
// for as long as it lives; the system lets go of it when the copy ends in any way (a crash or a
// kill included), so a lock never outlives its copy. The lock holds between copies run from
// different accounts: it needs no file that one account made and another cannot write.
// Compaction, restore and "Save As" replace database files by new ones, which a second copy on
// the same folder would never see.
class ProgramFolderLock {
public:
    enum class State {
        Held,           // this copy holds the folder
        HeldElsewhere,  // another copy holds it
        Unavailable     // the folder cannot be locked (it is gone, or cannot be read): see reason()
    };

    explicit ProgramFolderLock(const QString& folder);   // tries to take the folder at once
    ~ProgramFolderLock();
    ProgramFolderLock(const ProgramFolderLock&) = delete;
    ProgramFolderLock& operator=(const ProgramFolderLock&) = delete;

    State state() const { return m_state; }
    QString reason() const { return m_reason; }   // why the folder could not be locked

    // Whether another running copy of the program holds folder. A folder this copy holds is not.
    static bool heldByAnotherCopy(const QString& folder);

    // Whether path is the database of a folder another running copy holds (a file that copy has
    // open and would never see replaced).
    static bool isDatabaseOfAnotherCopy(const QString& path);

    // Locked instead of the folder where the file system cannot lock a directory (a network share).
    static const QString fileName;

private:
    int m_fd = -1;
    State m_state = State::Unavailable;
    QString m_folder;
    QString m_reason;
};
