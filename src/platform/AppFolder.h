#pragma once

#include <QString>

#include <optional>

// The program's folder, where the database, the templates, the report and help files live.
// File names in it match without regard to letter case, as they did on the legacy platform.
class AppFolder {
public:
    static QString path();  // the folder set by setPath, else the executable's folder
    static void setPath(const QString& folder);

    // folder + "/" + name; a leading "\" or "/" and backslash separators are accepted
    // ("\Inventory.mdb" -> "<folder>/Inventory.mdb").
    static QString join(const QString& name);

    // Full path of the file in the folder whose name equals name in any letter case. Where several
    // files differ only in letter case, every spelling finds the same one of them (the first in
    // character-code order).
    static std::optional<QString> find(const QString& name);

    // True when a file of exactly this spelling is in the folder.
    static bool existsExact(const QString& name);
};

// A bare or relative name is looked up in the program folder, an absolute path in its own folder,
// matching the last component without regard to case. When nothing matches, an absolute path is
// returned as given and a name as its place in the program folder, ready for an existence check.
QString resolveNoCase(const QString& pathOrName);
