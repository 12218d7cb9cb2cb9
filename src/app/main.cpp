#include "app/MainMenu.h"
#include "app/SingleCopy.h"
#include "platform/AppFolder.h"

#include <QApplication>
#include <QFont>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Everything the program reads lives beside it.
    AppFolder::setPath(QCoreApplication::applicationDirPath());

    // Held until the program ends; a second copy on this folder stops here.
    const std::unique_ptr<ProgramFolderLock> folderLock = claimProgramFolder();
    if (!folderLock)
        return 0;

    // Every window names its own sizes; the face is the same everywhere.
    QFont font = QApplication::font();
    font.setFamily(QStringLiteral("Liberation Sans"));
    QApplication::setFont(font);

    MainMenu mainMenu;
    if (!mainMenu.Form_Load())
        return 0;
    mainMenu.show();
    return app.exec();
}
