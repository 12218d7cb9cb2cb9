#pragma once

#include <QList>
#include <QString>

#include <functional>

class MainMenu;

// What choosing a Print menu item does; empty while the item does nothing yet.
using PrintCommand = std::function<void(MainMenu&)>;

// One entry of the main window's Print menu, in menu order.
struct PrintMenuItem {
    enum Kind { Command, Submenu, Separator };
    Kind kind = Command;
    QString name;          // objectName of the item (of the submenu, for a submenu)
    QString caption;
    QString parent;        // name of the submenu holding it; empty = the Print menu itself
    PrintCommand command;  // Command items only
};

// The whole Print menu ("&Print", MnuPRint): the reports, order forms, labels and cards, and the
// usage items. Each command is hooked to its function here, in this one table.
const QList<PrintMenuItem>& PrintMenuItems();
