#pragma once

#include <QString>

// The folder the older DOS program kept its data in, "C:\INVNTORY" on the legacy platform, from
// which the import reads the dBASE table INVNTORY.DBF.
//
// Which folder: the one given to setPath() (the program may configure one; tests use a temporary
// one), otherwise a folder named INVNTORY, in any letter case, in the user's home folder
// (~/INVNTORY). The import window names the folder it looked in when it cannot find the table.
class OldDataFolder {
public:
    static QString path();
    static void setPath(const QString& folder);   // empty returns to ~/INVNTORY

    // The file of that name in the folder, matched without regard to letter case; the path it
    // would have when there is none.
    static QString file(const QString& name);
};
