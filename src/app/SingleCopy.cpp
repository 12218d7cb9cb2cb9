#include "app/SingleCopy.h"

#include "platform/AppFolder.h"
#include "platform/AppInfo.h"
#include "platform/Prompts.h"

#include <QDir>

std::unique_ptr<ProgramFolderLock> claimProgramFolder()
{
    auto lock = std::make_unique<ProgramFolderLock>(AppFolder::path());
    const QString folder = QDir::toNativeSeparators(AppFolder::path());
    switch (lock->state()) {
    case ProgramFolderLock::State::Held:
        return lock;
    case ProgramFolderLock::State::HeldElsewhere:
        MsgBox(QStringLiteral("%1 is already running with the database in this folder:\n%2\n\n"
                              "Only one copy of the program can work with a database at a time. "
                              "Please use the copy that is open.")
                   .arg(AppInfo::title, folder),
               48);
        return nullptr;
    case ProgramFolderLock::State::Unavailable:
        // Unguarded, a second copy could compact or restore the database under this one.
        MsgBox(QStringLiteral("%1 cannot make sure that it is the only copy working with the database "
                              "in this folder:\n%2\n\nThe folder cannot be locked (%3). Please check "
                              "that the folder is there and that you may read it.")
                   .arg(AppInfo::title, folder, lock->reason()),
               48);
        return nullptr;
    }
    return nullptr;
}
