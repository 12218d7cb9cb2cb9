#pragma once

#include <QString>

// File operations that never leave a half-written file behind. Each returns false and puts
// the reason in *error (when given) on failure.

// Copies through a temporary file in the target's folder, synced to disk and then renamed over
// the target: the target is either the old file or the complete new one. *diskFull (when given)
// tells whether the copy failed for want of room on the target's disk.
bool copyFileAtomic(const QString& from, const QString& to, QString* error, bool* diskFull = nullptr);

// Renames from over to in one step (copy and remove when they are on different file systems).
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
