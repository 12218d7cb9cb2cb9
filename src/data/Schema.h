#pragma once

#include <QString>

// The only table the program creates itself: the pictures of the parts.
inline const QString PicturesCreateStatement =
    QStringLiteral("CREATE TABLE Pictures")
    + QStringLiteral("([Record Number] Counter CONSTRAINT MYFILESCONTRAINT PRIMARY KEY, Image1 OLEOBJECT, Image2 OLEOBJECT, Image3 OLEOBJECT)");

// The database every window works on, in the program's folder.
QString InventoryDatabasePath();
// The colour database, in the program's folder.
QString ColorsDatabasePath();

// Makes sure Inventory.mdb holds the pictures table (in any letter case) before an images
// window opens. When it cannot be created the user is told why and false is returned, so the
// window is not opened on a missing table.
bool EnsurePicturesTable();

// "Update Database for Images": creates the table and says so, or says it exists already;
// any other failure is shown with the engine's text.
void CreatePicturesTableFromMenu();
