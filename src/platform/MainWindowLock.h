#pragma once

#include <QObject>

#include <functional>

class QWidget;

// While a working screen opened from the main window is open, the main window is disabled.
//
// The lock is held per screen: the command that opens a screen acquires it for that screen
// before showing it, and the hold ends when that screen releases it, is closed (hidden for good)
// or is destroyed. The main window is enabled again only when no screen holds it any more, so a
// window that did not lock it (the information window opened from the ordering screen for a
// purchase order, the about box) can release "its" hold without unlocking the main window for a
// screen that is still open.
class MainWindowLock {
public:
    // The window that is locked; set once by the main window.
    static void setMainWindow(QWidget* window);
    static QWidget* mainWindow();

    // Disables the main window for owner. When owner is a window, its hold ends by itself when the
    // window is closed or destroyed. onRelease, when given, runs once when this hold ends (the
    // backup window also disables the Print menu, which comes back with the main window).
    // Acquiring again for the same owner keeps a single hold (the first onRelease stays).
    static void acquire(QObject* owner, std::function<void()> onRelease = {});

    // Ends owner's hold, if it has one; enables the main window when no other hold remains.
    // Calling it for an owner that holds nothing changes nothing.
    static void release(QObject* owner);

    static bool isHeldBy(const QObject* owner);
    static bool isLocked();   // some screen holds the main window
    static int holders();
};
