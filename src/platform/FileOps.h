#pragma once

#include <QString>

// File operations that never leave a half-written file behind. Each returns false and puts
// the reason in *error (when given) on failure.

// Copies through a temporary file in the target's folder, synced to disk and then renamed over
// the target: the target is either the old file or the complete new one.
bool copyFileAtomic(const QString& from, const QString& to, QString* error);

// Renames from over to in one step (copy and remove when they are on different file systems).
bool replaceFileAtomic(const QString& from, const QString& to, QString* error);

// Removes a file; a file that is already gone counts as removed.
bool removeFile(const QString& path, QString* error);
