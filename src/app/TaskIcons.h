#pragma once

#include <QIcon>

// The pictures of the main window's six task buttons, drawn rather than loaded so that they
// scale cleanly: 1 database, 2 order tag, 3 centre, 4 parts coming in, 5 parts going out,
// 6 counting sheet.
QIcon TaskButtonIcon(int button);
