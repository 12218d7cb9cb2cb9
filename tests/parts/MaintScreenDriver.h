#pragma once

// Opening and closing the maintenance screen the way the main window does, for its tests.

#include "parts/MaintScreen.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTest>

inline MaintScreen* openScreen()
{
    auto* screen = new MaintScreen;
    screen->show();
    screen->Form_Activate();
    return screen;
}

// Closes the screen (its closing check may prompt) and lets it be deleted.
inline void closeScreen(MaintScreen* screen)
{
    QPointer<MaintScreen> guard(screen);
    screen->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!guard);
}
