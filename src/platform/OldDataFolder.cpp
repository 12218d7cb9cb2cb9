#include "platform/OldDataFolder.h"

#include "platform/AppFolder.h"

#include <QDir>

namespace {

QString& configured()
{
    static QString folder;
    return folder;
}

}  // namespace

QString OldDataFolder::path()
{
    if (!configured().isEmpty())
        return configured();
    const QDir home = QDir::home();
    const QString name = QStringLiteral("INVNTORY");
    const QStringList folders = home.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    if (folders.contains(name))
        return home.filePath(name);
    for (const QString& folder : folders) {
        if (folder.compare(name, Qt::CaseInsensitive) == 0)
            return home.filePath(folder);
    }
    return home.filePath(name);
}

void OldDataFolder::setPath(const QString& folder)
{
    configured() = folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absolutePath());
}

QString OldDataFolder::file(const QString& name)
{
    return resolveNoCase(QDir(path()).filePath(name));
}
