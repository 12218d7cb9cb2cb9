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
