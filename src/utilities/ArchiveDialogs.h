#pragma once

#include "platform/Dialogs.h"

#include <QString>

// The dialogs and result messages of the backup window's archive commands.

// A multiple selection of files, as the add-files dialog gives it: one file as its full path;
// several as their folder, then for each file a character 0 and its name. Empty = cancelled.
int CountSelectedFiles(const QString& selection);           // 1 when there is no character 0
QString GetSelectedFile(const QString& selection, int n);    // the n-th full path, n from 1

// The message box for a result of the zip archiver; word names the operation ("adding",
// "updating", "Opening" ...). Nothing for 0 or less, nor for 10, 30 and 140.
void ShowZipResult(int code, const QString& word, bool multidiskMode = false);
QString zipResultText(int code, const QString& word, bool multidiskMode = false);   // empty when no box
int zipResultStyle(int code);

// The two file dialogs of the backup window keep their settings between uses.
struct ArchiveFileDialog {
    FileDialogOptions options;
};

// The files to add or update, chosen in dlgSelectFiles with its current filter; a multiple
// selection (above), empty on cancel.
QString SelectFilesToAdd(ArchiveFileDialog& dlgSelectFiles, const QString& title);

// The archive for a command, chosen in dlgSelectZip: kind 0 "Open Archive", 1 "New Archive"
// (a save dialog), 2 "Test Archive", 3 "Fix Archive", 4 "Delete Archive". Empty on cancel and for
// any other kind.
QString SelectArchive(ArchiveFileDialog& dlgSelectZip, int kind);

// The filters the window's dialogs use.
namespace ArchiveFilters {
inline const QString AddFiles = QStringLiteral("All Files|*.*|Database Files (*.mdb)|*.mdb");
inline const QString StoredSelectFiles = QStringLiteral("Database file (Inventory.mdb)|Inventory.mdb");
inline const QString StoredSelectZip = QStringLiteral("Zip archives (*.zip)|*.zip");
inline const QString Archives = QStringLiteral("Zip archives (*.zip)|*.zip|Self-extracting Zip archives (*.exe)|*.exe|All files (*.*)|*.*");
}
