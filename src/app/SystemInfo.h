#pragma once

#include <QString>

#include <optional>

// Where the about box finds the computer's system-information program. The legacy program read
// two values from the system registry; this seam keeps their order with lookups of our own:
//
//   1. the value "Path" under the key "SystemInformation": the system-information program
//      itself. Found: start it and stop.
//   2. the value "Folder" under the key "SystemInformationLocation": a folder in which a program
//      named "sysinfo" may stand. Found and that file exists: start it and stop.
//   3. otherwise, and whenever starting fails: "System Information Is Unavailable At This Time".
//
// On this system the first value is the first of the known system-information programs
// ("hardinfo", "kinfocenter") found on the PATH; the second is the program's own folder, so
// that whoever installs the program can put a "sysinfo" program (or script) beside it. Without
// either, the message shows. Tests install a locator of their own.
class SystemInfoLocator {
public:
    virtual ~SystemInfoLocator() = default;

    // The text stored under key and value name, or nothing when there is none.
    virtual std::optional<QString> GetKeyValue(const QString& key, const QString& valueName) = 0;
    virtual bool fileExists(const QString& path) = 0;
    // Starts the program in a window of its own, not waited for; false when it cannot be started.
    virtual bool startProgram(const QString& path) = 0;

    static SystemInfoLocator& get();              // the installed locator, else the system's
    static void install(SystemInfoLocator* l);    // nullptr restores the system's; not owned
};

namespace SystemInfoKeys {
inline const QString programKey = QStringLiteral("SystemInformation");
inline const QString programValue = QStringLiteral("Path");
inline const QString folderKey = QStringLiteral("SystemInformationLocation");
inline const QString folderValue = QStringLiteral("Folder");
inline const QString programInFolder = QStringLiteral("sysinfo");
}

// "&System Info..." of the about box: the lookups above, in order.
void StartSysInfo();
