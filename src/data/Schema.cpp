#include "Schema.h"

#include "Database.h"
#include "platform/AppFolder.h"
#include "platform/Prompts.h"

QString InventoryDatabasePath()
{
    return resolveNoCase(AppFolder::join(QStringLiteral("\\Inventory.mdb")));
}

QString ColorsDatabasePath()
{
    return resolveNoCase(AppFolder::join(QStringLiteral("\\Colors.mdb")));
}

bool EnsurePicturesTable()
{
    try {
        Database db = Database::open(InventoryDatabasePath());
        if (db.hasTable(QStringLiteral("Pictures")))
            return true;
        db.execute(PicturesCreateStatement);
        return true;
    } catch (const DbError& e) {
        MsgBox(QStringLiteral("The images table could not be created: %1").arg(e.text()), 48);
        return false;
    }
}

void CreatePicturesTableFromMenu()
{
    try {
        Database db = Database::open(InventoryDatabasePath());
        db.execute(PicturesCreateStatement);
        db.close();
        MsgBox(QStringLiteral("The images database has been created, please continue."), 0);
    } catch (const DbError& e) {
        if (e.number() == EngineError::TableExists)
            MsgBox(QStringLiteral("The images database already exists, please continue."), 0);
        else
            MsgBox(QStringLiteral("The images database could not be created: %1").arg(e.text()), 48);
    }
}
