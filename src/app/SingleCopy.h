#pragma once

#include "platform/FolderLock.h"

#include <memory>

// Takes the program folder for this copy of the program. When another copy already works there,
// or the folder cannot be locked at all, says so and gives nothing: the caller ends without
// touching a file.
std::unique_ptr<ProgramFolderLock> claimProgramFolder();
