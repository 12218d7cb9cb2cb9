#include "utilities/ArchiveDialogs.h"

#include "platform/Prompts.h"

#include <QFileInfo>

namespace {

const QChar Nul(u'\0');

}  // namespace

int CountSelectedFiles(const QString& selection)
{
    const int n = int(selection.count(Nul));
    return n == 0 ? 1 : n;
}

QString GetSelectedFile(const QString& selection, int n)
{
    const int first = int(selection.indexOf(Nul));
    if (first < 0)
        return selection;
    QString folder = selection.left(first);
    // The folder keeps its own kind of separator.
    const QChar separator = folder.contains(QLatin1Char('\\')) && !folder.contains(QLatin1Char('/')) ? QLatin1Char('\\') : QLatin1Char('/');
    if (!folder.endsWith(QLatin1Char('\\')) && !folder.endsWith(QLatin1Char('/')))
        folder += separator;

    const QString text = selection + Nul;
    int counter = 0;
    int start = -1;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != Nul)
            continue;
        ++counter;
        if (counter == n)
            start = i + 1;
        else if (counter == n + 1 && start >= 0)
            return folder + text.mid(start, i - start);
    }
    return folder;
}

QString zipResultText(int code, const QString& word, bool multidiskMode)
{
    if (code <= 0 || code == 10 || code == 30 || code == 140)
        return QString();
    switch (code) {
    case 40: return QStringLiteral("Some files were skipped while ") + word + QStringLiteral(".");
    case 50: return QStringLiteral("The Zip file is empty.");
    case 100: return QStringLiteral("Could not find the archive file.");
    case 110: return QStringLiteral("The archive file is corrupted. Try using the Fix option on it.");
    case 120: return QStringLiteral("Ran out of memory while ") + word + QStringLiteral(".");
    case 130: return QStringLiteral("Invalid property settings. Check your code.");
    case 150:
        return multidiskMode ? QStringLiteral("A full disk was inserted instead of an empty one.")
                             : QStringLiteral("Disk full while ") + word + QStringLiteral(".");
    case 160: return QStringLiteral("The archive file is corrupted. Try using the Fix option on it.");
    case 180: return QStringLiteral("Another application is currently performing a similar task. Wait until the other application has completed its operation.");
    case 190: return QStringLiteral("The ") + word + QStringLiteral(" operation was aborted.");
    case 200: return QStringLiteral("Test failed - errors in the archive.");
    case 210: return QStringLiteral("No files ended up being tested in the archive.");
    case 280: return QStringLiteral("Problem with the temporary file.");
    case 290: return QStringLiteral("Problem reading from file while ") + word + QStringLiteral(".");
    case 300: return QStringLiteral("Problem writing to file while ") + word + QStringLiteral(".");
    case 310: return QStringLiteral("Problem creating file while ") + word + QStringLiteral(".");
    case 350: return QStringLiteral("Attempt to remove parent directory.");
    case 370: return QStringLiteral("Names repeated in archive after discarding pathnames.");
    case 380: return QStringLiteral("Could not update the Zip archive date. Archive only contains directories or is empty.");
    case 400: return QStringLiteral("Read/Write error with the Zip file or one of the files to process.");
    case 410: return QStringLiteral("Cannot work on multiple-disk archives when not in Multidisk mode.");
    case 420: return QStringLiteral("Wrong disk was inserted too many times.");
    case 430: return QStringLiteral("Operation not supported for Multidisk Zip archives.");
    case 440: return QStringLiteral("Could not open the self-extractor binary.");
    case 450: return QStringLiteral("Could not open the self-extractor configuration file");
    case 460: return QStringLiteral("Invalid command parameter passed to an Xceed Zip event.");
    case 470: return QStringLiteral("Not enough space on first disk to write self-extractor.");
    case 490: return QStringLiteral("Invalid self-extractor binary version.");
    case 510: return QStringLiteral("Problem creating destination directory while ") + word + QStringLiteral(".");
    default: return QStringLiteral("An error occured while ") + word + QStringLiteral(" the specified files.");
    }
}

int zipResultStyle(int code)
{
    return (code == 40 || code == 50 || code == 190) ? 48 : 16;
}

void ShowZipResult(int code, const QString& word, bool multidiskMode)
{
    const QString text = zipResultText(code, word, multidiskMode);
    if (!text.isEmpty())
        MsgBox(text, zipResultStyle(code));
}

QString SelectFilesToAdd(ArchiveFileDialog& dlgSelectFiles, const QString& title)
{
    FileDialogOptions& o = dlgSelectFiles.options;
    o.fileName.clear();
    o.title = title;
    const QStringList chosen = Dialogs::get().openFiles(o);
    if (chosen.isEmpty())
        return QString();
    if (chosen.size() == 1)
        return chosen.first();
    QString selection = QFileInfo(chosen.first()).absolutePath();
    for (const QString& file : chosen)
        selection += Nul + QFileInfo(file).fileName();
    return selection;
}

QString SelectArchive(ArchiveFileDialog& dlgSelectZip, int kind)
{
    static const char* const titles[] = {"Open Archive", "New Archive", "Test Archive", "Fix Archive", "Delete Archive"};
    if (kind < 0 || kind > 4)
        return QString();
    FileDialogOptions& o = dlgSelectZip.options;
    o.fileName.clear();
    o.filter = ArchiveFilters::Archives;
    o.filterIndex = 1;
    o.title = QString::fromLatin1(titles[kind]);
    const QString chosen = kind == 1 ? Dialogs::get().saveFile(o) : Dialogs::get().openFile(o);
    return chosen;
}
