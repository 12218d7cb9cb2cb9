#include "app/SystemInfo.h"

#include "platform/AppFolder.h"
#include "platform/Prompts.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

SystemInfoLocator* installedLocator = nullptr;

// System-information programs of the common Linux desktops, in order of preference.
const QStringList knownPrograms = {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter")};

class SystemLocator : public SystemInfoLocator {
public:
    std::optional<QString> GetKeyValue(const QString& key, const QString& valueName) override
    {
        if (key == SystemInfoKeys::programKey && valueName == SystemInfoKeys::programValue) {
            for (const QString& name : knownPrograms) {
                const QString found = QStandardPaths::findExecutable(name);
                if (!found.isEmpty())
                    return found;
            }
            return std::nullopt;
        }
        if (key == SystemInfoKeys::folderKey && valueName == SystemInfoKeys::folderValue)
            return AppFolder::path();
        return std::nullopt;
    }

    bool fileExists(const QString& path) override
    {
        return QFileInfo(path).isFile();
    }

    bool startProgram(const QString& path) override
    {
        return !path.trimmed().isEmpty() && QProcess::startDetached(path, {});
    }
};

void unavailable()
{
    MsgBox(QStringLiteral("System Information Is Unavailable At This Time"), 0);
}

}  // namespace

SystemInfoLocator& SystemInfoLocator::get()
{
    static SystemLocator system;
    return installedLocator ? *installedLocator : system;
}

void SystemInfoLocator::install(SystemInfoLocator* l)
{
    installedLocator = l;
}

void StartSysInfo()
{
    SystemInfoLocator& locator = SystemInfoLocator::get();
    if (const auto program = locator.GetKeyValue(SystemInfoKeys::programKey, SystemInfoKeys::programValue)) {
        if (!locator.startProgram(*program))
            unavailable();
        return;
    }
    if (const auto folder = locator.GetKeyValue(SystemInfoKeys::folderKey, SystemInfoKeys::folderValue)) {
        QString file = *folder;
        if (!file.endsWith(QLatin1Char('/')))
            file += QLatin1Char('/');
        file += SystemInfoKeys::programInFolder;
        if (locator.fileExists(file)) {
            if (!locator.startProgram(file))
                unavailable();
            return;
        }
    }
    unavailable();
}
