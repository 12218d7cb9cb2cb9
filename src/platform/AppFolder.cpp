#include "platform/AppFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString& configuredFolder()
{
    static QString folder;
    return folder;
}

QString forwardSlashes(QString name)
{
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return name;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// Every spelling of a name reaches the same file. Where several files differ only in letter case,
// the first in character-code order is the one, whichever spelling was asked for: preferring the
// spelling asked for would let two lookups of one file (the database opened as "Inventory.mdb",
// backed up as "inventory.mdb") reach two different files.
std::optional<QString> findInFolder(const QString& folder, const QString& name)
{
    if (name.isEmpty())
        return std::nullopt;
    std::optional<QString> found;
    for (const QString& file : filesIn(folder)) {
        if (file.compare(name, Qt::CaseInsensitive) == 0 && (!found || file.compare(*found, Qt::CaseSensitive) < 0))
            found = file;
    }
    if (!found)
        return std::nullopt;
    return QDir(folder).filePath(*found);
}

}  // namespace

QString AppFolder::path()
{
    if (!configuredFolder().isEmpty())
        return configuredFolder();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void AppFolder::setPath(const QString& folder)
{
    configuredFolder() = folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absolutePath());
}

QString AppFolder::join(const QString& name)
{
    QString relative = forwardSlashes(name);
    while (relative.startsWith(QLatin1Char('/')))
        relative.remove(0, 1);
    const QString folder = path();
    if (relative.isEmpty())
        return folder;
    return folder.endsWith(QLatin1Char('/')) ? folder + relative : folder + QLatin1Char('/') + relative;
}

std::optional<QString> AppFolder::find(const QString& name)
{
    const QFileInfo place(join(name));
    return findInFolder(place.absolutePath(), place.fileName());
}

bool AppFolder::existsExact(const QString& name)
{
    const QFileInfo place(join(name));
    return !place.fileName().isEmpty() && filesIn(place.absolutePath()).contains(place.fileName());
}

QString resolveNoCase(const QString& pathOrName)
{
    if (pathOrName.isEmpty())
        return pathOrName;
    // A leading backslash is the legacy "root of the program folder", not this system's root.
    const bool absolute = QDir::isAbsolutePath(pathOrName);
    const QString full = absolute ? pathOrName : AppFolder::join(pathOrName);
    const QFileInfo place(full);
    if (const auto found = findInFolder(place.absolutePath(), place.fileName()))
        return *found;
    return full;
}
