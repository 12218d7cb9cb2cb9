#pragma once

class QWidget;

// Shows a window modally and returns when it is hidden, closed or destroyed. Screens go through
// ModalRunner::get(), so that a test can install one that drives the window and never blocks.
class ModalRunner {
public:
    virtual ~ModalRunner() = default;

    virtual void exec(QWidget* window) = 0;

    static ModalRunner& get();            // the installed runner, else the real one
    static void install(ModalRunner* r);  // nullptr restores the real one; not owned
};

void ShowModal(QWidget* window);

// Shows a window that works beside the others (the help viewer, a report preview), brings it to
// the front and returns. While a modal window is open Qt lets the user reach only that window and
// its own windows: one shown from there becomes a window of it, so that it takes clicks and keys.
// When that modal window goes, which never takes it along, it becomes a window of the modal window
// still open under it (a message box closed over the Date prompt), or stands on its own when none
// is. For windows without a parent of their own.
void ShowBesideModal(QWidget* window);
