#pragma once

#include <QString>

namespace AppInfo {
// Caption of the main window and the about box, and the title of every message box
// that does not bring one of its own.
inline const QString title = QStringLiteral("Pinsetter Parts Inventory");
}
