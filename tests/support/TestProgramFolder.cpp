#include "support/TestProgramFolder.h"

#include "platform/AppFolder.h"
#include "platform/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestProgramFolder::TestProgramFolder()
    : m_previous(AppFolder::path())
{
    if (!m_dir.isValid())
        return;
    const QFileInfoList shipped = QDir(QStringLiteral(INVENTORY_BIN_DIR)).entryInfoList(QDir::Files);
    for (const QFileInfo& source : shipped) {
        if (source.isExecutable())
            continue;
        // Only what the build ships: not the working files of a program run in that folder.
        const QString name = source.fileName().toLower();
        if (name == QLatin1String("inventory.mdb") || name == QLatin1String("inv1.mdb")
            || name == QLatin1String("inventory.lock") || name.endsWith(QLatin1String("-journal"))
            || name.endsWith(QLatin1String(".txt")) || name.endsWith(QLatin1String(".grd")))
            continue;
        const QString target = m_dir.filePath(source.fileName());
        if (QFile::copy(source.absoluteFilePath(), target))
            QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner | QFile::ReadOwner);
    }
    AppFolder::setPath(m_dir.path());
}

TestProgramFolder::~TestProgramFolder()
{
    AppFolder::setPath(m_previous);
}

bool TestProgramFolder::installDatabase(const QString& templateName)
{
    const QString source = resolveNoCase(m_dir.filePath(templateName));
    if (!QFileInfo(source).isFile())
        return false;
    return copyFileAtomic(source, m_dir.filePath(QStringLiteral("Inventory.mdb")), nullptr);
}
