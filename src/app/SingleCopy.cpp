#include "app/SingleCopy.h"

#include "platform/AppFolder.h"
#include "platform/AppInfo.h"
#include "platform/Prompts.h"

#include <QDir>

std::unique_ptr<ProgramFolderLock> claimProgramFolder()
{
    auto lock = std::make_unique<ProgramFolderLock>(AppFolder::path());
    if (lock->state() != ProgramFolderLock::State::HeldElsewhere)
        return lock;
    MsgBox(QStringLiteral("%1 is already running with the database in this folder:\n%2\n\n"
                          "Only one copy of the program can work with a database at a time. "
                          "Please use the copy that is open.")
               .arg(AppInfo::title, QDir::toNativeSeparators(AppFolder::path())),
           48);
    return nullptr;
}
